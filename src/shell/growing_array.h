// The plug-in's plain arrays on the C heap (freed with std::free) grow by doubling, so that filling
// one costs a constant per item however long it gets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Makes room for one more item after count of items, doubling capacity (first when there is none
// yet); false, with items and capacity as they were, when the heap refuses.
template <typename T>
bool RoomForOneMore(T*& items, std::int32_t count, std::int32_t& capacity, std::int32_t first) {
    if (count < capacity) return true;
    const std::int32_t grown = capacity == 0 ? first : capacity * 2;
    void* moved = std::realloc(items, static_cast<std::size_t>(grown) * sizeof(T));
    if (moved == nullptr) return false;
    items = static_cast<T*>(moved);
    capacity = grown;
    return true;
}

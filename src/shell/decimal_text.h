// Numbers written as "%g" writes them in the C locale, with "." as the decimal point whatever
// locale the host has set, so that what the plug-in writes it can read back.
#pragma once

#include <charconv>
#include <cstddef>

// value as "%g" writes it, cut to fit size (empty when size cannot hold it).
inline void FormatDecimal(double value, char* text, std::size_t size) {
    if (size == 0) return;
    // to_chars with precision 6 in general form is exactly "%g".
    const std::to_chars_result result = std::to_chars(text, text + size - 1, value, std::chars_format::general, 6);
    *(result.ec == std::errc() ? result.ptr : text) = '\0';
}

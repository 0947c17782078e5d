// Shift-JIS as UTF-8 on Windows, through UTF-16 with the system's code page 932.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "host.h"

namespace sim {

std::string Cp932ToUtf8(const std::string& bytes) {
    if (bytes.empty()) return std::string();
    const int wideLength = MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (wideLength <= 0) throw std::runtime_error("text is not code page 932");
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace sim

// Screenshots for the Windows tests: a window's pixels as just painted, kept for checks and saved as
// a PNG in the screenshot folder (KELVANE_SCREENSHOT_DIR, else "screenshots" beside the program).
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "win32_plugin_library.h"

namespace win32_capture {

inline std::string ScreenshotFolder() {
    if (const char* chosen = std::getenv("KELVANE_SCREENSHOT_DIR"); chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
    return win32_plugin_library::ProgramFolder() + "screenshots";
}

inline bool PngEncoder(CLSID* encoder) {
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<unsigned char> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            *encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

struct Capture {
    bool saved = false;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // top-down rows of 0x00RRGGBB

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::size_t Colours() const {
        std::vector<std::uint32_t> seen = pixels;
        std::sort(seen.begin(), seen.end());
        return static_cast<std::size_t>(std::unique(seen.begin(), seen.end()) - seen.begin());
    }
};

// The window's own pixels (Wine's PrintWindow paints only the background), with its frame or just
// its client area, saved as name.png.
inline Capture CaptureWindow(HWND window, bool withFrame, const std::string& name) {
    Capture capture;
    RECT area;
    if (withFrame) {
        GetWindowRect(window, &area);
    } else {
        GetClientRect(window, &area);
    }
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = withFrame ? GetWindowDC(window) : GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(memory, previous);
    ReleaseDC(window, source);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    capture.pixels.assign(pixels, pixels + static_cast<std::size_t>(capture.width) * capture.height);
    for (std::uint32_t& pixel : capture.pixels) pixel &= 0xFFFFFF;

    const std::string folder = ScreenshotFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name + ".png";
    const std::wstring widePath(path.begin(), path.end());
    CLSID encoder;
    if (PngEncoder(&encoder)) {
        Gdiplus::Bitmap image(bitmap, nullptr);
        capture.saved = image.Save(widePath.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    return capture;
}

}  // namespace win32_capture

#endif

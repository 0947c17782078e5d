// Windows host: the real documents folder, and real windows for the application and the panels,
// so that the plug-in can build its controls inside them.
#include <windows.h>
#include <shlobj.h>

#include <stdexcept>

#include "host.h"
#include "host_platform.h"

namespace sim {

namespace {

constexpr const char* kAppWindowClass = "KelvaneSimApp";
constexpr const char* kPanelWindowClass = "KelvaneSimPanel";

void RegisterWindowClass(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    // A second registration fails because the class exists, which is what we want.
    RegisterClassA(&windowClass);
}

int Pixels(double units) { return static_cast<int>(units + 0.5); }

}  // namespace

std::string PrepareDocumentsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path))) return std::string();
    return path;
}

void RemoveDocumentsFolder(const std::string& /*folder*/) {}

PlatformWindow CreateAppWindow() {
    RegisterWindowClass(kAppWindowClass);
    return CreateWindowExA(0, kAppWindowClass, "Kelvane host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

PlatformWindow CreatePanelWindow(PlatformWindow parent, const PanelSize& size) {
    RegisterWindowClass(kPanelWindowClass);
    return CreateWindowExA(WS_EX_CONTROLPARENT, kPanelWindowClass, "", WS_CHILD | WS_CLIPCHILDREN, 0, 0,
                           Pixels(size.width), Pixels(size.height), static_cast<HWND>(parent), nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void ShowPanelWindow(PlatformWindow window, bool show) {
    if (window != nullptr) ShowWindow(static_cast<HWND>(window), show ? SW_SHOW : SW_HIDE);
}

void ResizePanelWindow(PlatformWindow window, const PanelSize& size) {
    if (window != nullptr) {
        SetWindowPos(static_cast<HWND>(window), nullptr, 0, 0, Pixels(size.width), Pixels(size.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void DestroyHostWindow(PlatformWindow window) {
    if (window != nullptr && IsWindow(static_cast<HWND>(window))) DestroyWindow(static_cast<HWND>(window));
}

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

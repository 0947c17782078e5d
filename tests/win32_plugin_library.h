// The plug-in library as the Windows tests find it: Kelvane.aip beside the test program.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>

namespace win32_plugin_library {

// The test program's folder, with its trailing separator.
inline std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder;
}

inline std::string PluginLibraryPath() { return ProgramFolder() + "Kelvane.aip"; }

// Owns a module handle from LoadLibrary(Ex).
class Module {
public:
    explicit Module(HMODULE handle) : handle_(handle) {}
    ~Module() {
        if (handle_ != nullptr) FreeLibrary(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    HMODULE get() const { return handle_; }

private:
    HMODULE handle_;
};

}  // namespace win32_plugin_library

#endif  // _WIN32

// Windows build: the plug-in is its own library, loaded by path and entered through its one export.
#include <windows.h>

#include <stdexcept>

#include "plugin_loader.h"

namespace sim {

namespace {

std::string DefaultPluginPath() {
    char program[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string path(program, length);
    const std::size_t slash = path.find_last_of("\\/");
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    return path + "Kelvane.aip";
}

}  // namespace

LoadedPlugin LoadPlugin(const std::string& path) {
    const std::string file = path.empty() ? DefaultPluginPath() : path;
    HMODULE module = LoadLibraryA(file.c_str());
    if (module == nullptr) {
        throw std::runtime_error("cannot load the plug-in " + file + " (error " + std::to_string(GetLastError()) + ")");
    }
    auto entry = reinterpret_cast<PluginMainProc>(reinterpret_cast<void*>(GetProcAddress(module, "PluginMain")));
    if (entry == nullptr) {
        FreeLibrary(module);
        throw std::runtime_error("the plug-in " + file + " exports no PluginMain");
    }
    return LoadedPlugin{entry, module};
}

void UnloadPlugin(const LoadedPlugin& plugin) {
    if (plugin.module != nullptr) FreeLibrary(static_cast<HMODULE>(plugin.module));
}

}  // namespace sim

// How the host reaches the plug-in's entry point: natively the plug-in is linked in; on Windows it
// is the library "Kelvane.aip", loaded as the drawing application loads it.
#pragma once

#include <string>

#include "host/messages.h"

namespace sim {

struct LoadedPlugin {
    PluginMainProc entry = nullptr;
    ModuleHandle module = nullptr;  // none natively
};

// Throws std::runtime_error, naming the path, when the library or its entry point is missing.
LoadedPlugin LoadPlugin(const std::string& path);
void UnloadPlugin(const LoadedPlugin& plugin);

}  // namespace sim

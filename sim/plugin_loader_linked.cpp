// Native build: the plug-in is linked into the program, so its entry point is simply PluginMain.
#include "plugin_loader.h"

namespace sim {

LoadedPlugin LoadPlugin(const std::string& /*path*/) { return LoadedPlugin{PluginMain, nullptr}; }

void UnloadPlugin(const LoadedPlugin& /*plugin*/) {}

}  // namespace sim

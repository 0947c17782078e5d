// What the plug-in registers with the host at start-up: tools, notifiers and menu items.
#pragma once

#include "host/host_types.h"

constexpr const char* kPathAdjustToolName = "Path adjust Tool";
constexpr const char* kPointAdjustToolName = "Point adjust Tool";
constexpr const char* kAboutGroupName = "TW_PLUGINS_ABOUT";

HostStatus AddAdjustTools(PluginRef self);
HostStatus AddNotifiers(PluginRef self);
HostStatus AddMenuItems(PluginRef self);

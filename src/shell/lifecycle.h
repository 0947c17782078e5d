// Start-up, shut-down, unload and reload of the plug-in.
#pragma once

#include "host/messages.h"

HostStatus StartupPlugin(InterfaceMessage* message);
HostStatus ShutdownPlugin(InterfaceMessage* message);
HostStatus UnloadPlugin(InterfaceMessage* message);
HostStatus ReloadPlugin(InterfaceMessage* message);

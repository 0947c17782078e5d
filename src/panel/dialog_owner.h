// What a modal dialog of the plug-in needs from the host: the module that holds its template and
// the window that owns it.
#pragma once

#include "host/host_types.h"

// The plug-in's own module, through the SP Access suite with gState->lastToolSelf. When the suite
// or the state is missing, the library's own module as the system knows it (the same module).
ModuleHandle DialogResourceModule();

// The application's main window (AI Context suite); null when the host gives none.
PlatformWindow DialogOwnerWindow();

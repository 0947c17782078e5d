// The operating-system side of the host: the documents folder the plug-in writes to, beeps, and
// the windows the host owns. Natively there is no window system: windows are null.
#pragma once

#include <string>

#include "host/host_types.h"

namespace sim {

// Native: makes a fresh temporary folder and hands it to the plug-in as its documents folder.
// Windows: the user's personal documents folder.
std::string PrepareDocumentsFolder();
// Native: removes the folder made above with everything in it. Windows: nothing.
void RemoveDocumentsFolder(const std::string& folder);

#ifndef _WIN32
// The plug-in's beeps add one to *counter; null stops counting.
void CountBeeps(int* counter);
#endif

PlatformWindow CreateAppWindow();  // hidden, top-level
PlatformWindow CreatePanelWindow(PlatformWindow parent, const PanelSize& size);
void ShowPanelWindow(PlatformWindow window, bool show);
void ResizePanelWindow(PlatformWindow window, const PanelSize& size);
void DestroyHostWindow(PlatformWindow window);

}  // namespace sim

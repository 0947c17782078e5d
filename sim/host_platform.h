// The operating-system side of the host: the documents folder the plug-in writes to, beeps, and
// the windows the host owns. Natively there is no window system: the application has no window,
// and a panel's window is an in-memory one (panel/memory_windows.h).
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
// The resource ids of the cursors the plug-in sets go to *cursor; null stops that.
void RecordCursors(int* cursor);
#endif
// The plug-in's cursor resource (of those listed) that is the thread's cursor now, 0 for none.
// Natively the recorded id is the answer and this is not used.
int ShownCursor(ModuleHandle module, const int* ids, int count);
void ClearShownCursor();

struct AppState;
// The plug-in's modal dialogs are recorded in app and answered from its script; null stops that.
// Windows: every dialog created on this thread meanwhile is taken for one of the plug-in's.
void AnswerDialogs(AppState* app);

PlatformWindow CreateAppWindow();  // hidden, top-level
// size in pixels. Windows: the panel's window inside a floating frame of its own, which showing,
// resizing and destroying the panel's window take along.
PlatformWindow CreatePanelWindow(PlatformWindow parent, const PanelSize& size);
void ShowPanelWindow(PlatformWindow window, bool show);
void ResizePanelWindow(PlatformWindow window, const PanelSize& size);
void DestroyHostWindow(PlatformWindow window);

}  // namespace sim

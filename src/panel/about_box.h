// The about box: the product name and version, from the plug-in's own resources.
#pragma once

#include "host/host_types.h"

// Shows the about box as a modal dialog owned by the application's main window, and returns when
// the user closes it. The plug-in's module is found through the SP Access suite with
// gState->lastToolSelf. Always 0: a box that cannot be shown is not an error to report.
HostStatus ShowAboutBox();

// What the box shows: the product name as its title, and its one line.
void FormatAboutLine(char* buffer, std::size_t size, const char* productName, const char* versionText);

#ifndef _WIN32
// The POSIX build has no window system to show a dialog in: the process that links the plug-in
// (the simulated host) is told what the box would show, so that runs can check it.
void SetPosixAboutBoxHandler(void (*handler)(void* context, const char* title, const char* line), void* context);
#endif

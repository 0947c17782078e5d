// The few operating-system services the portable core needs.
#pragma once

#include <cstddef>

#include "host/host_types.h"

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The system's default beep.
void PlatformBeep();

// The user's personal documents folder, zero-terminated; empty when the system has none.
void PlatformDocumentsFolder(char* buffer, std::size_t size);

// Creates one directory; failure (for instance because it exists) is the caller's to ignore.
bool PlatformMakeDirectory(const char* path);

// The module handle of the plug-in library, for loading its own resources.
ModuleHandle PlatformPluginModule();

// Makes the cursor resource cursorId of module the current cursor; nothing when it cannot be loaded.
void PlatformSetCursor(ModuleHandle module, int cursorId);

#ifndef _WIN32
// The POSIX build has no desktop to beep on or documents folder of a Windows user: the process that
// links the plug-in (the simulated host) says where its documents live and hears its beeps, so that
// runs never touch the real user's files.
void SetPosixDocumentsFolder(const char* path);
void SetPosixBeepHandler(void (*handler)(void* context), void* context);
// Likewise the cursors the plug-in sets: the handler hears each cursor's resource id.
void SetPosixCursorHandler(void (*handler)(void* context, int cursorId), void* context);
#endif

// The Windows services behind platform.h: user32 for the beep, shell32 for the documents folder,
// kernel32 for directories and the plug-in's own module.
#include "platform/platform.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

void PlatformBeep() {
    // MB_OK plays the sound the user chose as the default beep.
    MessageBeep(MB_OK);
}

void PlatformDocumentsFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    buffer[0] = '\0';

    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list)) || list == nullptr) return;

    char path[MAX_PATH] = {};
    const BOOL found = SHGetPathFromIDListA(list, path);

    // The item list belongs to the shell's allocator.
    IMalloc* shellAllocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellAllocator)) && shellAllocator != nullptr) {
        shellAllocator->Free(list);
        shellAllocator->Release();
    }

    if (!found) return;
    const std::size_t length = std::strlen(path);
    // A folder that does not fit is given as none rather than as a cut path to some other folder.
    if (length >= size) return;
    std::memcpy(buffer, path, length + 1);
}

bool PlatformMakeDirectory(const char* path) {
    return path != nullptr && CreateDirectoryA(path, nullptr) != FALSE;
}

ModuleHandle PlatformPluginModule() {
    // Any address inside this library names its module; the host keeps the library loaded, so no
    // reference is taken.
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&PlatformPluginModule), &module)) {
        return nullptr;
    }
    return module;
}

void PlatformSetCursor(ModuleHandle module, int cursorId) {
    HCURSOR cursor = LoadCursorA(static_cast<HINSTANCE>(module), MAKEINTRESOURCEA(cursorId));
    if (cursor != nullptr) SetCursor(cursor);
}

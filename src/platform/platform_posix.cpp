// POSIX stand-ins for the Windows services: the process that links the plug-in decides what a
// beep does and where the documents live, so development runs never touch the real home folder.
#include "platform/platform.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>
#include <string>

namespace {

// A function-local static, so that a caller running during static initialisation still finds it built.
std::string& DocumentsFolder() {
    static std::string folder;
    return folder;
}

void (*beepHandler)(void* context) = nullptr;
void* beepContext = nullptr;
void (*cursorHandler)(void* context, int cursorId) = nullptr;
void* cursorContext = nullptr;

}  // namespace

void PlatformBeep() {
    if (beepHandler != nullptr) beepHandler(beepContext);
}

void PlatformDocumentsFolder(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    const std::string& folder = DocumentsFolder();
    // A folder that does not fit is given as none rather than as a cut path to some other folder.
    if (folder.size() >= size) {
        buffer[0] = '\0';
        return;
    }
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
}

bool PlatformMakeDirectory(const char* path) { return path != nullptr && mkdir(path, 0755) == 0; }

ModuleHandle PlatformPluginModule() { return nullptr; }

void PlatformSetCursor(ModuleHandle /*module*/, int cursorId) {
    if (cursorHandler != nullptr) cursorHandler(cursorContext, cursorId);
}

void SetPosixDocumentsFolder(const char* path) { DocumentsFolder() = path != nullptr ? path : ""; }

void SetPosixBeepHandler(void (*handler)(void* context), void* context) {
    beepHandler = handler;
    beepContext = context;
}

void SetPosixCursorHandler(void (*handler)(void* context, int cursorId), void* context) {
    cursorHandler = handler;
    cursorContext = context;
}

// The POSIX stand-in for the about box: no window system, so the linking process is told what the
// box would show.
#include "panel/about_box.h"

#include "shell/plugin_state.h"

namespace {

void (*aboutHandler)(void* context, const char* title, const char* line) = nullptr;
void* aboutContext = nullptr;

}  // namespace

void SetPosixAboutBoxHandler(void (*handler)(void* context, const char* title, const char* line), void* context) {
    aboutHandler = handler;
    aboutContext = context;
}

HostStatus ShowAboutBox() {
    if (gState == nullptr || aboutHandler == nullptr) return kNoError;
    char line[2 * sizeof gState->productName];
    FormatAboutLine(line, sizeof line, gState->productName, gState->versionText);
    aboutHandler(aboutContext, gState->productName, line);
    return kNoError;
}

// The about box's line, shared by the Windows box and its POSIX stand-in.
#include "panel/about_box.h"

#include <cstdio>

void FormatAboutLine(char* buffer, std::size_t size, const char* productName, const char* versionText) {
    if (buffer == nullptr || size == 0) return;
    std::snprintf(buffer, size, "%s %s", productName != nullptr ? productName : "",
                  versionText != nullptr ? versionText : "");
}

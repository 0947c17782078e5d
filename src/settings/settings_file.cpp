// Where the settings file lives: "<documents>/Adobe/Illustrator/Prefs/Kelvane.ini".
#include <cstring>

#include "platform/platform.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

namespace {

// The folder is cut to this many characters, which leaves room for "/Prefs/Kelvane.ini" below the
// classic 260-character path limit.
constexpr std::size_t kPrefsFolderLimit = 200;

// Appends "<separator>name" when it fits in size bytes; the path stays as it was otherwise.
bool AppendPathPart(char* path, std::size_t size, const char* name) {
    const std::size_t length = std::strlen(path);
    const std::size_t nameLength = std::strlen(name);
    if (length + 1 + nameLength + 1 > size) return false;
    path[length] = kPathSeparator;
    std::memcpy(path + length + 1, name, nameLength + 1);
    return true;
}

}  // namespace

void GetPrefsFolder(char* buffer) {
    if (buffer == nullptr) return;
    buffer[0] = '\0';

    // Room for the longest documents folder plus "/Adobe/Illustrator" before the cut.
    char path[kPrefsPathSize + 32];
    PlatformDocumentsFolder(path, kPrefsPathSize);
    std::size_t length = std::strlen(path);
    // Without a documents folder the path would start at the root of the disk: make nothing there.
    if (length == 0) return;
    if (path[length - 1] == kPathSeparator) path[--length] = '\0';

    // Failures to create are ignored: the folders usually exist already.
    if (AppendPathPart(path, sizeof path, "Adobe")) PlatformMakeDirectory(path);
    if (AppendPathPart(path, sizeof path, "Illustrator")) PlatformMakeDirectory(path);
    if (std::strlen(path) > kPrefsFolderLimit) path[kPrefsFolderLimit] = '\0';

    std::memcpy(buffer, path, std::strlen(path) + 1);
}

bool GetSettingsFilePath(char* path) {
    GetPrefsFolder(path);
    if (path[0] == '\0') return false;
    if (!AppendPathPart(path, kPrefsPathSize, "Prefs")) return false;
    PlatformMakeDirectory(path);
    return AppendPathPart(path, kPrefsPathSize, "Kelvane.ini");
}

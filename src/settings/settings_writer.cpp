// Writing the settings file: every key of the table, one "key = value\r\n" line each.
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "shell/decimal_text.h"

namespace {

const char* LanguageWord(std::uint16_t language) {
    switch (language) {
        case kJapanese: return "JAPANESE";
        case kKorean: return "KOREAN";
        // 1, and any value a future version might leave here: every non-zero language shows the
        // English texts, so "ENGLISH" keeps what the user sees.
        default: return "ENGLISH";
    }
}

std::size_t FinishLine(int written) {
    if (written < 0) return 0;
    return static_cast<std::size_t>(written) < kSettingsLineSize ? static_cast<std::size_t>(written)
                                                                  : kSettingsLineSize - 1;
}

}  // namespace

std::size_t FormatSettingLine(const PluginState& state, const SettingKey& key, char* line) {
    switch (key.kind) {
        case SettingKind::kLanguageWord:
            return FinishLine(std::snprintf(line, kSettingsLineSize, "%s = %s\r\n", key.name,
                                            LanguageWord(state.*key.unsigned16)));
        case SettingKind::kUnsigned16:
            return FinishLine(std::snprintf(line, kSettingsLineSize, "%s = %d\r\n", key.name,
                                            static_cast<int>(state.*key.unsigned16)));
        case SettingKind::kSigned16:
            return FinishLine(std::snprintf(line, kSettingsLineSize, "%s = %d\r\n", key.name,
                                            static_cast<int>(state.*key.signed16)));
        case SettingKind::kDouble: {
            char number[64];
            FormatDecimal(state.*key.real, number, sizeof number);
            return FinishLine(std::snprintf(line, kSettingsLineSize, "%s = %s\r\n", key.name, number));
        }
        case SettingKind::kText: {
            // A long name is cut so that the closing quote and CR LF always fit: a cut line would run
            // into the next key when read back. The reader could not take more than this anyway.
            const char* text = state.*key.text;
            const std::size_t frame = std::strlen(key.name) + std::strlen(" = \"\"\r\n");
            const std::size_t room = kSettingsLineSize - 1 - frame;
            const void* zero = std::memchr(text, '\0', kTextFieldSize - 1);
            const std::size_t length = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - text)
                                                       : kTextFieldSize - 1;
            const int shown = static_cast<int>(length < room ? length : room);
            return FinishLine(std::snprintf(line, kSettingsLineSize, "%s = \"%.*s\"\r\n", key.name, shown, text));
        }
    }
    line[0] = '\0';
    return 0;
}

std::string FormatSettingsText(const PluginState& state) {
    std::string text;
    char line[kSettingsLineSize];
    for (const SettingKey& key : kSettingKeys) text.append(line, FormatSettingLine(state, key, line));
    return text;
}

void WriteSettingsFile() {
    if (gState == nullptr) return;
    char path[kPrefsPathSize];
    if (!GetSettingsFilePath(path)) return;

    // The old file goes first, so a file that cannot be created leaves no stale settings behind.
    std::remove(path);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return;

    char line[kSettingsLineSize];
    for (const SettingKey& key : kSettingKeys) {
        const std::size_t length = FormatSettingLine(*gState, key, line);
        std::fwrite(line, 1, length, file);
    }
    std::fclose(file);
}

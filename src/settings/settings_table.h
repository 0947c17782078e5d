// The keys of the settings file, in the order they are written, and the state field behind each.
// The reader and the writer both walk this one table, so a key can never be read but not written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "shell/plugin_state.h"

enum class SettingKind : std::uint8_t {
    kLanguageWord,  // "JAPANESE", "ENGLISH" or "KOREAN"
    kUnsigned16,    // "%d"
    kSigned16,      // "%d", signed
    kDouble,        // "%g", "." as decimal point
    kText,          // "%s" in double quotes, at most 255 bytes
};

// Exactly one of the member pointers is set, the one that matches kind.
struct SettingKey {
    const char* name;
    SettingKind kind;
    std::uint16_t PluginState::*unsigned16;
    std::int16_t PluginState::*signed16;
    double PluginState::*real;
    char (PluginState::*text)[kTextFieldSize];
};

namespace settings_table_detail {

constexpr SettingKey LanguageWord(const char* name, std::uint16_t PluginState::*field) {
    return {name, SettingKind::kLanguageWord, field, nullptr, nullptr, nullptr};
}
// The overloads pick the kind from the field's own type, so the table cannot mismatch them.
constexpr SettingKey Field(const char* name, std::uint16_t PluginState::*field) {
    return {name, SettingKind::kUnsigned16, field, nullptr, nullptr, nullptr};
}
constexpr SettingKey Field(const char* name, std::int16_t PluginState::*field) {
    return {name, SettingKind::kSigned16, nullptr, field, nullptr, nullptr};
}
constexpr SettingKey Field(const char* name, double PluginState::*field) {
    return {name, SettingKind::kDouble, nullptr, nullptr, field, nullptr};
}
constexpr SettingKey Field(const char* name, char (PluginState::*field)[kTextFieldSize]) {
    return {name, SettingKind::kText, nullptr, nullptr, nullptr, field};
}

}  // namespace settings_table_detail

#define KELVANE_SETTING(field) settings_table_detail::Field(#field, &PluginState::field)

inline constexpr SettingKey kSettingKeys[] = {
    settings_table_detail::LanguageWord("language", &PluginState::language),
    KELVANE_SETTING(showoption),
    KELVANE_SETTING(toolMode),
    KELVANE_SETTING(flUseFlng),
    KELVANE_SETTING(flPointMode),
    KELVANE_SETTING(flCreatePointer),
    KELVANE_SETTING(flDivideSegment),
    KELVANE_SETTING(flPtCount),
    KELVANE_SETTING(flPtDistance1),
    KELVANE_SETTING(flPtDistance2),
    KELVANE_SETTING(flPtDistance3),
    KELVANE_SETTING(flPtLength),
    KELVANE_SETTING(flPtLineWidth),
    KELVANE_SETTING(flPtIsDashLine),
    KELVANE_SETTING(flPtDashLengD1),
    KELVANE_SETTING(flPtDashLengD2),
    KELVANE_SETTING(flPtDashLengD3),
    KELVANE_SETTING(flPtDashLengD4),
    KELVANE_SETTING(flPtDashLengD5),
    KELVANE_SETTING(flPtDashLengD6),
    KELVANE_SETTING(handleline_layer),
    KELVANE_SETTING(handleline_line_width),
    KELVANE_SETTING(handleline_line_color),
    KELVANE_SETTING(handleline_polyline),
    KELVANE_SETTING(handleline_reverse_side),
    KELVANE_SETTING(extend_endpoints),
};

#undef KELVANE_SETTING

inline constexpr std::size_t kSettingKeyCount = std::size(kSettingKeys);

// Each written line is formatted into a buffer of this size, terminating zero included.
constexpr std::size_t kSettingsLineSize = 256;

// Formats the line of one key ("key = value\r\n") into line (kSettingsLineSize bytes); returns its length.
std::size_t FormatSettingLine(const PluginState& state, const SettingKey& key, char* line);

// Fills path (kPrefsPathSize bytes) with "<prefs>/Prefs/Kelvane.ini", creating the folders on the way;
// false when there is no documents folder to put it in.
bool GetSettingsFilePath(char* path);

// The settings dialog's rules, shared by the Windows dialog and its POSIX stand-in.
#include "panel/settings_dialog.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "resource_ids.h"
#include "shell/decimal_text.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

// The names a document's black swatch has in the host's two interface languages (this file's
// narrow literals are Shift-JIS, as the host's names are).
constexpr const char* kBlackSwatchNames[] = {"ブラック", "Black", "black"};

bool IsBlackSwatchName(const std::string& name) {
    for (const char* black : kBlackSwatchNames) {
        if (name == black) return true;
    }
    return false;
}

void CopyCut(char* field, std::size_t fieldSize, const std::string& text, std::size_t limit) {
    const std::size_t length = std::min({text.size(), limit, fieldSize - 1});
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

int SettingsDialogTemplate(std::uint16_t language) {
    return language == kJapanese ? KELVANE_DIALOG_SETTINGS_JAPANESE : KELVANE_DIALOG_SETTINGS_ENGLISH;
}

double ReadLeadingNumber(const char* text) {
    if (text == nullptr) return 0.0;
    char head[kWidthFieldChars + 1] = {};
    std::strncpy(head, text, kWidthFieldChars);
    return ReadDecimalNumber(head);
}

std::vector<std::string> DocumentSwatchNames() {
    std::vector<std::string> names;
    if (sSwatchList == nullptr) return names;
    SwatchListHandle list = nullptr;
    std::int32_t count = 0;
    if (sSwatchList->GetDocumentSwatchList(&list) != kNoError) return names;
    if (sSwatchList->CountSwatches(list, &count) != kNoError) return names;
    for (std::int32_t index = 0; index < count; ++index) {
        SwatchHandle swatch = nullptr;
        if (sSwatchList->GetNthSwatch(list, index, &swatch) != kNoError) break;
        char name[kColorNameBytes + 1] = {};
        if (sSwatchList->GetSwatchName(swatch, name, sizeof name) != kNoError) break;
        name[kColorNameBytes] = '\0';
        // A swatch without a name cannot be chosen by name, so it is not offered.
        if (name[0] != '\0') names.emplace_back(name);
    }
    return names;
}

int ChooseColorEntry(const std::vector<std::string>& names, const char* stored) {
    int firstBlack = -1;
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (stored != nullptr && names[index] == stored) return static_cast<int>(index);
        if (firstBlack < 0 && IsBlackSwatchName(names[index])) firstBlack = static_cast<int>(index);
    }
    if (firstBlack >= 0) return firstBlack;
    return names.empty() ? -1 : 0;
}

SettingsDialogFields OpenSettingsDialogFields(const PluginState& state, std::vector<std::string> swatchNames) {
    SettingsDialogFields fields;
    fields.colors = std::move(swatchNames);
    fields.selectedColor = ChooseColorEntry(fields.colors, state.handleline_line_color);
    fields.layer = state.handleline_layer;
    char width[64];
    FormatDecimal(state.handleline_line_width, width, sizeof width);  // as the settings file writes it
    fields.width = width;
    fields.polyline = state.handleline_polyline != 0;
    fields.reverseSide = state.handleline_reverse_side != 0;
    return fields;
}

void StoreSettingsDialogFields(PluginState& state, const SettingsDialogFields& fields) {
    const bool chosen = fields.selectedColor >= 0 && static_cast<std::size_t>(fields.selectedColor) < fields.colors.size();
    CopyCut(state.handleline_line_color, sizeof state.handleline_line_color,
            chosen ? fields.colors[static_cast<std::size_t>(fields.selectedColor)] : std::string(), kColorNameBytes);
    CopyCut(state.handleline_layer, sizeof state.handleline_layer, fields.layer, kLayerFieldChars);
    const double width = ReadLeadingNumber(fields.width.c_str());
    if (std::isfinite(width)) state.handleline_line_width = width;  // "1e999" is no width to save
    state.handleline_polyline = fields.polyline ? 1 : 0;
    state.handleline_reverse_side = fields.reverseSide ? 1 : 0;
}

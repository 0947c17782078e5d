#include "shell/plugin_state.h"

#include <cstring>

PluginState* gState = nullptr;

namespace {

constexpr double kFiftyMillimetres = 141.7323;
constexpr double kFiveMillimetres = 14.17323;

void CopyText(char* field, std::size_t size, const char* text) {
    std::strncpy(field, text, size - 1);
    field[size - 1] = '\0';
}

}  // namespace

void SetStartValues(PluginState& state, PluginRef self, double uiScaleMax) {
    // Zero first: every handle, flag, counter and text not named below starts empty.
    std::memset(&state, 0, sizeof state);
    state.lastToolSelf = self;

    state.flCreatePointer = 1;
    state.flPtCount = 1;
    state.flPtDistance1 = kFiftyMillimetres;
    state.flPtDistance2 = kFiftyMillimetres;
    state.flPtDistance3 = kFiftyMillimetres;
    state.flPtLength = kFiveMillimetres;
    state.flPtLineWidth = 0.1;

    CopyText(state.handleline_layer, sizeof state.handleline_layer, "HANDLE LINE");
    state.handleline_line_width = 0.5;
    state.handleline_polyline = 1;

    for (AnchorHit& hit : state.adjustHits) hit = AnchorHit{nullptr, kNoAnchorIndex};

    state.uiScaleMax = uiScaleMax;
    state.panelScale = 1.0;
    state.language = kJapanese;
    CopyText(state.productName, sizeof state.productName, "Kelvane");
    CopyText(state.versionText, sizeof state.versionText, "5.0.4.4");
}

#include "commands/selection_length_readout.h"

#include <cmath>

#include "commands/document_walk.h"
#include "commands/length.h"
#include "commands/saved_selection.h"
#include "commands/segment_length.h"
#include "panel/panel_readout.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr std::uint32_t kNoLengthRun = 0;
constexpr std::uint32_t kRunEnding = 2;

HostStatus AddSegment(ArtHandle, std::int16_t, std::int16_t, AnchorRecord& a, AnchorRecord& b, void* total) {
    *static_cast<double*>(total) += SegmentLength(a, b);
    return kNoError;
}

HostStatus AddLayer(ArtHandle art, void* total) {
    return WalkSelectedSegments(art, SelectionSource::Host, AddSegment, total);
}

}  // namespace

void UpdateSelectionLength() {
    if (gState->lengthAdjustStage == kRunEnding) {
        RestoreSelection();
        gState->lengthAdjustStage = kNoLengthRun;
    } else if (gState->lengthAdjustStage != kNoLengthRun) {
        // The first change after a Length command is taken as that command's own.
        gState->lengthAdjustStage = kRunEnding;
        return;
    }
    StoreMeasuredLength(MeasureSelectionLength());
}

double MeasureSelectionLength() {
    double length = 0.0;
    // A failing walk gives the length of what it reached.
    ForEachLayerArt(AddLayer, &length);
    // Anchors too far apart overflow the sum: that is no length to show or to scale to.
    return std::isfinite(length) ? length : 0.0;
}

void StoreMeasuredLength(double length) {
    if (length == gState->measuredLength) return;
    gState->measuredLength = length;
    gState->typedLength = length;
    if (gState->panel == nullptr || sPanel == nullptr) return;
    PlatformWindow window = nullptr;
    if (sPanel->GetPlatformWindow(gState->panel, &window) != kNoError) return;
    ShowMeasuredLength(window, length);
}

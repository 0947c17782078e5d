// The Length command: the selected segments given a new total length by rescaling the handles of
// the curved ones, without moving any anchor. Also the walk over selected segments that the
// selection length readout shares.
#pragma once

#include <cstdint>

#include "host/host_types.h"

// ---- Selected segments ----

// The segment from the anchor with value `before` to the one with value `after`.
bool SegmentIsSelected(std::uint16_t before, std::uint16_t after);

enum class SelectionSource {
    SavedOrHost,  // the saved selection of a Length run while it exists (IsArtSelected, GetSegmentSelection)
    Host,         // always the host's current selection
};

// May change both records; the later one is carried on as the earlier record of the next segment.
using SegmentVisit = HostStatus (*)(ArtHandle path, std::int16_t from, std::int16_t to, AnchorRecord& a,
                                    AnchorRecord& b, void* context);

// Every selected segment of the selected paths in art, depth first (groups and compound paths
// entered), in anchor order with a closed path's closing segment last; ends at the first failure.
HostStatus WalkSelectedSegments(ArtHandle art, SelectionSource source, SegmentVisit visit, void* context);

// ---- Length ----

// Brings the selected segments to the target total, within the handles' 1-point floor; beeps when
// there is no selected curve to change.
void SetSelectionLength(double target);

// Commands 1001 (slider) and 1003 (typed length).
void RunLengthCommand(std::uint16_t commandId);

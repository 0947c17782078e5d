// Gathering the selected straight segments of the document for the line construction commands.
#pragma once

#include <cstdint>

#include "host/host_types.h"

struct LineRecord {
    ArtHandle art;             // the path that holds the segment
    ArtHandle owner;           // enclosing compound path, or the path a style redirect came from; else null
    std::int32_t segmentNumber;  // index of the segment's second anchor (n for the closing segment)
    RealPoint start;
    RealPoint end;
    std::int16_t startSelection;  // AnchorSelection of the first anchor
    std::int16_t endSelection;
    std::int16_t startIsPathEnd;  // extension crossing only: start is the first anchor of an open path
    std::int16_t endIsPathEnd;    // extension crossing only: end is the last anchor of an open path
    std::int16_t used;            // set once the line has been paired
};

// Lives for one command run: zero-initialise it, fill it, then ReleaseLineList.
struct LineList {
    LineRecord* records;
    std::int32_t count;
    std::int32_t capacity;
    std::int32_t nonStraightCount;  // selected objects that gave no line
};

// Fills list from the selection of the current document; markPathEnds fills the two path-end flags.
// Host statuses are ignored (a failed read leaves its output as it was). False only when memory for
// the list ran out: the caller must then stop without changing anything.
bool CollectSelectedLines(LineList& list, bool markPathEnds);

// Appends record unless a line with the same ends (either way round, within 0.001) is already there.
// False when the list could not grow.
bool AddLine(LineList& list, const LineRecord& record);

void ReleaseLineList(LineList& list);

// A new open path of corner anchors without handles, placed as the topmost object of line's layer
// and styled like line's object (its owner when it has one). False when the host refused the path
// or a point is not finite.
bool MakeCornerPath(const LineRecord& line, const RealPoint* points, std::int16_t count);

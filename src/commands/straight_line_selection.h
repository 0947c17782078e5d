// Gathering the selected straight segments of the document for the line construction commands.
#pragma once

#include <cstdint>
#include <vector>

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

// The pairs that a search of every unused line against every later line (used or not) takes, pass
// by pass: the smallest distance wins, the first pair in list order among equal ones, and a first
// pair whose distance is not a number is never replaced. A line's best later partner does not depend
// on the used flags, so every distance is taken once and each pass only skips used lines: n^2
// distances in all instead of n^2 per pass.
class LinePairs {
public:
    using Distance = double (*)(const LineRecord& i, const LineRecord& j);
    LinePairs(const LineList& list, Distance distance);
    // The next pass's pair (first < second), or false when every line before the last is used. The
    // caller marks both lines used before asking again.
    bool Next(const LineList& list, std::int32_t& first, std::int32_t& second);

private:
    struct Row {
        double distance;      // the smallest distance that is a number; meaningless when partner < 0
        std::int32_t partner;  // the first later line at that distance, -1 when there is none
        bool firstIsNaN;      // the distance to the very next line is not a number
    };
    std::vector<Row> rows_;
    std::vector<std::int32_t> order_;  // rows with a partner, by distance, then by index
    std::size_t cursor_ = 0;
    std::int32_t firstUnused_ = 0;
};

// A new open path of corner anchors without handles, placed as the topmost object of line's layer
// and styled like line's object (its owner when it has one). False when the host refused the path
// or a point is not finite.
bool MakeCornerPath(const LineRecord& line, const RealPoint* points, std::int16_t count);

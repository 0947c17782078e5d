// The record of an adjust on the moved object (the tag "Path_adjust_matrix"), and the restore
// command that takes recorded moves back.
#pragma once

#include "host/host_types.h"

// A geometric reference of an object: its first anchor and the anchor farthest from it.
struct AdjustReference {
    double angle;        // of the vector from first to farthest, radians
    double length;       // from first to farthest; -1 when the object has no anchor
    RealPoint first;
    RealPoint farthest;
    bool complete;  // every host query of the walk answered: a record may be made of it
};

// Walks the object depth first (guides skipped) and measures its reference.
AdjustReference MeasureReference(ArtHandle object);

// Sets the object's record of a move by matrix, measured as reference before the move.
HostStatus WriteAdjustRecord(ArtHandle object, const RealMatrix& matrix, const AdjustReference& reference);

// "AI Edit Options" of either adjust tool: after a confirmation, restores the selected top-level
// objects (or all when none is selected).
HostStatus OnAdjustEditOptions();

// Moves every recorded top-level object (only selected ones when selectedOnly) back to where it stood
// before its last adjust and removes its record. Objects whose record is short, or whose shape no
// longer matches their reference, are passed over and keep their record.
void RestorePathAdjust(bool selectedOnly);

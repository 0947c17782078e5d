// The rigid motions (a turn and a shift, never a scale) that the adjust tools apply, and the
// objects they move.
#pragma once

#include "host/host_types.h"
#include "shell/plugin_state.h"

// The object that is a direct child of the root group of art's layer (art itself when it is one).
ArtHandle TopLevelObject(ArtHandle art);

// The anchor of a hit and the points that give its two directions: its handles, or where a handle is
// retracted the neighbouring anchor (wrapping around at both ends, open path or not). A direction
// point equal to the anchor counts as missing.
struct DirectionSet {
    RealPoint anchor;
    RealPoint inPoint;
    RealPoint outPoint;
    bool hasIn;
    bool hasOut;
};
// False when the hit names nothing the host can read.
bool DirectionPoints(const AnchorHit& hit, DirectionSet& directions);

// T(-from), then R(angle), then T(to): takes from to to and turns every direction by angle.
bool RigidMotion(const RealPoint& from, const RealPoint& to, double angle, RealMatrix& matrix);

// The Point adjust matrix: mode 1 (one drag P1 -> P2, orientation chosen by cursor) or mode 2 (two
// drags). False when the hits do not allow it.
bool ComputeAlignMatrix(int mode, RealMatrix& matrix, const RealPoint& cursor);

// The apply steps of the two tools; false (nothing moved) when the gesture's hits do not allow it.
bool ApplyPathAdjust();
bool ApplyPointAdjust(int mode);

// Moves target, or every selected top-level object when target is selected, each with its record.
void TransformTargets(ArtHandle target, const RealMatrix& matrix);

// The panel's readouts and the length texts they show, in the document's ruler units.
#pragma once

#include "host/host_types.h"
#include "panel/length_text.h"

// Shows a newly measured length in the panel's length readout (empty for 0); an empty readout
// also clears the measured and typed lengths and the slider. The readout and the slider are enabled
// exactly when a length is measured.
void ShowMeasuredLength(PlatformWindow window, double length);

// Control id's text: length in the ruler unit, or value in points ("%g pt").
void ShowLengthInControl(PlatformWindow window, int id, double length);
void ShowPointsInControl(PlatformWindow window, int id, double value);

// The distance and size fields again, in the current ruler unit.
void RefreshLengthReadouts(PlatformWindow window);

// The panel's length readout and the length texts it shows, in the document's ruler units.
#pragma once

#include <cstddef>

#include "host/host_types.h"

// value as the host writes it in the document's ruler units (empty when the host cannot).
void RulerUnitsText(double value, char* text, std::size_t size);

// length in points as "%g %s" in the ruler unit, rounded to three decimals ("12.5 mm", "2 pc").
void FormatLengthText(double length, char* text, std::size_t size);

// Shows a newly measured length in the panel's length readout (empty for 0); an empty readout
// also clears the measured and typed lengths and the slider position.
void ShowMeasuredLength(PlatformWindow window, double length);

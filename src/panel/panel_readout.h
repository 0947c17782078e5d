// The panel's readouts and the length texts they show, in the document's ruler units.
#pragma once

#include <cstddef>

#include "host/host_types.h"

// Units of ParseLengthText, by code; 0 means the document's ruler unit.
enum LengthUnitCode : int {
    kUnitRuler = 0,
    kUnitInch = 1,
    kUnitCentimetre = 2,
    kUnitPoint = 3,
    kUnitPica = 4,
    kUnitMillimetre = 5,
    kUnitPixel = 6,
    kUnitQuarterMillimetre = 7,  // the Japanese H unit
};

// value as the host writes it in the document's ruler units (empty when the host cannot).
void RulerUnitsText(double value, char* text, std::size_t size);

// length in points as "%g %s" in the ruler unit, rounded to three decimals ("12.5 mm", "2 pc").
void FormatLengthText(double length, char* text, std::size_t size);

// A typed length in points: the number at the start of text times its unit, which is the one the
// text ends with (in, cm, pt, pc, mm, px, H), else defaultUnit, else the ruler unit. 0 when the text
// has no number.
double ParseLengthText(const char* text, int defaultUnit);

// Shows a newly measured length in the panel's length readout (empty for 0); an empty readout
// also clears the measured and typed lengths and the slider. The readout and the slider are enabled
// exactly when a length is measured.
void ShowMeasuredLength(PlatformWindow window, double length);

// Control id's text: length in the ruler unit, or value in points ("%g pt").
void ShowLengthInControl(PlatformWindow window, int id, double length);
void ShowPointsInControl(PlatformWindow window, int id, double value);

// The distance and size fields again, in the current ruler unit.
void RefreshLengthReadouts(PlatformWindow window);

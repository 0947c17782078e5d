// Lengths as the panel's texts: shown in the document's ruler unit, typed with a unit of their own.
// Only text and arithmetic, and the host's User suite for the ruler unit: no window is touched.
#pragma once

#include <cstddef>

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
// has no number or the length is beyond the range of a double.
double ParseLengthText(const char* text, int defaultUnit);

// The alert texts of the angle bisector and extension crossing commands, in both languages.
#pragma once

#include <cstdint>

enum class LineCommandAlert {
    NonStraightSelected,
    TooFewLinesForBisector,
    BisectorNotCreated,
    TooFewLinesForCrossing,
    CrossingOutsideDrawingArea,
    LinesShareVertex,
};

// The text for the language field of the state record (0 Japanese as Shift-JIS, else English).
const char* LineCommandAlertText(LineCommandAlert alert, std::uint16_t language);

// Shows the text in the host's alert box in the current language.
void ShowLineCommandAlert(LineCommandAlert alert);

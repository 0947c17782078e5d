#include "panel/panel_readout.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr std::int32_t kHostPrecision = -1;

struct LengthUnit {
    double points;  // points per unit
    const char* text;
};

constexpr LengthUnit kInch{72.0, "in"};
constexpr LengthUnit kCentimetre{28.346456692913385, "cm"};
constexpr LengthUnit kPoint{1.0, "pt"};
constexpr LengthUnit kPica{12.0, "pc"};
constexpr LengthUnit kMillimetre{2.8346456692913384, "mm"};
constexpr LengthUnit kPixel{1.0, "px"};
constexpr LengthUnit kQuarterMillimetre{0.7086614173228346, "H"};

bool EndsWith(const char* text, const char* ending) {
    const std::size_t length = std::strlen(text);
    const std::size_t endingLength = std::strlen(ending);
    return length >= endingLength && std::strcmp(text + length - endingLength, ending) == 0;
}

// The ruler unit, read from how the host writes a zero length in it (picas as "0p0").
LengthUnit RulerUnit() {
    char zero[kTextFieldSize];
    RulerUnitsText(0.0, zero, sizeof zero);
    if (EndsWith(zero, "in")) return kInch;
    if (EndsWith(zero, "cm")) return kCentimetre;
    if (EndsWith(zero, "pt")) return kPoint;
    if (EndsWith(zero, "p0")) return kPica;
    if (EndsWith(zero, "mm")) return kMillimetre;
    if (EndsWith(zero, "px")) return kPixel;
    if (EndsWith(zero, "H")) return kQuarterMillimetre;
    return kPoint;
}

// Truncation to a 32-bit integer, held inside its range so that a huge length stays defined.
std::int32_t Truncated(double value) {
    if (!(value > INT32_MIN)) return INT32_MIN;
    if (!(value < INT32_MAX)) return INT32_MAX;
    return static_cast<std::int32_t>(value);
}

}  // namespace

void RulerUnitsText(double value, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    const std::size_t usable = size < kTextFieldSize ? size : kTextFieldSize;
    if (sUser == nullptr ||
        sUser->PointsToUnitsText(value, kHostPrecision, text, static_cast<std::int32_t>(usable)) != kNoError) {
        text[0] = '\0';
    }
    text[size - 1] = '\0';
}

void FormatLengthText(double length, char* text, std::size_t size) {
    const LengthUnit unit = RulerUnit();
    const double rounded = Truncated(length / unit.points * 1000.0 + 0.5) / 1000.0;
    std::snprintf(text, size, "%g %s", rounded, unit.text);
}

// The state fields only. Writing the text into control 3 (selected when it has the focus), moving
// the slider to 0 and enabling control 3 and the slider by the measured length are the panel's
// control updates, added with the panel's windows.
void ShowMeasuredLength(PlatformWindow /*window*/, double length) {
    char text[kTextFieldSize] = "";
    if (length != 0) FormatLengthText(length, text, sizeof text);
    if (std::strcmp(text, gState->readoutText) == 0) return;
    std::memcpy(gState->readoutText, text, sizeof text);
    if (text[0] == '\0') {
        gState->measuredLength = 0.0;
        gState->typedLength = 0.0;
        gState->lengthSliderPos = 0;
    }
}

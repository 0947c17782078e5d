#include "panel/length_text.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shell/decimal_text.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr std::int32_t kHostPrecision = -1;
constexpr std::size_t kTypedChars = 80;

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

// The unit a typed text names at its end; its length in suffixLength.
const LengthUnit* NamedUnit(const char* text, std::size_t* suffixLength) {
    struct Suffix {
        const char* text;
        const LengthUnit* unit;
    };
    static constexpr Suffix kSuffixes[] = {{"in", &kInch},      {"cm", &kCentimetre}, {"pt", &kPoint},
                                           {"pc", &kPica},      {"mm", &kMillimetre}, {"px", &kPixel},
                                           {"H", &kQuarterMillimetre}};
    for (const Suffix& suffix : kSuffixes) {
        if (EndsWith(text, suffix.text)) {
            *suffixLength = std::strlen(suffix.text);
            return suffix.unit;
        }
    }
    return nullptr;
}

LengthUnit UnitOfCode(int code) {
    switch (code) {
        case kUnitInch: return kInch;
        case kUnitCentimetre: return kCentimetre;
        case kUnitPoint: return kPoint;
        case kUnitPica: return kPica;
        case kUnitMillimetre: return kMillimetre;
        case kUnitPixel: return kPixel;
        case kUnitQuarterMillimetre: return kQuarterMillimetre;
        default: return RulerUnit();
    }
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
    char number[32];
    FormatDecimal(rounded, number, sizeof number);
    std::snprintf(text, size, "%s %s", number, unit.text);
}

double ParseLengthText(const char* text, int defaultUnit) {
    char typed[kTypedChars + 1];
    std::strncpy(typed, text != nullptr ? text : "", kTypedChars);
    typed[kTypedChars] = '\0';
    std::size_t suffixLength = 0;
    const LengthUnit* named = NamedUnit(typed, &suffixLength);
    LengthUnit unit = kPoint;
    if (named != nullptr) {
        typed[std::strlen(typed) - suffixLength] = '\0';
        unit = *named;
    } else {
        unit = UnitOfCode(defaultUnit);
    }
    // A number beyond a double's range reads as infinity, and a large one can overflow in points:
    // neither is a length that a field could take.
    const double points = ReadDecimalNumber(typed) * unit.points;
    return std::isfinite(points) ? points : 0.0;
}


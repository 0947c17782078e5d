// Feeds arbitrary text to the reader of typed lengths, in every ruler unit and with every default
// unit, the host's User suite standing in as the simulated host writes units. Beyond crashes and
// sanitizer reports it checks that a length read is finite, that only the first 80 characters
// count, that a unit typed at the end wins over the default and the ruler unit, and that a length
// shown in the ruler unit reads back to itself within the three decimals shown.
//
// Input: byte 0 picks the ruler unit ('0' to '6': in, cm, pt, pc, mm, px, H; '7': a host that
// cannot tell it), byte 1 the default unit code ('0' to '7'; '8' and '9' are the codes 8 and -1,
// outside the range), the rest is the text (up to its first zero byte, as a control holds it).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "panel/length_text.h"
#include "shell/suites.h"
#include "units.h"

namespace {

constexpr std::size_t kTypedChars = 80;
constexpr sim::RulerUnit kRulerUnits[] = {sim::RulerUnit::Inches,      sim::RulerUnit::Centimeters,
                                          sim::RulerUnit::Points,      sim::RulerUnit::Picas,
                                          sim::RulerUnit::Millimeters, sim::RulerUnit::Pixels,
                                          sim::RulerUnit::Q};

sim::RulerUnit gRulerUnit = sim::RulerUnit::Points;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

HostStatus PointsToUnitsText(double points, std::int32_t precision, char* text, std::int32_t textSize) {
    if (text == nullptr || textSize <= 0) return FourCharCode('P', 'A', 'R', 'M');
    const std::string written = sim::PointsToUnitsText(points, gRulerUnit, precision);
    const std::size_t n = std::min(written.size(), static_cast<std::size_t>(textSize - 1));
    std::memcpy(text, written.data(), n);
    text[n] = '\0';
    return kNoError;
}

const UserSuite kUserSuite{nullptr, nullptr, nullptr, nullptr, PointsToUnitsText, nullptr};

bool EndsWithUnit(const std::string& text) {
    static constexpr const char* kSuffixes[] = {"in", "cm", "pt", "pc", "mm", "px", "H"};
    for (const char* suffix : kSuffixes) {
        const std::size_t n = std::strlen(suffix);
        if (text.size() >= n && text.compare(text.size() - n, n, suffix) == 0) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned rulerChoice = static_cast<std::uint8_t>(data[0] - '0') % 8;
    const bool hostKnowsUnit = rulerChoice < 7;
    gRulerUnit = hostKnowsUnit ? kRulerUnits[rulerChoice] : sim::RulerUnit::Points;
    sUser = hostKnowsUnit ? &kUserSuite : nullptr;
    const int unitChoice = static_cast<std::uint8_t>(data[1] - '0') % 10;
    const int defaultUnit = unitChoice == 9 ? -1 : unitChoice;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string typed = text.substr(0, std::strlen(text.c_str()));  // what a control holds

    const double value = ParseLengthText(typed.c_str(), defaultUnit);
    Check(std::isfinite(value));
    Check(ParseLengthText(typed.substr(0, kTypedChars).c_str(), defaultUnit) == value);
    if (EndsWithUnit(typed.substr(0, kTypedChars))) {
        Check(ParseLengthText(typed.c_str(), kUnitPoint) == value);
        Check(ParseLengthText(typed.c_str(), kUnitRuler) == value);
    }

    // Shown in the ruler unit and read back: the same length, within the rounding to three decimals
    // and the six digits of %g, as long as the number shown is not held at the 32-bit limit. The
    // rounding truncates v * 1000 + 0.5, which rounds a negative v by up to 1.5 thousandths.
    char shown[256];
    FormatLengthText(value, shown, sizeof shown);
    Check(std::strlen(shown) < sizeof shown - 1);
    const double factor = sim::PointsPerUnit(gRulerUnit);
    const double units = value / factor;
    if (std::fabs(units) < 2e6) {
        const double back = ParseLengthText(shown, defaultUnit);
        const double rounding = value < 0 ? 0.0015 : 0.0005;
        Check(std::fabs(back - value) <= factor * (rounding + 1e-9 + 6e-6 * std::fabs(units)));
    }
    sUser = nullptr;
    return 0;
}

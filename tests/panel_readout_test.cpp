// The panel's length texts: a length shown in the document's ruler unit and a typed length read
// in its own unit, the default unit or the ruler unit. They call the host, inside a suite bracket.
#ifndef _WIN32

#include <string>
#include <tuple>

#include "comma_locale.h"
#include "panel/panel_readout.h"
#include "plugin_fixture.h"
#include "shell/suites.h"

namespace {

using Ruler = sim::RulerUnit;
constexpr double kMm = 2.8346456692913384;  // points
constexpr double kQ = kMm / 4;              // a quarter millimetre, in points

class LengthTextTest : public PluginTest {
protected:
    sim::Document* document = nullptr;

    void SetUp() override {
        StartPlugin();
        document = &host.NewDocument();
        AcquireSuites(host.Basic());
    }
    void TearDown() override { ReleaseSuites(host.Basic()); }

    std::string Format(double length) {
        char text[256];
        FormatLengthText(length, text, sizeof text);
        return text;
    }
};

// Shown in the ruler unit with three decimals at most, typed lengths read in points.
TEST_F(LengthTextTest, LengthsShownInTheRulerUnitAndTypedInPoints) {
    const std::tuple<Ruler, double, const char*> shownCases[] = {
        {Ruler::Inches, 108, "1.5 in"}, {Ruler::Centimeters, 108, "3.81 cm"}, {Ruler::Points, 108, "108 pt"},
        {Ruler::Picas, 108, "9 pc"},    {Ruler::Millimeters, 108, "38.1 mm"}, {Ruler::Pixels, 108, "108 px"},
        {Ruler::Q, 108, "152.4 H"},     {Ruler::Picas, 30, "2.5 pc"},         {Ruler::Millimeters, 1, "0.353 mm"}};
    for (const auto& [ruler, points, shown] : shownCases) {
        document->rulerUnit = ruler;
        EXPECT_EQ(Format(points), shown) << points;
    }

    // A typed unit wins over the default unit, which wins over the ruler unit; the number is read up
    // to what cannot continue it, and a length beyond the range of a double is no length.
    const std::tuple<const char*, int, Ruler, double> cases[] = {
        {"1in", kUnitPoint, Ruler::Millimeters, 72}, {"12pt", kUnitMillimetre, Ruler::Millimeters, 12},
        {"2pc", kUnitPoint, Ruler::Millimeters, 24}, {"25.4mm", kUnitPoint, Ruler::Millimeters, 72},
        {"10px", kUnitMillimetre, Ruler::Millimeters, 10}, {"4H", kUnitPoint, Ruler::Millimeters, 4 * kQ},
        {" 3 mm", kUnitPoint, Ruler::Millimeters, 3 * kMm}, {"2", kUnitPoint, Ruler::Centimeters, 2},
        {"2", kUnitInch, Ruler::Centimeters, 144}, {"2", kUnitRuler, Ruler::Centimeters, 2 * 10 * kMm},
        {"1.5", kUnitRuler, Ruler::Inches, 1.5 * 72}, {"1.5", kUnitRuler, Ruler::Picas, 1.5 * 12},
        {"1.5", kUnitRuler, Ruler::Q, 1.5 * kQ}, {"abc", kUnitPoint, Ruler::Points, 0},
        {"7 apples", kUnitPoint, Ruler::Points, 7}, {"9e999pc", kUnitPoint, Ruler::Points, 0},
        // 1e307 inches are beyond the range once in points.
        {"1e307in", kUnitPoint, Ruler::Points, 0}, {"1e308", kUnitPoint, Ruler::Points, 1e308},
    };
    for (const auto& [text, defaultUnit, ruler, points] : cases) {
        document->rulerUnit = ruler;
        EXPECT_DOUBLE_EQ(ParseLengthText(text, defaultUnit), points) << '"' << text << '"';
    }
    EXPECT_EQ(ParseLengthText(nullptr, kUnitPoint), 0);
    // Only the first 80 characters are read: a unit beyond them is not seen.
    EXPECT_EQ(ParseLengthText(("2" + std::string(90, ' ') + "in").c_str(), kUnitPoint), 2);
}

TEST_F(LengthTextTest, TheDecimalPointIgnoresTheLocale) {
    const CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    document->rulerUnit = sim::RulerUnit::Millimeters;
    EXPECT_EQ(Format(1), "0.353 mm");
    EXPECT_DOUBLE_EQ(ParseLengthText("2.5mm", kUnitPoint), 2.5 * kMm);
    EXPECT_DOUBLE_EQ(ParseLengthText("2,5mm", kUnitPoint), 2 * kMm) << "read up to the comma";
}

}  // namespace

#endif

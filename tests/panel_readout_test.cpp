// The panel's length texts: a length shown in the document's ruler unit and a typed length read
// in its own unit, the default unit or the ruler unit. They call the host, inside a suite bracket.
#ifndef _WIN32

#include <string>

#include "comma_locale.h"
#include "document.h"
#include "panel/panel_readout.h"
#include "plugin_fixture.h"
#include "shell/suites.h"

namespace {

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

TEST_F(LengthTextTest, LengthsAreShownInTheRulerUnit) {
    const std::pair<sim::RulerUnit, const char*> units[] = {
        {sim::RulerUnit::Inches, "1.5 in"},     {sim::RulerUnit::Centimeters, "3.81 cm"},
        {sim::RulerUnit::Points, "108 pt"},     {sim::RulerUnit::Picas, "9 pc"},
        {sim::RulerUnit::Millimeters, "38.1 mm"}, {sim::RulerUnit::Pixels, "108 px"},
        {sim::RulerUnit::Q, "152.4 H"},
    };
    for (const auto& [unit, expected] : units) {
        document->rulerUnit = unit;
        EXPECT_EQ(Format(108), expected);
    }
    document->rulerUnit = sim::RulerUnit::Picas;
    EXPECT_EQ(Format(30), "2.5 pc");
    document->rulerUnit = sim::RulerUnit::Millimeters;
    EXPECT_EQ(Format(1), "0.353 mm") << "three decimals";
}

TEST_F(LengthTextTest, ATypedUnitWinsOverTheDefaultAndTheRuler) {
    document->rulerUnit = sim::RulerUnit::Millimeters;
    EXPECT_DOUBLE_EQ(ParseLengthText("1in", kUnitPoint), 72);
    EXPECT_DOUBLE_EQ(ParseLengthText("2.54cm", kUnitPoint), 72);
    EXPECT_DOUBLE_EQ(ParseLengthText("12pt", kUnitMillimetre), 12);
    EXPECT_DOUBLE_EQ(ParseLengthText("2pc", kUnitPoint), 24);
    EXPECT_DOUBLE_EQ(ParseLengthText("25.4mm", kUnitPoint), 72);
    EXPECT_DOUBLE_EQ(ParseLengthText("10px", kUnitMillimetre), 10);
    EXPECT_DOUBLE_EQ(ParseLengthText("4H", kUnitPoint), 4 * 0.7086614173228346);
    EXPECT_DOUBLE_EQ(ParseLengthText(" 3 mm", kUnitPoint), 3 * 2.8346456692913384) << "white space and a blank";
}

TEST_F(LengthTextTest, TheDecimalPointIgnoresTheLocale) {
    const CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
    document->rulerUnit = sim::RulerUnit::Millimeters;
    EXPECT_EQ(Format(1), "0.353 mm");
    EXPECT_DOUBLE_EQ(ParseLengthText("2.5mm", kUnitPoint), 2.5 * 2.8346456692913384);
    EXPECT_DOUBLE_EQ(ParseLengthText("2,5mm", kUnitPoint), 2 * 2.8346456692913384) << "read up to the comma";
}

TEST_F(LengthTextTest, WithoutAUnitTheDefaultElseTheRulerUnit) {
    document->rulerUnit = sim::RulerUnit::Centimeters;
    EXPECT_DOUBLE_EQ(ParseLengthText("2", kUnitPoint), 2) << "one character, no suffix: the default unit";
    EXPECT_DOUBLE_EQ(ParseLengthText("2", kUnitInch), 144);
    EXPECT_DOUBLE_EQ(ParseLengthText("2", kUnitRuler), 2 * 28.346456692913385);
    const std::pair<sim::RulerUnit, double> rulers[] = {
        {sim::RulerUnit::Inches, 72},  {sim::RulerUnit::Points, 1},         {sim::RulerUnit::Picas, 12},
        {sim::RulerUnit::Pixels, 1},   {sim::RulerUnit::Q, 0.7086614173228346},
        {sim::RulerUnit::Millimeters, 2.8346456692913384},
    };
    for (const auto& [unit, factor] : rulers) {
        document->rulerUnit = unit;
        EXPECT_DOUBLE_EQ(ParseLengthText("1.5", kUnitRuler), 1.5 * factor);
    }
}

TEST_F(LengthTextTest, TheNumberIsReadUpToWhatCannotContinueIt) {
    EXPECT_EQ(ParseLengthText("abc", kUnitPoint), 0);
    EXPECT_EQ(ParseLengthText("", kUnitPoint), 0);
    EXPECT_EQ(ParseLengthText("-2pt", kUnitPoint), -2);
    EXPECT_EQ(ParseLengthText("1.5e1pt", kUnitPoint), 15);
    EXPECT_EQ(ParseLengthText("7 apples", kUnitPoint), 7);
    EXPECT_EQ(ParseLengthText("0x10", kUnitPoint), 0) << "decimal only";
    EXPECT_EQ(ParseLengthText("inf", kUnitPoint), 0);
    EXPECT_EQ(ParseLengthText(nullptr, kUnitPoint), 0);
    // Only the first 80 characters are read: a unit beyond them is not seen.
    const std::string padded = "2" + std::string(90, ' ') + "in";
    EXPECT_EQ(ParseLengthText(padded.c_str(), kUnitPoint), 2);
}

TEST_F(LengthTextTest, ALengthBeyondTheRangeOfADoubleIsNoLength) {
    EXPECT_EQ(ParseLengthText("9e999pc", kUnitPoint), 0) << "the number itself";
    EXPECT_EQ(ParseLengthText("-1e400", kUnitPoint), 0);
    EXPECT_EQ(ParseLengthText("1e307in", kUnitPoint), 0) << "the number in points";
    EXPECT_EQ(ParseLengthText("1e308", kUnitPoint), 1e308) << "the largest lengths are still read";
    EXPECT_EQ(ParseLengthText("1e-400", kUnitPoint), 0);
}

}  // namespace

#endif

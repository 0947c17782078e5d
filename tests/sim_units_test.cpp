// Lengths in ruler units as the User suite writes and reads them, through the suite itself so
// that the document's ruler unit is the one used.
#include <gtest/gtest.h>

#include <string>

#include "document.h"
#include "host.h"
#include "host/suites.h"

namespace {

class SimUnits : public ::testing::Test {
protected:
    sim::Host host;
    sim::Document& document = host.NewDocument();
    const UserSuite* user = nullptr;

    void SetUp() override {
        const void* suite = nullptr;
        ASSERT_EQ(host.Basic()->AcquireSuite("AI User Suite", 21, &suite), kNoError);
        user = static_cast<const UserSuite*>(suite);
    }

    std::string Text(double points, sim::RulerUnit unit, int precision = -1) {
        document.rulerUnit = unit;
        char text[64];
        EXPECT_EQ(user->PointsToUnitsText(points, precision, text, sizeof text), kNoError);
        return text;
    }

    // Points, or -1 when the host finds the text invalid.
    double Points(const char* text, sim::RulerUnit unit) {
        document.rulerUnit = unit;
        double points = -1;
        std::int32_t valid = -1;
        EXPECT_EQ(user->UnitsTextToPoints(text, &points, &valid), kNoError);
        return valid == 1 ? points : -1;
    }
};

TEST_F(SimUnits, PointsAsText) {
    EXPECT_EQ(Text(141.73228346456693, sim::RulerUnit::Millimeters), "50 mm");
    EXPECT_EQ(Text(30, sim::RulerUnit::Picas), "2p6");
    EXPECT_EQ(Text(0, sim::RulerUnit::Picas), "0p0");
    EXPECT_EQ(Text(-30, sim::RulerUnit::Picas), "-2p6");
    EXPECT_EQ(Text(108, sim::RulerUnit::Inches), "1.5 in");
    EXPECT_EQ(Text(0, sim::RulerUnit::Points), "0 pt");
    EXPECT_EQ(Text(7.0866141732283465, sim::RulerUnit::Q), "10 H");
    EXPECT_EQ(Text(10, sim::RulerUnit::Centimeters), "0.353 cm");
    EXPECT_EQ(Text(10, sim::RulerUnit::Centimeters, 1), "0.4 cm");
    EXPECT_EQ(Text(12, sim::RulerUnit::Pixels), "12 px") << "the host's pixel is a point";

    char small[4];
    EXPECT_EQ(user->PointsToUnitsText(1234, -1, small, sizeof small), kNoError);
    EXPECT_STREQ(small, "123") << "cut to the buffer";
}

TEST_F(SimUnits, TextAsPoints) {
    EXPECT_DOUBLE_EQ(Points("2p6", sim::RulerUnit::Points), 30);
    EXPECT_DOUBLE_EQ(Points("2p", sim::RulerUnit::Points), 24);
    EXPECT_DOUBLE_EQ(Points("p6", sim::RulerUnit::Points), 6);
    EXPECT_DOUBLE_EQ(Points("2.5", sim::RulerUnit::Picas), 30);
    EXPECT_DOUBLE_EQ(Points("50", sim::RulerUnit::Millimeters), 50 * 72 / 25.4);
    EXPECT_DOUBLE_EQ(Points(" 50 mm ", sim::RulerUnit::Inches), 50 * 72 / 25.4);
    EXPECT_DOUBLE_EQ(Points("1in", sim::RulerUnit::Millimeters), 72);
    EXPECT_DOUBLE_EQ(Points("4 H", sim::RulerUnit::Points), 72 / 25.4);
    EXPECT_DOUBLE_EQ(Points("-3 pt", sim::RulerUnit::Millimeters), -3);
    EXPECT_DOUBLE_EQ(Points("abc", sim::RulerUnit::Points), -1);
    EXPECT_DOUBLE_EQ(Points("", sim::RulerUnit::Points), -1);
    EXPECT_DOUBLE_EQ(Points("5 furlongs", sim::RulerUnit::Points), -1);
    EXPECT_DOUBLE_EQ(Points("px", sim::RulerUnit::Points), -1);
}

}  // namespace

// SVG path data: every command read into cubic anchors, faults refused, and written back exactly.
#include "svg_path_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <utility>

namespace {

using kvsvg::ParsePathData;
using kvsvg::PathDataError;
using kvsvg::Subpath;

void ExpectPoint(const RealPoint& actual, double h, double v, const char* what) {
    EXPECT_NEAR(actual.h, h, 1e-6) << what;
    EXPECT_NEAR(actual.v, v, 1e-6) << what;
}

bool SameAnchors(const std::vector<Subpath>& a, const std::vector<Subpath>& b) {
    const auto same = [](const RealPoint& p, const RealPoint& q) {
        return std::fabs(p.h - q.h) < 1e-9 && std::fabs(p.v - q.v) < 1e-9;
    };
    const auto sameAnchor = [&](const AnchorRecord& x, const AnchorRecord& y) {
        return same(x.p, y.p) && same(x.in, y.in) && same(x.out, y.out) && x.corner == y.corner;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const Subpath& x, const Subpath& y) {
        return x.closed == y.closed &&
               std::equal(x.anchors.begin(), x.anchors.end(), y.anchors.begin(), y.anchors.end(), sameAnchor);
    });
}

TEST(SvgPathData, RelativeCommandsGiveTheSameAnchorsAsAbsoluteOnes) {
    const std::vector<Subpath> absolute =
        ParsePathData("M10 20 L30 20 H50 V60 C60 60 70 70 70 80 S80 100 90 100 Q100 100 100 110 T120 120 Z");
    const std::vector<Subpath> relative =
        ParsePathData("m10 20 l20 0 h20 v40 c10 0 20 10 20 20 s10 20 20 20 q10 0 10 10 t20 10 z");
    ASSERT_EQ(absolute.size(), 1u);
    EXPECT_TRUE(absolute[0].closed);
    EXPECT_TRUE(SameAnchors(absolute, relative));

    const std::vector<AnchorRecord>& a = absolute[0].anchors;
    ASSERT_EQ(a.size(), 8u);
    ExpectPoint(a[2].p, 50, 20, "H keeps y");
    ExpectPoint(a[3].p, 50, 60, "V keeps x");
    ExpectPoint(a[3].out, 60, 60, "C first control on the previous anchor");
    ExpectPoint(a[4].in, 70, 70, "C second control");
    ExpectPoint(a[4].out, 70, 90, "S reflects the previous second control");
    // Q(100,100) from (90,100) to (100,110): cubic controls at two thirds towards the control.
    ExpectPoint(a[5].out, 90 + 2.0 / 3 * 10, 100, "Q as a cubic, first control");
    ExpectPoint(a[6].in, 100, 110 - 2.0 / 3 * 10, "Q as a cubic, second control");
    // T reflects the quadratic control (100,100) through (100,110): (100,120).
    ExpectPoint(a[6].out, 100, 110 + 2.0 / 3 * 10, "T reflects the quadratic control");
    EXPECT_TRUE(a[0].corner);
    EXPECT_FALSE(a[4].corner) << "S makes a smooth anchor";
    // Without a curve before them, S and T take the current point as the reflected control.
    ExpectPoint(ParsePathData("M0 0 L10 0 S20 10 30 10")[0].anchors[1].out, 10, 0, "S after a line");
    ExpectPoint(ParsePathData("M0 0 C0 5 5 10 10 10 T20 20")[0].anchors[1].out, 10, 10, "T after a cubic");
}

TEST(SvgPathData, ArcsBecomeQuarterCubicsWithCircleHandlesAndHugeOnesAreNotSquared) {
    // From (0,0) to (100,0) with radius 50: a half circle through (50,-50) (sweep 1) or (50,50).
    for (int sweep : {0, 1}) {
        const std::vector<Subpath> arc = ParsePathData("M0 0 A50 50 0 0 " + std::to_string(sweep) + " 100 0");
        ASSERT_EQ(arc[0].anchors.size(), 3u) << "two quarter pieces";
        const double v = sweep == 1 ? -50 : 50;
        ExpectPoint(arc[0].anchors[1].p, 50, v, "the middle of the half circle");
        ExpectPoint(arc[0].anchors[2].p, 100, 0, "the arc ends exactly on its end point");
        ExpectPoint(arc[0].anchors[0].out, 0, v * kvsvg::kQuarterArcHandle, "quarter-circle handle");
        ExpectPoint(arc[0].anchors[1].in, 50 - 50 * kvsvg::kQuarterArcHandle, v, "quarter-circle handle");
        EXPECT_FALSE(arc[0].anchors[1].corner);
    }
    // Radii too small for the end points grow until they fit: the same half circle.
    ExpectPoint(ParsePathData("M0 0 A10 10 0 0 1 100 0")[0].anchors[1].p, 50, -50, "radii scaled up");
    // The large-arc flag takes the long way round: three quarters of a circle in three pieces.
    const std::vector<Subpath> large = ParsePathData("M50 0 a50 50 0 1 0 -50 50");
    ASSERT_EQ(large[0].anchors.size(), 4u);
    ExpectPoint(large[0].anchors.back().p, 0, 50, "relative arc end");
    // A zero radius makes a straight line; equal end points no segment at all.
    const std::vector<Subpath> flat = ParsePathData("M0 0 A0 5 0 0 1 10 0 A5 5 0 0 1 10 0");
    ASSERT_EQ(flat[0].anchors.size(), 2u);
    ExpectPoint(flat[0].anchors[0].out, 0, 0, "no handle on a straight arc");
    // A half circle of radius 1e200: its squares would overflow, its anchors do not.
    const std::vector<Subpath> huge = ParsePathData("M1e200 0 A1e200 1e200 0 0 1 -1e200 0");
    ASSERT_EQ(huge[0].anchors.size(), 3u);
    EXPECT_NEAR(huge[0].anchors[1].p.h / 1e200, 0, 1e-9);
    EXPECT_NEAR(huge[0].anchors[1].p.v / 1e200, 1, 1e-9);
}

TEST(SvgPathData, ImplicitRepeatsAndCompactNumbers) {
    // Pairs after a moveto are linetos, relative after m.
    EXPECT_EQ(ParsePathData("M0 0 10 0 10 10")[0].anchors.size(), 3u);
    ExpectPoint(ParsePathData("m1 1 2 2")[0].anchors[1].p, 3, 3, "relative implicit lineto");
    const std::vector<Subpath> curves = ParsePathData("M0 0c1 1 2 2 3 3 1 1 2 2 3 3");
    ExpectPoint(curves[0].anchors[2].p, 6, 6, "a repeated relative curve starts at the previous end");
    // Signs and points separate numbers; exponents; arc flags without separators.
    const std::vector<Subpath> compact = ParsePathData("M.5.5L-1e1-2E0a1 1 0 01-5-5");
    ExpectPoint(compact[0].anchors[0].p, 0.5, 0.5, "numbers run together");
    ExpectPoint(compact[0].anchors[1].p, -10, -2, "exponents");
    ExpectPoint(compact[0].anchors.back().p, -15, -7, "flags without separators");
}

TEST(SvgPathData, SubpathsClosingAndMoving) {
    // Ending on the start merges the last anchor into the first, keeping its in handle.
    const std::vector<Subpath> merged = ParsePathData("M0 0 L10 0 C10 10 5 15 0 0 Z");
    ASSERT_EQ(merged[0].anchors.size(), 2u);
    ExpectPoint(merged[0].anchors[0].in, 5, 15, "the closing curve's handle");
    // Drawing after Z starts a new subpath at the closed one's start.
    const std::vector<Subpath> after = ParsePathData("M1 1 L10 1 L10 10 Z l5 5");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[0].closed);
    EXPECT_EQ(after[0].anchors.size(), 3u);
    ExpectPoint(after[1].anchors[0].p, 1, 1, "new subpath at the start");
    ExpectPoint(after[1].anchors[1].p, 6, 6, "relative to the start");
    // A subpath that only moves is dropped, unless it is all there is.
    EXPECT_EQ(ParsePathData("M0 0 M5 5 L6 6").size(), 1u);
    EXPECT_EQ(ParsePathData("M5 5")[0].anchors.size(), 1u);
    EXPECT_TRUE(ParsePathData("").empty());
    EXPECT_TRUE(ParsePathData("  \n").empty());
}

TEST(SvgPathData, MalformedDataAndPointsBeyondRangeAreRefused) {
    const struct {
        const char *data, *message;
        std::size_t offset = 0;  // where the fault is, when given
    } bad[] = {
        {"L10 10", "moveto"}, {"M10", ""},          {"M10 10 L", ""},           {"M10,,10", ""},
        {"M10 10 Z 5", ""},   {"M1e 2", ""},        {"M0 0 A1 1 0 2 1 5 5", ""}, {"M0 0 L . 5", ""},
        {"M0 0 L1 1e999", "out of range"},          {"M0 0 L5 5 X", "'X'", 10},
        {"M1e308 0 l1e308 0", "out of range"},  // a relative step
        {"M-1e308 0 C0 0 1e308 0 1e308 0 s-1e308 0 0 0", "out of range"},  // a reflected handle
        {"M0 0 A1e-300 1 0 0 1 1e10 0", "out of range"},  // radii that would have to grow beyond range
    };
    for (const auto& c : bad) {
        try {
            ParsePathData(c.data);
            ADD_FAILURE() << "accepted: " << c.data;
        } catch (const PathDataError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.data << ": " << error.what();
            EXPECT_TRUE(c.offset == 0 || error.Offset() == c.offset) << "offset " << error.Offset();
        }
    }
}

TEST(SvgPathData, WrittenDataReadsBackToTheSameAnchors) {
    const char* cases[] = {
        "M0 0 L10 0 L10 10 Z",                       // straight closing
        "M0 0 L10 0 C10 10 5 15 0 0 Z",              // curved closing
        "M0 0 L10 0 L10 10 L0 0 L0 0 Z",             // last anchor on the first, closing straight
        "M5 5 Z M1 2 C3 4 5 6 7 8",                  // one-anchor closed subpath, then an open curve
        "M0.1 0.2 L0.30000000000000004 1e-300 H-0",  // numbers that need every digit
    };
    for (const char* data : cases) {
        const std::vector<Subpath> read = ParsePathData(data);
        const std::string written = kvsvg::FormatPathData(read);
        EXPECT_TRUE(SameAnchors(read, ParsePathData(written))) << data << " -> " << written;
    }
    // Straight closing with the last anchor elsewhere is written as a bare Z; "-0" as "0".
    EXPECT_EQ(kvsvg::FormatPathData(ParsePathData("M0 0 L10 -0 L10 10 z")), "M 0 0 L 10 0 L 10 10 Z");
}

TEST(SvgPathData, NumbersAreWrittenAsToCharsWritesThem) {
    const auto check = [](double value) {
        char text[32];
        const std::string expected(text, std::to_chars(text, text + sizeof text, value).ptr);
        const std::string written = kvsvg::FormatNumber(value);
        if (written != expected) FAIL() << expected << " written as " << written;
    };
    // Where plain and scientific notation are about as long, and round numbers.
    for (const double value : {1e5, 1e6, 123e6, 1e-4, 12e-5, 5e-5, 1e-5, 9.9999999999999999, 0.1, 1.0 / 3}) {
        check(value);
    }
    std::mt19937_64 random(1);
    for (int i = 0; i < 100000 && !::testing::Test::HasFailure(); ++i) {
        // Short decimals of every size, as drawings have them, and doubles of any bits.
        const double scale = std::pow(10.0, static_cast<int>(random() % 20) - 12);
        const double decimal = static_cast<double>(random() % 100000000) * scale;
        const std::uint64_t bits = random();
        double any = 0;
        std::memcpy(&any, &bits, sizeof any);
        for (const double value : {decimal, -decimal, any}) {
            if (std::isfinite(value) && value != 0) check(value);
        }
    }
}

}  // namespace

// Command 1002 through the simulated host: pointers across paths and anchors inserted at
// distances measured from the selected anchors.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "commands/path_walk.h"
#include "commands/segment_length.h"
#include "shell/suites.h"
#include "length_fixture.h"
#include "line_command_fixture.h"

namespace {

using namespace length_test;

constexpr double kDefaultDistance = 141.7323;
constexpr double kDefaultSize = 14.17323;

// An S-shaped segment that is neither straight nor a circular arc.
const AnchorRecord kCurveStart = Smooth({0, 0}, {0, 0}, {50, 100});
const AnchorRecord kCurveEnd = Smooth({150, -100}, {200, 0}, {200, 0});

class PointerTest : public LineCommandTest {
protected:
    // A path with the start anchors of the walks selected.
    sim::Art* Path(const std::vector<RealPoint>& points, const std::vector<int>& starts, bool closed = false) {
        sim::Art* path = doc->AddPath(Root(), points, closed);
        doc->SelectAnchors(path, starts);
        return path;
    }

    sim::Art* Curve(const std::vector<AnchorRecord>& anchors) { return doc->AddCurve(Root(), anchors, false); }

    void Settings(bool create, bool divide, std::uint16_t mode, std::int16_t count, double d1 = kDefaultDistance,
                  double d2 = kDefaultDistance, double d3 = kDefaultDistance) {
        State().flCreatePointer = create ? 1 : 0;
        State().flDivideSegment = divide ? 1 : 0;
        State().flPointMode = mode;
        State().flPtCount = count;
        State().flPtDistance1 = d1;
        State().flPtDistance2 = d2;
        State().flPtDistance3 = d3;
    }

    void Run() { LineCommandTest::Run(kCommandPointer); }

    static RealPoint Middle(const sim::Art* pointer) {
        const RealPoint &a = pointer->anchors.at(0).p, &b = pointer->anchors.at(1).p;
        return RealPoint{(a.h + b.h) / 2, (a.v + b.v) / 2};
    }

    // Where the pointers cross a horizontal path, in ascending order.
    std::vector<double> CrossingsH() {
        std::vector<double> positions;
        for (const sim::Art* pointer : NewPaths()) positions.push_back(Middle(pointer).h);
        std::sort(positions.begin(), positions.end());
        return positions;
    }

    static std::vector<double> AnchorsH(const sim::Art* path) {
        std::vector<double> positions;
        for (const AnchorRecord& anchor : path->anchors) positions.push_back(anchor.p.h);
        return positions;
    }

    // The beeps since the last check; the simulated host counts them natively only.
    int beepsSeen_ = 0;
    void ExpectNewBeeps(int expected) {
#ifndef _WIN32
        EXPECT_EQ(host.BeepCount() - beepsSeen_, expected);
        beepsSeen_ = host.BeepCount();
#else
        (void)expected;
#endif
    }
};

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) EXPECT_NEAR(actual[k], expected[k], tolerance) << k;
}

// A path inside a compound path in a group is found; the pointer goes to the current layer.
TEST_F(PointerTest, DefaultsPutOnePointerAcrossTheLineAtFiftyMillimetres) {
    sim::Art* group = doc->AddGroup(Root());
    sim::Art* line = doc->AddPath(doc->AddCompoundPath(group), {{0, 0}, {300, 0}});
    doc->SelectAnchors(line, {0});
    Path({{0, 50}, {300, 50}}, {0})->attributes &= ~kArtSelected;  // its anchor selected, not the path
    Run();
    const auto pointers = NewPaths();
    ASSERT_EQ(pointers.size(), 1u) << "the backward walk ends unreached at the open end";
    ExpectAnchors(pointers[0], {{kDefaultDistance, kDefaultSize / 2}, {kDefaultDistance, -kDefaultSize / 2}});
    for (const AnchorRecord& anchor : pointers[0]->anchors) {
        EXPECT_EQ(anchor.p.h, static_cast<double>(static_cast<float>(anchor.p.h))) << "stored in single precision";
    }
    const PathStyle& style = *pointers[0]->style;
    EXPECT_FALSE(style.fillPaint);
    EXPECT_TRUE(style.strokePaint);
    EXPECT_EQ(style.stroke.color.kind, kGrayColor);
    EXPECT_EQ(style.stroke.color.gray, 1.0);
    EXPECT_EQ(style.stroke.width, 0.1);
    EXPECT_EQ(style.stroke.miterLimit, 4.0);
    ExpectNewBeeps(0);
    EXPECT_EQ(line->anchors.size(), 2u) << "the path itself is not divided";
}

TEST_F(PointerTest, PositionsAddUpAndRunFromEveryStartAnchor) {
    sim::Art* line = Path({{0, 0}, {150, 0}, {300, 0}}, {0, 2});
    doc->SelectAnchors(line, {1}, kBothHandlesSelected);  // not a start anchor
    Settings(true, false, 0, 3, 20, 30, 50);
    Run();
    ExpectNear(CrossingsH(), {20, 50, 100, 200, 250, 280}, 1e-4);

    NewDocument();
    Path({{0, 0}, {300, 0}}, {0, 1});
    Settings(true, false, 0, 2, 0, 30);
    Run();
    ExpectNear(CrossingsH(), {30, 270}, 1e-4);  // a position of 0 is skipped, the next still counts
    ExpectNewBeeps(0);

    // Both operations: the pointers first, then the division.
    NewDocument();
    line = Path({{0, 0}, {300, 0}}, {0});
    Settings(true, true, kBothWays, 2, 100, 50);
    Run();
    ExpectNear(CrossingsH(), {100, 150}, 1e-4);
    ExpectNear(AnchorsH(line), {0, 100, 150, 300}, 1e-3);
}

// Forward runs towards larger h on an open path (towards smaller v when h does not change), and
// clockwise on a closed one, for one turn at most; a walk that reaches nothing beeps.
TEST_F(PointerTest, TheWalkDirectionFollowsThePathsShape) {
    const std::vector<RealPoint> clockwise = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    const struct {
        std::vector<RealPoint> points;
        bool closed;
        std::int16_t start;
        std::uint16_t mode;
        double distance;
        std::vector<RealPoint> middles;  // none: a beep
    } cases[] = {
        {{{300, 0}, {0, 0}}, false, 0, kForwardOnly, 100, {}},  // reversed: backward to the open end
        {{{300, 0}, {0, 0}}, false, 1, kForwardOnly, 100, {{100, 0}}},
        {{{0, 0}, {0, 300}}, false, 1, kForwardOnly, 100, {{0, 200}}},
        {{{0, 0}, {300, 0}}, false, 0, kNoWay, 100, {}},  // a start anchor but no direction
        {clockwise, true, 3, kForwardOnly, 150, {{0, 50}}},  // past the last anchor onto the closing segment
        {clockwise, true, 3, kForwardOnly, 400, {{100, 0}}},  // exactly one turn: back on the start anchor
        {clockwise, true, 3, kForwardOnly, 401, {}},
        {{{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true, 0, kForwardOnly, 50, {{0, 50}}},  // drawn anticlockwise
    };
    for (const auto& c : cases) {
        NewDocument();
        Path(c.points, {c.start}, c.closed);
        Settings(true, false, c.mode, 1, c.distance);
        Run();
        const auto pointers = NewPaths();
        ASSERT_EQ(pointers.size(), c.middles.size()) << c.distance;
        for (std::size_t k = 0; k < pointers.size(); ++k) {
            EXPECT_NEAR(Distance(Middle(pointers[k]), c.middles[k]), 0, 1e-4) << c.distance;
        }
        ExpectNewBeeps(c.middles.empty() ? 1 : 0);
    }
}

// On a circular arc the pointer lies along the radius, its first end outside on an arc drawn
// anticlockwise and inside on one drawn clockwise.
TEST_F(PointerTest, OnACircularArcThePointerLiesAlongTheRadius) {
    const double k = 0.5522847 * 100;
    const struct {
        std::vector<AnchorRecord> arc;
        double angle;  // of the pointer's middle about the centre
        double firstEnd;  // the first end's distance from the centre
    } cases[] = {
        {{Smooth({100, 0}, {100, 0}, {100, k}), Smooth({k, 100}, {0, 100}, {0, 100})}, 0.5, 100 + kDefaultSize / 2},
        {{Smooth({0, 100}, {0, 100}, {k, 100}), Smooth({100, k}, {100, 0}, {100, 0})}, std::acos(0.0) - 0.5,
         100 - kDefaultSize / 2},
    };
    for (const auto& c : cases) {
        NewDocument();
        doc->SelectAnchors(Curve(c.arc), {0});
        Settings(true, false, kBothWays, 1, 50);
        Run();
        const auto pointers = NewPaths();
        ASSERT_EQ(pointers.size(), 1u);
        const RealPoint middle = Middle(pointers[0]);
        EXPECT_NEAR(std::hypot(middle.h, middle.v), 100, 1e-3);
        EXPECT_NEAR(std::atan2(middle.v, middle.h), c.angle, 1e-4) << "50 points along a radius of 100";
        const RealPoint &e1 = pointers[0]->anchors[0].p, &e2 = pointers[0]->anchors[1].p;
        EXPECT_NEAR(e1.h * e2.v - e1.v * e2.h, 0, 1e-2) << "both ends on one line through the centre";
        EXPECT_NEAR(std::hypot(e1.h, e1.v), c.firstEnd, 1e-3);
    }
}

// A curve neither straight nor an arc: a pointer crosses it at the measured distance, division keeps its shape.
TEST_F(PointerTest, OnASampledCurvePointersAndDivision) {
    sim::Art* curve = Curve({kCurveStart, kCurveEnd});
    doc->SelectAnchors(curve, {0});
    Settings(true, false, kBothWays, 1, 60);
    Run();
    const auto pointers = NewPaths();
    ASSERT_EQ(pointers.size(), 1u);
    const double t = FineWalk(kCurveStart, kCurveEnd, 60).first;
    const RealPoint expected = CubicAt(kCurveStart, kCurveEnd, t);
    const RealPoint middle = Middle(pointers[0]);
    EXPECT_NEAR(Distance(middle, expected), 0, 0.05);
    const RealPoint ahead = CubicAt(kCurveStart, kCurveEnd, t + 1e-4);
    const RealPoint &e1 = pointers[0]->anchors[0].p, &e2 = pointers[0]->anchors[1].p;
    const double across = ((e1.h - e2.h) * (ahead.h - expected.h) + (e1.v - e2.v) * (ahead.v - expected.v)) /
                          (Distance(e1, e2) * Distance(ahead, expected));
    EXPECT_NEAR(across, 0, 0.01) << "at right angles to the path";

    Settings(false, true, kForwardOnly, 1, 40);
    Run();
    ASSERT_EQ(curve->anchors.size(), 3u);
    const AnchorRecord &a = curve->anchors[0], &n = curve->anchors[1], &b = curve->anchors[2];
    EXPECT_NEAR(TrueLength(a, n), 40, 0.05);
    EXPECT_NEAR(TrueLength(a, n) + TrueLength(n, b), TrueLength(kCurveStart, kCurveEnd), 1e-6);
    const double at40 = FineWalk(kCurveStart, kCurveEnd, 40).first;
    EXPECT_NEAR(Distance(n.p, CubicAt(kCurveStart, kCurveEnd, at40)), 0, 0.05) << "on the curve as it was";
    const double turn = (n.in.h - n.p.h) * (n.out.v - n.p.v) - (n.in.v - n.p.v) * (n.out.h - n.p.h);
    EXPECT_NEAR(turn, 0, 1e-6) << "the new anchor's handles are collinear";
    EXPECT_EQ(b.p.h, kCurveEnd.p.h);

    NewDocument();
    doc->SelectAnchors(Curve({kCurveStart, kCurveEnd}), {0});
    Settings(false, true, kBothWays, 1, 10000);
    const std::uint64_t revision = doc->Revision();
    Run();
    EXPECT_EQ(doc->Revision(), revision);
    ExpectNewBeeps(0);  // division is silent when nothing is reached
}

// Where the 256 chords of a curve add up to a hair less than its measured length, a pointer at that
// length goes on the end anchor, across the curve's last direction.
TEST_F(PointerTest, APointerAtTheVeryEndOfACurveCrossesItsLastDirection) {
    AnchorRecord a{}, b{};
    double length = 0;
    PluginState* const saved = gState;  // on Windows this program's own copy of the code is called
    gState = &State();
    AcquireSuites(host.Basic());
    for (int i = 1; i < 1000 && length == 0; ++i) {
        a = Smooth({0, 0}, {0, 0}, {50, 100.0 + i / 7.0});
        b = Smooth({150, -100}, {200, i / 3.0}, {200, i / 3.0});
        RealPoint point{};
        double angle = 0;
        if (!PointAtDistance(a, b, SegmentLength(a, b), point, angle)) length = SegmentLength(a, b);
    }
    ReleaseSuites(host.Basic());
    gState = saved;
    ASSERT_GT(length, 0) << "no curve of the family shows the rounding";
    doc->SelectAnchors(Curve({a, b}), {0});
    Settings(true, false, kBothWays, 1, length);
    Run();
    const auto pointers = NewPaths();
    ASSERT_EQ(pointers.size(), 1u);
    EXPECT_NEAR(Distance(Middle(pointers[0]), b.p), 0, 1e-3);
    const RealPoint across{pointers[0]->anchors[0].p.h - b.p.h, pointers[0]->anchors[0].p.v - b.p.v};
    const RealPoint last{b.p.h - b.in.h, b.p.v - b.in.v};
    EXPECT_NEAR((across.h * last.h + across.v * last.v) / Distance(b.in, b.p), 0, 0.5) << "at right angles";
    EXPECT_GT(last.h * across.v - last.v * across.h, 0) << "the first end on the left";
}

// The walk needs to know whether the path is closed: without it nothing is placed or divided.
TEST_F(PointerTest, APathWhoseClosedFlagOrSelectionCannotBeReadGetsNothing) {
    const std::pair<const char*, const char*> unreadable[] = {{"AI Path Suite", "GetPathClosed"},
                                                              {"AI Art Suite", "GetArtUserAttr"}};
    for (const auto& [suite, operation] : unreadable) {
        sim::Art* line = Path({{0, 0}, {300, 0}}, {0});
        Built();
        Settings(true, true, kBothWays, 1, 100);
        host.Gate().FailOperation(suite, operation, kInjectedFailure);
        Run();
        host.Gate().ClearFailures();
        EXPECT_TRUE(NewPaths().empty()) << operation;
        EXPECT_EQ(line->anchors.size(), 2u) << operation;
    }
}

TEST_F(PointerTest, BrokenLineTakesTheDashesUpToTheLastNonZeroEntry) {
    const struct {
        bool broken;
        double entries[6];
        std::int16_t count;
    } cases[] = {
        {true, {5, 2, 0, 0, 0, 0}, 2}, {true, {0, 3, 0, 0, 0, 0}, 2}, {true, {0, 0, 0, 0, 0, 0}, 0},
        {true, {1, 2, 3, 4, 5, 0.1}, 6}, {false, {5, 2, 0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        NewDocument();
        Path({{0, 0}, {300, 0}}, {0});
        State().flPtIsDashLine = c.broken ? 1 : 0;
        double* fields[6] = {&State().flPtDashLengD1, &State().flPtDashLengD2, &State().flPtDashLengD3,
                             &State().flPtDashLengD4, &State().flPtDashLengD5, &State().flPtDashLengD6};
        for (int k = 0; k < 6; ++k) *fields[k] = c.entries[k];
        State().flPtLineWidth = 0.25;
        Run();
        const auto pointers = NewPaths();
        ASSERT_EQ(pointers.size(), 1u);
        const StrokeStyle& stroke = pointers[0]->style->stroke;
        EXPECT_EQ(stroke.dashCount, c.count) << c.entries[0] << "," << c.entries[1];
        EXPECT_EQ(stroke.dashOffset, 0.0f);
        EXPECT_EQ(stroke.width, 0.25);
        for (int k = 0; k < c.count; ++k) EXPECT_EQ(stroke.dashes[k], static_cast<float>(c.entries[k])) << k;
    }
}

// An anchor at every position walked from every start anchor, on the path as divided so far: start
// anchors keep their selection as later indices shift, and the closing segment's goes to index 0. A
// straight segment's parameter is not proportional to its length: the 256 chords place the split to
// within a few thousandths.
TEST_F(PointerTest, DivisionInsertsAnAnchorAtEveryPositionWalked) {
    const struct {
        std::vector<RealPoint> points;
        bool closed;
        std::vector<int> starts;
        std::uint16_t mode;
        double d1, d2;
        std::vector<RealPoint> divided;
        std::vector<std::int16_t> selection;
    } cases[] = {
        {{{0, 0}, {100, 0}, {200, 0}, {300, 0}}, false, {0, 2}, kForwardOnly, 50, 0,
         {{0, 0}, {50, 0}, {100, 0}, {200, 0}, {250, 0}, {300, 0}}, {1, 0, 0, 1, 0, 0}},
        {{{0, 0}, {100, 0}, {200, 0}}, false, {1}, kBothWays, 30, 20,
         {{0, 0}, {50, 0}, {70, 0}, {100, 0}, {130, 0}, {150, 0}, {200, 0}}, {0, 0, 0, 1, 0, 0, 0}},
        {{{0, 0}, {0, 100}, {100, 100}, {100, 0}}, true, {3}, kForwardOnly, 50, 0,
         {{50, 0}, {0, 0}, {0, 100}, {100, 100}, {100, 0}}, {0, 0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        NewDocument();
        sim::Art* path = Path(c.points, c.starts, c.closed);
        Settings(false, true, c.mode, c.d2 > 0 ? 2 : 1, c.d1, c.d2);
        Run();
        ASSERT_EQ(path->anchors.size(), c.divided.size());
        for (std::size_t k = 0; k < c.divided.size(); ++k) {
            EXPECT_NEAR(Distance(path->anchors[k].p, c.divided[k]), 0, 1e-3) << k;
        }
        EXPECT_EQ(path->selection, c.selection);
        EXPECT_TRUE(NewPaths().empty());
    }
}

}  // namespace

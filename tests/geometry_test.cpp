// The geometry primitives at their edges: the nearest point on a line, degenerate segments, the arc
// test's tolerances; segment lengths, whose batched measure for the live readout must give exactly
// the total of measuring one segment after another. Host-backed routines run against the simulated
// host.
#include <cmath>
#include <random>

#include "commands/segment_length.h"
#include "geometry/bezier_tables.h"
#include "geometry/geometry.h"
#include "length_fixture.h"
#include "shell/suites.h"

namespace {

using length_test::Smooth;

AnchorRecord Anchor(RealPoint p, RealPoint in, RealPoint out) { return AnchorRecord{p, in, out, false}; }

// A state record of our own: on Windows this program's copy of the code has no started plug-in.
class GeometryTest : public PluginTest {
protected:
    PluginState local{};
    PluginState* saved = nullptr;

    void SetUp() override {
        saved = gState;
        SetStartValues(local, nullptr, 1.0);
        BuildBezierTables(local);
        gState = &local;
        host.NewDocument();
        AcquireSuites(host.Basic());
    }
    void TearDown() override {
        ReleaseSuites(host.Basic());
        gState = saved;
        EXPECT_TRUE(host.SuitesBalanced());
    }
};

TEST_F(GeometryTest, NearestOnLineAndArcRecognition) {
    const struct {
        RealPoint q, a, b;
        double tol;
        bool snaps;
        RealPoint after;  // q as the call leaves it: unchanged when it does not snap
    } cases[] = {
        {{5, 3}, {0, 0}, {10, 0}, 4, true, {5, 0}},
        {{5, 5}, {0, 0}, {10, 0}, 4, false, {5, 5}},
        {{2, 4}, {0, 0}, {10, 10}, 3, true, {3, 3}},
        {{11, 0.5}, {10, 0}, {10, -10}, 2, true, {10, 0}},  // beyond the end: the foot is clamped onto it
        // A degenerate segment snaps within tol in each coordinate, up to tol * sqrt 2 away.
        {{10.9, 10.9}, {10, 10}, {10, 10}, 1, true, {10, 10}},
        {{11.1, 10}, {10, 10}, {10, 10}, 1, false, {11.1, 10}},
    };
    for (const auto& c : cases) {
        RealPoint q = c.q;
        EXPECT_EQ(NearestOnLine(q, c.a, c.b, c.tol), c.snaps) << c.q.h << "," << c.q.v;
        EXPECT_EQ(q.h, c.after.h) << c.q.h << "," << c.q.v;
        EXPECT_EQ(q.v, c.after.v) << c.q.h << "," << c.q.v;
    }

    // Arcs are recognised by the ratio of their handles.
    const double r = 100;
    RealPoint centre{};
    double radius = 0;
    const auto quarter = [&](double ratio) {
        return SegmentIsArc(Anchor({r, 0}, {r, 0}, {r, r * ratio}), Anchor({0, r}, {r * ratio, r}, {0, r}), centre,
                            radius);
    };
    EXPECT_TRUE(quarter(0.5522847));
    EXPECT_NEAR(std::hypot(centre.h, centre.v), 0, 1e-9);
    EXPECT_NEAR(radius, r, 1e-9);
    EXPECT_FALSE(quarter(0.5525));

    // 60 degrees: the usual 4/3 tan(15 deg) handles give the ratio 0.618802, but 0.614777 is expected here.
    const auto sixty = [&](double ratio) {
        const double tangentRun = r / std::sqrt(3.0);  // r tan 30 deg
        const double h = ratio * tangentRun;
        const RealPoint end{r * 0.5, r * std::sqrt(3.0) / 2};
        const RealPoint in{end.h + h * std::sqrt(3.0) / 2, end.v - h * 0.5};
        return SegmentIsArc(Anchor({r, 0}, {r, 0}, {r, h}), Anchor(end, in, end), centre, radius);
    };
    EXPECT_FALSE(sixty(0.618802));
    EXPECT_TRUE(sixty(0.614777));

    // A half circle in one segment: parallel end tangents, no centre.
    const AnchorRecord left = Anchor({r, 0}, {r, 0}, {r, r * 4 / 3});
    const AnchorRecord right = Anchor({-r, 0}, {-r, r * 4 / 3}, {-r, 0});
    EXPECT_FALSE(ArcCentre(left, right, centre, radius));
    EXPECT_FALSE(SegmentIsArc(left, right, centre, radius));
}

// The chord sum one chord after another, as the plug-in took it before the sums ran in lanes.
double InOrderLength(const PluginState& t, const AnchorRecord& a, const AnchorRecord& b) {
    const auto at = [&](int j, double RealPoint::*c) {
        const int k = kBezierSteps - j;
        return j == kBezierSteps ? b.p.*c
                                 : t.bezierA256[j] * a.p.*c + t.bezierB256[j] * a.out.*c + t.bezierB256[k] * b.in.*c +
                                       t.bezierA256[k] * b.p.*c;
    };
    double length = 0, h = a.p.h, v = a.p.v;
    for (int j = 1; j <= kBezierSteps; ++j) {
        const double nh = at(j, &RealPoint::h), nv = at(j, &RealPoint::v);
        length += std::sqrt((h - nh) * (h - nh) + (v - nv) * (v - nv));
        h = nh, v = nv;
    }
    return length;
}

// The lanes' sums are within a rounding of the in-order sum, and their chords exactly the in-order
// chords (added in order, they give the in-order sum to the bit).
TEST_F(GeometryTest, EveryChordSumLaneWidthAgreesWithTheInOrderSum) {
    std::mt19937_64 random(11);
    for (const bool narrow : {false, true}) {
        if (narrow) UseNarrowChordSums();
        // Small curves far out as well as large ones near the origin.
        for (const double scale : {1e-3, 1.0, 500.0, 1e6}) {
            std::uniform_real_distribution<double> coordinate(-scale, scale);
            const double far = scale < 1 ? 1e4 : 0;
            for (int i = 0; i < 500; ++i) {
                auto point = [&] { return RealPoint{far + coordinate(random), far + coordinate(random)}; };
                const AnchorRecord a = Smooth(point(), point(), point());
                const AnchorRecord b = Smooth(point(), point(), point());
                const double want = InOrderLength(local, a, b);
                ASSERT_NEAR(SegmentLength(a, b), want, want * 1e-12) << ChordSumLanes() << " lanes";
                double chords[kBezierSteps];
                SampleChords(a, b, chords);
                double inOrder = 0;
                for (double chord : chords) inOrder += chord;
                ASSERT_EQ(inOrder, want) << ChordSumLanes() << " lanes";
            }
        }
    }
    UseWidestChordSums();
}

}  // namespace

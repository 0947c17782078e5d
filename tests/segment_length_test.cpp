// Segment lengths: the closed forms, the chord sum, and the batched measure of the live readout,
// which must give exactly the total that measuring one segment after another gives.
#include <cmath>
#include <random>
#include <vector>

#include "commands/segment_length.h"
#include "geometry/bezier_tables.h"
#include "length_fixture.h"
#include "shell/suites.h"

namespace {

class SegmentLengthTest : public PluginTest {
protected:
    PluginState tables{};

    void SetUp() override {
        // The test program's own copy of the core (on Windows the plug-in is a separate library).
        SetStartValues(tables, nullptr, 1.0);
        BuildBezierTables(tables);
        saved_ = gState;
        gState = &tables;
        AcquireSuites(host.Basic());
    }
    void TearDown() override {
        ReleaseSuites(host.Basic());
        gState = saved_;
    }

private:
    PluginState* saved_ = nullptr;
};

AnchorRecord Anchor(RealPoint in, RealPoint p, RealPoint out) { return AnchorRecord{p, in, out, false}; }

TEST_F(SegmentLengthTest, ClosedFormsAndTheChordSum) {
    const AnchorRecord a = Anchor({0, 0}, {0, 0}, {0, 0});
    const AnchorRecord b = Anchor({30, 40}, {30, 40}, {30, 40});
    EXPECT_EQ(SegmentLength(a, b), 50.0);

    const double k = 0.5522847 * 100;  // a quarter circle of radius 100
    const double quarter = SegmentLength(Anchor({0, 0}, {100, 0}, {100, k}), Anchor({k, 100}, {0, 100}, {0, 100}));
    EXPECT_NEAR(quarter, 100 * 1.5707965, 1e-4);

    // A curve that is no arc: the 256 chords fall just short of the true length.
    const AnchorRecord c = Anchor({0, 0}, {0, 0}, {10, 80});
    const AnchorRecord d = Anchor({150, 90}, {200, 0}, {200, 0});
    const double sampled = SegmentLength(c, d);
    const double fine = length_test::TrueLength(c, d);
    EXPECT_LT(sampled, fine);
    EXPECT_NEAR(sampled, fine, fine * 1e-5);
}

TEST_F(SegmentLengthTest, TheBatchGivesTheSameTotalBitForBit) {
    std::vector<std::pair<AnchorRecord, AnchorRecord>> segments;
    for (int i = 0; i < 23; ++i) {  // curves, with straight segments and arcs among them
        const double s = i * 7.0;
        if (i % 5 == 0) {
            segments.push_back({Anchor({s, 0}, {s, 0}, {s, 0}), Anchor({s + 9, 4}, {s + 9, 4}, {s + 9, 4})});
        } else if (i % 7 == 0) {
            const double k = 0.5522847 * s;
            segments.push_back({Anchor({0, 0}, {s, 0}, {s, k}), Anchor({k, s}, {0, s}, {0, s})});
        } else {
            segments.push_back({Anchor({0, 0}, {s, 1}, {s + 30, 60 - s}), Anchor({s * 2, 5}, {s + 70, 20}, {0, 0})});
        }
    }
    double oneByOne = 0.0;
    SegmentLengthBatch batch;
    for (const auto& [a, b] : segments) {
        oneByOne += SegmentLength(a, b);
        batch.Add(a, b);
    }
    EXPECT_EQ(batch.Flush(), oneByOne);
}

// The chord sum one chord after another, as the plug-in took it before the sums ran in lanes.
double InOrderLength(const PluginState& t, const AnchorRecord& a, const AnchorRecord& b) {
    double length = 0, h = a.p.h, v = a.p.v;
    for (int j = 1; j <= kBezierSteps; ++j) {
        const int k = kBezierSteps - j;
        const double nh = j == kBezierSteps ? b.p.h
                                            : t.bezierA256[j] * a.p.h + t.bezierB256[j] * a.out.h +
                                                  t.bezierB256[k] * b.in.h + t.bezierA256[k] * b.p.h;
        const double nv = j == kBezierSteps ? b.p.v
                                            : t.bezierA256[j] * a.p.v + t.bezierB256[j] * a.out.v +
                                                  t.bezierB256[k] * b.in.v + t.bezierA256[k] * b.p.v;
        length += std::sqrt((h - nh) * (h - nh) + (v - nv) * (v - nv));
        h = nh, v = nv;
    }
    return length;
}

TEST_F(SegmentLengthTest, EveryLaneWidthAgreesWithTheInOrderSum) {
    std::mt19937_64 random(11);
    for (const bool narrow : {false, true}) {
        if (narrow) UseNarrowChordSums();
        // Small curves far out as well as large ones near the origin.
        for (const double scale : {1e-3, 1.0, 500.0, 1e6}) {
            std::uniform_real_distribution<double> coordinate(-scale, scale);
            const double far = scale < 1 ? 1e4 : 0;
            for (int i = 0; i < 500; ++i) {
                auto point = [&] { return RealPoint{far + coordinate(random), far + coordinate(random)}; };
                const AnchorRecord a = Anchor(point(), point(), point());
                const AnchorRecord b = Anchor(point(), point(), point());
                const double want = InOrderLength(tables, a, b);
                ASSERT_NEAR(SegmentLength(a, b), want, want * 1e-12) << ChordSumLanes() << " lanes";
            }
        }
    }
    UseWidestChordSums();
}

}  // namespace

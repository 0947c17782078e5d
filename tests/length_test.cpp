// Commands 1001 and 1003 through the simulated host: the selected segments given a new total length
// by rescaling the handles of the curved ones; and command 1013, which measures them.
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "length_fixture.h"

namespace {

using namespace length_test;

// Chord 80 with both handles 40 long: an arc length of 100.
const double kBulge = 20 * std::sqrt(3.0);
const std::vector<AnchorRecord> kStraightThenCurve = {
    Corner({0, 0}),
    Smooth({100, 0}, {100, 0}, {120, kBulge}),
    Smooth({160, kBulge}, {180, 0}, {180, 0}),
};
// Chord 160, handles 72 long: about 191 points.
const std::vector<AnchorRecord> kArch = {Smooth({0, 0}, {0, 0}, {40, 60}), Smooth({120, 60}, {160, 0}, {160, 0})};

void ExpectSameAnchorPoints(const std::vector<AnchorRecord>& before, const sim::Art* after) {
    ASSERT_EQ(after->anchors.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after->anchors[i].p.h, before[i].p.h) << i;
        EXPECT_EQ(after->anchors[i].p.v, before[i].p.v) << i;
    }
}

// A handle that changed length kept its direction.
void ExpectSameDirection(const RealPoint& anchor, const RealPoint& before, const RealPoint& after) {
    const double turn =
        std::atan2(after.v - anchor.v, after.h - anchor.h) - std::atan2(before.v - anchor.v, before.h - anchor.h);
    EXPECT_NEAR(std::remainder(turn, 2 * std::acos(-1.0)), 0.0, 1e-9);
}

class LengthTest : public LengthFixture {
protected:
    sim::Art* Line(RealPoint from, RealPoint to) {
        sim::Art* line = doc->AddPath(Root(), {from, to});
        doc->SelectWhole(line);
        return line;
    }

    void Deselect(sim::Art* path) {
        doc->SelectAnchors(path, {0, 1}, kAnchorNotSelected);
        path->attributes = 0;
    }
};

TEST_F(LengthTest, TheSliderAsksForTenPercentEitherWayOfTheMeasuredLength) {
    sim::Art* arch = Curve(kArch);
    sim::Art* other = doc->AddCurve(Root(), kArch);
    State().measuredLength = 200;
    Slide(20);
    ASSERT_TRUE(host.Undo().Last()->undoChangesCalls.empty()) << "the first move of a run";
    EXPECT_NEAR(WholeLength(arch), 190.0, 0.01);
    for (const auto& [position, length] : {std::pair{40, 180.0}, std::pair{-40, 220.0}, std::pair{0, 200.0}}) {
        Slide(position);
        EXPECT_NEAR(WholeLength(arch), length, 0.01) << position;
    }
    ExpectSameAnchorPoints(kArch, arch);
    EXPECT_EQ(State().lengthAdjustStage, 1u);

    // Follow-up moves undo the step's changes and work on the selection of the run's first move,
    // whatever the host reports later.
    Deselect(arch);
    doc->SelectWhole(other);
    Slide(-20);
    EXPECT_EQ(host.Undo().Last()->undoChangesCalls, std::vector<std::int32_t>{1});
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Length");
    EXPECT_NEAR(WholeLength(arch), 210.0, 0.01);
    EXPECT_EQ(other->anchors[0].out.h, 40.0) << "selected after the run began";
}

TEST_F(LengthTest, StraightSegmentsAreAFixedPartOfTheTotalAndRetractedHandlesStay) {
    sim::Art* path = Curve(kStraightThenCurve);
    ASSERT_NEAR(SegmentOf(path, 1, 2), 100.0, 1e-3);
    Type(250);
    EXPECT_EQ(path->anchors[0].out.h, 0.0);
    EXPECT_EQ(path->anchors[1].in.h, 100.0);
    EXPECT_NEAR(SegmentOf(path, 0, 1), 100.0, 1e-12);
    EXPECT_NEAR(SegmentOf(path, 1, 2), 150.0, 0.01);
    ExpectSameAnchorPoints(kStraightThenCurve, path);
    ExpectSameDirection(path->anchors[1].p, kStraightThenCurve[1].out, path->anchors[1].out);
    ExpectSameDirection(path->anchors[2].p, kStraightThenCurve[2].in, path->anchors[2].in);
    // Both handles scaled by one factor.
    EXPECT_NEAR(OutLength(path->anchors[1]) / 40.0, InLength(path->anchors[2]) / 40.0, 1e-9);
    EXPECT_NEAR(OutLength(path->anchors[1]), 95.72, 0.01);

    // A retracted handle stays retracted.
    Reset();
    const std::vector<AnchorRecord> hook = {Corner({0, 0}), Smooth({100, 60}, {100, 0}, {100, 0})};
    path = Curve(hook);
    const double before = WholeLength(path);
    Type(before * 1.1);
    EXPECT_EQ(path->anchors[0].out.h, 0.0);
    EXPECT_EQ(path->anchors[0].out.v, 0.0);
    EXPECT_NEAR(WholeLength(path), before * 1.1, 0.01);
    ExpectSameDirection(path->anchors[1].p, hook[1].in, path->anchors[1].in);
}

// Shortening stops where the curve with the largest floor ratio has its shorter handle 1 point long,
// also when the target lies below the straight part alone.
TEST_F(LengthTest, TheFloorOfTheFlattestCurveStopsShortening) {
    const std::vector<AnchorRecord> flat = {Smooth({0, 0}, {0, 0}, {10, 10}), Smooth({90, 10}, {100, 0}, {100, 0})};
    const std::vector<AnchorRecord> tall = {Smooth({0, 200}, {0, 200}, {0, 260}),
                                            Smooth({100, 260}, {100, 200}, {100, 200})};
    for (bool withLine : {false, true}) {
        Reset();
        sim::Art* a = Curve(flat);
        sim::Art* b = Curve(tall);
        sim::Art* line = doc->AddPath(Root(), {{0, 400}, {300, 400}});
        if (withLine) doc->SelectWhole(line);
        const double lengthA = WholeLength(a);
        const double lengthB = WholeLength(b);
        Type(withLine ? 100.0 : 20.0);
        EXPECT_NEAR(OutLength(a->anchors[0]), 1.0, 1e-4) << withLine;
        EXPECT_NEAR(InLength(a->anchors[1]), 1.0, 1e-4) << withLine;
        const double factor = WholeLength(a) / lengthA;
        EXPECT_LT(factor, 1.0);
        EXPECT_NEAR(WholeLength(b) / lengthB, factor, 1e-4) << "the same factor for every curve";
        EXPECT_GT(OutLength(b->anchors[0]), 1.0);
        EXPECT_EQ(WholeLength(line), 300.0);
    }
}

TEST_F(LengthTest, AHandleOfAtMostOnePointOnlyAllowsLengtheningAndNoneGrowsThirtyTwoFold) {
    sim::Art* path = Curve({Smooth({0, 0}, {0, 0}, {0.3, 0.4}), Smooth({70, 40}, {100, 0}, {100, 0})});
    const double before = WholeLength(path);
    Type(before * 0.8);
    EXPECT_EQ(path->anchors[0].out.h, 0.3);
    EXPECT_EQ(path->anchors[1].in.h, 70.0);
#ifndef _WIN32
    EXPECT_EQ(host.BeepCount(), 0) << "silently";
#endif
    Type(before * 1.2);
    EXPECT_NEAR(WholeLength(path), before * 1.2, 0.01);
    EXPECT_GT(OutLength(path->anchors[0]), 0.5);

    // Handles stop just under thirty-two times their length.
    Reset();
    path = Curve({Smooth({0, 0}, {0, 0}, {3, 4}), Smooth({97, 4}, {100, 0}, {100, 0})});
    Type(100000);
    const double scale = OutLength(path->anchors[0]) / 5.0;
    EXPECT_LT(scale, 32.0);
    EXPECT_NEAR(scale, 32.0 - 32.0 / (1 << 24), 1e-9);
    EXPECT_NEAR(InLength(path->anchors[1]) / 5.0, scale, 1e-9);
}

TEST_F(LengthTest, SharedAnchorsKeepBothFittedHandlesAndOnlySelectedSegmentsChange) {
    const std::vector<AnchorRecord> wave = {Smooth({-20, -40}, {0, 0}, {20, 40}), Smooth({60, 20}, {80, 0}, {100, -20}),
                                            Smooth({140, -40}, {160, 0}, {180, 40})};
    for (bool closed : {false, true}) {
        Reset();
        sim::Art* path = Curve(wave, closed);
        std::vector<double> before;
        for (int i = 0; i < (closed ? 3 : 2); ++i) before.push_back(SegmentOf(path, i, (i + 1) % 3));
        Type(WholeLength(path) * 1.3);
        for (int i = 0; i < (closed ? 3 : 2); ++i) {
            EXPECT_NEAR(SegmentOf(path, i, (i + 1) % 3), before[static_cast<std::size_t>(i)] * 1.3, 0.01)
                << "segment " << i << (closed ? " closed" : " open");
        }
    }

    // Only the selected closing segment changes.
    Reset();
    const std::vector<AnchorRecord> loop = {Smooth({-20, -30}, {0, 0}, {20, 30}),
                                            Smooth({80, 30}, {100, 0}, {120, -30}),
                                            Smooth({70, -60}, {50, -80}, {30, -100})};
    sim::Art* path = doc->AddCurve(Root(), loop, true);
    doc->SelectAnchors(path, {2, 0});
    const double closing = SegmentOf(path, 2, 0);
    Type(closing * 1.25);
    EXPECT_NEAR(SegmentOf(path, 2, 0), closing * 1.25, 0.01);
    EXPECT_NE(path->anchors[0].in.h, loop[0].in.h);
    EXPECT_NE(path->anchors[2].out.h, loop[2].out.h);
    for (std::size_t i : {0u, 1u}) EXPECT_EQ(path->anchors[i].out.h, loop[i].out.h) << i;
    for (std::size_t i : {1u, 2u}) EXPECT_EQ(path->anchors[i].in.h, loop[i].in.h) << i;
}

// Segments are fitted and written a few thousand at a time: the anchors shared across those batches
// (and the closing segment's, with the first) keep both fitted handles too.
TEST_F(LengthTest, ARingOfMoreSegmentsThanOneBatchHasEveryHandleScaledAlike) {
    constexpr int kAnchors = 5000;
    constexpr double kRadius = 10000;
    const double pi = std::acos(-1.0);
    const double handle = 4.0 / 3 * std::tan(pi / (2 * kAnchors)) * kRadius;  // a circle's
    std::vector<AnchorRecord> ring;
    for (int i = 0; i < kAnchors; ++i) {
        const double angle = 2 * pi * i / kAnchors;
        const RealPoint p{kRadius * std::cos(angle), kRadius * std::sin(angle)};
        const RealPoint along{-std::sin(angle) * handle, std::cos(angle) * handle};
        ring.push_back(Smooth({p.h - along.h, p.v - along.v}, p, {p.h + along.h, p.v + along.v}));
    }
    sim::Art* path = Curve(ring, true);
    State().measuredLength = 2 * pi * kRadius;
    Slide(-40);
    const double scale = OutLength(path->anchors[0]) / handle;
    EXPECT_GT(scale, 1.5);
    int unlike = 0;
    for (const AnchorRecord& anchor : path->anchors) {
        if (std::fabs(OutLength(anchor) / handle - scale) > 1e-3 || std::fabs(InLength(anchor) / handle - scale) > 1e-3) {
            ++unlike;
        }
    }
    EXPECT_EQ(unlike, 0);
}

TEST_F(LengthTest, NoSelectedCurveMeansABeepAndNoChange) {
    sim::Art* unselected = doc->AddCurve(Root(), kArch);
    Type(300);
    sim::Art* line = Line({0, 0}, {50, 0});
    State().lengthAdjustStage = 0;
    Type(300);
    // The saved selection holds only the compound path: its inner path counts as not selected.
    sim::Art* inner = doc->AddCurve(doc->AddCompoundPath(Root()), kArch);
    Deselect(line);
    doc->SelectWhole(inner->parent);
    State().lengthAdjustStage = 0;
    Type(300);
#ifndef _WIN32
    EXPECT_EQ(host.BeepCount(), 3);
#endif
    ExpectSameAnchorPoints(kArch, unselected);
    EXPECT_EQ(unselected->anchors[0].out.h, 40.0);
    EXPECT_EQ(inner->anchors[0].out.h, 40.0);
    EXPECT_EQ(WholeLength(line), 50.0);

    // The readout asks the host: it measures the inner path, and the end of the run of changes
    // restores the compound path as one object.
    Measure();
    inner->parent->attributes = 0;
    Measure();
    EXPECT_TRUE(inner->parent->Selected()) << "restored as one object";
    EXPECT_NEAR(State().measuredLength, WholeLength(inner), 0.01);
}

// ---- Command 1013: the length of the selected segments, stored as the base of the Length slider,
// and the end of a run of Length changes ----

using ReadoutTest = LengthTest;

TEST_F(ReadoutTest, ARunOfLengthChangesEndsOnTheSecondChangeAfterIt) {
    sim::Art* arch = Curve(kArch);
    Measure();
    const double base = State().measuredLength;
    EXPECT_NEAR(base, WholeLength(arch), 0.01);
    EXPECT_EQ(State().typedLength, base);
    EXPECT_EQ(State().lengthAdjustStage, 0u);

    Type(base * 1.1);
    ASSERT_EQ(State().lengthAdjustStage, 1u);
    Deselect(arch);
    Measure();
    EXPECT_EQ(State().lengthAdjustStage, 2u);
    EXPECT_EQ(State().measuredLength, base) << "passed over";
    EXPECT_EQ(State().typedLength, base * 1.1);

    Measure();
    EXPECT_EQ(State().lengthAdjustStage, 0u);
    EXPECT_EQ(arch->selection, (std::vector<std::int16_t>{kAnchorPointSelected, kAnchorPointSelected}))
        << "the selection the run started from";
    EXPECT_TRUE(arch->Selected());
    EXPECT_NEAR(State().measuredLength, base * 1.1, 0.01);
}

TEST_F(ReadoutTest, SelectedSegmentsOfSelectedPathsCountStraightOnesToo) {
    Line({0, 0}, {30, 40});
    doc->SelectWhole(doc->AddPath(Root(), {{0, 100}, {30, 100}, {30, 140}}, true));
    doc->SelectAnchors(doc->AddPath(Root(), {{0, 200}, {10, 200}, {10, 300}}), {0, 1});  // partly
    sim::Art* artNotSelected = doc->AddPath(Root(), {{0, 400}, {500, 400}});
    doc->SelectAnchors(artNotSelected, {0, 1});
    artNotSelected->attributes = 0;
    // Only the handle on the segment's side counts: out handle then in handle, not the other way.
    sim::Art* handlesIn = doc->AddPath(Root(), {{0, 500}, {7, 500}});
    doc->SelectAnchors(handlesIn, {0}, kOutHandleSelected);
    doc->SelectAnchors(handlesIn, {1}, kInHandleSelected);
    sim::Art* handlesOut = doc->AddPath(Root(), {{0, 600}, {1000, 600}});
    doc->SelectAnchors(handlesOut, {0}, kInHandleSelected);
    doc->SelectAnchors(handlesOut, {1}, kOutHandleSelected);
    Measure();
    EXPECT_EQ(State().measuredLength, 50.0 + 120.0 + 10.0 + 7.0);
}

TEST_F(ReadoutTest, ThePanelReadoutShowsNewLengthsOnly) {
    host.Notify("AI Application Started Notifier");  // makes the panel
    ASSERT_NE(State().panel, nullptr);
    sim::Art* line = Line({0, 0}, {50, 0});
    Measure();
    EXPECT_STREQ(State().readoutText, "50 pt");

    std::strcpy(State().readoutText, "untouched");
    Measure();
    EXPECT_STREQ(State().readoutText, "untouched") << "the same length again";

    Deselect(line);
    Line({0, 10}, {72, 10});
    doc->rulerUnit = sim::RulerUnit::Millimeters;
    Measure();
    EXPECT_STREQ(State().readoutText, "25.4 mm");

    for (sim::Art* art : Root()->Children()) Deselect(art);
    State().lengthSliderPos = 25;
    Measure();
    EXPECT_STREQ(State().readoutText, "");
    EXPECT_EQ(State().measuredLength, 0.0);
    EXPECT_EQ(State().typedLength, 0.0);
    EXPECT_EQ(State().lengthSliderPos, 0);
    EXPECT_TRUE(host.SuitesBalanced());
}

}  // namespace

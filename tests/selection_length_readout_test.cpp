// Command 1013 through the simulated host: the length of the selected segments, stored as the base
// of the Length slider, and the end of a run of Length changes.
#include <cmath>
#include <cstring>
#include <vector>

#include "length_fixture.h"

namespace {

using namespace length_test;

const std::vector<AnchorRecord> kArch = {Smooth({0, 0}, {0, 0}, {40, 60}), Smooth({120, 60}, {160, 0}, {160, 0})};

class ReadoutTest : public LengthFixture {
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
    sim::Art* triangle = doc->AddPath(Root(), {{0, 100}, {30, 100}, {30, 140}}, true);
    doc->SelectWhole(triangle);
    sim::Art* partly = doc->AddPath(Root(), {{0, 200}, {10, 200}, {10, 300}});
    doc->SelectAnchors(partly, {0, 1});
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

// Length sees the compound path as one object of the saved selection; the readout asks the host.
TEST_F(ReadoutTest, APathInsideASelectedCompoundPathIsMeasured) {
    sim::Art* inner = Curve(kArch, false, doc->AddCompoundPath(Root()));
    sim::Art* compound = inner->parent;
    doc->SelectWhole(compound);
    Type(100);
    EXPECT_EQ(inner->anchors[0].out.h, 40.0);
    Measure();
    compound->attributes = 0;
    Measure();
    EXPECT_TRUE(compound->Selected()) << "restored as one object";
    EXPECT_NEAR(State().measuredLength, WholeLength(inner), 0.01);
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

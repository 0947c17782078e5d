// The rigid motions of the adjust tools: the Path adjust and Point adjust matrices, and which
// objects move.
#include "adjust_fixture.h"

namespace {

class AlignmentTest : public AdjustTest {};

TEST_F(AlignmentTest, PathAdjustOnOneObjectMovesItAgainstItsOwnFormerPlace) {
    sim::Art* square = Rectangle(100, 100, 50, 50);
    // P1 -> P2 along the bottom side, P3 -> P4 along the left side, both of the same square: the
    // square turns so that its left side lies along its former bottom side.
    PathAdjust({100, 100}, {150, 100}, {100, 100}, {100, 150});
    EXPECT_BEEPS(0);
    EXPECT_POINT_NEAR(square->anchors[0].p, (RealPoint{100, 100}), 1e-9);
    EXPECT_POINT_NEAR(square->anchors[3].p, (RealPoint{150, 100}), 1e-9);
    EXPECT_POINT_NEAR(square->anchors[1].p, (RealPoint{100, 50}), 1e-9);
    EXPECT_FALSE(Record(square).empty());
}

// The fixed rectangle's corner (200, 100) offers the directions 180° (its bottom side) and 90°
// (its right side); the moving rectangle's corner (300, 300) is paired by its side that comes
// nearest. The cursor picks among the four turns by where the moved rectangle's centre would lie.
struct Orientation {
    const char* name;
    RealPoint cursor;
    RealPoint corner1;  // where the moving rectangle's anchor (340, 300) goes
};

class FourOrientations : public AlignmentTest, public ::testing::WithParamInterface<Orientation> {};

TEST_P(FourOrientations, TheCursorChoosesTheOrientationByTheMovedCentre) {
    sim::Art* fixed = Rectangle(100, 100, 100, 50);
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    PointAdjust({200, 100}, {300, 300}, GetParam().cursor);
    EXPECT_BEEPS(0);
    EXPECT_POINT_NEAR(moving->anchors[0].p, (RealPoint{200, 100}), 1e-9);
    // The half turns add 3.141593, not pi: 3.5e-7 rad too much, 1.4e-5 at 40 points.
    EXPECT_POINT_NEAR(moving->anchors[1].p, GetParam().corner1, 2e-5);
    EXPECT_NEAR(Distance(moving->anchors[0].p, moving->anchors[2].p), std::hypot(40.0, 20.0), 1e-9);
    EXPECT_EQ(fixed->anchors[1].p.h, 200);
}

INSTANTIATE_TEST_SUITE_P(AlignmentTest, FourOrientations,
                         ::testing::Values(Orientation{"AlongTheBottomSideInside", {185, 130}, {200, 140}},
                                           Orientation{"TurnedBackBelow", {215, 70}, {200, 60}},
                                           Orientation{"AlongTheRightSide", {230, 115}, {240, 100}},
                                           Orientation{"UpsideDown", {175, 85}, {160, 100}}),
                         [](const ::testing::TestParamInfo<Orientation>& info) { return info.param.name; });

TEST_F(AlignmentTest, TheHalfTurnIsTheLiteralNotPi) {
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    Rectangle(100, 100, 100, 50);
    PointAdjust({200, 100}, {300, 300}, {215, 70});
    const double excess = 3.141593 - std::acos(-1.0);
    EXPECT_NEAR(moving->anchors[1].p.h, 200 + 40 * std::sin(excess), 1e-9);
}

TEST_F(AlignmentTest, SelectedObjectsMoveTogetherEachWithItsOwnRecord) {
    Rectangle(100, 100, 100, 50);
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    sim::Art* companion = doc->AddPath(Root(), {{400, 400}, {460, 400}});
    sim::Art* group = doc->AddGroup(Root());
    sim::Art* nested = doc->AddPath(group, {{500, 500}, {510, 500}});
    sim::Art* unselected = doc->AddPath(Root(), {{600, 600}, {610, 600}});
    sim::Layer* other = doc->AddLayer("Other");
    sim::Art* elsewhere = doc->AddPath(other->root, {{700, 700}, {700, 730}});
    doc->SelectWhole(moving);
    doc->SelectWhole(companion);
    doc->SelectWhole(nested);  // a path inside an unselected group: not a selected top-level object
    doc->SelectWhole(elsewhere);

    PathAdjust({100, 100}, {200, 100}, {300, 300}, {300, 320});
    EXPECT_BEEPS(0);
    // Turned by -90° about (300, 300), then (300, 300) put on (100, 100).
    const RealMatrix m{0, -1, 1, 0, -200, 400};
    EXPECT_POINT_NEAR(moving->anchors[3].p, Moved(m, {300, 320}), 1e-9);
    EXPECT_POINT_NEAR(companion->anchors[1].p, Moved(m, {460, 400}), 1e-9);
    EXPECT_POINT_NEAR(elsewhere->anchors[1].p, Moved(m, {700, 730}), 1e-9);
    EXPECT_EQ(nested->anchors[0].p.h, 500);
    EXPECT_EQ(unselected->anchors[0].p.h, 600);

    // One record each, with its own reference measured before its own move.
    const PathAdjustTag companionRecord = ParsePathAdjustTag(Record(companion).c_str(), Record(companion).size());
    EXPECT_EQ(companionRecord.tokens, 10);
    EXPECT_NEAR(companionRecord.first.h, 400, 1e-9);
    EXPECT_NEAR(companionRecord.length, 60, 1e-9);
    const PathAdjustTag elsewhereRecord = ParsePathAdjustTag(Record(elsewhere).c_str(), Record(elsewhere).size());
    EXPECT_NEAR(elsewhereRecord.first.v, 700, 1e-9);
    EXPECT_NEAR(elsewhereRecord.length, 30, 1e-9);
    EXPECT_NEAR(elsewhereRecord.angle, 1.5708, 1e-4);
    EXPECT_NEAR(elsewhereRecord.matrix.tx, m.tx, 1e-3);
    for (const sim::Art* art : {group, nested, unselected}) EXPECT_TRUE(Record(art).empty());
    // One transform for each, keeping line widths, with the option bits of a move.
    ASSERT_EQ(doc->Transforms().size(), 3u);
    EXPECT_EQ(doc->Transforms()[0].lineScale, 1.0);
    EXPECT_EQ(doc->Transforms()[0].flags, 0x6F);
}

TEST_F(AlignmentTest, TwoDragsWithoutADirectionOnTheFixedAnchorAreRefused) {
    doc->AddPath(Root(), {{100, 100}});
    doc->AddPath(Root(), {{100, 100}, {100, 100}});  // its neighbour lies on it
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    Select(PointTool());
    // The first drag must stay on one path: the dot's only anchor to itself is no drag, so give the
    // direction with a click-move-click on the dot and then a point off it.
    Click({100, 100});
    Click({100, 130});
    ASSERT_EQ(Phase(), 2);
    DragFromTo({300, 300}, {301, 330});
    EXPECT_BEEPS(2) << "the click, then the refusal";
    EXPECT_EQ(moving->anchors[0].p.h, 300);
}

}  // namespace

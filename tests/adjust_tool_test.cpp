// The two adjust tools through their tool messages: selection, snapping, the anchor search, the
// phases of a gesture with their beeps and the undo texts; the rigid motions of Path adjust and
// Point adjust, and which objects move; what the annotator draws in each phase of a gesture and
// the Point adjust preview.
#include "adjust_fixture.h"

namespace {

constexpr int kCrosshair = 16104;
constexpr int kCrosshairOnAnchor = 16105;

using AdjustToolTest = AdjustTest;

// The cursor snaps within two view pixels on each axis; selecting the other tool resets the gesture.
TEST_F(AdjustToolTest, SelectingAToolAndSnappingTheCursor) {
    const sim::Annotator* annotator = App().FindAnnotator("KELVANE_ANNOTATOR");
    ASSERT_NE(annotator, nullptr);
    EXPECT_FALSE(annotator->active);
    Rectangle(100, 100, 50, 50);
    Select(PathTool());
    EXPECT_TRUE(annotator->active);
    EXPECT_EQ(State().toolMode, 0);
    Move({102, 98});  // 2 pixels off on both axes: the square's corner, bounds included
    EXPECT_EQ(State().snapKind, kSnapOnAnchor);
    EXPECT_POINT_NEAR(State().snapCursor, (RealPoint{100, 100}), 0);
    EXPECT_EQ(State().rawCursor.h, 102);
    EXPECT_EQ(host.ToolCursor(), kCrosshairOnAnchor);
    EXPECT_EQ(Hit(0).anchorIndex, 0);
    ASSERT_EQ(App().invalidations.size(), 1u) << "every tracked move has the whole view redrawn";
    EXPECT_EQ(App().invalidations[0].rect.right, 800);
    EXPECT_EQ(App().invalidations[0].rect.bottom, 600);

    Move({102.01, 100});
    EXPECT_EQ(State().snapKind, kSnapFree);
    EXPECT_EQ(State().snapCursor.h, 102.01);
    EXPECT_EQ(host.ToolCursor(), kCrosshair);
    EXPECT_EQ(Hit(0).art, nullptr);

    // At 200 % a view pixel is half a point: the same offset no longer snaps.
    doc->View(0)->zoom = 2.0;
    Move({101.5, 100});
    EXPECT_EQ(State().snapKind, kSnapFree);
    Move({101, 99});
    EXPECT_EQ(State().snapKind, kSnapOnAnchor);

    Move({100, 100});
    Down({100, 100});
    EXPECT_EQ(Phase(), 1);
    host.SendTool("AI Deselect", PathTool());
    EXPECT_FALSE(annotator->active);
    EXPECT_EQ(Phase(), 1) << "deselecting keeps the gesture";

    Select(PointTool());
    EXPECT_EQ(State().toolMode, 1);
    EXPECT_EQ(Phase(), 0);
    EXPECT_EQ(Point(0).h, 0);
    EXPECT_EQ(Hit(0).art, nullptr);
    EXPECT_EQ(Hit(0).anchorIndex, kNoAnchorIndex);
    EXPECT_EQ(State().snapKind, kSnapOnAnchor) << "the last search's kind survives the reset";
}

// The search takes the first path in layer order for the snap and hits at most five; a locked layer
// and guides are searched, a hidden layer is not, nor any layer after the first with a hit; text is
// found as its frame.
TEST_F(AdjustToolTest, TheAnchorSearch) {
    std::vector<sim::Art*> paths;
    for (int k = 0; k < 3; ++k) paths.push_back(doc->AddPath(Root(), {{200.0 + k, 200}, {300, 300.0 + k}}));
    AnchorHitList hits;
    EXPECT_EQ(Search({201.5, 199}, hits), kSnapOnAnchor);
    // Later anchors are tested against the snapped point (200, 200): 200, 201 and 202 are within 2.
    for (int k = 0; k < 3; ++k) EXPECT_EQ(hits[k].art, sim::HandleOf(paths[static_cast<std::size_t>(k)])) << k;
    EXPECT_EQ(hits[3].art, nullptr);
    EXPECT_EQ(hits[3].anchorIndex, kNoAnchorIndex);
    for (int k = 0; k < 7; ++k) doc->AddPath(Root(), {{400, 400}, {300, 300.0 + k}});
    Search({400, 400}, hits);
    for (int k = 0; k < kMaxAnchorHits; ++k) EXPECT_NE(hits[k].art, nullptr) << k;

    sim::Layer* hidden = doc->AddLayer("Hidden", false);
    sim::Layer* locked = doc->AddLayer("Locked", true, false);
    sim::Layer* later = doc->AddLayer("Later");
    doc->AddPath(hidden->root, {{50, 50}, {60, 60}});
    sim::Art* onLocked = doc->AddPath(locked->root, {{50, 50}, {70, 60}});
    sim::Art* guide = doc->AddPath(locked->root, {{80, 80}, {90, 60}});
    guide->guide = true;
    doc->AddPath(later->root, {{50, 50}, {80, 60}});
    doc->AddPath(later->root, {{120, 120}, {80, 60}});
    Search({50, 50}, hits);
    EXPECT_EQ(hits[0].art, sim::HandleOf(onLocked)) << "a locked layer is searched, a hidden one is not";
    EXPECT_EQ(hits[1].art, nullptr) << "the later layer is not searched";
    Search({80, 80}, hits);
    EXPECT_EQ(hits[0].art, sim::HandleOf(guide)) << "guides are searched";
    EXPECT_EQ(Search({120, 121}, hits), kSnapOnAnchor) << "a layer without a hit lets the search go on";

    sim::Art* group = doc->AddGroup(Root());
    const auto corner = [](double h, double v) { return AnchorRecord{{h, v}, {h, v}, {h, v}, true}; };
    sim::Art* onPath = doc->AddPathText(group, {corner(10, 10), corner(90, 10)}, false, {10, 30, 90, 10});
    sim::Art* inPath =
        doc->AddAreaText(Root(), {corner(600, 600), corner(660, 600), corner(660, 660)}, {600, 660, 660, 600});
    sim::Art* point = doc->AddPointText(Root(), {800, 800}, {800, 810, 840, 798});
    const struct {
        RealPoint at;
        sim::Art* frame;
        std::uint16_t index;
    } texts[] = {{{90, 11}, onPath, 1}, {{661, 659}, inPath, 2}, {{799, 801}, point, 0}};
    for (const auto& c : texts) {
        EXPECT_EQ(Search(c.at, hits), kSnapOnAnchor);
        EXPECT_EQ(hits[0].art, sim::HandleOf(c.frame));
        EXPECT_EQ(hits[0].anchorIndex, c.index);
    }
}

TEST_F(AdjustToolTest, PathAdjustTurnsAndMovesTheSecondObjectOntoTheFirst) {
    sim::Art* fixed = Rectangle(100, 100, 100, 50);
    sim::Art* moving = doc->AddPath(Root(), {{300, 300}, {300, 340}, {320, 300}});
    PathAdjust({100, 100}, {200, 100}, {300, 300}, {300, 340});
    EXPECT_BEEPS(0);
    EXPECT_POINT_NEAR(moving->anchors[0].p, (RealPoint{100, 100}), 1e-9);
    EXPECT_POINT_NEAR(moving->anchors[1].p, (RealPoint{140, 100}), 1e-9);
    EXPECT_POINT_NEAR(moving->anchors[2].p, (RealPoint{100, 80}), 1e-9);
    EXPECT_EQ(fixed->anchors[1].p.h, 200);
    EXPECT_FALSE(Record(moving).empty());
    EXPECT_TRUE(Record(fixed).empty());
    EXPECT_EQ(Phase(), 0);
    EXPECT_EQ(Point(0).h, 0) << "the gesture ended with a reset";

    const sim::UndoStep* step = host.Undo().Last();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->opener, "AI Mouse Up");
    EXPECT_EQ(step->undoText, "Undo Path adjust ") << "the blank before \"Tool\" stays";
    EXPECT_EQ(step->redoText, "Redo Path adjust ");
    EXPECT_EQ(step->forgetRedosCalls, 1);
}

// The first pair as click, move, click; the object under both its ends is taken, not another whose
// anchor lies first at its end.
TEST_F(AdjustToolTest, TheFirstPairCanBeGivenAsClickMoveClick) {
    sim::Art* decoy = doc->AddPath(Root(), {{200, 100}, {250, 40}});
    sim::Art* fixed = Rectangle(100, 100, 100, 50);
    sim::Art* moving = doc->AddPath(Root(), {{300, 300}, {300, 340}, {320, 300}});
    Select(PathTool());
    Click({100, 100});
    EXPECT_EQ(Phase(), 1) << "a click that does not move stays in the first drag";
    EXPECT_BEEPS(1);
    Move({200, 100});
    EXPECT_EQ(Point(1).h, 200) << "P2 follows the cursor";
    Down({200, 100});
    EXPECT_EQ(Phase(), 2) << "the next press fixes P2 without further tests";
    Up({200, 100});
    EXPECT_EQ(Phase(), 2);
    EXPECT_EQ(Hit(0).art, sim::HandleOf(fixed));
    EXPECT_EQ(Hit(1).art, sim::HandleOf(fixed)) << "not the decoy found first at P2";
    EXPECT_EQ(Hit(1).anchorIndex, 1);
    DragFromTo({300, 300}, {300, 340});
    EXPECT_BEEPS(1);
    EXPECT_POINT_NEAR(moving->anchors[1].p, (RealPoint{140, 100}), 1e-9);
    EXPECT_EQ(decoy->anchors[0].p.h, 200);
}

// Each refusal ends the gesture with a beep and moves nothing.
TEST_F(AdjustToolTest, PathAdjustRefusalsBeepAndMoveNothing) {
    Select(PathTool());
    Down({10, 10});  // no track since start-up: nothing searched yet
    EXPECT_BEEPS(1);
    EXPECT_EQ(Phase(), 0);
    Up({10, 10});
    EXPECT_BEEPS(1) << "a release in phase 0 does nothing";

    Rectangle(100, 100, 100, 50);
    sim::Art* other = doc->AddPath(Root(), {{200, 10}, {260, 10}});
    sim::Art* moving = doc->AddPath(Root(), {{300, 300}, {300, 340}});
    DragFromTo({100, 100}, {200, 100});
    ASSERT_EQ(Phase(), 2);
    DragFromTo({300, 300}, {300, 300});  // P3 equal to P4
    EXPECT_BEEPS(2);
    EXPECT_EQ(Phase(), 0);
    for (const sim::UndoStep& step : host.Undo().Steps()) EXPECT_FALSE(step.textSet) << step.opener;

    DragFromTo({100, 100}, {200, 10});  // the first pair on two objects
    ASSERT_EQ(Phase(), 2);
    DragFromTo({300, 300}, {300, 340});
    EXPECT_BEEPS(3);
    DragFromTo({500, 500}, {600, 500});  // the first drag on no object
    ASSERT_EQ(Phase(), 2);
    DragFromTo({300, 300}, {300, 340});
    EXPECT_BEEPS(4);
    EXPECT_EQ(moving->anchors[0].p.h, 300);
    EXPECT_EQ(other->anchors[0].p.h, 200);
    EXPECT_TRUE(Record(moving).empty());
}

TEST_F(AdjustToolTest, PointAdjustTakesTheLargestObjectUnderTheEndOfTheDrag) {
    State().language = kJapanese;
    Rectangle(100, 100, 100, 50);
    sim::Art* small = doc->AddPath(Root(), {{300, 300}, {310, 300}, {300, 310}}, true);
    sim::Art* large = Rectangle(300, 300, 40, 20);
    Rectangle(300, 300, 20, 40);  // as large: the earlier hit wins the tie
    Select(PointTool());
    DragFromTo({200, 100}, {300, 300});
    EXPECT_EQ(Phase(), 4);
    EXPECT_EQ(Hit(1).art, sim::HandleOf(large));
    Move({230, 115});
    Down({230, 115});
    EXPECT_BEEPS(0);
    EXPECT_POINT_NEAR(large->anchors[0].p, (RealPoint{200, 100}), 1e-9);
    EXPECT_EQ(small->anchors[0].p.h, 300);
    EXPECT_FALSE(Record(large).empty());
    EXPECT_EQ(host.Undo().Last()->opener, "AI Mouse Down");
    EXPECT_EQ(sim::Cp932ToUtf8(host.Undo().Last()->undoText), "Point adjust Tool の取り消し");
    EXPECT_EQ(sim::Cp932ToUtf8(host.Undo().Last()->redoText), "Point adjust Tool のやり直し");
}

TEST_F(AdjustToolTest, PointAdjustRefusalsBeepAndMoveNothing) {
    sim::Art* group = doc->AddGroup(Root());
    sim::Art* a = Rectangle(group, 100, 100, 100, 50);
    sim::Art* b = Rectangle(group, 300, 300, 40, 20);
    Select(PointTool());
    DragFromTo({200, 100}, {300, 300});
    ASSERT_EQ(Phase(), 4) << "two different paths";
    Click({230, 115});
    EXPECT_BEEPS(1) << "both in one top-level object";
    EXPECT_EQ(Phase(), 0);
    EXPECT_EQ(a->anchors[0].p.h, 100);
    EXPECT_EQ(b->anchors[0].p.h, 300);
    EXPECT_TRUE(Record(group).empty());

    Click({500, 500});
    EXPECT_EQ(Phase(), 4) << "no hit at P1: the click chooses";
    EXPECT_BEEPS(1);
    Click({510, 500});
    EXPECT_BEEPS(2) << "P1 equals P2";
    EXPECT_EQ(Phase(), 0);
}

TEST_F(AdjustToolTest, PointAdjustAlongOnePathGoesToTheSecondDrag) {
    sim::Art* fixed = Rectangle(100, 100, 100, 50);
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    Select(PointTool());
    DragFromTo({200, 100}, {100, 100});
    EXPECT_EQ(Phase(), 2) << "P2 on the same path";
    // The fixed corner's direction is the one nearer to P2 (its bottom side, leftwards), the moving
    // corner's the one nearer to P4 (its bottom side, rightwards): the moving rectangle turns half
    // round onto the fixed one's bottom side. The half turn is 3.141593, not pi.
    DragFromTo({300, 300}, {330, 301});
    EXPECT_BEEPS(0);
    EXPECT_EQ(Phase(), 0);
    EXPECT_POINT_NEAR(moving->anchors[0].p, (RealPoint{200, 100}), 1e-9);
    EXPECT_POINT_NEAR(moving->anchors[1].p, (RealPoint{160, 100}), 2e-5);
    EXPECT_POINT_NEAR(moving->anchors[3].p, (RealPoint{200, 80}), 2e-5);
    EXPECT_EQ(fixed->anchors[0].p.h, 100);
}

// ---- The rigid motions ----

TEST_F(AdjustToolTest, PathAdjustOnOneObjectMovesItAgainstItsOwnFormerPlace) {
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

class FourOrientations : public AdjustTest, public ::testing::WithParamInterface<Orientation> {};

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

TEST_F(AdjustToolTest, TheHalfTurnIsTheLiteralNotPi) {
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    Rectangle(100, 100, 100, 50);
    PointAdjust({200, 100}, {300, 300}, {215, 70});
    const double excess = 3.141593 - std::acos(-1.0);
    EXPECT_NEAR(moving->anchors[1].p.h, 200 + 40 * std::sin(excess), 1e-9);
}

TEST_F(AdjustToolTest, SelectedObjectsMoveTogetherEachWithItsOwnRecord) {
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

TEST_F(AdjustToolTest, TwoDragsWithoutADirectionOnTheFixedAnchorAreRefused) {
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

// ---- The annotator ----

// The host's view: artwork (h, v) is view (h, 792 - v) at 100 %.
ViewPoint V(double h, double v) { return ViewPoint{static_cast<std::int32_t>(h), static_cast<std::int32_t>(792 - v)}; }

bool SameView(const ViewPoint& a, const ViewPoint& b) { return a.h == b.h && a.v == b.v; }

class AnnotatorTest : public AdjustTest {
protected:
    // Asks the plug-in to draw, and gives what it drew.
    std::vector<sim::DrawCall> Draw() {
        App().drawCalls.clear();
        EXPECT_EQ(host.AnnotationDraw(State().annotator), kNoError);
        return App().drawCalls;
    }

    static std::vector<sim::DrawCall> Of(const std::vector<sim::DrawCall>& calls, sim::DrawOp op) {
        std::vector<sim::DrawCall> found;
        for (const sim::DrawCall& call : calls) {
            if (call.op == op) found.push_back(call);
        }
        return found;
    }

    static void ExpectLine(const sim::DrawCall& call, ViewPoint from, ViewPoint to) {
        ASSERT_EQ(call.op, sim::DrawOp::Line);
        ASSERT_EQ(call.points.size(), 2u);
        EXPECT_TRUE(SameView(call.points[0], from)) << call.points[0].h << "," << call.points[0].v;
        EXPECT_TRUE(SameView(call.points[1], to)) << call.points[1].h << "," << call.points[1].v;
    }

    // The pen is set before any line: the blue-green of 16-bit channels 0, 0xC000, 0xC000, width 1.
    static void ExpectGuidePen(const std::vector<sim::DrawCall>& calls) {
        ASSERT_GE(calls.size(), 3u);
        EXPECT_EQ(calls[0].op, sim::DrawOp::SetHighlightMode);
        EXPECT_EQ(calls[0].flag, 1);
        EXPECT_EQ(calls[0].exclusive, 0);
        ASSERT_EQ(calls[1].op, sim::DrawOp::SetColor);
        EXPECT_EQ(calls[1].color.red, 0);
        EXPECT_EQ(std::lround(calls[1].color.green * 65535), 0xC000);
        EXPECT_EQ(std::lround(calls[1].color.blue * 65535), 0xC000);
        ASSERT_EQ(calls[2].op, sim::DrawOp::SetLineWidth);
        EXPECT_EQ(calls[2].width, 1.0);
    }
};

// A drag's guide line shows once the cursor has left its start; between the drags nothing, during
// the second both lines, and nothing once the gesture ended.
TEST_F(AnnotatorTest, TheGuideLinesFollowTheDrags) {
    Rectangle(100, 100, 100, 50);
    Rectangle(300, 300, 40, 20);
    Select(PathTool());
    std::vector<sim::DrawCall> calls = Draw();
    ASSERT_EQ(calls.size(), 1u) << "idle: only the drawer's setting";
    EXPECT_EQ(calls[0].op, sim::DrawOp::SetHighlightMode);
    Move({100, 100});
    Down({100, 100});
    calls = Draw();
    EXPECT_TRUE(Of(calls, sim::DrawOp::Line).empty()) << "the cursor is still on P1";
    EXPECT_TRUE(Of(calls, sim::DrawOp::SetColor).empty());
    Drag({160, 120});
    calls = Draw();
    ExpectGuidePen(calls);
    ASSERT_EQ(calls.size(), 4u);
    ExpectLine(calls[3], V(100, 100), V(160, 120));
    Drag({199, 101});  // snaps onto the corner (200, 100)
    Up({200, 100});
    Move({300, 300});
    ASSERT_EQ(Phase(), 2);
    EXPECT_TRUE(Of(Draw(), sim::DrawOp::Line).empty());

    Down({300, 300});
    calls = Draw();
    ExpectGuidePen(calls);
    ASSERT_EQ(Of(calls, sim::DrawOp::Line).size(), 1u) << "the second drag has not moved yet";
    ExpectLine(Of(calls, sim::DrawOp::Line)[0], V(100, 100), V(200, 100));
    Drag({320, 330});
    const std::vector<sim::DrawCall> lines = Of(Draw(), sim::DrawOp::Line);
    ASSERT_EQ(lines.size(), 2u);
    ExpectLine(lines[1], V(300, 300), V(320, 330));
    Up({320, 330});
    EXPECT_TRUE(Of(Draw(), sim::DrawOp::Line).empty()) << "the gesture ended";
}

// With the moving object selected, every selected object is shown moved with it.
TEST_F(AnnotatorTest, ThePointAdjustPreviewShowsTheObjectWhereItWouldGo) {
    Rectangle(100, 100, 100, 50);
    sim::Art* moving = Rectangle(300, 300, 40, 20);
    sim::Art* companion = doc->AddPath(Root(), {{400, 400}, {460, 400}});
    doc->AddPath(Root(), {{500, 400}, {560, 400}});  // not selected: not drawn
    doc->SelectWhole(moving);
    doc->SelectWhole(companion);
    Select(PointTool());
    DragFromTo({200, 100}, {300, 300});
    Move({230, 115});
    ASSERT_EQ(Phase(), 4);
    std::vector<sim::DrawCall> calls = Draw();
    ExpectGuidePen(calls);
    const std::vector<sim::DrawCall> curves = Of(calls, sim::DrawOp::Beziers);
    ASSERT_EQ(curves.size(), 5u) << "three sides and the closing one, then the companion";
    // Moved by (-100, -200): the rectangle (200, 100) to (240, 120), drawn from its first anchor.
    // Each side straight, its handles on its ends.
    const ViewPoint corners[5] = {V(200, 100), V(240, 100), V(240, 120), V(200, 120), V(200, 100)};
    for (int k = 0; k < 4; ++k) {
        ASSERT_EQ(curves[k].points.size(), 4u);
        EXPECT_EQ(curves[k].flag, 0);
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameView(curves[k].points[i], corners[k + i / 2])) << k << " " << i;
    }
    EXPECT_TRUE(SameView(curves[4].points[0], V(300, 200)));
    EXPECT_TRUE(SameView(curves[4].points[3], V(360, 200)));
    EXPECT_EQ(moving->anchors[0].p.h, 300) << "the preview moves nothing";

    Move({175, 85});  // another orientation: upside down
    const std::vector<sim::DrawCall> turned = Of(Draw(), sim::DrawOp::Beziers);
    ASSERT_EQ(turned.size(), 5u);
    EXPECT_TRUE(SameView(turned[0].points[3], V(160, 100)));
}

TEST_F(AnnotatorTest, GuidesAreLeftOutLoopsClosedAndTextIsShownAsItsMovedBounds) {
    Rectangle(100, 100, 100, 50);
    sim::Art* group = doc->AddGroup(Root());
    Rectangle(group, 300, 300, 40, 20);
    doc->AddPath(group, {{310, 305}, {310, 500}})->guide = true;
    doc->AddCurve(group, {AnchorRecord{{320, 310}, {310, 320}, {330, 320}, 0}}, true);  // one anchor, closed
    doc->AddPointText(group, {310, 330}, {310, 340, 330, 328});
    Select(PointTool());
    DragFromTo({200, 100}, {300, 300});
    Move({230, 115});
    ASSERT_EQ(Phase(), 4);
    const std::vector<sim::DrawCall> calls = Draw();
    const std::vector<sim::DrawCall> curves = Of(calls, sim::DrawOp::Beziers);
    ASSERT_EQ(curves.size(), 5u) << "the rectangle and the loop, not the guide";
    const ViewPoint loop[4] = {V(220, 110), V(230, 120), V(210, 120), V(220, 110)};  // out, then in handle
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameView(curves[4].points[i], loop[i])) << i;
    const std::vector<sim::DrawCall> lines = Of(calls, sim::DrawOp::Line);
    ASSERT_EQ(lines.size(), 4u);
    const ViewPoint box[5] = {V(210, 140), V(230, 140), V(230, 128), V(210, 128), V(210, 140)};
    for (int k = 0; k < 4; ++k) ExpectLine(lines[k], box[k], box[k + 1]);
}

}  // namespace

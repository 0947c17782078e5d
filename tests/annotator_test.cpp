// The annotator of the adjust tools: what it draws in each phase of a gesture and the Point adjust
// preview.
#include <cmath>

#include "adjust_fixture.h"

namespace {

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

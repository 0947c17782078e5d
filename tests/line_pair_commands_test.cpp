// Commands 1011 and 1012 through the simulated host, on pairs of selected lines: the angle bisector
// of each pair, and the extension crossing, which joins a pair where their lines cross by a new
// corner path or, with extend_endpoints, by moving the paths' own end anchors.
#include <cmath>
#include <tuple>
#include <vector>

#include "line_command_fixture.h"

namespace {

using Points = std::vector<RealPoint>;
const char* const kOutsideEnglish = "Cannot be created if the intersection is outside the drawing area.";
const char* const kSharedEnglish = "Cannot be created on a line that shares a vertex.";
const char* const kOutsideJapanese = "交点が描画領域の外になる場合は作成できません。";
const char* const kSharedJapanese = "頂点を共有する直線には作成できません。";

class LinePairTest : public LineCommandTest {
protected:
    void Bisect(std::uint16_t language = kEnglish) { Run(kCommandAngleBisector, language); }
    void Cross(std::uint16_t language = kEnglish) { Run(kCommandExtensionCrossing, language); }

    // An open path whose end segment is (next to) a chosen anchor, only that anchor selected.
    sim::Art* EndSelected(std::vector<RealPoint> points, int selected) {
        sim::Art* path = doc->AddPath(Root(), points);
        doc->SelectAnchors(path, {selected});
        return path;
    }
};

using AngleBisectorTest = LinePairTest;
using ExtensionCrossingTest = LinePairTest;

// Selected lines and the bisectors made for them, in the order they were made: each is a new open
// corner path, not selected, and the lines themselves stay.
TEST_F(AngleBisectorTest, BisectorsOfTheClosestPairsFirst) {
    // What the case shows, the lines, whether they are closed and the bisectors made.
    const std::tuple<const char*, std::vector<Points>, bool, std::vector<Points>> cases[] = {
        {"a V: from its tip to the chord of the far ends", {{{0, 0}, {100, 0}}, {{0, 0}, {0, 100}}}, false,
         {{{0, 0}, {50, 50}}}},
        // The degenerate chord of the meeting near ends is as upright as the bisector: that end stays.
        {"an upright V", {{{100, 100}, {50, 200}}, {{100, 100}, {150, 200}}}, false,
         {{{100, 100 + 1.5 * std::hypot(50.0, 100.0)}, {100, 200}}}},
        {"a whole square: opposite corners to the centre", {{{0, 0}, {100, 0}, {100, 100}, {0, 100}}}, true,
         {{{100, 0}, {50, 50}}, {{0, 100}, {50, 50}}}},
        // Equal end distances: the ends of both lines count as the near ones.
        {"parallel", {{{0, 0}, {100, 0}}, {{0, 50}, {100, 50}}}, false, {{{100, 25}, {0, 25}}}},
        {"slopes 0.0005 apart, however far", {{{0, 0}, {100, 0}}, {{0, 500}, {100, 500.05}}}, false,
         {{{0, 250}, {100, 250.025}}}},
        // B with C (10 apart), then A with B again.
        {"three lines", {{{0, 0}, {0, 100}}, {{200, 0}, {300, 0}}, {{300, 10}, {300, 110}}}, false,
         {{{300, 0}, {520.0 / 2.1, 300 - 520.0 / 2.1}}, {{0, 0}, {75, 75}}}},
        {"A and B closest: C is left as the last line", {{{0, 0}, {0, 100}}, {{10, 0}, {110, 0}},
         {{500, 500}, {600, 500}}}, false, {{{0, 0}, {110 / 2.1, 110 / 2.1}}}},
    };
    for (const auto& [what, selected, closed, bisectors] : cases) {
        NewDocument();
        std::vector<sim::Art*> lines;
        for (const Points& points : selected) {
            lines.push_back(doc->AddPath(Root(), points, closed));
            doc->SelectWhole(lines.back());
        }
        Bisect();
        EXPECT_EQ(OnlyAlert(), "") << what;
        const auto made = NewPaths();
        ASSERT_EQ(made.size(), bisectors.size()) << what;
        for (std::size_t k = 0; k < made.size(); ++k) {
            ExpectAnchors(made[k], bisectors[k]);
            EXPECT_FALSE(made[k]->closed || made[k]->Selected()) << what;
        }
        for (std::size_t k = 0; k < lines.size(); ++k) {
            ASSERT_EQ(lines[k]->anchors.size(), selected[k].size()) << what;
            EXPECT_EQ(lines[k]->anchors.back().p.v, selected[k].back().v) << "the lines themselves stay";
        }
    }
}

TEST_F(AngleBisectorTest, StyledLikeLineIsObjectOnTopOfItsLayer) {
    doc->AddLayer("Lines");
    sim::Art* group = doc->AddGroup(Root(1));
    sim::Art* compound = doc->AddCompoundPath(group);
    PathStyle style = *compound->style;
    style.strokePaint = true;
    style.stroke.width = 3.5;
    style.stroke.color = Color{kThreeColor, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    compound->style = style;
    doc->AddPath(compound, {{0, 0}, {100, 0}});
    doc->SelectWhole(compound);
    Line(group, {{0, 0}, {0, 100}});
    doc->AddPath(Root(1), {{500, 500}, {600, 600}});  // something already on the layer
    Bisect();
    EXPECT_TRUE(NewPaths(0).empty());
    const auto made = NewPaths(1);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(Root(1)->firstChild, made[0]) << "topmost, outside the group and the compound path";
    EXPECT_EQ(made[0]->style->stroke.width, 3.5) << "the compound path's style, not its child's";
    EXPECT_EQ(made[0]->style->stroke.color.kind, kThreeColor);
    EXPECT_EQ(made[0]->style->stroke.color.red, 1.0);
}

// Selected lines (whole, or by one end anchor) and the corner paths made to join them through their
// crossing, in the order they were made; each new path is open and not selected, the lines stay.
TEST_F(ExtensionCrossingTest, PairsAreJoinedThroughTheirCrossing) {
    struct Selected {
        Points points;
        int end = -1;  // the one anchor selected; -1: the whole line
    };
    // What the case shows, its lines, the paths made, a drawing area from -1000 to 2000 on both axes, the alert.
    const std::tuple<const char*, std::vector<Selected>, std::vector<Points>, bool, const char*> cases[] = {
        {"separate lines from their near ends", {{{{100, 100}, {200, 100}}}, {{{300, 200}, {300, 150}}}},
         {{{200, 100}, {300, 100}, {300, 150}}}, false, ""},
        {"crossing lines keep their longer arms", {{{{0, 0}, {100, 100}}}, {{{0, 60}, {120, 0}}}},
         {{{100, 100}, {40, 40}, {120, 0}}}, false, ""},
        {"the ends of the longer arms picked: the other side", {{{{0, 0}, {100, 100}}, 1}, {{{0, 60}, {120, 0}}, 1}},
         {{{0, 0}, {40, 40}, {0, 60}}}, false, ""},
        {"a T: equal arms leave the last combination", {{{{0, 0}, {100, 0}}}, {{{50, 0}, {50, 100}}}},
         {{{100, 0}, {50, 0}, {50, 100}}}, false, ""},
        {"crossing at (1000, 100), within the document's area", {{{{0, 100}, {100, 100}}}, {{{0, 200}, {100, 190}}}},
         {{{100, 100}, {1000, 100}, {100, 190}}}, true, ""},
        {"the same without the document's area: outside", {{{{0, 100}, {100, 100}}}, {{{0, 200}, {100, 190}}}}, {},
         false, kOutsideEnglish},
        // Two passes: 2 is nearest to 0 and paired first, then 3 with 1.
        {"four lines", {{{{0, 100}, {100, 100}}}, {{{0, 400}, {100, 400}}}, {{{150, 150}, {150, 200}}},
                        {{{200, 420}, {250, 470}}}},
         {{{100, 100}, {150, 100}, {150, 150}}, {{100, 400}, {180, 400}, {200, 420}}}, false, ""},
        {"two lines equally near: the first pair in list order", {{{{100, 100}, {200, 100}}},
                                                                   {{{250, 150}, {250, 200}}},
                                                                   {{{50, 150}, {50, 200}}}},
         {{{200, 100}, {250, 100}, {250, 150}}}, false, ""},
        // Line 3 meets line 1 left of the drawing area: that pair is given up without a word.
        {"a pair given up beside a success", {{{{0, 100}, {100, 100}}}, {{{0, 400}, {100, 400}}},
                                               {{{150, 150}, {150, 200}}}, {{{0, 420}, {100, 430}}}},
         {{{100, 100}, {150, 100}, {150, 150}}}, false, ""},
    };
    for (const auto& [what, selected, paths, wideArea, alert] : cases) {
        NewDocument();
        if (wideArea) doc->drawingArea = RealRect{-1000, 2000, 2000, -1000};
        std::vector<sim::Art*> lines;
        for (const Selected& line : selected) {
            lines.push_back(line.end < 0 ? Line(line.points) : EndSelected(line.points, line.end));
        }
        Cross();
        EXPECT_EQ(OnlyAlert(), alert) << what;
        const auto made = NewPaths();
        ASSERT_EQ(made.size(), paths.size()) << what;
        for (std::size_t k = 0; k < made.size(); ++k) {
            ExpectAnchors(made[k], paths[k]);
            EXPECT_FALSE(made[k]->closed || made[k]->Selected()) << what;
        }
        for (std::size_t k = 0; k < lines.size(); ++k) ExpectAnchors(lines[k], selected[k].points);
    }
}

TEST_F(ExtensionCrossingTest, ExtendEndpointsMovesTheEndAnchorsOfOpenPaths) {
    EndSelected({{0, 50}, {100, 100}, {200, 100}}, 2);
    EndSelected({{300, 150}, {300, 200}, {350, 300}}, 0);
    State().extend_endpoints = 1;
    Cross();
    EXPECT_EQ(OnlyAlert(), "");
    EXPECT_TRUE(NewPaths().empty());
    auto paths = Root()->Children();
    ExpectAnchors(paths[0], {{0, 50}, {100, 100}, {300, 100}});
    ExpectAnchors(paths[1], {{300, 100}, {300, 200}, {350, 300}});

    // A segment in the middle of a path paired with an end segment: joined by a new path.
    NewDocument();
    sim::Art* middle = doc->AddPath(Root(), {{0, 50}, {100, 100}, {200, 100}, {250, 0}});
    doc->SelectAnchors(middle, {1, 2});
    EndSelected({{300, 150}, {300, 200}, {350, 300}}, 0);
    Cross();
    ASSERT_EQ(NewPaths().size(), 1u);
    ExpectAnchors(NewPaths()[0], {{200, 100}, {300, 100}, {300, 150}});
    ExpectAnchors(middle, {{0, 50}, {100, 100}, {200, 100}, {250, 0}});

    // Two one-segment paths: every combination of ends is usable; the nearest ends win unless the
    // user picked other ends as anchors.
    const auto build = [this](bool pickFarEnds) {
        NewDocument();
        sim::Art* first = doc->AddPath(Root(), {{100, 100}, {200, 100}});
        sim::Art* second = doc->AddPath(Root(), {{300, 200}, {300, 150}});
        doc->SelectAnchors(first, {0});
        doc->SelectAnchors(first, {1}, pickFarEnds ? kOutHandleSelected : kAnchorPointSelected);
        doc->SelectAnchors(second, {0});
        doc->SelectAnchors(second, {1}, pickFarEnds ? kInHandleSelected : kAnchorPointSelected);
        State().extend_endpoints = 1;
        Cross();
        return Root()->Children();
    };
    paths = build(false);
    ExpectAnchors(paths[0], {{100, 100}, {300, 100}});
    ExpectAnchors(paths[1], {{300, 200}, {300, 100}});
    paths = build(true);
    ExpectAnchors(paths[0], {{300, 100}, {200, 100}});
    ExpectAnchors(paths[1], {{300, 100}, {300, 150}});
}

// Each refusal brings its alert in the language (Korean shows English; Japanese goes to the host in
// Shift-JIS) and makes nothing.
TEST_F(LinePairTest, RefusalsAndTheirAlertsInEveryLanguage) {
    const std::vector<std::vector<RealPoint>> v = {{{0, 0}, {100, 0}}, {{0, 0}, {0, 100}}};
    const struct {
        std::uint16_t command;
        const char* name;
        std::vector<std::vector<RealPoint>> lines;
        const char *english, *japanese;
        bool circle = false;   // a circle selected after the lines
        bool refused = false;  // every new art refused
        bool text = false;     // a point text selected after the lines
    } cases[] = {
        {kCommandAngleBisector, "circle with two lines", v, "Non straight line objects are selected.",
         "直線以外のオブジェクトが選択されています。", true},
        {kCommandAngleBisector, "a line and its duplicate", {{{0, 0}, {100, 0}}, {{100, 0}, {0, 0}}},
         "Two or more straight lines are not selected.", "角の二等分線を作成する２つ以上の直線が選択されていません。"},
        {kCommandAngleBisector, "every new path refused", v, "Could not create angle bisector.",
         "角の二等分線を作成できませんでした。", false, true},
        {kCommandExtensionCrossing, "L", {{{0, 0}, {100, 0}}, {{100, 0}, {100, 100}}}, kSharedEnglish,
         kSharedJapanese},
        {kCommandExtensionCrossing, "L within 0.001", {{{0, 0}, {100, 0}}, {{100.0005, 0.0005}, {100, 100}}},
         kSharedEnglish, kSharedJapanese},
        {kCommandExtensionCrossing, "parallel", {{{0, 0}, {100, 0}}, {{0, 50}, {100, 50}}}, kOutsideEnglish,
         kOutsideJapanese},
        {kCommandExtensionCrossing, "slopes within 0.001", {{{0, 0}, {100, 0}}, {{0, 50}, {100, 50.05}}},
         kOutsideEnglish, kOutsideJapanese},
        {kCommandExtensionCrossing, "parallel beside an L",
         {{{0, 0}, {100, 0}}, {{100, 0}, {100, 100}}, {{300, 0}, {400, 0}}, {{300, 50}, {400, 50}}},
         kOutsideEnglish, kOutsideJapanese},
        {kCommandExtensionCrossing, "one line", {{{0, 0}, {100, 0}}}, "Two or more straight lines are not selected.",
         "延長交差を作成する２つ以上の直線が選択されていません。"},
        {kCommandExtensionCrossing, "point text with two lines", {{{0, 0}, {100, 0}}, {{300, 200}, {300, 150}}},
         "Non straight line objects are selected.", "直線以外のオブジェクトが選択されています。", false, false, true},
    };
    for (const auto& c : cases) {
        for (std::uint16_t language : {kEnglish, kKorean, kJapanese}) {
            NewDocument();
            for (const auto& line : c.lines) Line(line);
            if (c.circle) Circle(Root(), {300, 300}, 50);
            if (c.text) doc->SelectWhole(doc->AddPointText(Root(), {10, 10}, {10, 20, 50, 10}));
            if (c.refused) host.Gate().FailOperation("AI Art Suite", "NewArt", kInjectedFailure);
            Run(c.command, language);
            host.Gate().ClearFailures();
            EXPECT_EQ(OnlyAlert(), language == kJapanese ? c.japanese : c.english) << c.name << " " << language;
            if (language == kJapanese) {
                ASSERT_EQ(App().alerts.size(), 1u);
                EXPECT_NE(App().alerts[0].text, c.japanese) << "sent as Shift-JIS";
            }
            EXPECT_TRUE(NewPaths().empty()) << c.name;
        }
    }
}

}  // namespace

// Command 1011 through the simulated host: bisectors of pairs of selected lines.
#include <cmath>
#include <vector>

#include "line_command_fixture.h"

namespace {

class AngleBisectorTest : public LineCommandTest {
protected:
    void Bisect(std::uint16_t language = kEnglish) { Run(kCommandAngleBisector, language); }
};

// Selected lines and the bisectors made for them, in the order they were made: each is a new open
// corner path, not selected, and the lines themselves stay.
TEST_F(AngleBisectorTest, BisectorsOfTheClosestPairsFirst) {
    using Points = std::vector<RealPoint>;
    const struct {
        const char* what;
        std::vector<Points> lines;
        bool closed;
        std::vector<Points> made;
    } cases[] = {
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
    for (const auto& c : cases) {
        NewDocument();
        std::vector<sim::Art*> lines;
        for (const Points& points : c.lines) {
            lines.push_back(doc->AddPath(Root(), points, c.closed));
            doc->SelectWhole(lines.back());
        }
        Bisect();
        EXPECT_EQ(OnlyAlert(), "") << c.what;
        const auto made = NewPaths();
        ASSERT_EQ(made.size(), c.made.size()) << c.what;
        for (std::size_t k = 0; k < made.size(); ++k) {
            ExpectAnchors(made[k], c.made[k]);
            EXPECT_FALSE(made[k]->closed || made[k]->Selected()) << c.what;
        }
        for (std::size_t k = 0; k < lines.size(); ++k) {
            ASSERT_EQ(lines[k]->anchors.size(), c.lines[k].size()) << c.what;
            EXPECT_EQ(lines[k]->anchors.back().p.v, c.lines[k].back().v) << "the lines themselves stay";
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

TEST_F(AngleBisectorTest, RefusalsAndTheirAlertsInBothLanguages) {
    const std::vector<std::vector<RealPoint>> v = {{{0, 0}, {100, 0}}, {{0, 0}, {0, 100}}};
    const struct {
        const char* name;
        std::vector<std::vector<RealPoint>> lines;
        bool circle, refused;  // a circle selected after the lines; every new art refused
        const char* english;
        const char* japanese;
    } cases[] = {
        {"circle with two lines", v, true, false, "Non straight line objects are selected.",
         "直線以外のオブジェクトが選択されています。"},
        {"a line and its duplicate", {{{0, 0}, {100, 0}}, {{100, 0}, {0, 0}}}, false, false,
         "Two or more straight lines are not selected.", "角の二等分線を作成する２つ以上の直線が選択されていません。"},
        {"every new path refused", v, false, true, "Could not create angle bisector.",
         "角の二等分線を作成できませんでした。"},
    };
    for (const auto& c : cases) {
        for (std::uint16_t language : {kEnglish, kKorean, kJapanese}) {
            NewDocument();
            for (const auto& line : c.lines) Line(line);
            if (c.circle) Circle(Root(), {300, 300}, 50);
            if (c.refused) host.Gate().FailOperation("AI Art Suite", "NewArt", kInjectedFailure);
            Bisect(language);
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

// Command 1011 through the simulated host: bisectors of pairs of selected lines.
#include <cmath>
#include <vector>

#include "line_command_fixture.h"

namespace {

class AngleBisectorTest : public LineCommandTest {
protected:
    void Bisect(std::uint16_t language = kEnglish) { Run(kCommandAngleBisector, language); }
};

TEST_F(AngleBisectorTest, AVFromItsTipToTheChordOfTheFarEnds) {
    sim::Art* first = Line({{0, 0}, {100, 0}});
    sim::Art* second = Line({{0, 0}, {0, 100}});
    Bisect();
    EXPECT_EQ(OnlyAlert(), "");
    const auto made = NewPaths();
    ASSERT_EQ(made.size(), 1u);
    ExpectAnchors(made[0], {{0, 0}, {50, 50}});
    EXPECT_FALSE(made[0]->closed);
    EXPECT_FALSE(made[0]->Selected());
    EXPECT_EQ(first->anchors.size(), 2u);
    EXPECT_EQ(second->anchors[1].p.v, 100.0) << "the lines themselves stay";
}

TEST_F(AngleBisectorTest, AnUprightVKeepsItsTipEndAtOneAndAHalfArmsAlongTheBisector) {
    // The degenerate chord of the meeting near ends is as upright as the bisector: that end stays.
    Line({{100, 100}, {50, 200}});
    Line({{100, 100}, {150, 200}});
    Bisect();
    const auto made = NewPaths();
    ASSERT_EQ(made.size(), 1u);
    ExpectAnchors(made[0], {{100, 100 + 1.5 * std::hypot(50.0, 100.0)}, {100, 200}});
}

TEST_F(AngleBisectorTest, AWholeSquareGivesTwoBisectorsFromOppositeCornersToTheCentre) {
    doc->SelectWhole(doc->AddPath(Root(), {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true));
    Bisect();
    const auto made = NewPaths();
    ASSERT_EQ(made.size(), 2u);
    ExpectAnchors(made[0], {{100, 0}, {50, 50}});
    ExpectAnchors(made[1], {{0, 100}, {50, 50}});
}

TEST_F(AngleBisectorTest, ParallelAndNearlyParallelPairsGetTheirMiddleLine) {
    Line({{0, 0}, {100, 0}});
    Line({{0, 50}, {100, 50}});
    Bisect();
    auto made = NewPaths();
    ASSERT_EQ(made.size(), 1u);
    // Equal end distances: the ends of both lines count as the near ones.
    ExpectAnchors(made[0], {{100, 25}, {0, 25}});

    NewDocument();
    Line({{0, 0}, {100, 0}});
    Line({{0, 500}, {100, 500.05}});  // slopes 0.0005 apart, however far
    Bisect();
    made = NewPaths();
    ASSERT_EQ(made.size(), 1u);
    ExpectAnchors(made[0], {{0, 250}, {100, 250.025}});
}

TEST_F(AngleBisectorTest, ThreeLinesPairTheClosestFirstAndMayReuseAPairedLine) {
    Line({{0, 0}, {0, 100}});        // A
    Line({{200, 0}, {300, 0}});      // B
    Line({{300, 10}, {300, 110}});   // C, 10 from B
    Bisect();
    const auto made = NewPaths();
    ASSERT_EQ(made.size(), 2u);
    ExpectAnchors(made[0], {{300, 0}, {520.0 / 2.1, 300 - 520.0 / 2.1}});  // B with C
    ExpectAnchors(made[1], {{0, 0}, {75, 75}});                          // then A with B

    NewDocument();
    Line({{0, 0}, {0, 100}});
    Line({{10, 0}, {110, 0}});  // A and B closest: C is left as the last line
    Line({{500, 500}, {600, 500}});
    Bisect();
    EXPECT_EQ(NewPaths().size(), 1u);
    EXPECT_EQ(OnlyAlert(), "");
}

TEST_F(AngleBisectorTest, StyledLikeLineIsObjectOnTopOfItsLayer) {
    doc->AddLayer("Lines");
    sim::Art* group = doc->AddGroup(Root(1));
    sim::Art* compound = doc->AddCompoundPath(group);
    compound->style.strokePaint = true;
    compound->style.stroke.width = 3.5;
    compound->style.stroke.color = Color{kThreeColor, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    doc->AddPath(compound, {{0, 0}, {100, 0}});
    doc->SelectWhole(compound);
    Line(group, {{0, 0}, {0, 100}});
    doc->AddPath(Root(1), {{500, 500}, {600, 600}});  // something already on the layer
    Bisect();
    EXPECT_TRUE(NewPaths(0).empty());
    const auto made = NewPaths(1);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(Root(1)->firstChild, made[0]) << "topmost, outside the group and the compound path";
    EXPECT_EQ(made[0]->style.stroke.width, 3.5) << "the compound path's style, not its child's";
    EXPECT_EQ(made[0]->style.stroke.color.kind, kThreeColor);
    EXPECT_EQ(made[0]->style.stroke.color.red, 1.0);
}

TEST_F(AngleBisectorTest, RefusalsAndTheirAlertsInBothLanguages) {
    struct Case {
        const char* name;
        std::function<void()> build;
        const char* english;
        const char* japanese;
    };
    const Case cases[] = {
        {"circle with two lines",
         [this] {
             Line({{0, 0}, {100, 0}});
             Line({{0, 0}, {0, 100}});
             Circle(Root(), {300, 300}, 50);
         },
         "Non straight line objects are selected.", "直線以外のオブジェクトが選択されています。"},
        {"a line and its duplicate", [this] {
             Line({{0, 0}, {100, 0}});
             Line({{100, 0}, {0, 0}});
         },
         "Two or more straight lines are not selected.",
         "角の二等分線を作成する２つ以上の直線が選択されていません。"},
        {"every new path refused",
         [this] {
             Line({{0, 0}, {100, 0}});
             Line({{0, 0}, {0, 100}});
             host.Gate().FailOperation("AI Art Suite", "NewArt", kInjectedFailure);
         },
         "Could not create angle bisector.", "角の二等分線を作成できませんでした。"},
    };
    for (const Case& c : cases) {
        for (std::uint16_t language : {kEnglish, kKorean, kJapanese}) {
            NewDocument();
            c.build();
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

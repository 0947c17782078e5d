// Command 1004 through the simulated host: the handles of selected anchors drawn as strokes.
#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "line_command_fixture.h"

namespace {

// The anchor points first, then the in and out handles. A smooth anchor with both handles drawn,
// between two plain corners.
const AnchorRecord kSmooth{{100, 100}, {70, 90}, {130, 110}, false};
// A corner with only its out handle drawn.
const AnchorRecord kOutOnly{{200, 0}, {200, 0}, {220, 40}, true};
const AnchorRecord kRetracted{{300, 0}, {300, 0}, {300, 0}, true};

class HandleLineTest : public LineCommandTest {
protected:
    // One path through the three test anchors; the chosen ones selected.
    sim::Art* Path(const std::vector<int>& selected, sim::Art* container = nullptr) {
        sim::Art* path = doc->AddCurve(container != nullptr ? container : Root(), {kSmooth, kOutOnly, kRetracted});
        doc->SelectAnchors(path, selected);
        return path;
    }

    void Run() { LineCommandTest::Run(kCommandHandleLine); }

    // The paths of a layer in the order they were made (each new one went on top).
    static std::vector<const sim::Art*> Lines(const sim::Layer* layer) {
        if (layer == nullptr) return {};
        const std::vector<sim::Art*> children = layer->root->Children();
        return {children.rbegin(), children.rend()};
    }

    std::vector<const sim::Art*> HandleLayerLines() { return Lines(doc->FindLayer("HANDLE LINE")); }
};

TEST_F(HandleLineTest, APolylineOnItsOwnLayerMadeBelowTheCurrentOneOnceOrOnTheNamedOne) {
    sim::Layer* top = doc->LayerAt(0);
    doc->AddLayer("Below");
    Path({0});
    Run();

    ASSERT_EQ(doc->LayerCount(), 3);
    EXPECT_EQ(doc->LayerAt(0), top);
    EXPECT_EQ(doc->LayerAt(1)->title, "HANDLE LINE") << "inserted right below the current layer";
    EXPECT_EQ(doc->CurrentLayer(), top);
    auto lines = HandleLayerLines();
    ASSERT_EQ(lines.size(), 1u);
    ExpectAnchors(lines[0], {{70, 90}, {100, 100}, {130, 110}});
    EXPECT_FALSE(lines[0]->closed);
    EXPECT_EQ(lines[0]->style->stroke.width, 0.5) << "the marking style of the pointers, this width";
    EXPECT_EQ(lines[0]->style->stroke.dashCount, 0);

    Run();
    EXPECT_EQ(doc->LayerCount(), 3) << "found again by its title";
    EXPECT_EQ(HandleLayerLines().size(), 2u);

    // A layer of the named title is used as it is; an empty title means the current layer.
    NewDocument();
    sim::Layer* existing = doc->AddLayer("Construction");
    std::snprintf(State().handleline_layer, kTextFieldSize, "%s", "Construction");
    Path({0});
    Run();
    EXPECT_EQ(doc->LayerCount(), 2);
    EXPECT_EQ(Lines(existing).size(), 1u);
    NewDocument();
    doc->SetCurrentLayer(doc->AddLayer("Second"));
    State().handleline_layer[0] = '\0';
    Path({0});
    Run();
    EXPECT_EQ(doc->LayerCount(), 2);
    EXPECT_EQ(doc->CurrentLayer()->root->firstChild, Lines(doc->CurrentLayer()).at(0)) << "on top of the current layer";
}

TEST_F(HandleLineTest, SeparateLinesBeginAtTheAnchorAndRetractedHandlesAreSkipped) {
    const std::tuple<std::uint16_t, std::uint16_t, std::vector<std::vector<RealPoint>>> cases[] = {
        // Polyline off: in then out, each from the anchor; the one-handled corner and the
        // retracted anchor as in every mode.
        {0, 0, {{{100, 100}, {70, 90}}, {{100, 100}, {130, 110}}, {{200, 0}, {220, 40}}}},
        // Polyline on falls back to one line for the corner that has one handle.
        {1, 0, {{{70, 90}, {100, 100}, {130, 110}}, {{200, 0}, {220, 40}}}},
        {1, 1,
         {{{70, 90}, {100, 100}, {130, 110}}, {{130, 110}, {100, 100}, {70, 90}}, {{200, 0}, {220, 40}},
          {{200, 0}, {180, -40}}}},
        {0, 1,
         {{{100, 100}, {70, 90}}, {{100, 100}, {130, 110}}, {{100, 100}, {130, 110}}, {{100, 100}, {70, 90}},
          {{200, 0}, {220, 40}}, {{200, 0}, {180, -40}}}},
    };
    for (const auto& [polyline, reverse, expected] : cases) {
        NewDocument();
        State().handleline_polyline = polyline;
        State().handleline_reverse_side = reverse;
        Path({0, 1, 2});
        Run();
        const auto lines = HandleLayerLines();
        ASSERT_EQ(lines.size(), expected.size()) << "polyline " << polyline << " reverse " << reverse;
        for (std::size_t k = 0; k < lines.size(); ++k) ExpectAnchors(lines[k], expected[k]);
    }
}

// Anchor points of selected paths count, in groups and compound paths too; handles alone and the
// anchors of a path no longer selected do not. The lines go to the target layer only.
TEST_F(HandleLineTest, OnlyAnchorPointsOfSelectedPathsCount) {
    doc->SelectAnchors(Path({}), {0, 1}, kBothHandlesSelected);
    Path({0})->attributes &= ~kArtSelected;  // no longer selected
    Run();
    EXPECT_EQ(doc->FindLayer("HANDLE LINE"), nullptr) << "no anchor, no layer";

    sim::Art* group = doc->AddGroup(Root());
    sim::Art* compound = doc->AddCompoundPath(group);
    Path({0}, compound);
    Path({1}, group);
    Run();
    EXPECT_EQ(HandleLayerLines().size(), 2u);
    EXPECT_EQ(group->Children().size(), 2u);
    EXPECT_EQ(compound->Children().size(), 1u);
}

TEST_F(HandleLineTest, TheStrokeTakesTheNamedSwatchOfACustomProcessOrRgbKind) {
    const std::pair<const char*, ColorKind> cases[] = {
        {"CMYK Red", kFourColor}, {"RGB Blue", kThreeColor}, {"Spot Green", kCustomColor},
        {"Twin", kCustomColor},   // the custom kind is looked for first
        {"White", kGrayColor},    // gray swatches are not looked for: black
        {"No such swatch", kGrayColor},
    };
    for (const auto& [name, kind] : cases) {
        NewDocument();
        doc->AddSwatch("Twin", Color{kThreeColor, 0, 0, 0, 0, 0, 0.2, 0.4, 0.6, 0});
        doc->AddSwatch("Twin", Color{kCustomColor, 0, 0.1, 0.2, 0.3, 0, 0, 0, 0, 0.5});
        std::snprintf(State().handleline_line_color, kTextFieldSize, "%s", name);
        State().handleline_line_width = 1.5;
        Path({0});
        Run();
        const auto lines = HandleLayerLines();
        ASSERT_EQ(lines.size(), 1u) << name;
        const PathStyle& style = *lines[0]->style;
        EXPECT_EQ(style.stroke.color.kind, kind) << name;
        EXPECT_TRUE(kind != kGrayColor || style.stroke.color.gray == 1.0) << name << ": black";
        EXPECT_TRUE(std::strcmp(name, "Twin") != 0 || style.stroke.color.tint == 0.5) << "the custom swatch's tint";
        EXPECT_EQ(style.fill.color.kind, kGrayColor) << "the fill colour stays black (and off)";
        EXPECT_EQ(style.stroke.width, 1.5);
    }
}

}  // namespace

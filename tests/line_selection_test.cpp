// Gathering the selected straight segments: which segments count, what is recorded for each, and
// what counts as a selected object without lines. Read directly through the host's suites.
#include <tuple>
#include <vector>

#include "commands/straight_line_selection.h"
#include "line_command_fixture.h"
#include "shell/suites.h"

namespace {

struct Collected {
    std::vector<LineRecord> lines;
    std::int32_t nonStraight = 0;
};

class LineSelectionTest : public LineCommandTest {
protected:
    Collected Collect(bool markPathEnds = false) {
        AcquireSuites(host.Basic());
        LineList list{};
        EXPECT_TRUE(CollectSelectedLines(list, markPathEnds));
        Collected result{std::vector<LineRecord>(list.records, list.records + list.count), list.nonStraightCount};
        ReleaseLineList(list);
        ReleaseSuites(host.Basic());
        EXPECT_TRUE(host.SuitesBalanced());
        return result;
    }
};

void ExpectLine(const LineRecord& line, RealPoint start, RealPoint end) {
    EXPECT_EQ(std::make_tuple(line.start.h, line.start.v, line.end.h, line.end.v),
              std::make_tuple(start.h, start.v, end.h, end.v));
}

TEST_F(LineSelectionTest, SegmentSelectionRules) {
    // Direct selection of one segment: the first anchor's out handle and the second's in handle.
    sim::Art* direct = doc->AddPath(Root(), {{0, 0}, {100, 0}, {200, 50}});
    doc->SelectAnchors(direct, {0}, kOutHandleSelected);
    doc->SelectAnchors(direct, {1}, kInHandleSelected);
    // Only the first anchor of an open path, and only the last anchor of another.
    doc->SelectAnchors(doc->AddPath(Root(), {{0, 100}, {100, 100}, {200, 150}}), {0});
    doc->SelectAnchors(doc->AddPath(Root(), {{0, 200}, {100, 200}, {200, 250}}), {2});
    // A whole closed path: every segment, the closing one last, and no path ends.
    doc->SelectWhole(doc->AddPath(Root(), {{0, 300}, {100, 300}, {100, 400}, {0, 400}}, true));
    const Collected got = Collect(true);
    EXPECT_EQ(got.nonStraight, 0);
    ASSERT_EQ(got.lines.size(), 7u);
    ExpectLine(got.lines[6], {0, 400}, {0, 300});
    for (std::size_t k = 3; k < 7; ++k) {
        EXPECT_EQ(got.lines[k].segmentNumber, static_cast<std::int32_t>(k) - 2);
        EXPECT_EQ(got.lines[k].startIsPathEnd + got.lines[k].endIsPathEnd, 0) << "a closed path has no ends";
    }
    ExpectLine(got.lines[0], {0, 0}, {100, 0});
    EXPECT_EQ(got.lines[0].startSelection, kOutHandleSelected);
    EXPECT_EQ(got.lines[0].endSelection, kInHandleSelected);
    EXPECT_EQ(got.lines[0].startIsPathEnd, 1);
    EXPECT_EQ(got.lines[0].endIsPathEnd, 0);
    ExpectLine(got.lines[1], {0, 100}, {100, 100});
    EXPECT_EQ(got.lines[1].segmentNumber, 1);
    ExpectLine(got.lines[2], {100, 200}, {200, 250});
    EXPECT_EQ(got.lines[2].segmentNumber, 2);
    EXPECT_EQ(got.lines[2].startIsPathEnd, 0);
    EXPECT_EQ(got.lines[2].endIsPathEnd, 1);
}

TEST_F(LineSelectionTest, DuplicatesEitherWayRoundAreDroppedWithoutCounting) {
    const std::vector<RealPoint> rect{{0, 0}, {100, 0}, {100, 50}, {0, 50}};
    for (int copy = 0; copy < 2; ++copy) doc->SelectWhole(doc->AddPath(Root(), rect, true));
    Line({{300, 0}, {400, 0}});
    Line({{400.0005, 0.0005}, {300, 0}});  // the same line drawn backwards, within 0.001
    Line({{300, 10}, {400.002, 10}});
    Line({{300, 10}, {400, 10}});  // 0.002 away: a line of its own
    const Collected got = Collect();
    EXPECT_EQ(got.nonStraight, 0) << "a path whose lines were all duplicates still gave lines";
    ASSERT_EQ(got.lines.size(), 7u);
    ExpectLine(got.lines[4], {300, 0}, {400, 0});
}

// Hidden and locked layers are skipped whole: their lines and curves neither count nor are counted.
TEST_F(LineSelectionTest, WhatIsNotAStraightLine) {
    for (sim::Layer* layer : {doc->AddLayer("Hidden", false, true), doc->AddLayer("Locked", true, false)}) {
        Line(layer->root, {{0, 0}, {100, 0}});
        Circle(layer->root, {300, 300}, 50);
    }
    Line({{0, 0}, {0.001, 0}});                          // too short
    Line({{0, 10}, {0, 10.0011}});                       // just long enough
    doc->SelectWhole(doc->AddCurve(Root(), {{{0, 20}, {0, 20}, {30, 40}, true},  // one handle pulled out
                                            {{100, 20}, {100, 20}, {100, 20}, true}}));
    Circle(Root(), {300, 300}, 50);
    doc->SelectWhole(doc->AddPointText(Root(), {10, 10}, {10, 20, 50, 10}));
    doc->SelectWhole(doc->AddPlacedArt(Root(), {0, 100, 100, 0}));
    doc->AddPlacedArt(Root(), {0, 100, 100, 0});  // not selected: not counted
    Line({{0, 500}, {100, 500}})->guide = true;
    Line({{0, 600}, {100, 600}})->attributes |= kArtHidden;
    doc->SelectWhole(doc->AddPath(Root(), {{0, 700}}));  // one anchor
    // Selected paths without a selected segment: only the middle anchor; only the first anchor of a
    // closed path; handles on the wrong sides.
    doc->SelectAnchors(doc->AddPath(Root(), {{0, 800}, {100, 800}, {200, 850}}), {1});
    doc->SelectAnchors(doc->AddPath(Root(), {{0, 900}, {100, 900}, {100, 1000}}, true), {0});
    sim::Art* wrongHandles = doc->AddPath(Root(), {{0, 1100}, {100, 1100}});
    doc->SelectAnchors(wrongHandles, {0}, kInHandleSelected);
    doc->SelectAnchors(wrongHandles, {1}, kOutHandleSelected);
    const Collected got = Collect();
    ASSERT_EQ(got.lines.size(), 1u);
    ExpectLine(got.lines[0], {0, 10}, {0, 10.0011});
    EXPECT_EQ(got.nonStraight, 11);
}

TEST_F(LineSelectionTest, OwnersOfGroupedCompoundAndStyledPaths) {
    sim::Art* group = doc->AddGroup(Root());
    sim::Art* grouped = doc->AddPath(group, {{0, 0}, {100, 0}});
    sim::Art* compound = doc->AddCompoundPath(group);
    sim::Art* inner = doc->AddPath(compound, {{0, 100}, {100, 100}});
    doc->SelectWhole(group);
    // A path drawn through a live style: the art standing for it is read, the path is the owner.
    sim::Art* styled = doc->AddPath(Root(), {{0, 200}, {100, 200}});
    sim::Art* standIn = doc->AddDerivedPath(styled, {{{0, 210}, {0, 210}, {0, 210}, true},
                                                     {{100, 210}, {100, 210}, {100, 210}, true}});
    doc->SelectWhole(styled);
    doc->SelectWhole(standIn);
    // One whose standing art is not selected gives nothing and is not counted.
    sim::Art* quiet = doc->AddPath(Root(), {{0, 300}, {100, 300}});
    doc->AddDerivedPath(quiet, {{{0, 310}, {0, 310}, {0, 310}, true}, {{100, 310}, {100, 310}, {100, 310}, true}});
    doc->SelectWhole(quiet);

    const Collected got = Collect();
    EXPECT_EQ(got.nonStraight, 0);
    ASSERT_EQ(got.lines.size(), 3u);
    EXPECT_EQ(got.lines[0].art, sim::HandleOf(grouped));
    EXPECT_EQ(got.lines[0].owner, nullptr) << "a group is no owner";
    EXPECT_EQ(got.lines[1].art, sim::HandleOf(inner));
    EXPECT_EQ(got.lines[1].owner, sim::HandleOf(compound));
    EXPECT_EQ(got.lines[2].art, sim::HandleOf(standIn));
    EXPECT_EQ(got.lines[2].owner, sim::HandleOf(styled));
    ExpectLine(got.lines[2], {0, 210}, {100, 210});
}

}  // namespace

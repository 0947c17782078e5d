// What the tests of the adjust tools, the alignment, the records and the annotator share: a started
// plug-in with an open document, tool messages in the order the host sends them for the user's
// gestures, and a look at the records the tools leave.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "plugin_fixture.h"
#include "shell/suites.h"
#include "tools/anchor_hits.h"
#include "tools/path_adjust_tag.h"

constexpr HostStatus kInjectedToolFailure = FourCharCode('I', 'N', 'J', '!');

inline RealPoint Moved(const RealMatrix& m, const RealPoint& p) {
    return RealPoint{m.a * p.h + m.c * p.v + m.tx, m.b * p.h + m.d * p.v + m.ty};
}

inline double Distance(const RealPoint& a, const RealPoint& b) { return std::hypot(a.h - b.h, a.v - b.v); }

#define EXPECT_POINT_NEAR(actual, expected, tolerance)                    \
    do {                                                                  \
        const RealPoint actualPoint_ = (actual);                          \
        const RealPoint expectedPoint_ = (expected);                      \
        EXPECT_NEAR(actualPoint_.h, expectedPoint_.h, tolerance) << #actual; \
        EXPECT_NEAR(actualPoint_.v, expectedPoint_.v, tolerance) << #actual; \
    } while (0)

// The beeps since the test began, where the host can count them.
#define EXPECT_BEEPS(count) EXPECT_EQ(kBeepsCounted ? Beeps() : (count), (count))

class AdjustTest : public DocumentTest {
protected:
    ToolHandle tool = nullptr;  // the tool the gestures below use

    ToolHandle PathTool() { return State().pathAdjustTool; }
    ToolHandle PointTool() { return State().pointAdjustTool; }

    // A closed axis-aligned rectangle, anchors from its bottom-left corner anticlockwise.
    sim::Art* Rectangle(sim::Art* container, double left, double bottom, double width, double height) {
        const double right = left + width, top = bottom + height;
        return doc->AddPath(container, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, true);
    }
    sim::Art* Rectangle(double left, double bottom, double width, double height) {
        return Rectangle(Root(), left, bottom, width, height);
    }

    void Select(ToolHandle which) {
        tool = which;
        host.SendTool("AI Select", tool);
    }

    HostStatus Move(RealPoint p) { return host.SendTool("AI Track Cursor", tool, p); }
    HostStatus Down(RealPoint p) { return host.SendTool("AI Mouse Down", tool, p); }
    HostStatus Drag(RealPoint p) { return host.SendTool("AI Mouse Drag", tool, p); }
    HostStatus Up(RealPoint p) { return host.SendTool("AI Mouse Up", tool, p); }

    // The pointer moves to from, the button goes down, the pointer drags to to and the button comes up.
    void DragFromTo(RealPoint from, RealPoint to) {
        Move(from);
        Down(from);
        Drag(to);
        Up(to);
    }
    void Click(RealPoint p) {
        Move(p);
        Down(p);
        Up(p);
    }

    // Path adjust: P1 -> P2 on the object that stays, P3 -> P4 on the one that moves.
    void PathAdjust(RealPoint p1, RealPoint p2, RealPoint p3, RealPoint p4) {
        Select(PathTool());
        DragFromTo(p1, p2);
        DragFromTo(p3, p4);
    }

    // Point adjust with one drag, then the click that chooses the orientation at choice.
    void PointAdjust(RealPoint p1, RealPoint p2, RealPoint choice) {
        Select(PointTool());
        DragFromTo(p1, p2);
        Click(choice);
    }

    // The plug-in's beeps; on Windows it beeps through the system, where the host cannot count them,
    // so the expectation holds there whatever the count.
#ifndef _WIN32
    static constexpr bool kBeepsCounted = true;
    int Beeps() const { return host.BeepCount(); }
#else
    static constexpr bool kBeepsCounted = false;
    int Beeps() const { return 0; }
#endif

    // The record on an art, "" when it has none.
    static std::string Record(const sim::Art* art) {
        const auto found = art->tags.find(kPathAdjustTagName);
        return found == art->tags.end() ? std::string() : found->second.value;
    }

    std::int16_t Phase() { return State().adjustPhase; }
    const RealPoint& Point(int k) { return State().adjustPoints[k]; }
    const AnchorHit& Hit(int k) { return State().adjustHits[k]; }

    // Runs body with the suites acquired, as inside a message, to call the plug-in's routines directly.
    // The test program's own copy of the core is called (on Windows the plug-in's is in its library),
    // so it is pointed at the plug-in's state record first.
    template <typename Body>
    void InsideMessage(Body body) {
        gState = &State();
        AcquireSuites(host.Basic());
        body();
        ReleaseSuites(host.Basic());
    }

    // The plug-in's anchor search at p, as inside a message: the snap kind, and the hits.
    std::int16_t Search(RealPoint p, AnchorHitList& hits) {
        std::int16_t kind = kSnapNone;
        InsideMessage([&] { EXPECT_EQ(FindAnchorHits(p, kind, hits), kNoError); });
        return kind;
    }

    // The gated calls of run up to the release of the suites (a refused release leaves the shell's
    // bracket unbalanced for good, which says nothing about the tools).
    template <typename Run>
    std::vector<sim::GatedCall> CallsOf(Run run) {
        host.Gate().ClearLog();
        host.Gate().SetLogging(true);
        host.Gate().ResetCallCount();
        run();
        host.Gate().SetLogging(false);
        std::vector<sim::GatedCall> log = host.Gate().Log();
        host.Gate().ClearLog();
        return log;
    }
};

#include "commands/extension_crossing.h"

#include "commands/line_command_texts.h"
#include "commands/straight_line_selection.h"
#include "geometry/geometry.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr double kSharedVertex = 0.001;
constexpr double kUnusable = 32768.0;
constexpr double kUsableBound = 32767.0;
constexpr double kSelectionPreference = 32768.0;

double Length(const RealPoint& a, const RealPoint& b) {
    if (sRealMath != nullptr) return sRealMath->PointLength(&a, &b);
    return PointDistance(a, b);
}

bool InRect(const RealPoint& point, const RealRect& rect) {
    if (sRealMath != nullptr) return sRealMath->PointInRect(&point, &rect) != 0;
    return point.h >= RealMin(rect.left, rect.right) && point.h <= RealMax(rect.left, rect.right) &&
           point.v >= RealMin(rect.top, rect.bottom) && point.v <= RealMax(rect.top, rect.bottom);
}

// One endpoint of each line: combination 0 (I.start, J.start), 1 (I.start, J.end), 2 (I.end, J.start),
// 3 (I.end, J.end).
struct Ends {
    const LineRecord& i;
    const LineRecord& j;

    static bool IStart(int c) { return c < 2; }
    static bool JStart(int c) { return c % 2 == 0; }
    const RealPoint& PointI(int c) const { return IStart(c) ? i.start : i.end; }
    const RealPoint& PointJ(int c) const { return JStart(c) ? j.start : j.end; }
    bool PathEndI(int c) const { return (IStart(c) ? i.startIsPathEnd : i.endIsPathEnd) != 0; }
    bool PathEndJ(int c) const { return (JStart(c) ? j.startIsPathEnd : j.endIsPathEnd) != 0; }
    bool PickedI(int c) const { return (IStart(c) ? i.startSelection : i.endSelection) == kAnchorPointSelected; }
    bool PickedJ(int c) const { return (JStart(c) ? j.startSelection : j.endSelection) == kAnchorPointSelected; }
    // The combination of the two endpoints that c leaves out.
    static int Opposite(int c) { return 3 - c; }
};

// The first of combinations 0, 1, 2 that beats each of the other three, else 3.
template <typename Beats>
int Choose(const double cost[4], Beats beats) {
    for (int c = 0; c < 3; ++c) {
        bool wins = true;
        for (int other = 0; other < 4; ++other) {
            if (other != c && !beats(cost[c], cost[other])) wins = false;
        }
        if (wins) return c;
    }
    return 3;
}

int ChooseSmallest(const double cost[4]) {
    return Choose(cost, [](double a, double b) { return a < b; });
}

int ChooseLargest(const double cost[4]) {
    return Choose(cost, [](double a, double b) { return a > b; });
}

// The nearest ends' distance, 0 for segments that cross or touch; shared when the ends (nearly) meet.
double PairDistance(const LineRecord& lineI, const LineRecord& lineJ, bool& shared) {
    double d = RealMin(RealMin(Length(lineI.start, lineJ.start), Length(lineI.start, lineJ.end)),
                       RealMin(Length(lineI.end, lineJ.start), Length(lineI.end, lineJ.end)));
    shared = d < kSharedVertex;
    RealPoint crossing{};
    if (!shared && LineIntersect(lineI.start, lineI.end, lineJ.start, lineJ.end, crossing, true)) d = 0;
    return d;
}

double PairDistance(const LineRecord& lineI, const LineRecord& lineJ) {
    bool shared = false;
    return PairDistance(lineI, lineJ, shared);
}

enum class Outcome { Created, Outside, GivenUp };

void MoveEnd(ArtHandle path, bool start, const AnchorRecord& anchor) {
    std::int16_t count = 0;
    sPath->GetPathSegmentCount(path, &count);
    if (count < 1) return;
    sPath->SetPathSegments(path, start ? 0 : static_cast<std::int16_t>(count - 1), 1, &anchor);
}

// Both lines end open paths: their own end anchors go to the crossing.
Outcome MoveEndsToCrossing(const Ends& ends, const RealRect& area) {
    RealPoint x{};
    if (!LineIntersect(ends.i.start, ends.i.end, ends.j.start, ends.j.end, x, false)) return Outcome::Outside;
    if (!InRect(x, area)) return Outcome::Outside;

    double cost[4];
    double lowest = kUnusable;
    for (int c = 0; c < 4; ++c) {
        const bool usable = ends.PathEndI(c) && ends.PathEndJ(c);
        cost[c] = usable ? Length(x, ends.PointJ(c)) + Length(ends.PointI(c), x) : kUnusable;
        lowest = RealMin(lowest, cost[c]);
    }
    if (!(lowest < kUsableBound)) return Outcome::GivenUp;
    // Ends the user picked as anchors are the ones to move.
    bool usable[4];
    for (int c = 0; c < 4; ++c) {
        usable[c] = cost[c] < kUsableBound;
        if (usable[c] && ends.PickedI(c) && ends.PickedJ(c)) cost[c] -= kSelectionPreference;
    }
    int choice = ChooseSmallest(cost);
    // A tie may leave the rule on a combination whose ends are not both path ends; moving those would
    // move some other anchor of the path, so take the first cheapest usable one instead.
    if (!usable[choice]) {
        for (int c = 0; c < 4; ++c) {
            if (usable[c] && (!usable[choice] || cost[c] < cost[choice])) choice = c;
        }
    }
    if (sPath == nullptr) return Outcome::GivenUp;
    const AnchorRecord anchor{x, x, x, true};
    MoveEnd(ends.i.art, Ends::IStart(choice), anchor);
    MoveEnd(ends.j.art, Ends::JStart(choice), anchor);
    return Outcome::Created;
}

Outcome JoinAtCrossing(const Ends& ends, double distance, const RealRect& area) {
    RealPoint x{};
    int choice = 3;
    if (distance == 0) {
        // The segments cross or touch: keep the longer arms, unless the user picked the ends to trim.
        if (!LineIntersect(ends.i.start, ends.i.end, ends.j.start, ends.j.end, x, true)) return Outcome::Outside;
        double cost[4];
        for (int c = 0; c < 4; ++c) {
            cost[c] = Length(x, ends.PointJ(c)) + Length(ends.PointI(c), x);
            const int trimmed = Ends::Opposite(c);
            if (ends.PathEndI(trimmed) && ends.PathEndJ(trimmed) && ends.PickedI(trimmed) && ends.PickedJ(trimmed)) {
                cost[c] += kSelectionPreference;
            }
        }
        choice = ChooseLargest(cost);
    } else {
        if (!LineIntersect(ends.i.start, ends.i.end, ends.j.start, ends.j.end, x, false)) return Outcome::Outside;
        if (!InRect(x, area)) return Outcome::Outside;
        double gap[4];
        for (int c = 0; c < 4; ++c) gap[c] = Length(ends.PointI(c), ends.PointJ(c));
        choice = ChooseSmallest(gap);
    }
    const RealPoint corner[3] = {ends.PointI(choice), x, ends.PointJ(choice)};
    return MakeCornerPath(ends.i, corner, 3) ? Outcome::Created : Outcome::GivenUp;
}

}  // namespace

void RunExtensionCrossing() {
    LineList list{};
    if (!CollectSelectedLines(list, true)) {
        ReleaseLineList(list);
        return;
    }
    if (list.nonStraightCount != 0) {
        ShowLineCommandAlert(LineCommandAlert::NonStraightSelected);
    } else if (list.count < 2) {
        ShowLineCommandAlert(LineCommandAlert::TooFewLinesForCrossing);
    } else {
        std::int32_t created = 0;
        std::int32_t outside = 0;
        std::int32_t first = 0;
        std::int32_t second = 0;
        LinePairs pairs(list, PairDistance);
        while (pairs.Next(list, first, second)) {
            LineRecord& lineI = list.records[first];
            LineRecord& lineJ = list.records[second];
            lineI.used = 1;
            lineJ.used = 1;
            bool shared = false;
            const double distance = PairDistance(lineI, lineJ, shared);
            if (shared) continue;

            RealRect area{0, 0, 0, 0};
            if (sDocument != nullptr) sDocument->GetDocumentMaxArtboardBounds(&area);
            const Ends ends{lineI, lineJ};
            const bool endsOfOpenPaths = (lineI.startIsPathEnd != 0 || lineI.endIsPathEnd != 0) &&
                                         (lineJ.startIsPathEnd != 0 || lineJ.endIsPathEnd != 0);
            const Outcome outcome = gState->extend_endpoints != 0 && endsOfOpenPaths
                                        ? MoveEndsToCrossing(ends, area)
                                        : JoinAtCrossing(ends, distance, area);
            if (outcome == Outcome::Created) ++created;
            if (outcome == Outcome::Outside) ++outside;
        }
        if (created == 0) {
            ShowLineCommandAlert(outside != 0 ? LineCommandAlert::CrossingOutsideDrawingArea
                                              : LineCommandAlert::LinesShareVertex);
        }
    }
    ReleaseLineList(list);
}

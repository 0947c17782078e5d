#include "commands/angle_bisector.h"

#include <cmath>

#include "commands/line_command_texts.h"
#include "commands/straight_line_selection.h"
#include "geometry/geometry.h"
#include "shell/suites.h"

namespace {

// The literal the bisector's far direction is turned by (both directions of the line are used).
constexpr double kHalfTurn = 3.141592654;

double Length(const RealPoint& a, const RealPoint& b) {
    if (sRealMath != nullptr) return sRealMath->PointLength(&a, &b);
    return PointDistance(a, b);
}

double Angle(const RealPoint& from, const RealPoint& to) {
    if (sRealMath != nullptr) return sRealMath->PointAngle(&from, &to);
    return PointAngle(from, to);
}

RealPoint Offset(const RealPoint& origin, double length, double angle) {
    RealPoint step{length * std::cos(angle), length * std::sin(angle)};
    if (sRealMath != nullptr) sRealMath->PointLengthAngle(length, angle, &step);
    return RealPoint{origin.h + step.h, origin.v + step.v};
}

RealPoint Midpoint(const RealPoint& a, const RealPoint& b) { return RealPoint{(a.h + b.h) / 2, (a.v + b.v) / 2}; }

double NearestEnds(const LineRecord& i, const LineRecord& j) {
    return RealMin(RealMin(Length(i.start, j.start), Length(i.start, j.end)),
                   RealMin(Length(i.end, j.start), Length(i.end, j.end)));
}

struct PairEnds {
    RealPoint nearI, nearJ, farI, farJ;
};

PairEnds EndsOf(const LineRecord& i, const LineRecord& j) {
    const double d[4] = {Length(i.start, j.start), Length(i.start, j.end), Length(i.end, j.start),
                         Length(i.end, j.end)};
    int choice = 3;
    for (int c = 0; c < 3; ++c) {
        bool smallest = true;
        for (int other = 0; other < 4; ++other) {
            if (other != c && !(d[c] < d[other])) smallest = false;
        }
        if (smallest) {
            choice = c;
            break;
        }
    }
    const bool iStart = choice < 2;
    const bool jStart = choice % 2 == 0;
    return PairEnds{iStart ? i.start : i.end, jStart ? j.start : j.end, iStart ? i.end : i.start,
                    jStart ? j.end : j.start};
}

// The bisector through X, clipped to the chords of the near ends and of the far ends.
void BisectorEnds(const RealPoint& x, const PairEnds& ends, RealPoint& e1, RealPoint& e2) {
    const double angleI = Angle(x, ends.farI);
    const double angleJ = Angle(x, ends.farJ);
    const double half = 1.5 * RealMax(Length(x, ends.farI), Length(x, ends.farJ));
    const double bisector = (angleI + angleJ) / 2;
    e1 = Offset(x, half, bisector);
    e2 = Offset(x, half, bisector + kHalfTurn);
    // Onto each chord's infinite line, whatever the flag says; a parallel chord leaves the end alone.
    RealPoint moved = e1;
    LineIntersect(e1, e2, ends.nearI, ends.nearJ, moved, true);
    e1 = moved;
    moved = e2;
    LineIntersect(e1, e2, ends.farI, ends.farJ, moved, true);
    e2 = moved;
}

}  // namespace

void RunAngleBisector() {
    LineList list{};
    if (!CollectSelectedLines(list, false)) {
        ReleaseLineList(list);
        return;
    }
    if (list.nonStraightCount != 0) {
        ShowLineCommandAlert(LineCommandAlert::NonStraightSelected);
    } else if (list.count < 2) {
        ShowLineCommandAlert(LineCommandAlert::TooFewLinesForBisector);
    } else {
        std::int32_t created = 0;
        std::int32_t first = 0;
        std::int32_t second = 0;
        LinePairs pairs(list, NearestEnds);
        while (pairs.Next(list, first, second)) {
            LineRecord& lineI = list.records[first];
            LineRecord& lineJ = list.records[second];
            lineI.used = 1;
            lineJ.used = 1;
            const PairEnds ends = EndsOf(lineI, lineJ);
            RealPoint x{};
            RealPoint path[2];
            if (LineIntersect(lineI.start, lineI.end, lineJ.start, lineJ.end, x, false)) {
                BisectorEnds(x, ends, path[0], path[1]);
            } else {
                // Parallel: the middle line between the two.
                path[0] = Midpoint(ends.nearI, ends.nearJ);
                path[1] = Midpoint(ends.farI, ends.farJ);
            }
            if (MakeCornerPath(lineI, path, 2)) ++created;
        }
        if (created == 0) ShowLineCommandAlert(LineCommandAlert::BisectorNotCreated);
    }
    ReleaseLineList(list);
}

#include "commands/length.h"

#include <algorithm>
#include <cmath>

#include "commands/document_walk.h"
#include "commands/saved_selection.h"
#include "commands/segment_length.h"
#include "geometry/geometry.h"
#include "panel/panel_controls.h"
#include "panel/panel_readout.h"
#include "panel/panel_window.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr double kHandleFloor = 1.0;  // points: no handle of a selected curve is shortened below it
constexpr double kSliderRange = 400.0;
constexpr double kFirstScaleStep = 32.0;
constexpr int kScaleHalvings = 24;
constexpr std::int32_t kFollowUpChange = 1;

HostStatus ReadAnchor(ArtHandle path, std::int16_t index, AnchorRecord& anchor) {
    return sPath->GetPathSegments(path, index, 1, &anchor);
}

HostStatus WriteAnchor(ArtHandle path, std::int16_t index, const AnchorRecord& anchor) {
    return sPath->SetPathSegments(path, index, 1, &anchor);
}

HostStatus PathSelected(ArtHandle path, SelectionSource source, bool& selected) {
    if (source == SelectionSource::SavedOrHost) return AskArtSelected(path, selected);
    selected = false;
    std::int32_t attributes = 0;
    if (HostStatus status = sArt->GetArtUserAttr(path, kArtSelected, &attributes)) return status;
    selected = (attributes & kArtSelected) != 0;
    return kNoError;
}

HostStatus AnchorSelection(ArtHandle path, std::int16_t index, SelectionSource source, std::uint16_t& value) {
    if (source == SelectionSource::SavedOrHost) return AskSegmentSelection(path, index, value);
    std::int16_t selection = kAnchorNotSelected;
    if (HostStatus status = sPath->GetPathSegmentSelected(path, index, &selection)) return status;
    value = static_cast<std::uint16_t>(selection);
    return kNoError;
}

HostStatus WalkPath(ArtHandle path, SelectionSource source, SegmentVisit visit, void* context) {
    bool selected = false;
    if (HostStatus status = PathSelected(path, source, selected)) return status;
    if (!selected) return kNoError;
    std::int16_t count = 0;
    if (HostStatus status = sPath->GetPathSegmentCount(path, &count)) return status;
    if (count < 1) return kNoError;

    AnchorRecord previous{};
    std::uint16_t previousValue = kAnchorNotSelected;
    if (HostStatus status = ReadAnchor(path, 0, previous)) return status;
    if (HostStatus status = AnchorSelection(path, 0, source, previousValue)) return status;
    // Anchor 0 as the first segment left it, for the closing segment.
    AnchorRecord first = previous;
    const std::uint16_t firstValue = previousValue;

    for (std::int16_t i = 1; i < count; ++i) {
        AnchorRecord current{};
        std::uint16_t currentValue = kAnchorNotSelected;
        if (HostStatus status = ReadAnchor(path, i, current)) return status;
        if (HostStatus status = AnchorSelection(path, i, source, currentValue)) return status;
        if (SegmentIsSelected(previousValue, currentValue)) {
            const auto from = static_cast<std::int16_t>(i - 1);
            if (HostStatus status = visit(path, from, i, previous, current, context)) return status;
        }
        if (i == 1) first = previous;
        previous = current;
        previousValue = currentValue;
    }

    std::int32_t closed = 0;
    if (HostStatus status = sPath->GetPathClosed(path, &closed)) return status;
    if (closed == 0 || !SegmentIsSelected(previousValue, firstValue)) return kNoError;
    return visit(path, static_cast<std::int16_t>(count - 1), 0, previous, first, context);
}

struct WalkRequest {
    SelectionSource source;
    SegmentVisit visit;
    void* context;
};

HostStatus WalkRequestedPath(ArtHandle path, void* request) {
    const WalkRequest& walk = *static_cast<const WalkRequest*>(request);
    return WalkPath(path, walk.source, walk.visit, walk.context);
}

// handle = anchor + length along the handle's own direction (a retracted handle stays retracted).
RealPoint HandleAt(const RealPoint& anchor, double length, double angle) {
    RealPoint offset{0, 0};
    sRealMath->PointLengthAngle(length, angle, &offset);
    return RealPoint{anchor.h + offset.h, anchor.v + offset.v};
}

struct LengthBudget {
    double straight;  // total of the selected straight segments
    double curved;    // total of the selected curved segments
    double bound;     // the largest floor ratio; -1 when some curve has a handle of at most 1 point
};

// Adds one selected segment to the budget; a curve's floor is the curve with its shorter drawn handle
// 1 point long.
HostStatus AddBudgetSegment(ArtHandle, std::int16_t, std::int16_t, AnchorRecord& a, AnchorRecord& b,
                            void* context) {
    LengthBudget& budget = *static_cast<LengthBudget*>(context);
    const double length = SegmentLength(a, b);
    if (SegmentIsStraight(a, b)) {
        budget.straight += length;
        return kNoError;
    }
    budget.curved += length;
    const double hOut = sRealMath->PointLength(&a.out, &a.p);
    const double hIn = sRealMath->PointLength(&b.in, &b.p);
    if ((hOut > 0 && hOut <= kHandleFloor) || (hIn > 0 && hIn <= kHandleFloor)) {
        budget.bound = -1.0;
        return kNoError;
    }
    if (budget.bound < 0 || length <= 0 || (hOut == 0 && hIn == 0)) return kNoError;
    const double shorter = hOut == 0 ? hIn : hIn == 0 ? hOut : RealMin(hOut, hIn);
    const double f = kHandleFloor / shorter;
    AnchorRecord floorA = a;
    AnchorRecord floorB = b;
    floorA.out = HandleAt(a.p, hOut * f, sRealMath->PointAngle(&a.p, &a.out));
    floorB.in = HandleAt(b.p, hIn * f, sRealMath->PointAngle(&b.p, &b.in));
    budget.bound = RealMax(budget.bound, SegmentLength(floorA, floorB) / length);
    return kNoError;
}

HostStatus AddBudgetOfLayer(ArtHandle art, void* budget) {
    if (sRealMath == nullptr) return kSuiteNotFoundStatus;
    return WalkSelectedSegments(art, SelectionSource::SavedOrHost, AddBudgetSegment, budget);
}

// The selected segments' totals and floor ratio. A failing walk leaves the totals of what it reached.
LengthBudget MeasureLengthBudget() {
    LengthBudget budget{0.0, 0.0, 0.0};
    ForEachLayerArt(AddBudgetOfLayer, &budget);
    return budget;
}

// One curved segment to fit, its handles' lengths and directions as the host's math gives them.
struct SegmentFit {
    AnchorRecord a;  // as the walk read them; the fit sets a.out and b.in
    AnchorRecord b;
    double length;  // as drawn
    double goal;
    double lengthOut;
    double lengthIn;
    RealPoint directionOut;
    RealPoint directionIn;
};

RealPoint Along(const RealPoint& anchor, double length, const RealPoint& direction) {
    return RealPoint{anchor.h + length * direction.h, anchor.v + length * direction.v};
}

// The fit's segment with both handles at `scale` times their lengths.
void ScaleHandles(const SegmentFit& fit, double scale, AnchorRecord& a, AnchorRecord& b) {
    a = fit.a;
    b = fit.b;
    a.out = Along(fit.a.p, fit.lengthOut * scale, fit.directionOut);
    b.in = Along(fit.b.p, fit.lengthIn * scale, fit.directionIn);
}

double ScaledLength(const SegmentFit& fit, double scale) {
    AnchorRecord a;
    AnchorRecord b;
    ScaleHandles(fit, scale, a, b);
    return SegmentLength(a, b);
}

// The bisection settles on a multiple of the last step: one of kScaleGridPoints scales in [0, 32).
constexpr std::int32_t kScaleGridPoints = std::int32_t{1} << kScaleHalvings;
constexpr double kScaleGrid = kFirstScaleStep / kScaleGridPoints;

// Scales a.out and b.in by one common factor in [0, 32) until the segment is as long as the goal,
// by bisection on the scale: the length grows with it. The first trials, far from the goal, are
// mostly told by bounds; once the bounds cannot tell, the trials that follow are closer still and
// are measured.
double BisectScale(const SegmentFit& fit) {
    double scale = 0.0;
    double step = kFirstScaleStep;
    bool bounded = true;
    for (int i = 0; i < kScaleHalvings; ++i) {
        step /= 2.0;
        AnchorRecord trialA;
        AnchorRecord trialB;
        ScaleHandles(fit, scale + step, trialA, trialB);
        const LengthBound bound = bounded ? BoundSegmentLength(trialA, trialB, fit.goal) : LengthBound::Unknown;
        bounded = bound != LengthBound::Unknown;
        const bool fits = bounded ? bound == LengthBound::AtMost : fit.goal >= SegmentLength(trialA, trialB);
        if (fits) scale += step;
    }
    return scale;
}

// A chord sum's roundings stay far below this share of the coordinates' size and of the sum.
constexpr double kSumRounding = 1e-11;
// Secant steps reach the grid's precision in about six measures; a curve that needs more is left
// to the bisection.
constexpr int kMostSecantMeasures = 16;

// The scale the bisection settles on, in a few measures instead of one per halving. The bisection
// ends on the last grid point whose length is at most the goal, because the length only grows with
// the scale: each sample point moves linearly with it, so the chord sum is convex in the scale and
// least with both handles retracted. Secant steps on the grid close in on that point between one
// that fits and the next that does not. The answer is trusted only where both lengths are clear of
// the goal by more than the sums' roundings, and where no scale reads as a circular arc (whose
// closed-form length would break the sum's growth); otherwise false.
bool SearchScale(const SegmentFit& fit, double& scale) {
    RealPoint centre;
    double radius = 0.0;
    if (ArcCentre(fit.a, fit.b, centre, radius)) return false;

    // Grid point 0 and the grid's end are never tried: they count as fitting and as not fitting.
    std::int32_t fitting = 0;
    std::int32_t tooLong = kScaleGridPoints;
    double fittingLength = -HUGE_VAL;
    double tooLongLength = HUGE_VAL;
    // The last two points measured (the first two: retracted handles, and the handles as drawn).
    double x0 = 0.0;
    double y0 = PointDistance(fit.a.p, fit.b.p);
    double x1 = kScaleGridPoints / kFirstScaleStep;
    double y1 = fit.length;
    for (int measures = 0; tooLong - fitting > 1; ++measures) {
        if (measures == kMostSecantMeasures) return false;
        double x = x1 + (fit.goal - y1) * (x1 - x0) / (y1 - y0);
        if (!(x > fitting && x < tooLong)) x = fitting + 0.5 * (tooLong - fitting);
        const std::int32_t k = std::max(static_cast<std::int32_t>(x), fitting + 1);  // below tooLong
        const double y = ScaledLength(fit, k * kScaleGrid);
        if (fit.goal >= y) {
            fitting = k;
            fittingLength = y;
        } else {
            tooLong = k;
            tooLongLength = y;
        }
        x0 = x1;
        y0 = y1;
        x1 = k;
        y1 = y;
    }
    const double size = RealAbs(fit.a.p.h) + RealAbs(fit.a.p.v) + RealAbs(fit.b.p.h) + RealAbs(fit.b.p.v) +
                        kFirstScaleStep * (fit.lengthOut + fit.lengthIn);
    const double rounding = kSumRounding * (size + fit.goal);
    if (!(fittingLength <= fit.goal - rounding && tooLongLength > fit.goal + rounding)) return false;
    scale = fitting * kScaleGrid;
    return true;
}

void FitHandles(SegmentFit& fit) {
    double scale = 0.0;
    if (!SearchScale(fit, scale)) scale = BisectScale(fit);
    fit.a.out = Along(fit.a.p, fit.lengthOut * scale, fit.directionOut);
    fit.b.in = Along(fit.b.p, fit.lengthIn * scale, fit.directionIn);
}

// Fits a selected curve and writes its two anchors at once. The fitted handles go into the walk's
// own records too: an anchor that two fits share (one segment's end is the next one's start; a
// closed path's first anchor ends its closing segment) is then written with both fitted handles.
HostStatus FitAndWrite(ArtHandle path, std::int16_t from, std::int16_t to, AnchorRecord& a, AnchorRecord& b,
                       void* factor) {
    if (SegmentIsStraight(a, b)) return kNoError;
    const double length = SegmentLength(a, b);
    SegmentFit fit{a, b, length, length * *static_cast<const double*>(factor), sRealMath->PointLength(&a.p, &a.out),
                   sRealMath->PointLength(&b.p, &b.in), RealPoint{0, 0}, RealPoint{0, 0}};
    sRealMath->PointLengthAngle(1.0, sRealMath->PointAngle(&a.p, &a.out), &fit.directionOut);
    sRealMath->PointLengthAngle(1.0, sRealMath->PointAngle(&b.p, &b.in), &fit.directionIn);
    FitHandles(fit);
    a.out = fit.a.out;
    b.in = fit.b.in;
    if (from == to) {
        // The closing segment of a one-anchor path: both handles belong to the same record.
        a.in = b.in;
        return WriteAnchor(path, from, a);
    }
    if (HostStatus status = WriteAnchor(path, from, a)) return status;
    return WriteAnchor(path, to, b);
}

HostStatus FitLayer(ArtHandle art, void* factor) {
    if (sRealMath == nullptr) return kSuiteNotFoundStatus;
    return WalkSelectedSegments(art, SelectionSource::SavedOrHost, FitAndWrite, factor);
}

}  // namespace

bool SegmentIsSelected(std::uint16_t before, std::uint16_t after) {
    const bool endSelected =
        after == kAnchorPointSelected || after == kInHandleSelected || after == kBothHandlesSelected;
    const bool startSelected =
        before == kAnchorPointSelected || before == kOutHandleSelected || before == kBothHandlesSelected;
    return endSelected && startSelected;
}

HostStatus WalkSelectedSegments(ArtHandle art, SelectionSource source, SegmentVisit visit, void* context) {
    if (sArt == nullptr || sPath == nullptr) return kSuiteNotFoundStatus;
    WalkRequest request{source, visit, context};
    return WalkArtPaths(art, WalkRequestedPath, &request);
}

void SetSelectionLength(double target) {
    LengthBudget budget = MeasureLengthBudget();

    const double r = budget.curved != 0 ? (target - budget.straight) / budget.curved : 0.0;
    if (budget.bound < 0) {
        // A curve with a handle of at most 1 point can only be lengthened.
        if (r <= 1.0) return;
        budget.bound = 1.0;
    }
    if (budget.curved == 0 || budget.bound <= 0 || !std::isfinite(budget.curved + budget.straight + r)) {
        PlatformBeep();
        return;
    }
    double factor = budget.bound > r ? budget.bound : r;
    // A failing walk keeps the segments it fitted and wrote; a failing write ends the walk.
    ForEachLayerArt(FitLayer, &factor);
}

void RunLengthCommand(std::uint16_t commandId) {
    // A follow-up change of a run keeps working on the selection saved by the run's first change.
    if (gState->lengthAdjustStage != 0) {
        if (sUndo != nullptr) sUndo->UndoChanges(kFollowUpChange);
    } else {
        SaveSelection();
    }
    const double target = commandId == kCommandLengthSlider
                              ? gState->measuredLength * (1.0 - gState->lengthSliderPos / kSliderRange)
                              : gState->typedLength;
    SetSelectionLength(target);
    gState->lengthAdjustStage = 1;
    // The slider shows its target in the readout; the readout's cached text stays, so that the next
    // measurement is shown even when it comes out the same.
    if (commandId == kCommandLengthSlider && gState->panel != nullptr && sPanel != nullptr) {
        PlatformWindow window = nullptr;
        if (sPanel->GetPlatformWindow(gState->panel, &window) == kNoError) {
            char text[kTextFieldSize];
            FormatLengthText(target, text, sizeof text);
            SetPanelControlText(window, kLengthReadout, text);
        }
    }
}

// What the Length and selection length readout tests share: a document to build curves in, the
// panel's ways of starting the commands, and an arc length worked out independently of the plug-in.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "plugin_fixture.h"
#include "shell/commands.h"

namespace length_test {

inline AnchorRecord Smooth(RealPoint in, RealPoint p, RealPoint out) { return AnchorRecord{p, in, out, false}; }
inline AnchorRecord Corner(RealPoint p) { return AnchorRecord{p, p, p, true}; }

inline double Distance(const RealPoint& a, const RealPoint& b) { return std::hypot(b.h - a.h, b.v - a.v); }

inline RealPoint CubicAt(const AnchorRecord& a, const AnchorRecord& b, double t) {
    const double u = 1 - t, w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return RealPoint{w0 * a.p.h + w1 * a.out.h + w2 * b.in.h + w3 * b.p.h,
                     w0 * a.p.v + w1 * a.out.v + w2 * b.in.v + w3 * b.p.v};
}

// The segment walked by many more chords than the plug-in takes, until it has run the length until:
// the parameter reached and the length run (the whole true arc length by default).
inline std::pair<double, double> FineWalk(const AnchorRecord& a, const AnchorRecord& b, double until = HUGE_VAL) {
    constexpr int kChords = 20000;
    double length = 0;
    RealPoint previous = a.p;
    for (int i = 1; i <= kChords; ++i) {
        const RealPoint next = CubicAt(a, b, static_cast<double>(i) / kChords);
        length += Distance(previous, next);
        if (length >= until) return {static_cast<double>(i) / kChords, length};
        previous = next;
    }
    return {1.0, length};
}
inline double TrueLength(const AnchorRecord& a, const AnchorRecord& b) { return FineWalk(a, b).second; }

inline double SegmentOf(const sim::Art* path, int from, int to) {
    return TrueLength(path->anchors.at(static_cast<std::size_t>(from)), path->anchors.at(static_cast<std::size_t>(to)));
}

// Every segment of the path, the closing one included when closed.
inline double WholeLength(const sim::Art* path) {
    const int count = static_cast<int>(path->anchors.size());
    double length = 0;
    for (int i = 1; i < count; ++i) length += SegmentOf(path, i - 1, i);
    return path->closed ? length + SegmentOf(path, count - 1, 0) : length;
}

inline double OutLength(const AnchorRecord& anchor) { return Distance(anchor.p, anchor.out); }
inline double InLength(const AnchorRecord& anchor) { return Distance(anchor.p, anchor.in); }

class LengthFixture : public DocumentTest {
protected:
    sim::Art* Curve(const std::vector<AnchorRecord>& anchors, bool closed = false, sim::Art* container = nullptr) {
        sim::Art* path = doc->AddCurve(container != nullptr ? container : Root(), anchors, closed);
        doc->SelectWhole(path);
        return path;
    }

    void Play(std::uint16_t id) {
        State().commandId = id;
        host.PlayAction("KELVANE_INSIDECMD", 3, nullptr);
    }
    void Slide(std::int32_t position) {
        State().lengthSliderPos = position;
        Play(kCommandLengthSlider);
    }
    void Type(double length) {
        State().typedLength = length;
        Play(kCommandLengthTyped);
    }
    void Measure() { Play(kCommandLengthReadout); }

    // A fresh document and a fresh command state, for a test that runs the command more than once.
    void Reset() {
        doc = &host.NewDocument();
        State().lengthAdjustStage = 0;
        State().measuredLength = 0;
        State().typedLength = 0;
        State().lengthSliderPos = 0;
    }
};

}  // namespace length_test

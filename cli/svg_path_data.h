// SVG path data ("d" attributes) as subpaths of cubic anchor records, and back. Every command of the
// path grammar is read (absolute and relative, H/V, S/T, quadratic curves, elliptical arcs, implicit
// repeats); quadratic curves and arcs become cubic segments, the form the host's paths have.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_types.h"

namespace kvsvg {

struct Subpath {
    std::vector<AnchorRecord> anchors;
    bool closed = false;
};

class PathDataError : public std::runtime_error {
public:
    PathDataError(const std::string& message, std::size_t offset) : std::runtime_error(message), offset_(offset) {}
    std::size_t Offset() const { return offset_; }  // where in the data the fault was found

private:
    std::size_t offset_;
};

// Handle length of a quarter circle arc, as a share of its radius: 4/3 * tan(pi/8).
constexpr double kQuarterArcHandle = 0.5522847498;

// Reads path data in its own coordinate system. A subpath that only moves is dropped unless it is
// the only one. A closing command whose subpath already ends on its start merges the two anchors, so
// that the closing segment is the drawn one. Empty data gives no subpaths. Throws PathDataError.
std::vector<Subpath> ParsePathData(std::string_view data);

// Writes subpaths as M, L, C and Z commands that ParsePathData reads back to the same anchors.
std::string FormatPathData(const std::vector<Subpath>& subpaths);

// The shortest text that reads back to exactly value ("-0" is written "0").
std::string FormatNumber(double value);
std::string FormatNumber(float value);
void AppendNumber(std::string& out, double value);  // FormatNumber(value) added to out

// Whether the last anchor of a closed subpath lies on its first, so that the two are one anchor.
bool ClosesOnStart(const RealPoint& last, const RealPoint& start);

// A corner anchor unless both handles are drawn out and point in opposite directions.
bool IsCornerAnchor(const AnchorRecord& anchor);

}  // namespace kvsvg

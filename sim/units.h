// Lengths as text in a document's ruler units, the way the host's User suite writes and reads them.
#pragma once

#include <string>

#include "document.h"

namespace sim {

double PointsPerUnit(RulerUnit unit);

// points in unit: a number with at most precision decimals (-1: three), trailing zeros dropped, a
// blank and the unit ("50 mm", "1.5 in", "10 H"); picas as picas, "p", points ("2p6", "0p0").
std::string PointsToUnitsText(double points, RulerUnit unit, int precision);

// Text typed by a user: a number in unit, or a number followed by a unit of its own (in, ", cm,
// mm, pt, p or pc, px, H or Q), or picas and points ("2p6", "2p", "p6"). False when it is none.
bool UnitsTextToPoints(const std::string& text, RulerUnit unit, double* points);

}  // namespace sim

// The text of the "Path_adjust_matrix" tag, written and read without the host, so that the parser
// can be fuzzed on its own (fuzz/path_adjust_tag_fuzzer.cpp).
#pragma once

#include <cstddef>

#include "host/host_types.h"

constexpr const char* kPathAdjustTagName = "Path_adjust_matrix";
constexpr const char* kPathAdjustTagType = "string";
constexpr std::size_t kPathAdjustTagReadLimit = 255;  // characters of a record that are read

// What a record holds. Fields that its text does not reach keep the values of an empty record:
// the identity matrix, first (0, 0), angle 0 and length 0.
struct PathAdjustTag {
    RealMatrix matrix;
    RealPoint first;
    double angle;
    double length;
    int tokens;  // how many comma-ended fields the text has (within the read limit)
};

// Eleven fields: the matrix a, b, c, d, tx, ty, then first.h, first.v, angle, length, and a final 0,
// each number in printf's %g form. Returns what snprintf returns.
int FormatPathAdjustTag(char* buffer, std::size_t size, const RealMatrix& matrix, const RealPoint& first, double angle,
                        double length);

// Whether every number of the record is finite; a record that overflows a double matches nothing.
bool PathAdjustTagIsFinite(const PathAdjustTag& tag);

// Reads text up to its first zero byte, at most kPathAdjustTagReadLimit characters. Every field
// ended by a comma is a token; the text after the last comma is never read.
PathAdjustTag ParsePathAdjustTag(const char* text, std::size_t size);

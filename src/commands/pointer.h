// The Pointer command: tick marks across paths, and anchors inserted, at set distances measured
// along each path from its selected anchors.
#pragma once

#include <cstdint>

#include "host/host_types.h"
#include "shell/plugin_state.h"

// Command 1002: the cumulative positions of the three distances, then pointers and/or division as
// the settings ask.
void RunPointerCommand();

// A pointer of length size across the path at every position reached from every start anchor.
HostStatus CreatePointers(const double positions[kPointerRows], double size, std::uint16_t mode);

// An anchor inserted at every position reached, without changing the path's shape. size is unused.
HostStatus DivideSegments(const double positions[kPointerRows], double size, std::uint16_t mode);

// The paint of a pointer from the settings.
void BuildPointerStyle(PathStyle& style);

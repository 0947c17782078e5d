// The canvas annotator that the adjust tools draw through.
#pragma once

#include "host/host_types.h"

constexpr const char* kAnnotatorName = "KELVANE_ANNOTATOR";

// Adds the annotator, switched off until an adjust tool is selected.
HostStatus RegisterAdjustAnnotator(PluginRef self);

// The Handle line command: the direction handles of the selected anchors drawn as strokes on a
// layer of their own.
#pragma once

#include "host/host_types.h"

// Command 1004. Gives the first host error that ended the walk, 0 when none.
HostStatus DrawHandleLines();

// The one depth-first walk over the document that the measuring and marking commands share.
#pragma once

#include "host/host_types.h"

using ArtVisit = HostStatus (*)(ArtHandle art, void* context);

// The first art (the group) of every layer, in the host's layer order. The layer list is read before
// the first visit, so a layer that a visit inserts neither shifts nor joins the walk.
HostStatus ForEachLayerArt(ArtVisit visit, void* context);

// Every object in art, depth first: a group's children, in order, before the group itself; a compound
// path is one object and is not entered. type is the object's art type.
using ArtObjectVisit = HostStatus (*)(ArtHandle art, std::int16_t type, void* context);
HostStatus WalkArtObjects(ArtHandle art, ArtObjectVisit visit, void* context);

// The paths in art, depth first: groups and compound paths entered, children in order.
HostStatus WalkArtPaths(ArtHandle art, ArtVisit visitPath, void* context);

// Every path of the document: WalkArtPaths over each layer. The first failing status of the walk or
// of a visit ends it and is returned.
HostStatus WalkDocumentPaths(ArtVisit visitPath, void* context);

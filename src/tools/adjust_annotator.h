// The canvas annotator that the adjust tools draw through: the guide lines of the drags and the
// preview of a Point adjust move.
#pragma once

#include "host/messages.h"

constexpr const char* kAnnotatorName = "KELVANE_ANNOTATOR";

// Adds the annotator, switched off until an adjust tool is selected.
HostStatus RegisterAdjustAnnotator(PluginRef self);

// Switches the annotator on (an adjust tool selected) or off.
void SetAdjustAnnotatorActive(bool active);

// Sets annotationRect to the whole current view in view coordinates; false without a view.
bool UpdateAnnotationRect();
// Asks the host to redraw annotationRect in the current view; its status (0 without a view).
HostStatus InvalidateAnnotationRect();

// "AI Annotation" handlers, routed by PluginMain.
HostStatus OnAnnotatorDraw(void* message);        // "AI Draw": always 0
HostStatus OnAnnotatorInvalidate(void* message);  // "AI Invalidate"

// What is drawn for the gesture's phase, and the Point adjust preview.
void DrawAdjustAnnotation(AnnotatorDrawerHandle drawer);
void DrawTransformedPreview(AnnotatorDrawerHandle drawer, ArtHandle art, const RealMatrix& matrix);
void DrawTransformedArt(AnnotatorDrawerHandle drawer, ArtHandle art, const RealMatrix& matrix);

// The "Path adjust Tool" and "Point adjust Tool": their tool messages, the snapping of the cursor
// onto anchors, the cursor, and the phases of a gesture up to the apply step.
#pragma once

#include "host/messages.h"

// Tool message handlers, routed by PluginMain for caller "AI Tool". Each answers 0 and acts only
// for the two adjust tools.
HostStatus OnAdjustToolSelect(void* message);       // "AI Select"
HostStatus OnAdjustToolDeselect(void* message);     // "AI Deselect"
HostStatus OnAdjustTrack(void* message);            // "AI Track Cursor" and "AI Mouse Drag"
HostStatus OnAdjustMouseDown(void* message);        // "AI Mouse Down"
HostStatus OnAdjustMouseUp(void* message);          // "AI Mouse Up"
HostStatus OnAdjustToolEditOptions(void* message);  // "AI Edit Options": the restore command

// Phase 0, every point (0, 0) and every hit empty; the last search's kind stays.
void ResetAdjustState();

// Searches the anchors under snapCursor and, by phase, updates the points and hits of the gesture.
void TrackAdjustPoint(std::int16_t phase);

// The undo and redo texts of an adjust by tool: "Undo " and the tool's name without "Tool".
void SetAdjustUndoText(ToolHandle tool);

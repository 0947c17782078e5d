#include "tools/adjust_tools.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "resource_ids.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/adjust_annotator.h"
#include "tools/adjust_texts.h"
#include "tools/alignment.h"
#include "tools/anchor_cache.h"
#include "tools/anchor_hits.h"
#include "tools/path_adjust_record.h"
#include "tools/tool_support.h"

namespace {

constexpr AnchorHit kNoHit{nullptr, kNoAnchorIndex};
constexpr std::uint16_t kPathAdjustMode = 0;
constexpr std::uint16_t kPointAdjustMode = 1;

RealPoint& P(int k) { return gState->adjustPoints[k]; }
AnchorHit& H(int k) { return gState->adjustHits[k]; }

// The tool message of an adjust tool, or null for any other tool (or before start-up). Every handler
// but the deselection keeps the message's plug-in reference first.
ToolMessage* AdjustToolMessage(void* message, bool keepSelf) {
    auto* tool = static_cast<ToolMessage*>(message);
    if (gState == nullptr) return nullptr;
    if (keepSelf) gState->lastToolSelf = tool->d.self;
    if (tool->tool == nullptr || (tool->tool != gState->pathAdjustTool && tool->tool != gState->pointAdjustTool)) {
        return nullptr;
    }
    return tool;
}

bool IsPathAdjust(const ToolMessage* message) { return message->tool == gState->pathAdjustTool; }

// Cursor 16104 off an anchor, 16105 on one, from the plug-in's own resources.
void ShowToolCursor() {
    if (sSPAccess == nullptr) return;
    AccessRef access = nullptr;
    ModuleHandle module = nullptr;
    if (sSPAccess->GetPluginAccess(gState->lastToolSelf, &access) != kNoError ||
        sSPAccess->GetAccessModule(access, &module) != kNoError) {
        return;
    }
    PlatformSetCursor(module, gState->snapKind == kSnapOnAnchor ? KELVANE_CURSOR_ADJUST_ON_ANCHOR : KELVANE_CURSOR_ADJUST);
}

// Ends a gesture whose last event is the apply step: the guide lines are taken off the canvas, the
// move is applied (or refused with a beep) and the gesture starts again.
void FinishGesture(ToolHandle tool, bool pointsDiffer, bool (*apply)(int), int mode) {
    gState->adjustPhase = 0;
    InvalidateAnnotationRect();
    if (gState->snapKind != kSnapNone && pointsDiffer) {
        SetAdjustUndoText(tool);
        if (!apply(mode)) PlatformBeep();
    } else {
        PlatformBeep();
    }
    DropAnchorCache();  // the move changed the document
    ResetAdjustState();
}

bool ApplyPathAdjustStep(int /*mode*/) { return ApplyPathAdjust(); }

}  // namespace

void ResetAdjustState() {
    gState->adjustPhase = 0;
    gState->snapCursor = RealPoint{0, 0};
    gState->rawCursor = RealPoint{0, 0};
    for (int k = 0; k < 4; ++k) {
        P(k) = RealPoint{0, 0};
        H(k) = kNoHit;
    }
}

void TrackAdjustPoint(std::int16_t phase) {
    std::int16_t kind = kSnapNone;
    AnchorHitList current;
    AnchorHitList reference;
    for (int k = 0; k < kMaxAnchorHits; ++k) current[k] = reference[k] = kNoHit;
    FindAnchorHits(gState->snapCursor, kind, current);

    int r = 0;
    int c = 0;
    bool matched = false;
    if (gState->toolMode == kPointAdjustMode) {
        // The object with the largest bounds under the cursor: the outline rather than a detail.
        double best = 0;
        for (int k = 0; k < kMaxAnchorHits && current[k].art != nullptr; ++k) {
            RealRect bounds{};
            if (sArt == nullptr || sArt->GetArtBounds(current[k].art, &bounds) != kNoError) continue;
            const double size = 2 * ((bounds.right - bounds.left) + (bounds.top - bounds.bottom));
            if (size > best) {
                best = size;
                c = k;
            }
        }
    } else if (phase == 1 || phase == 3) {
        // The object under both ends of the drag.
        std::int16_t ignored = kSnapNone;
        FindAnchorHits(P(phase == 1 ? 0 : 2), ignored, reference);
        for (int i = 0; i < kMaxAnchorHits && reference[i].art != nullptr && !matched; ++i) {
            for (int j = 0; j < kMaxAnchorHits && current[j].art != nullptr; ++j) {
                if (reference[i].art == current[j].art) {
                    r = i;
                    c = j;
                    matched = true;
                    break;
                }
            }
        }
    }

    gState->snapKind = kind == kSnapNone ? kSnapFree : kind;
    const RealPoint snap = gState->snapCursor;
    switch (phase) {
        case 0:
            P(0) = P(1) = snap;
            H(0) = H(1) = current[r];
            break;
        case 1:
            P(1) = snap;
            if (matched) H(0) = reference[r];
            H(1) = current[c];
            break;
        case 2:
            P(2) = P(3) = snap;
            H(2) = H(3) = current[r];
            break;
        case 3:
            P(3) = snap;
            if (matched) H(2) = reference[r];
            H(3) = current[c];
            break;
        default:
            break;  // choosing the orientation: only the cursor snaps
    }
}

void SetAdjustUndoText(ToolHandle tool) {
    if (sUndo == nullptr) return;
    sUndo->ForgetRedos();
    const char* name = nullptr;
    if (sTool == nullptr || sTool->GetToolName(tool, &name) != kNoError || name == nullptr) return;

    // The name without the first occurrence of the word "Tool" (and the blank before it stays).
    char shortName[256];
    std::snprintf(shortName, sizeof shortName, "%s", name);
    const char* word = AdjustToolWord(gState->language);
    if (char* found = std::strstr(shortName, word)) {
        std::memmove(found, found + std::strlen(word), std::strlen(found + std::strlen(word)) + 1);
    }
    const UndoTexts formats = AdjustUndoFormats(gState->language);
    char undo[320];
    char redo[320];
    std::snprintf(undo, sizeof undo, formats.undo, shortName);
    std::snprintf(redo, sizeof redo, formats.redo, shortName);
    sUndo->SetUndoText(undo, redo);
}

HostStatus OnAdjustToolSelect(void* message) {
    const ToolMessage* tool = AdjustToolMessage(message, true);
    if (tool == nullptr) return kNoError;
    DropAnchorCache();  // the document may have changed while another tool was in use
    SetAdjustAnnotatorActive(true);
    ResetAdjustState();
    gState->toolMode = IsPathAdjust(tool) ? kPathAdjustMode : kPointAdjustMode;
    return kNoError;
}

HostStatus OnAdjustToolDeselect(void* message) {
    if (AdjustToolMessage(message, false) == nullptr) return kNoError;
    DropAnchorCache();
    SetAdjustAnnotatorActive(false);
    return kNoError;
}

HostStatus OnAdjustTrack(void* message) {
    const ToolMessage* tool = AdjustToolMessage(message, true);
    if (tool == nullptr) return kNoError;
    // An event at the previous position does no work at all.
    if (SamePoint(tool->cursor, gState->rawCursor)) return kNoError;
    gState->rawCursor = tool->cursor;
    gState->snapCursor = tool->cursor;
    // Made on the first move and kept until the document may change; without it the search walks
    // the document through the host as it always did.
    EnsureAnchorCache();
    TrackAdjustPoint(gState->adjustPhase >= 1 ? gState->adjustPhase : 0);
    if (UpdateAnnotationRect()) InvalidateAnnotationRect();
    ShowToolCursor();
    return kNoError;
}

HostStatus OnAdjustMouseDown(void* message) {
    const ToolMessage* tool = AdjustToolMessage(message, true);
    if (tool == nullptr) return kNoError;
    if (gState->adjustPhase == 4) {
        FinishGesture(tool->tool, !SamePoint(P(0), P(1)), ApplyPointAdjust, 1);
    } else if (gState->snapKind != kSnapNone) {
        ++gState->adjustPhase;
    } else {
        ResetAdjustState();
        PlatformBeep();
    }
    return kNoError;
}

HostStatus OnAdjustMouseUp(void* message) {
    const ToolMessage* tool = AdjustToolMessage(message, true);
    if (tool == nullptr) return kNoError;
    const bool pathAdjust = IsPathAdjust(tool);
    if (gState->adjustPhase == 1) {
        // Point adjust: a first drag that ends on another object (or starts on none) is the one-drag
        // gesture; a drag along one path picks a side for the two-drag gesture, as Path adjust does.
        if (!pathAdjust && (H(0).art == nullptr || H(0).art != H(1).art)) {
            gState->adjustPhase = 4;
        } else if (gState->snapKind == kSnapNone || SamePoint(P(0), P(1))) {
            PlatformBeep();
        } else {
            gState->adjustPhase = 2;
        }
    } else if (gState->adjustPhase == 3) {
        if (pathAdjust) {
            FinishGesture(tool->tool, !SamePoint(P(2), P(3)), ApplyPathAdjustStep, 0);
        } else {
            FinishGesture(tool->tool, !SamePoint(P(0), P(1)), ApplyPointAdjust, 2);
        }
    }
    // A release ends what the button did, whatever it was: what lies under the cursor is read afresh.
    DropAnchorCache();
    return kNoError;
}

HostStatus OnAdjustToolEditOptions(void* message) {
    if (AdjustToolMessage(message, true) == nullptr) return kNoError;
    OnAdjustEditOptions();
    DropAnchorCache();  // the restore may have moved objects
    return kNoError;
}

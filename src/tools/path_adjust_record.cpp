#include "tools/path_adjust_record.h"

#include <cmath>
#include <cstring>

#include "geometry/geometry.h"
#include "shell/plugin_state.h"
#include "tools/adjust_texts.h"
#include "tools/alignment.h"
#include "tools/path_adjust_tag.h"
#include "tools/tool_support.h"

namespace {

constexpr std::int32_t kTransformOptions = 0x6F;
constexpr double kReferenceTolerance = 0.1;
constexpr std::int16_t kAnchorSlice = 32;

// A failed host query ends the walk and marks the reference incomplete.
bool Failed(HostStatus status, AdjustReference& reference) {
    if (status != kNoError) reference.complete = false;
    return status != kNoError;
}

void MeasurePath(ArtHandle path, AdjustReference& reference) {
    std::int32_t guide = 0;
    if (Failed(sPath->GetPathIsGuide(path, &guide), reference) || guide != 0) return;
    std::int16_t count = 0;
    if (Failed(sPath->GetPathSegmentCount(path, &count), reference)) return;
    AnchorRecord slice[kAnchorSlice];
    for (std::int16_t first = 0; first < count; first = static_cast<std::int16_t>(first + kAnchorSlice)) {
        const auto size = static_cast<std::int16_t>(count - first < kAnchorSlice ? count - first : kAnchorSlice);
        if (Failed(sPath->GetPathSegments(path, first, size, slice), reference)) return;
        for (std::int16_t k = 0; k < size; ++k) {
            const RealPoint& p = slice[k].p;
            if (!IsFinitePoint(p)) {
                reference.complete = false;  // a move measured from it could never be taken back
                return;
            }
            if (reference.length < 0) {  // the first anchor of the whole walk
                reference.length = 0;
                reference.first = reference.farthest = p;
                continue;
            }
            const double d = sRealMath->PointLength(&reference.first, &p);
            if (!std::isfinite(d)) {
                reference.complete = false;
                return;
            }
            if (d > reference.length) {  // a tie keeps the anchor met first
                reference.length = d;
                reference.angle = sRealMath->PointAngle(&reference.first, &p);
                reference.farthest = p;
            }
        }
    }
}

void MeasureArt(ArtHandle art, AdjustReference& reference) {
    std::int16_t type = kUnknownArt;
    if (Failed(sArt->GetArtType(art, &type), reference)) return;
    if (type == kGroupArt || type == kCompoundPathArt) {
        ArtHandle child = nullptr;
        if (Failed(sArt->GetArtFirstChild(art, &child), reference)) return;
        while (child != nullptr && reference.complete) {
            MeasureArt(child, reference);
            if (Failed(sArt->GetArtSibling(child, &child), reference)) return;
        }
    } else if (type == kPathArt) {
        MeasurePath(art, reference);
    }
}

bool Transform(ArtHandle object, const RealMatrix& matrix) {
    return sTransformArt != nullptr && sTransformArt->TransformArt(object, &matrix, 1.0, kTransformOptions) == kNoError;
}

// One top-level object with a record: moved back, and its record removed, when the record allows.
void RestoreObject(ArtHandle object) {
    char value[kPathAdjustTagReadLimit + 1] = {};
    if (sTag->GetTag(object, kPathAdjustTagName, kPathAdjustTagType, value, sizeof value) != kNoError ||
        value[0] == '\0') {
        return;
    }
    const PathAdjustTag tag = ParsePathAdjustTag(value, std::strlen(value));
    // A record with an overflowing field does not match the object: it stays where it is, recorded.
    if (tag.tokens < 5 || !PathAdjustTagIsFinite(tag)) return;

    RealMatrix back{};
    if (tag.length <= 0) {
        // Exactly 0: every anchor lay on the first, so no angle could be measured. Below 0: the object
        // had no anchor at all (point text, placed art), so nothing of it can be measured now either.
        // Either way only the stored matrix can take the move back: its inverse is applied.
        back = tag.matrix;
        if (sRealMath->MatrixInvert(&back) == 0 || !IsFiniteMatrix(back)) return;
    } else {
        // The object's first anchor goes back where it stood and the object turns back by the change of
        // its reference angle, so later moves by other means are taken back too; a reshaped or scaled
        // object no longer matches its reference and is left alone.
        const AdjustReference now = MeasureReference(object);
        if (!now.complete || now.length == 0 || std::fabs(tag.length - now.length) >= kReferenceTolerance) return;
        if (!RigidMotion(now.first, tag.first, tag.angle - now.angle, back)) return;
    }
    if (!Transform(object, back)) return;
    sTag->RemoveTag(object, kPathAdjustTagName);
}

bool AnyTopLevelObjectSelected() {
    bool selected = false;
    ForEachTopLevelObject([&selected](ArtHandle object) {
        selected = ArtIsSelected(object);
        return !selected;
    });
    return selected;
}

}  // namespace

AdjustReference MeasureReference(ArtHandle object) {
    AdjustReference reference{0.0, -1.0, RealPoint{0, 0}, RealPoint{0, 0}, true};
    if (sArt == nullptr || sPath == nullptr || sRealMath == nullptr || object == nullptr) {
        reference.complete = false;
    } else {
        MeasureArt(object, reference);
    }
    return reference;
}

HostStatus WriteAdjustRecord(ArtHandle object, const RealMatrix& matrix, const AdjustReference& reference) {
    if (sTag == nullptr) return kSuiteNotFoundStatus;
    char text[512];
    FormatPathAdjustTag(text, sizeof text, matrix, reference.first, reference.angle, reference.length);
    return sTag->SetTag(object, kPathAdjustTagName, kPathAdjustTagType, text);
}

HostStatus OnAdjustEditOptions() {
    if (sUser == nullptr) return kNoError;
    const bool selectedOnly = AnyTopLevelObjectSelected();
    std::int32_t answer = 0;
    if (sUser->ConfirmAlert(RestoreConfirmText(gState->language, selectedOnly), 1, 0, &answer) != kNoError ||
        answer != 1) {
        return kNoError;
    }
    if (sUndo != nullptr) {
        sUndo->ForgetRedos();
        const UndoTexts texts = RestoreUndoTexts(gState->language);
        sUndo->SetUndoText(texts.undo, texts.redo);
    }
    RestorePathAdjust(selectedOnly);
    return kNoError;
}

void RestorePathAdjust(bool selectedOnly) {
    if (sTag == nullptr || sArt == nullptr || sRealMath == nullptr) return;
    ForEachTopLevelObject([selectedOnly](ArtHandle object) {
        if (!selectedOnly || ArtIsSelected(object)) RestoreObject(object);
        return true;
    });
}

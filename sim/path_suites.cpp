// Suites that read and change the content of art: Path, Path Style, Tag, Art Style, Transform Art.
#include <algorithm>

#include "document_access.h"

namespace sim {

namespace {

constexpr const char* kPath = "AI Path Suite";
constexpr const char* kStyle = "AI Path Style Suite";
constexpr const char* kTag = "AI Tag Suite";
constexpr const char* kArtStyle = "AI Art Style Suite";

std::int16_t Count(const Art* path) { return static_cast<std::int16_t>(path->anchors.size()); }

void Changed() { CurrentHost().ActiveDocument()->Touch(); }

HostStatus GetPathSegmentCount(ArtHandle handle, std::int16_t* count) {
    if (HostStatus gated = Gate(kPath, "GetPathSegmentCount")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (count == nullptr) return kBadParameterStatus;
    *count = Count(path);
    return kNoError;
}

HostStatus GetPathSegments(ArtHandle handle, std::int16_t first, std::int16_t count, AnchorRecord* anchors) {
    if (HostStatus gated = Gate(kPath, "GetPathSegments")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (anchors == nullptr || first < 0 || count < 0 || first + count > Count(path)) return kBadParameterStatus;
    std::copy_n(path->anchors.begin() + first, count, anchors);
    return kNoError;
}

// Writing past the last anchor lengthens the path (new anchors unselected); first must not leave a
// gap, and the path must not grow beyond what a 16-bit index reaches.
HostStatus SetPathSegments(ArtHandle handle, std::int16_t first, std::int16_t count, const AnchorRecord* anchors) {
    if (HostStatus gated = Gate(kPath, "SetPathSegments")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (anchors == nullptr || first < 0 || count < 0 || first > Count(path)) return kBadParameterStatus;
    const std::size_t end = static_cast<std::size_t>(first) + static_cast<std::size_t>(count);
    if (end > kMaxPathAnchors) return kBadParameterStatus;
    if (end > path->anchors.size()) {
        path->anchors.resize(end);
        path->selection.resize(end, kAnchorNotSelected);
    }
    std::copy_n(anchors, count, path->anchors.begin() + first);
    Changed();
    return kNoError;
}

// Inserts after the anchor at index after; -1 inserts before the first anchor. Refused when the path
// would hold more anchors than a 16-bit index reaches.
HostStatus InsertPathSegments(ArtHandle handle, std::int16_t after, std::int16_t count, const AnchorRecord* anchors) {
    if (HostStatus gated = Gate(kPath, "InsertPathSegments")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (anchors == nullptr || after < -1 || after >= Count(path) || count < 0 ||
        path->anchors.size() + static_cast<std::size_t>(count) > kMaxPathAnchors) {
        return kBadParameterStatus;
    }
    path->anchors.insert(path->anchors.begin() + after + 1, anchors, anchors + count);
    path->selection.insert(path->selection.begin() + after + 1, static_cast<std::size_t>(count), kAnchorNotSelected);
    Changed();
    return kNoError;
}

HostStatus GetPathClosed(ArtHandle handle, std::int32_t* closed) {
    if (HostStatus gated = Gate(kPath, "GetPathClosed")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (closed == nullptr) return kBadParameterStatus;
    *closed = path->closed ? 1 : 0;
    return kNoError;
}

HostStatus SetPathClosed(ArtHandle handle, std::int32_t closed) {
    if (HostStatus gated = Gate(kPath, "SetPathClosed")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    path->closed = closed != 0;
    Changed();
    return kNoError;
}

HostStatus GetPathSegmentSelected(ArtHandle handle, std::int16_t index, std::int16_t* selection) {
    if (HostStatus gated = Gate(kPath, "GetPathSegmentSelected")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (selection == nullptr || index < 0 || index >= Count(path)) return kBadParameterStatus;
    *selection = path->selection[static_cast<std::size_t>(index)];
    return kNoError;
}

// As in the host, selecting part of a path selects the path; deselecting leaves the path's mark alone.
HostStatus SetPathSegmentSelected(ArtHandle handle, std::int16_t index, std::int16_t selection) {
    if (HostStatus gated = Gate(kPath, "SetPathSegmentSelected")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (index < 0 || index >= Count(path) || selection < kAnchorNotSelected || selection > kBothHandlesSelected) {
        return kBadParameterStatus;
    }
    path->selection[static_cast<std::size_t>(index)] = selection;
    if (selection != kAnchorNotSelected) path->attributes |= kArtSelected;
    Changed();
    return kNoError;
}

HostStatus GetPathIsGuide(ArtHandle handle, std::int32_t* guide) {
    if (HostStatus gated = Gate(kPath, "GetPathIsGuide")) return gated;
    Art* path = nullptr;
    if (HostStatus status = ResolvePath(handle, &path)) return status;
    if (guide == nullptr) return kBadParameterStatus;
    *guide = path->guide ? 1 : 0;
    return kNoError;
}

// ---- Path style: paths and compound paths carry one, shared by a compound path's members ----

HostStatus ResolveStyled(ArtHandle handle, Art** art) {
    if (HostStatus status = ResolveArt(handle, art)) return status;
    if ((*art)->type != kPathArt && (*art)->type != kCompoundPathArt) return kBadParameterStatus;
    *art = StyleOwner(*art);
    return kNoError;
}

HostStatus GetPathStyle(ArtHandle handle, PathStyle* style) {
    if (HostStatus gated = Gate(kStyle, "GetPathStyle")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveStyled(handle, &art)) return status;
    if (style == nullptr) return kBadParameterStatus;
    *style = *art->style;
    return kNoError;
}

HostStatus SetPathStyle(ArtHandle handle, const PathStyle* style) {
    if (HostStatus gated = Gate(kStyle, "SetPathStyle")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveStyled(handle, &art)) return status;
    if (style == nullptr || style->stroke.dashCount < 0 || style->stroke.dashCount > kMaxDashes) {
        return kBadParameterStatus;
    }
    art->style = *style;
    Changed();
    return kNoError;
}

// ---- Tags ----

HostStatus SetTag(ArtHandle handle, const char* name, const char* type, const char* value) {
    if (HostStatus gated = Gate(kTag, "SetTag")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (name == nullptr || type == nullptr || value == nullptr || *name == '\0') return kBadParameterStatus;
    art->tags[name] = Tag{type, value};
    Changed();
    return kNoError;
}

HostStatus GetTag(ArtHandle handle, const char* name, const char* type, char* value, std::int32_t valueSize) {
    if (HostStatus gated = Gate(kTag, "GetTag")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (name == nullptr || type == nullptr || value == nullptr || valueSize <= 0) return kBadParameterStatus;
    const auto found = art->tags.find(name);
    if (found == art->tags.end() || found->second.type != type) return kNotFoundStatus;
    CopyText(found->second.value, value, valueSize);
    return kNoError;
}

HostStatus RemoveTag(ArtHandle handle, const char* name) {
    if (HostStatus gated = Gate(kTag, "RemoveTag")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (name == nullptr) return kBadParameterStatus;
    if (art->tags.erase(name) == 0) return kNotFoundStatus;
    Changed();
    return kNoError;
}

// ---- Art style ----

HostStatus GetDerivedArt(ArtHandle handle, ArtHandle* derived) {
    if (HostStatus gated = Gate(kArtStyle, "GetDerivedArt")) return gated;
    if (derived != nullptr) *derived = nullptr;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (derived == nullptr) return kBadParameterStatus;
    *derived = HandleOf(art->derived != nullptr ? art->derived : art);
    return kNoError;
}

HostStatus GetSourceArtOfDerived(ArtHandle handle, ArtHandle* source) {
    if (HostStatus gated = Gate(kArtStyle, "GetSourceArtOfDerived")) return gated;
    if (source != nullptr) *source = nullptr;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (source == nullptr) return kBadParameterStatus;
    if (art->source == nullptr) return kNotFoundStatus;
    *source = HandleOf(art->source);
    return kNoError;
}

// ---- Transform art ----

HostStatus TransformArt(ArtHandle handle, const RealMatrix* matrix, double lineScale, std::int32_t flags) {
    if (HostStatus gated = Gate("AI Transform Art Suite", "TransformArt")) return gated;
    Art* art = nullptr;
    if (HostStatus status = ResolveArt(handle, &art)) return status;
    if (matrix == nullptr) return kBadParameterStatus;
    CurrentHost().ActiveDocument()->Transform(art, *matrix, lineScale, flags);
    return kNoError;
}

}  // namespace

template <>
const PathSuite* SuiteTable<PathSuite>() {
    static const PathSuite table{GetPathSegmentCount,    GetPathSegments,        SetPathSegments,
                                 InsertPathSegments,     GetPathClosed,          SetPathClosed,
                                 GetPathSegmentSelected, SetPathSegmentSelected, GetPathIsGuide};
    return &table;
}

template <>
const PathStyleSuite* SuiteTable<PathStyleSuite>() {
    static const PathStyleSuite table{GetPathStyle, SetPathStyle};
    return &table;
}

template <>
const TagSuite* SuiteTable<TagSuite>() {
    static const TagSuite table{SetTag, GetTag, RemoveTag};
    return &table;
}

template <>
const ArtStyleSuite* SuiteTable<ArtStyleSuite>() {
    static const ArtStyleSuite table{GetDerivedArt, GetSourceArtOfDerived};
    return &table;
}

template <>
const TransformArtSuite* SuiteTable<TransformArtSuite>() {
    static const TransformArtSuite table{TransformArt};
    return &table;
}

}  // namespace sim

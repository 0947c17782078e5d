#include "commands/straight_line_selection.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geometry/geometry.h"
#include "shell/growing_array.h"
#include "shell/suites.h"

namespace {

constexpr double kShortestLine = 0.001;
constexpr double kSameEnd = 0.001;

double Length(const RealPoint& a, const RealPoint& b) {
    if (sRealMath != nullptr) return sRealMath->PointLength(&a, &b);
    return PointDistance(a, b);
}

// An attribute the host cannot tell counts as not set: the art is passed over as unselected, or
// taken as shown.
bool HasAttribute(ArtHandle art, std::int32_t attribute) {
    std::int32_t attributes = 0;
    return sArt != nullptr && sArt->GetArtUserAttr(art, attribute, &attributes) == kNoError &&
           (attributes & attribute) != 0;
}

bool IsSelected(ArtHandle art) { return HasAttribute(art, kArtSelected); }

bool IsHidden(ArtHandle art) { return HasAttribute(art, kArtHidden); }

bool SegmentSelected(std::int16_t sA, std::int16_t sB, bool open, std::int32_t k, std::int32_t n) {
    const bool endSide = sB == kAnchorPointSelected || sB == kInHandleSelected || sB == kBothHandlesSelected;
    const bool startSide = sA == kAnchorPointSelected || sA == kOutHandleSelected || sA == kBothHandlesSelected;
    if (endSide && startSide) return true;
    // The lone end anchor of an open path stands for its one segment.
    if (open && k == 1 && sA == kAnchorPointSelected) return true;
    return open && k == n - 1 && sB == kAnchorPointSelected;
}

struct Walk {
    LineList& list;
    bool markPathEnds;
    bool outOfMemory;
};

void WalkArt(Walk& walk, ArtHandle art, ArtHandle owner);

void WalkChildren(Walk& walk, ArtHandle container, ArtHandle owner) {
    ArtHandle child = nullptr;
    sArt->GetArtFirstChild(container, &child);
    while (child != nullptr && !walk.outOfMemory) {
        WalkArt(walk, child, owner);
        // A fresh output: a refused call must end the walk, not repeat the same child forever.
        ArtHandle next = nullptr;
        sArt->GetArtSibling(child, &next);
        child = next;
    }
}

// The lines of one path; false when it gave none.
bool CollectPathLines(Walk& walk, ArtHandle path, ArtHandle owner) {
    if (sPath == nullptr) return false;
    std::int16_t count = 0;
    std::int32_t guide = 0;
    sPath->GetPathSegmentCount(path, &count);
    sPath->GetPathIsGuide(path, &guide);
    if (guide != 0 || IsHidden(path) || count < 2) return false;

    std::int32_t closed = 0;
    sPath->GetPathClosed(path, &closed);
    const bool open = closed == 0;
    const std::int32_t n = count;
    AnchorRecord a{};
    AnchorRecord b{};
    std::int16_t sA = kAnchorNotSelected;
    // An anchor the host would not give ends the path here: a stale record would make up a line.
    if (sPath->GetPathSegments(path, 0, 1, &a) != kNoError) return false;
    sPath->GetPathSegmentSelected(path, 0, &sA);
    bool gaveLine = false;
    for (std::int32_t k = 1; k <= n; ++k) {
        if (k == n && open) break;
        const auto index = static_cast<std::int16_t>(k == n ? 0 : k);
        if (sPath->GetPathSegments(path, index, 1, &b) != kNoError) break;
        std::int16_t sB = kAnchorNotSelected;  // a refused state reads as not selected
        sPath->GetPathSegmentSelected(path, index, &sB);
        if (SegmentSelected(sA, sB, open, k, n) && SegmentIsStraight(a, b) && Length(a.p, b.p) > kShortestLine) {
            LineRecord record{};
            record.art = path;
            record.owner = owner;
            record.segmentNumber = k;
            record.start = a.p;
            record.end = b.p;
            record.startSelection = sA;
            record.endSelection = sB;
            if (walk.markPathEnds) {
                record.startIsPathEnd = open && k == 1 ? 1 : 0;
                record.endIsPathEnd = open && k == n - 1 ? 1 : 0;
            }
            // Counts as a line even when dropped as a duplicate.
            gaveLine = true;
            if (!AddLine(walk.list, record)) {
                walk.outOfMemory = true;
                return true;
            }
        }
        a = b;
        sA = sB;
    }
    return gaveLine;
}

void WalkArt(Walk& walk, ArtHandle art, ArtHandle owner) {
    std::int16_t type = kUnknownArt;
    sArt->GetArtType(art, &type);
    switch (type) {
        case kGroupArt:
            WalkChildren(walk, art, owner);
            return;
        case kPathArt: {
            if (!IsSelected(art)) return;
            // A path drawn through a live style is read through the art that stands for it.
            ArtHandle derived = nullptr;
            if (sArtStyle != nullptr && sArtStyle->GetDerivedArt(art, &derived) == kNoError && derived != nullptr &&
                derived != art) {
                WalkArt(walk, derived, owner != nullptr ? owner : art);
                return;
            }
            if (!CollectPathLines(walk, art, owner)) ++walk.list.nonStraightCount;
            return;
        }
        case kCompoundPathArt:
            if (!IsSelected(art)) return;
            WalkChildren(walk, art, owner != nullptr ? owner : art);
            return;
        default:
            if (IsSelected(art)) ++walk.list.nonStraightCount;
            return;
    }
}

}  // namespace

bool AddLine(LineList& list, const LineRecord& record) {
    for (std::int32_t i = 0; i < list.count; ++i) {
        const LineRecord& old = list.records[i];
        const bool same = Length(record.start, old.start) < kSameEnd && Length(record.end, old.end) < kSameEnd;
        const bool reversed = Length(record.start, old.end) < kSameEnd && Length(record.end, old.start) < kSameEnd;
        if (same || reversed) return true;
    }
    if (!RoomForOneMore(list.records, list.count, list.capacity, 8)) return false;
    list.records[list.count++] = record;
    return true;
}

bool CollectSelectedLines(LineList& list, bool markPathEnds) {
    if (sLayer == nullptr || sArt == nullptr) return true;
    Walk walk{list, markPathEnds, false};
    std::int32_t layers = 0;
    sLayer->CountLayers(&layers);
    for (std::int32_t i = 0; i < layers && !walk.outOfMemory; ++i) {
        LayerHandle layer = nullptr;
        std::int32_t visible = 0;
        std::int32_t editable = 0;
        if (sLayer->GetNthLayer(i, &layer) != kNoError || layer == nullptr) continue;
        sLayer->GetLayerVisible(layer, &visible);
        sLayer->GetLayerEditable(layer, &editable);
        if (visible == 0 || editable == 0) continue;
        ArtHandle group = nullptr;
        sArt->GetFirstArtOfLayer(layer, &group);
        if (group != nullptr) WalkArt(walk, group, nullptr);
    }
    return !walk.outOfMemory;
}

bool MakeCornerPath(const LineRecord& line, const RealPoint* points, std::int16_t count) {
    if (sArt == nullptr) return false;
    // Lines too far out overflow their construction: such a path is refused, never made of NaNs.
    for (std::int16_t k = 0; k < count; ++k) {
        if (!IsFinitePoint(points[k])) return false;
    }
    LayerHandle layer = nullptr;
    ArtHandle top = nullptr;
    // Without the layer's group the host would choose the place itself: count that as refused.
    if (sArt->GetLayerOfArt(line.art, &layer) != kNoError || layer == nullptr) return false;
    if (sArt->GetFirstArtOfLayer(layer, &top) != kNoError || top == nullptr) return false;
    ArtHandle path = nullptr;
    if (sArt->NewArt(kPathArt, kPlaceInsideOnTop, top, &path) != kNoError || path == nullptr) return false;

    if (sPathStyle != nullptr) {
        PathStyle style{};
        if (sPathStyle->GetPathStyle(line.owner != nullptr ? line.owner : line.art, &style) == kNoError) {
            sPathStyle->SetPathStyle(path, &style);
        }
    }
    constexpr std::int16_t kMostPoints = 3;
    AnchorRecord anchors[kMostPoints]{};
    if (count > kMostPoints) count = kMostPoints;
    for (std::int16_t k = 0; k < count; ++k) anchors[k] = AnchorRecord{points[k], points[k], points[k], true};
    if (sPath != nullptr) sPath->SetPathSegments(path, 0, count, anchors);
    return true;
}

void ReleaseLineList(LineList& list) {
    std::free(list.records);
    list = LineList{};
}

LinePairs::LinePairs(const LineList& list, Distance distance) {
    const std::int32_t n = list.count;
    rows_.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (std::int32_t i = 0; i < n; ++i) {
        Row& row = rows_[static_cast<std::size_t>(i)];
        row = Row{0.0, -1, false};
        for (std::int32_t j = i + 1; j < n; ++j) {
            const double d = distance(list.records[i], list.records[j]);
            if (j == i + 1) row.firstIsNaN = std::isnan(d);
            // Only a strictly smaller distance moves the partner on, as in the search.
            if ((row.partner < 0 && !std::isnan(d)) || d < row.distance) {
                row.distance = d;
                row.partner = j;
            }
        }
        if (row.partner >= 0) order_.push_back(i);
    }
    std::sort(order_.begin(), order_.end(), [this](std::int32_t a, std::int32_t b) {
        const double da = rows_[static_cast<std::size_t>(a)].distance;
        const double db = rows_[static_cast<std::size_t>(b)].distance;
        return da < db || (!(db < da) && a < b);
    });
}

bool LinePairs::Next(const LineList& list, std::int32_t& first, std::int32_t& second) {
    // Used flags only ever get set, so both scans go forward across passes.
    while (firstUnused_ < list.count - 1 && list.records[firstUnused_].used != 0) ++firstUnused_;
    if (firstUnused_ >= list.count - 1) return false;
    // The search starts from the first unused line's next neighbour; nothing beats a distance that is
    // not a number.
    if (rows_[static_cast<std::size_t>(firstUnused_)].firstIsNaN) {
        first = firstUnused_;
        second = firstUnused_ + 1;
        return true;
    }
    while (cursor_ < order_.size() && list.records[order_[cursor_]].used != 0) ++cursor_;
    if (cursor_ == order_.size()) return false;  // not reached: the first unused line has a partner
    first = order_[cursor_];
    second = rows_[static_cast<std::size_t>(first)].partner;
    return true;
}

#include "document.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace sim {

class DocumentSnapshot {
public:
    std::uint64_t document = 0;  // the serial of the document it was taken of
    std::vector<Art> arts;      // the values of the document's art pool, in pool order
    std::vector<Layer> layers;  // likewise for the layer pool
    std::vector<Layer*> order;
    Layer* current = nullptr;
};

namespace {

constexpr Color kWhite{kGrayColor, 0.0, 0, 0, 0, 0, 1, 1, 1, 0};
constexpr Color kBlack{kGrayColor, 1.0, 0, 0, 0, 1, 0, 0, 0, 0};

PathStyle DefaultStyle() {
    PathStyle style{};
    style.fillPaint = true;
    style.fill.color = kWhite;
    style.strokePaint = true;
    style.stroke.color = kBlack;
    style.stroke.width = 1.0;
    style.stroke.miterLimit = 4.0;
    return style;
}

AnchorRecord Corner(const RealPoint& point) { return AnchorRecord{point, point, point, true}; }

bool IsContainer(const Art* art) { return art->type == kGroupArt || art->type == kCompoundPathArt; }

struct Extent {
    bool empty = true;
    double left = 0, right = 0, top = 0, bottom = 0;

    void Add(const RealPoint& point) {
        if (empty) {
            left = right = point.h;
            top = bottom = point.v;
            empty = false;
            return;
        }
        left = std::min(left, point.h);
        right = std::max(right, point.h);
        bottom = std::min(bottom, point.v);
        top = std::max(top, point.v);
    }
    void Add(const Extent& other) {
        if (other.empty) return;
        Add(RealPoint{other.left, other.top});
        Add(RealPoint{other.right, other.bottom});
    }
    RealRect Rect() const { return RealRect{left, top, right, bottom}; }
};

RealPoint Cubic(const RealPoint p[4], double t) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * t * u * u, c = 3 * t * t * u, d = t * t * t;
    return RealPoint{a * p[0].h + b * p[1].h + c * p[2].h + d * p[3].h, a * p[0].v + b * p[1].v + c * p[2].v + d * p[3].v};
}

// At most four parameters of a cubic's turning points, kept without allocating: bounds are asked
// for every art of a document on each cursor move of the adjust tools.
struct Turns {
    double t[4];
    int count = 0;
    void push_back(double value) { t[count++] = value; }
    const double* begin() const { return t; }
    const double* end() const { return t + count; }
};

// Parameters in (0, 1) where one coordinate of the cubic has a turning point.
void TurningPoints(double p0, double p1, double p2, double p3, Turns& out) {
    // Derivative / 3: a t^2 + b t + c.
    const double a = -p0 + 3 * p1 - 3 * p2 + p3;
    const double b = 2 * (p0 - 2 * p1 + p2);
    const double c = p1 - p0;
    const auto keep = [&](double t) {
        if (t > 0 && t < 1) out.push_back(t);
    };
    if (std::fabs(a) < 1e-12) {
        if (std::fabs(b) > 1e-12) keep(-c / b);
        return;
    }
    const double discriminant = b * b - 4 * a * c;
    if (discriminant < 0) return;
    const double root = std::sqrt(discriminant);
    keep((-b + root) / (2 * a));
    keep((-b - root) / (2 * a));
}

void AddSegment(Extent& extent, const AnchorRecord& from, const AnchorRecord& to, const RealMatrix* matrix) {
    RealPoint p[4] = {from.p, from.out, to.in, to.p};
    if (matrix != nullptr) {
        for (RealPoint& point : p) point = Apply(*matrix, point);
    }
    extent.Add(p[0]);
    extent.Add(p[3]);
    // A curve lies within its control points: when the handles lie between the ends on an axis, the
    // ends bound it there (straight segments always), and no turning point needs finding.
    const auto between = [](double end1, double end2, double value) {
        return value >= std::min(end1, end2) && value <= std::max(end1, end2);
    };
    Turns turns;
    if (!between(p[0].h, p[3].h, p[1].h) || !between(p[0].h, p[3].h, p[2].h)) {
        TurningPoints(p[0].h, p[1].h, p[2].h, p[3].h, turns);
    }
    if (!between(p[0].v, p[3].v, p[1].v) || !between(p[0].v, p[3].v, p[2].v)) {
        TurningPoints(p[0].v, p[1].v, p[2].v, p[3].v, turns);
    }
    for (double t : turns) extent.Add(Cubic(p, t));
}

Extent PathExtent(const Art& path, const RealMatrix* matrix) {
    Extent extent;
    const std::size_t count = path.anchors.size();
    if (count == 1) extent.Add(matrix != nullptr ? Apply(*matrix, path.anchors[0].p) : path.anchors[0].p);
    for (std::size_t i = 1; i < count; ++i) AddSegment(extent, path.anchors[i - 1], path.anchors[i], matrix);
    if (path.closed && count > 1) AddSegment(extent, path.anchors[count - 1], path.anchors[0], matrix);
    return extent;
}

Extent RectExtent(const RealRect& rect, const RealMatrix* matrix) {
    Extent extent;
    const RealPoint corners[4] = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom},
                                  {rect.left, rect.bottom}};
    for (const RealPoint& corner : corners) extent.Add(matrix != nullptr ? Apply(*matrix, corner) : corner);
    return extent;
}

Extent ArtExtent(const Art& art, const RealMatrix* matrix) {
    switch (art.type) {
        case kGroupArt:
        case kCompoundPathArt: {
            Extent extent;
            for (const Art* child = art.firstChild; child != nullptr; child = child->next) {
                extent.Add(ArtExtent(*child, matrix));
            }
            return extent;
        }
        case kPathArt:
            return PathExtent(art, matrix);
        default:
            return RectExtent(art.frame, matrix);
    }
}

RealRect TransformedRect(const RealRect& rect, const RealMatrix& matrix) {
    return RectExtent(rect, &matrix).Rect();
}

// Links child into parent before the sibling before; null before makes it the last child.
void LinkChild(Art* parent, Art* child, Art* before) {
    child->parent = parent;
    child->next = before;
    child->prior = before != nullptr ? before->prior : parent->lastChild;
    if (child->prior != nullptr) {
        child->prior->next = child;
    } else {
        parent->firstChild = child;
    }
    if (before != nullptr) {
        before->prior = child;
    } else {
        parent->lastChild = child;
    }
}

void Unlink(Art* art) {
    Art* parent = art->parent;
    if (parent == nullptr) return;
    (art->prior != nullptr ? art->prior->next : parent->firstChild) = art->next;
    (art->next != nullptr ? art->next->prior : parent->lastChild) = art->prior;
    art->parent = art->prior = art->next = nullptr;
}

void MarkDead(Art* art) {
    art->alive = false;
    for (Art* child = art->firstChild; child != nullptr; child = child->next) MarkDead(child);
    if (art->textPath != nullptr) MarkDead(art->textPath);
    if (art->derived != nullptr) MarkDead(art->derived);
}

// first, then second.
RealMatrix Then(const RealMatrix& first, const RealMatrix& second) {
    return RealMatrix{first.a * second.a + first.b * second.c,
                      first.a * second.b + first.b * second.d,
                      first.c * second.a + first.d * second.c,
                      first.c * second.b + first.d * second.d,
                      first.tx * second.a + first.ty * second.c + second.tx,
                      first.tx * second.b + first.ty * second.d + second.ty};
}

void TransformTree(Art* art, const RealMatrix& matrix, double lineScale) {
    for (AnchorRecord& anchor : art->anchors) {
        anchor.p = Apply(matrix, anchor.p);
        anchor.in = Apply(matrix, anchor.in);
        anchor.out = Apply(matrix, anchor.out);
    }
    if (art->type == kPathArt || art->type == kCompoundPathArt) {
        PathStyle style = *art->style;
        style.stroke.width *= lineScale;
        art->style = style;
    }
    art->textAnchor = Apply(matrix, art->textAnchor);
    if (art->type == kTextFrameArt || art->type == kPlacedArt) {
        art->frame = TransformedRect(art->frame, matrix);
        art->matrix = Then(art->matrix, matrix);
    }
    for (Art* child = art->firstChild; child != nullptr; child = child->next) TransformTree(child, matrix, lineScale);
    if (art->textPath != nullptr) TransformTree(art->textPath, matrix, lineScale);
    if (art->derived != nullptr) TransformTree(art->derived, matrix, lineScale);
}

void SelectTree(Art* art) {
    art->attributes |= kArtSelected;
    std::fill(art->selection.begin(), art->selection.end(), static_cast<std::int16_t>(kAnchorPointSelected));
    for (Art* child = art->firstChild; child != nullptr; child = child->next) SelectTree(child);
}

}  // namespace

Art* StyleOwner(Art* art) {
    return art->type == kPathArt && art->parent != nullptr && art->parent->type == kCompoundPathArt ? art->parent
                                                                                                     : art;
}

RealPoint Apply(const RealMatrix& m, const RealPoint& p) {
    return RealPoint{m.a * p.h + m.c * p.v + m.tx, m.b * p.h + m.d * p.v + m.ty};
}

std::vector<Art*> Art::Children() const {
    std::vector<Art*> children;
    for (Art* child = firstChild; child != nullptr; child = child->next) children.push_back(child);
    return children;
}

ViewPoint DocumentView::ToView(const RealPoint& artwork) const {
    return ViewPoint{static_cast<std::int32_t>(std::floor((artwork.h - origin.h) * zoom + 0.5)),
                     static_cast<std::int32_t>(std::floor((origin.v - artwork.v) * zoom + 0.5))};
}

RealPoint DocumentView::ToArtwork(const ViewPoint& view) const {
    return RealPoint{origin.h + view.h / zoom, origin.v - view.v / zoom};
}

RealRect DocumentView::Bounds() const {
    return RealRect{origin.h, origin.v, origin.h + width / zoom, origin.v - height / zoom};
}

Document::Document() {
    static std::uint64_t documentsMade = 0;
    serial_ = ++documentsMade;
    AddLayer("Layer 1");
    views_.push_back(std::make_unique<DocumentView>());
    AddSwatch("White", kWhite);
    AddSwatch("Black", kBlack);
    AddSwatch("CMYK Red", Color{kFourColor, 0, 0, 1, 1, 0, 1, 0, 0, 0});
    AddSwatch("RGB Blue", Color{kThreeColor, 0, 0, 0, 0, 0, 0, 0, 1, 0});
    AddSwatch("Spot Green", Color{kCustomColor, 0, 0.8, 0, 1, 0, 0, 0.6, 0.3, 1.0});
}

Document::~Document() = default;

Layer* Document::LayerAt(int index) const {
    return index >= 0 && index < LayerCount() ? layers_[static_cast<std::size_t>(index)] : nullptr;
}

int Document::IndexOf(const Layer* layer) const {
    const auto found = std::find(layers_.begin(), layers_.end(), layer);
    return found == layers_.end() ? -1 : static_cast<int>(found - layers_.begin());
}

Layer* Document::FindLayer(const std::string& title) const {
    for (Layer* layer : layers_) {
        if (layer->title == title) return layer;
    }
    return nullptr;
}

Layer* Document::AddLayer(const std::string& title, bool visible, bool editable) {
    Layer* layer = InsertLayer(nullptr, kPlaceBelow);
    layer->title = title;
    layer->visible = visible;
    layer->editable = editable;
    return layer;
}

Layer* Document::InsertLayer(Layer* base, PaintOrder order) {
    auto position = layers_.end();
    if (base != nullptr) {
        position = std::find(layers_.begin(), layers_.end(), base);
        if (position == layers_.end()) return nullptr;
        if (order == kPlaceBelow) ++position;
    } else if (order == kPlaceAbove) {
        position = layers_.begin();
    }
    if (order != kPlaceAbove && order != kPlaceBelow) return nullptr;

    layerPool_.push_back(std::make_unique<Layer>());
    Layer* layer = layerPool_.back().get();
    layerAddresses_.insert(layer);
    layer->title = "Layer " + std::to_string(++layersMade_);
    layer->root = MakeArt(kGroupArt, layer);
    layers_.insert(position, layer);
    if (currentLayer_ == nullptr) currentLayer_ = layer;
    Touch();
    return layer;
}

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameColor(const Color& a, const Color& b) {
    return a.kind == b.kind && SameBits(a.gray, b.gray) && SameBits(a.c, b.c) && SameBits(a.m, b.m) &&
           SameBits(a.y, b.y) && SameBits(a.k, b.k) && SameBits(a.red, b.red) && SameBits(a.green, b.green) &&
           SameBits(a.blue, b.blue) && SameBits(a.tint, b.tint);
}

// Field by field and bit for bit (a -0 width stays -0): the padding between the fields is anything.
bool SameStyle(const PathStyle& a, const PathStyle& b) {
    const StrokeStyle& s = a.stroke;
    const StrokeStyle& t = b.stroke;
    return a.fillPaint == b.fillPaint && SameColor(a.fill.color, b.fill.color) && a.strokePaint == b.strokePaint &&
           SameColor(s.color, t.color) && SameBits(s.width, t.width) && SameBits(s.miterLimit, t.miterLimit) &&
           s.dashCount == t.dashCount && std::memcmp(s.dashes, t.dashes, sizeof s.dashes) == 0 &&
           std::memcmp(&s.dashOffset, &t.dashOffset, sizeof s.dashOffset) == 0;
}

}  // namespace

SharedStyle& SharedStyle::operator=(const PathStyle& style) {
    // The last few styles given, for the next arts given the same (new art gets the default style
    // before its own).
    constexpr std::size_t kKept = 4;
    thread_local std::shared_ptr<const PathStyle> kept[kKept];
    thread_local std::size_t next = 0;
    for (const std::shared_ptr<const PathStyle>& known : kept) {
        if (known != nullptr && SameStyle(*known, style)) {
            style_ = known;
            return *this;
        }
    }
    style_ = kept[next++ % kKept] = std::make_shared<const PathStyle>(style);
    return *this;
}

const PathStyle& SharedStyle::operator*() const {
    static const PathStyle kUnset{};
    return style_ != nullptr ? *style_ : kUnset;
}

Art* Document::MakeArt(ArtType type, Layer* layer) {
    if (artCount_ % kArtBlock == 0) {
        artBlocks_.push_back(std::make_unique<Art[]>(kArtBlock));
        const BlockStart start{reinterpret_cast<std::uintptr_t>(artBlocks_.back().get()), artBlocks_.size() - 1};
        blocksByAddress_.insert(std::upper_bound(blocksByAddress_.begin(), blocksByAddress_.end(), start,
                                                 [](const BlockStart& a, const BlockStart& b) { return a.address < b.address; }),
                                start);
    }
    Art* art = PoolArt(artCount_);
    art->poolIndex = artCount_++;
    art->type = type;
    art->layer = layer;
    if (type == kPathArt || type == kCompoundPathArt) art->style = DefaultStyle();
    Touch();
    return art;
}

Art* Document::MakePathArt(const std::vector<AnchorRecord>& anchors, bool closed, Layer* layer) {
    if (anchors.size() > kMaxPathAnchors) {
        throw std::length_error("a path of " + std::to_string(anchors.size()) + " anchors (the host holds at most " +
                                std::to_string(kMaxPathAnchors) + ")");
    }
    Art* path = MakeArt(kPathArt, layer);
    path->anchors = anchors;
    path->selection.assign(anchors.size(), kAnchorNotSelected);
    path->closed = closed;
    return path;
}

Art* Document::Append(Art* container, Art* art) {
    LinkChild(container, art, nullptr);
    return art;
}

Art* Document::NewArt(ArtType type, PaintOrder order, Art* prep) {
    if (type != kGroupArt && type != kPathArt && type != kCompoundPathArt) return nullptr;
    Art* parent = nullptr;
    Art* before = nullptr;
    if (prep == nullptr) {
        if (currentLayer_ == nullptr) return nullptr;
        parent = currentLayer_->root;
        before = order == kPlaceAbove || order == kPlaceInsideOnTop ? parent->firstChild : nullptr;
    } else if (order == kPlaceAbove || order == kPlaceBelow) {
        parent = prep->parent;
        before = order == kPlaceAbove ? prep : prep->next;
    } else if (IsContainer(prep)) {
        parent = prep;
        before = order == kPlaceInsideOnTop ? prep->firstChild : nullptr;
    }
    if (parent == nullptr) return nullptr;
    Art* art = MakeArt(type, parent->layer);
    LinkChild(parent, art, before);
    return art;
}

void Document::Dispose(Art* art) {
    Unlink(art);
    MarkDead(art);
    Touch();
}

Art* Document::AddGroup(Art* container) { return Append(container, MakeArt(kGroupArt, container->layer)); }

Art* Document::AddCompoundPath(Art* container) {
    return Append(container, MakeArt(kCompoundPathArt, container->layer));
}

Art* Document::AddPath(Art* container, const std::vector<RealPoint>& points, bool closed) {
    std::vector<AnchorRecord> anchors;
    for (const RealPoint& point : points) anchors.push_back(Corner(point));
    return AddCurve(container, anchors, closed);
}

Art* Document::AddCurve(Art* container, const std::vector<AnchorRecord>& anchors, bool closed) {
    return Append(container, MakePathArt(anchors, closed, container->layer));
}

Art* Document::AddPointText(Art* container, const RealPoint& anchor, const RealRect& frame) {
    Art* text = MakeArt(kTextFrameArt, container->layer);
    text->textKind = kPointText;
    text->textAnchor = anchor;
    text->frame = frame;
    return Append(container, text);
}

Art* Document::AddAreaText(Art* container, const std::vector<AnchorRecord>& area, const RealRect& frame) {
    Art* outline = MakePathArt(area, true, container->layer);  // first: it may be refused
    Art* text = MakeArt(kTextFrameArt, container->layer);
    text->textKind = kAreaText;
    text->textPath = outline;
    text->frame = frame;
    return Append(container, text);
}

Art* Document::AddPathText(Art* container, const std::vector<AnchorRecord>& path, bool closed, const RealRect& frame) {
    Art* along = MakePathArt(path, closed, container->layer);  // first: it may be refused
    Art* text = MakeArt(kTextFrameArt, container->layer);
    text->textKind = kPathText;
    text->textPath = along;
    text->frame = frame;
    return Append(container, text);
}

Art* Document::AddPlacedArt(Art* container, const RealRect& frame) {
    Art* placed = MakeArt(kPlacedArt, container->layer);
    placed->frame = frame;
    return Append(container, placed);
}

Art* Document::AddDerivedPath(Art* path, const std::vector<AnchorRecord>& anchors, bool closed) {
    Art* derived = MakePathArt(anchors, closed, path->layer);
    derived->source = path;
    path->derived = derived;
    return derived;
}

void Document::SelectAnchors(Art* path, const std::vector<int>& indices, std::int16_t state) {
    for (int index : indices) path->selection.at(static_cast<std::size_t>(index)) = state;
    if (state != kAnchorNotSelected) path->attributes |= kArtSelected;
    Touch();
}

void Document::SelectWhole(Art* art) {
    SelectTree(art);
    Touch();
}

Art* Document::FindArt(const void* handle) const {
    const auto address = reinterpret_cast<std::uintptr_t>(handle);
    constexpr std::uintptr_t kBlockBytes = kArtBlock * sizeof(Art);
    const auto holds = [address](const BlockStart& block) {
        return address >= block.address && address - block.address < kBlockBytes;
    };
    // Most look-ups are of art in the block looked up last.
    if (lastBlock_ >= blocksByAddress_.size() || !holds(blocksByAddress_[lastBlock_])) {
        const auto after = std::upper_bound(blocksByAddress_.begin(), blocksByAddress_.end(), address,
                                            [](std::uintptr_t a, const BlockStart& block) { return a < block.address; });
        if (after == blocksByAddress_.begin() || !holds(*(after - 1))) return nullptr;
        lastBlock_ = static_cast<std::size_t>(after - 1 - blocksByAddress_.begin());
    }
    const BlockStart& start = blocksByAddress_[lastBlock_];
    const std::uintptr_t offset = address - start.address;
    const std::uintptr_t slot = offset / sizeof(Art);
    const std::size_t poolIndex = start.block * kArtBlock + slot;
    if (offset != slot * sizeof(Art) || poolIndex >= artCount_) return nullptr;
    Art* art = PoolArt(poolIndex);
    return art->alive ? art : nullptr;
}

Layer* Document::FindLayerRecord(const void* handle) const {
    if (handle == nullptr || layerAddresses_.count(handle) == 0) return nullptr;
    Layer* layer = static_cast<Layer*>(const_cast<void*>(handle));
    return layer->alive ? layer : nullptr;
}

RealRect Document::Bounds(const Art* art, const RealMatrix* matrix) const { return ArtExtent(*art, matrix).Rect(); }

void Document::Transform(Art* art, const RealMatrix& matrix, double lineScale, std::int32_t flags) {
    transforms_.push_back(TransformCall{art, matrix, lineScale, flags});
    TransformTree(art, matrix, lineScale);
    Touch();
}

Swatch* Document::AddSwatch(const std::string& name, const Color& color) {
    swatches_.push_back(std::make_unique<Swatch>(Swatch{name, color}));
    return swatches_.back().get();
}

DocumentView* Document::View(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < views_.size() ? views_[static_cast<std::size_t>(index)].get()
                                                                          : nullptr;
}

std::shared_ptr<const DocumentSnapshot> Document::Snapshot() const {
    auto snapshot = std::make_shared<DocumentSnapshot>();
    snapshot->document = serial_;
    snapshot->arts.reserve(artCount_);
    snapshot->layers.reserve(layerPool_.size());
    for (std::size_t i = 0; i < artCount_; ++i) snapshot->arts.push_back(*PoolArt(i));
    for (const std::unique_ptr<Layer>& layer : layerPool_) snapshot->layers.push_back(*layer);
    snapshot->order = layers_;
    snapshot->current = currentLayer_;
    return snapshot;
}

bool Document::Restore(const DocumentSnapshot& snapshot) {
    if (snapshot.document != serial_) return false;
    // Records made after the snapshot stay where they are (their handles remain addresses) but die.
    for (std::size_t i = 0; i < artCount_; ++i) {
        if (i < snapshot.arts.size()) {
            *PoolArt(i) = snapshot.arts[i];
        } else {
            PoolArt(i)->alive = false;
        }
    }
    for (std::size_t i = 0; i < layerPool_.size(); ++i) {
        if (i < snapshot.layers.size()) {
            *layerPool_[i] = snapshot.layers[i];
        } else {
            layerPool_[i]->alive = false;
        }
    }
    layers_ = snapshot.order;
    currentLayer_ = snapshot.current;
    Touch();
    return true;
}

}  // namespace sim

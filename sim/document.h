// The document the simulated host holds: layers, their art trees, swatches, views, ruler units.
// Art and layers are plain records owned by the document and never freed while it is open, so the
// handles given to the plug-in stay valid addresses; a disposed record is only marked not alive
// (the suites refuse it) and undo can bring it back by copying the records' values back.
//
// Orders, as the host reports them: layer index 0 is the top of the layer list; an art's first
// child is the front-most in its group. The builder functions (Add...) append at the back (a new
// last layer, a new last child), so a walk visits things in the order a test built them.
// Artwork coordinates grow upwards: a bounds rectangle has top >= bottom.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host_types.h"

namespace sim {

constexpr HostStatus kNoDocumentStatus = FourCharCode('D', 'O', 'C', '?');

enum class RulerUnit { Inches, Centimeters, Points, Picas, Millimeters, Pixels, Q };

// The host counts and indexes a path's anchors in signed 16 bits: no path holds more than this.
constexpr std::size_t kMaxPathAnchors = 32767;

struct Layer;

struct Tag {
    std::string type;
    std::string value;
};

// A path's style. Arts given equal styles one after another share one copy (a drawing's paths mostly
// have a few styles), so that a path holds a pointer rather than a whole style record.
class SharedStyle {
public:
    SharedStyle& operator=(const PathStyle& style);
    const PathStyle& operator*() const;  // all zero before a style is given
    const PathStyle* operator->() const { return &**this; }

private:
    std::shared_ptr<const PathStyle> style_;
};

struct Art {
    bool alive = true;
    ArtType type = kUnknownArt;
    std::size_t poolIndex = 0;  // order of making in its document
    Layer* layer = nullptr;
    Art* parent = nullptr;  // null for the root group of a layer and for art outside the tree
    Art* firstChild = nullptr;
    Art* lastChild = nullptr;
    Art* prior = nullptr;
    Art* next = nullptr;
    std::int32_t attributes = 0;  // ArtAttribute bits

    // Paths (also the paths of area and path text, and derived art).
    std::vector<AnchorRecord> anchors;
    std::vector<std::int16_t> selection;  // AnchorSelection of each anchor
    bool closed = false;
    bool guide = false;
    SharedStyle style;  // also of compound paths, whose paths share it (see StyleOwner)

    // Text frames and placed art.
    TextFrameKind textKind = kPointText;
    RealPoint textAnchor{0, 0};  // point text
    Art* textPath = nullptr;     // area and path text: the path it sits in or on, outside the tree
    RealRect frame{0, 0, 0, 0};  // their bounds as the host reports them
    RealMatrix matrix{1, 0, 0, 1, 0, 0};  // text and placed art: every transformation since they were made

    // Live style: a path whose appearance is given by another art, which stands outside the tree.
    Art* derived = nullptr;  // on the path
    Art* source = nullptr;   // on the standing art

    std::map<std::string, Tag> tags;

    std::vector<Art*> Children() const;
    bool Selected() const { return (attributes & kArtSelected) != 0; }
};

struct Layer {
    bool alive = true;
    std::string title;  // exact bytes
    bool visible = true;
    bool editable = true;
    Art* root = nullptr;  // the layer's group
};

struct Swatch {
    std::string name;
    Color color;
};

struct DocumentView {
    double zoom = 1.0;
    RealPoint origin{0, 792};  // the artwork point at the view's top-left corner
    std::int32_t width = 800;  // view size in pixels
    std::int32_t height = 600;

    ViewPoint ToView(const RealPoint& artwork) const;
    RealPoint ToArtwork(const ViewPoint& view) const;
    RealRect Bounds() const;  // the visible artwork rectangle
};

struct TransformCall {
    Art* art;
    RealMatrix matrix;
    double lineScale;
    std::int32_t flags;
};

class DocumentSnapshot;

class Document {
public:
    Document();  // one layer, "Layer 1", current; one view; a few swatches
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- Layers ----
    int LayerCount() const { return static_cast<int>(layers_.size()); }
    Layer* LayerAt(int index) const;
    int IndexOf(const Layer* layer) const;  // -1 when absent
    Layer* FindLayer(const std::string& title) const;
    Layer* CurrentLayer() const { return currentLayer_; }
    void SetCurrentLayer(Layer* layer) { currentLayer_ = layer; }
    Layer* AddLayer(const std::string& title, bool visible = true, bool editable = true);  // at the bottom
    Layer* InsertLayer(Layer* base, PaintOrder order);  // the host's insertion; base null means the ends

    // ---- Art ----
    // The host's NewArt: group, path or compound path; prep null means the current layer's group.
    // Null when the placement is impossible.
    Art* NewArt(ArtType type, PaintOrder order, Art* prep);
    void Dispose(Art* art);  // with its children

    Art* AddGroup(Art* container);
    Art* AddCompoundPath(Art* container);
    // The builders of paths throw std::length_error, and add nothing, for more than kMaxPathAnchors.
    Art* AddPath(Art* container, const std::vector<RealPoint>& points, bool closed = false);  // corner anchors
    Art* AddCurve(Art* container, const std::vector<AnchorRecord>& anchors, bool closed = false);
    Art* AddPointText(Art* container, const RealPoint& anchor, const RealRect& frame);
    Art* AddAreaText(Art* container, const std::vector<AnchorRecord>& area, const RealRect& frame);
    Art* AddPathText(Art* container, const std::vector<AnchorRecord>& path, bool closed, const RealRect& frame);
    Art* AddPlacedArt(Art* container, const RealRect& frame);
    // Gives path a live style that the returned path (outside the tree) stands for.
    Art* AddDerivedPath(Art* path, const std::vector<AnchorRecord>& anchors, bool closed = false);

    // Sets the selection state of the anchors and marks the path selected (as the host does when a
    // user selects anchors); state 0 leaves the art's selected mark alone.
    void SelectAnchors(Art* path, const std::vector<int>& indices, std::int16_t state = kAnchorPointSelected);
    void SelectWhole(Art* art);  // the art selected, every anchor of its paths in state 1

    // Every art made, in the order made; dead ones too, as their handles stay valid.
    std::size_t ArtCount() const { return artCount_; }
    const Art* ArtAt(std::size_t poolIndex) const { return PoolArt(poolIndex); }

    // Whether handle names a record of this document that is alive.
    Art* FindArt(const void* handle) const;
    Layer* FindLayerRecord(const void* handle) const;

    RealRect Bounds(const Art* art, const RealMatrix* matrix = nullptr) const;  // geometric bounds
    void Transform(Art* art, const RealMatrix& matrix, double lineScale, std::int32_t flags);
    const std::vector<TransformCall>& Transforms() const { return transforms_; }

    // ---- Swatches, drawing area, views, units ----
    std::vector<std::unique_ptr<Swatch>>& Swatches() { return swatches_; }
    Swatch* AddSwatch(const std::string& name, const Color& color);
    RealRect drawingArea{0, 792, 612, 0};
    std::vector<std::unique_ptr<DocumentView>>& Views() { return views_; }  // index 0 is the current view
    DocumentView* View(int index) const;
    RulerUnit rulerUnit = RulerUnit::Points;

    // ---- Changes and undo ----
    std::uint64_t Revision() const { return revision_; }
    std::uint64_t Serial() const { return serial_; }  // tells documents apart, as addresses may not
    void Touch() { ++revision_; }  // every change of the document's content calls it
    std::shared_ptr<const DocumentSnapshot> Snapshot() const;
    bool Restore(const DocumentSnapshot& snapshot);  // false for a snapshot of another document

private:
    Art* MakeArt(ArtType type, Layer* layer);
    Art* Append(Art* container, Art* art);
    Art* MakePathArt(const std::vector<AnchorRecord>& anchors, bool closed, Layer* layer);
    Art* PoolArt(std::size_t poolIndex) const { return &artBlocks_[poolIndex / kArtBlock][poolIndex % kArtBlock]; }

    // Art records are made a block at a time: one allocation per kArtBlock records, and a handle is
    // told by the block it falls in (the adjust tools look every art up on each cursor move).
    static constexpr std::size_t kArtBlock = 1024;
    std::vector<std::unique_ptr<Art[]>> artBlocks_;  // in the order made
    struct BlockStart {
        std::uintptr_t address;
        std::size_t block;
    };
    std::vector<BlockStart> blocksByAddress_;  // sorted by address
    mutable std::size_t lastBlock_ = 0;        // in blocksByAddress_: of the art FindArt found last
    std::size_t artCount_ = 0;
    std::vector<std::unique_ptr<Layer>> layerPool_;
    std::set<const void*> layerAddresses_;
    std::vector<Layer*> layers_;  // index 0 at the top
    Layer* currentLayer_ = nullptr;
    std::vector<std::unique_ptr<Swatch>> swatches_;
    std::vector<std::unique_ptr<DocumentView>> views_;
    std::vector<TransformCall> transforms_;
    std::uint64_t revision_ = 0;
    int layersMade_ = 0;
    std::uint64_t serial_ = 0;  // tells this document's snapshots from those of one closed before
};

// The art whose style a path shows: a path of a compound path shows the compound path's, as in the
// host, which keeps one style for the compound path and its members.
Art* StyleOwner(Art* art);

// Applies matrix ([a b 0; c d 0; tx ty 1], points as rows) to a point.
RealPoint Apply(const RealMatrix& matrix, const RealPoint& point);

}  // namespace sim

namespace sim {

// The handles of the document's records are their addresses.
inline ArtHandle HandleOf(const Art* art) { return reinterpret_cast<ArtHandle>(const_cast<Art*>(art)); }
inline LayerHandle HandleOf(const Layer* layer) { return reinterpret_cast<LayerHandle>(const_cast<Layer*>(layer)); }
inline DocumentViewHandle HandleOf(const DocumentView* view) {
    return reinterpret_cast<DocumentViewHandle>(const_cast<DocumentView*>(view));
}
inline SwatchHandle HandleOf(const Swatch* swatch) {
    return reinterpret_cast<SwatchHandle>(const_cast<Swatch*>(swatch));
}

}  // namespace sim

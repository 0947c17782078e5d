// SVG files as documents of the simulated host, and documents back as SVG files.
//
// Coordinates: the host's are points with y growing upwards; an SVG user unit is what the root's
// width and height make of its viewBox (a CSS pixel, 0.75 pt, without them), and SVG's y grows
// downwards. Layers, groups, paths, text, images, selection, tags and swatches map as cli/README.md
// describes. Writing changes the input's text only where the document changed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"
#include "svg_encoding.h"

namespace kvsvg {

// Kelvane's own attributes and elements (selection, tags, swatches, locks) live in this namespace.
constexpr const char* kKelvaneNamespace = "https://kelvane.example/ns";

class SvgError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An affine map of SVG user space: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};
Affine operator*(const Affine& outer, const Affine& inner);  // inner first, then outer
RealPoint Apply(const Affine& m, const RealPoint& p);
bool IsIdentity(const Affine& m);

// The inverse of m; false when it has none (a scale of 0) or it is out of range.
bool Invert(const Affine& m, Affine* inverse);

// What an art read from an element looked like then, to tell what a run changed.
struct ReadArt {
    const sim::Art* art = nullptr;  // null: no art of this pool index was read from an element
    pugi::xml_node node;            // the element it was read from
    const sim::Art* container = nullptr;
    std::vector<std::vector<AnchorRecord>> paths;  // of a path or compound path, in artwork coordinates
    std::vector<bool> closed;
    std::int32_t attributes = 0;
    sim::SharedStyle style;  // the art's own copy, which a later change of style replaces
    std::map<std::string, sim::Tag> tags;
    RealMatrix matrix{1, 0, 0, 1, 0, 0};
    bool selected = false;
    std::vector<std::int16_t> states;  // of every anchor of its paths, in order
    // The element's coordinates (inside its own transform) and its parent's, to artwork.
    Affine inner, outer;
};

// The input and what each art and layer was read from, so that writing changes only what changed.
struct SvgSource {
    std::string bytes;                                   // the input as read, when it is not text itself
    const std::string& Input() const { return bytes.empty() ? text : bytes; }
    std::string text;                                    // the input as UTF-8, which the offsets are of
    TextEncoding encoding = TextEncoding::Utf8;          // the input's, written back when the text fits
    std::string encodingName;                            // as the input's XML declaration names it
    pugi::xml_document xml;                              // the input, parsed
    std::map<std::string, std::string, std::less<>> prefixRenames;    // input prefix -> the prefix written
    std::map<const sim::Layer*, pugi::xml_node> layers;  // empty node: a layer made for loose elements
    std::vector<ReadArt> read;  // by the art's pool index: what each art read from an element looked like
    const ReadArt* ReadOf(const sim::Art* art) const;  // null for art not read from an element
    const ReadArt& ReadAt(const sim::Art* art) const;  // throws std::out_of_range for such art
    struct ReadLayer {
        std::string title;
        bool visible = true, editable = true;
        Affine inner;  // the layer's coordinates to artwork
    };
    std::map<const sim::Layer*, ReadLayer> readLayers;
    const sim::Layer* readCurrent = nullptr;
    // Elements the plug-in does not see (clones, flowed text...) right inside a group: they move
    // with it. transform: their own, as read.
    struct PassedOver {
        pugi::xml_node node;
        const sim::Art* group;
        Affine transform;
    };
    std::vector<PassedOver> passedOver;
    const sim::Layer* unmarkedCurrent = nullptr;  // current when no layer says kv:current
    std::ptrdiff_t offsetShift = -1;  // from a node's offset_debug() to its start tag in text
    // Where each line of text ends, found on the first LineOf: a report names many elements.
    mutable std::vector<std::size_t> newlines;
    Affine base;  // user space of the root to artwork: the user unit in points, y flipped

    RealPoint ToArtwork(const RealPoint& svg) const { return Apply(base, svg); }
    RealPoint ToSvg(const RealPoint& artwork) const;
    // Where the element's start tag begins in text.
    std::size_t StartOf(const pugi::xml_node& node) const;

    // The element name with its prefix as written ("svg:rect" -> "rect", "ink:label" -> "inkscape:label").
    std::string Canonical(std::string_view name) const;
    bool HasCanonicalName(std::string_view name, std::string_view canonical) const;  // without making it
    int LineOf(const pugi::xml_node& node) const;  // 0 when unknown
    // "#id", "<line> on line 7", or "a new path" for art made after reading.
    std::string Describe(const sim::Art* art) const;
};

// Fills document, which must be as the host makes it (one empty layer), from the bytes of an SVG
// file (see svg_encoding.h): its layers, art, swatches (replacing the host's), drawing area, view
// and ruler unit. Throws SvgError with the line and element of the fault; the document is then
// incomplete and is to be dropped.
std::unique_ptr<SvgSource> ReadSvg(const std::string& text, sim::Document& document);

// The document as SVG text: the input of source with only what the document changed since it was
// read changed, in the input's encoding when every character fits it (else in UTF-8). Throws
// SvgError when a change cannot be written (a path to write under a transform with no inverse).
std::string WriteSvg(const sim::Document& document, const SvgSource* source);

// Takes the document's selection as the one read: what --select and --anchors choose for a run is
// not written into the file, only what the commands then change.
void TakeSelectionAsRead(const sim::Document& document, SvgSource& source);

// A text of the host (layer titles, tags) as UTF-8: bytes that are not UTF-8 are the plug-in's
// Japanese texts, in code page 932.
std::string HostTextToUtf8(const std::string& bytes);

// Ruler units by their short names: in, cm, pt, pc, mm, px, q.
bool ParseRulerUnit(std::string_view name, sim::RulerUnit* unit);
const char* RulerUnitName(sim::RulerUnit unit);

// Colours as SVG writes them: "#rrggbb", "none" for no colour. Greys read as the host's grey model.
std::string FormatColor(const Color& color);
bool ParseColor(std::string_view text, Color* color);  // #rgb, #rrggbb, rgb(), basic names; not "none"

}  // namespace kvsvg

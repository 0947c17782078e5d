// SVG files as documents of the simulated host, and documents back as SVG files.
//
// Coordinates: one SVG user unit is one point; the host's artwork y grows upwards and SVG's
// downwards, so artwork (h, v) is SVG (x, -y) everywhere, both ways. Layers, groups, paths, text,
// images, selection, tags and swatches map as cli/README.md describes. Transforms are applied to the
// coordinates; the written file has none on paths and groups.
#pragma once

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

inline RealPoint ToArtwork(const RealPoint& svg) {
    return RealPoint{svg.h, svg.v == 0 ? 0.0 : -svg.v};
}
inline RealPoint ToSvg(const RealPoint& artwork) {
    return RealPoint{artwork.h, artwork.v == 0 ? 0.0 : -artwork.v};
}

// What reading kept of the input so that writing gives back everything that is not artwork (ids,
// classes, definitions, metadata, text and image elements) as it was.
struct SvgSource {
    std::string text;                                    // the input as UTF-8, for line numbers
    TextEncoding encoding = TextEncoding::Utf8;          // the input's, written back when the text fits
    std::string encodingName;                            // as the input's XML declaration names it
    pugi::xml_document xml;                              // the input, parsed
    std::map<std::string, std::string> prefixRenames;    // input prefix -> the prefix written
    std::map<const sim::Art*, pugi::xml_node> elements;  // the element each art was read from
    std::map<const sim::Layer*, pugi::xml_node> layers;  // empty node: a layer made for loose elements
    // Elements that are not artwork, by the art they were found in (null: the root element).
    std::map<const sim::Art*, std::vector<pugi::xml_node>> kept;
    // Text and images: the full transform of the element, which the art's own moves then follow.
    std::map<const sim::Art*, Affine> placements;

    // The element name with its prefix as written ("svg:rect" -> "rect", "ink:label" -> "inkscape:label").
    std::string Canonical(std::string_view name) const;
    int LineOf(const pugi::xml_node& node) const;  // 0 when unknown
    // "#id", "<line> on line 7", or "a new path" for art made after reading.
    std::string Describe(const sim::Art* art) const;
};

// Fills document, which must be as the host makes it (one empty layer), from the bytes of an SVG
// file (see svg_encoding.h): its layers, art, swatches (replacing the host's), drawing area, view
// and ruler unit. Throws SvgError with the line and element of the fault; the document is then
// incomplete and is to be dropped.
std::unique_ptr<SvgSource> ReadSvg(const std::string& text, sim::Document& document);

// The document as SVG text; source (may be null) gives back what was not artwork, and the input's
// encoding when every character fits it (else the text is UTF-8).
std::string WriteSvg(const sim::Document& document, const SvgSource* source);

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

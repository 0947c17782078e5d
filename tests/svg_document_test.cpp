// SVG files as documents of the simulated host: coordinates, shapes, layers, styles, transforms,
// selection and tags read in; the same document written out and read back; faults refused. The
// writer changes only what the document changed: an unchanged document is its input byte for byte,
// a change rewrites its own element (in that element's coordinates) and nothing else; the user unit
// and the ruler unit come from the page. SVG path data: every command read into cubic anchors,
// faults refused, and written back exactly.
#include "svg_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "document.h"
#include "svg_path_data.h"

namespace {

// One user unit is one point, as the width and height make it.
std::string Svg(const std::string& body,
                const std::string& rootAttributes = "viewBox=\"0 0 200 100\" width=\"200pt\" height=\"100pt\"") {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\"\n"
           "     xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\"\n"
           "     xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\" " +
           rootAttributes + ">\n" + body + "\n</svg>\n";
}

// Numbers exactly, in hexadecimal.
std::string Hex(std::initializer_list<double> values) {
    std::string text;
    for (double value : values) {
        char number[40];
        std::snprintf(number, sizeof number, " %a", value);
        text += number;
    }
    return text + "\n";
}

void DumpArt(std::ostream& out, const sim::Art& art, int depth) {
    out << std::string(static_cast<std::size_t>(depth), ' ') << "art " << art.type << " " << art.attributes << " "
        << art.closed << art.guide << "\n";
    for (std::size_t i = 0; i < art.anchors.size(); ++i) {
        const AnchorRecord& a = art.anchors[i];
        out << " state " << art.selection[i] << " corner " << a.corner
            << Hex({a.p.h, a.p.v, a.in.h, a.in.v, a.out.h, a.out.v});
    }
    const PathStyle& s = *art.style;
    if (art.type == kPathArt || art.type == kCompoundPathArt) {
        const float* dashes = s.stroke.dashes;
        out << " fill " << s.fillPaint << kvsvg::FormatColor(s.fill.color) << s.fill.color.kind << " stroke "
            << s.strokePaint << kvsvg::FormatColor(s.stroke.color) << s.stroke.color.kind
            << Hex({s.stroke.width, s.stroke.miterLimit, static_cast<double>(s.stroke.dashCount), dashes[0],
                    dashes[1], dashes[2], dashes[3], dashes[4], dashes[5], s.stroke.dashOffset});
    }
    if (art.type == kTextFrameArt || art.type == kPlacedArt) {
        const RealRect& f = art.frame;
        out << " placed" << Hex({art.textAnchor.h, art.textAnchor.v, f.left, f.top, f.right, f.bottom});
    }
    for (const auto& [name, tag] : art.tags) out << " tag " << name << " " << tag.type << " " << tag.value << "\n";
    for (const sim::Art* child = art.firstChild; child != nullptr; child = child->next) DumpArt(out, *child, depth + 1);
}

// Everything the document holds, exactly.
std::string Dump(sim::Document& document) {
    std::ostringstream out;
    const RealRect& area = document.drawingArea;
    out << "area" << Hex({area.left, area.top, area.right, area.bottom});
    out << "unit " << kvsvg::RulerUnitName(document.rulerUnit) << "\n";
    for (const auto& swatch : document.Swatches()) {
        const Color& c = swatch->color;
        out << "swatch " << swatch->name << " kind " << c.kind
            << Hex({c.gray, c.c, c.m, c.y, c.k, c.red, c.green, c.blue, c.tint});
    }
    for (int i = 0; i < document.LayerCount(); ++i) {
        const sim::Layer* layer = document.LayerAt(i);
        out << "layer " << layer->title << " " << layer->visible << layer->editable
            << (document.CurrentLayer() == layer ? " current" : "") << "\n";
        for (const sim::Art* art = layer->root->firstChild; art != nullptr; art = art->next) DumpArt(out, *art, 1);
    }
    return out.str();
}

// Read back from what was written, the document is the same, and it is written the same again.
void ExpectReadsBackTheSame(sim::Document& document, const kvsvg::SvgSource* source) {
    const std::string written = kvsvg::WriteSvg(document, source);
    sim::Document again;
    const auto sourceAgain = kvsvg::ReadSvg(written, again);
    EXPECT_EQ(Dump(document), Dump(again)) << written;
    EXPECT_EQ(kvsvg::WriteSvg(again, sourceAgain.get()), written);
}

void ExpectPoint(const RealPoint& actual, double h, double v, const char* what, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.h, h, tolerance) << what;
    EXPECT_NEAR(actual.v, v, tolerance) << what;
}

// A drawing read into one document, its source kept for writing it back.
class SvgDocument : public ::testing::Test {
protected:
    // The art of the front layer, front-most first.
    std::vector<sim::Art*> Read(const std::string& svg) {
        source_ = kvsvg::ReadSvg(svg, document_);
        return document_.LayerAt(0)->root->Children();
    }
    std::string Written() const { return kvsvg::WriteSvg(document_, source_.get()); }
    void ExpectReadsBack() { ExpectReadsBackTheSame(document_, source_.get()); }

    sim::Document document_;
    std::unique_ptr<kvsvg::SvgSource> source_;
};

// The viewBox's y grows down the page, the document's up; shapes become cubic paths (front-most first).
TEST_F(SvgDocument, YGrowsUpAndShapesBecomeCubicPaths) {
    const auto art = Read(Svg("<line x1=\"10\" y1=\"20\" x2=\"30\" y2=\"40\"/><circle cx=\"50\" cy=\"50\" r=\"10\"/>"
                              "<ellipse cx=\"0\" cy=\"0\" rx=\"20\" ry=\"10\"/>"
                              "<rect x=\"0\" y=\"0\" width=\"40\" height=\"20\" rx=\"5\"/>"
                              "<polygon points=\"0,0 10,0 10,10\"/><polyline points=\"0 0, 10 0, 10 10\"/>"
                              "<path d=\"M0 0 L10 0 L10 10 Z M20 20 L30 20\"/>",
                              "viewBox=\"5 10 100 50\" width=\"100pt\" height=\"50pt\""));
    const RealRect& area = document_.drawingArea;
    EXPECT_TRUE(area.left == 5 && area.top == -10 && area.right == 105 && area.bottom == -60);
    ExpectPoint(document_.View(0)->origin, 5, -10, "the view's top-left corner");
    ASSERT_EQ(art.size(), 7u);
    ExpectPoint(art[6]->anchors[1].p, 30, -40, "the line's second point");
    const sim::Art& circle = *art[5];
    ASSERT_EQ(circle.anchors.size(), 4u);
    EXPECT_TRUE(circle.closed);
    ExpectPoint(circle.anchors[0].p, 60, -50, "the circle starts at its right");
    for (const AnchorRecord& anchor : circle.anchors) {
        EXPECT_FALSE(anchor.corner);
        for (const RealPoint& handle : {anchor.in, anchor.out}) {
            EXPECT_NEAR(std::hypot(handle.h - anchor.p.h, handle.v - anchor.p.v), 10 * kvsvg::kQuarterArcHandle, 1e-12);
        }
    }
    ExpectPoint(art[4]->anchors[1].p, 0, -10, "the ellipse's second anchor");
    EXPECT_EQ(art[3]->anchors.size(), 8u) << "a rounded rectangle: four sides and four arcs";
    EXPECT_GT(art[3]->anchors[0].p.v, art[3]->anchors[4].p.v) << "its top edge above its bottom edge";
    EXPECT_TRUE(art[2]->closed && art[2]->anchors.size() == 3u) << "the polygon";
    EXPECT_TRUE(!art[1]->closed && art[1]->anchors.size() == 3u) << "the polyline";
    ASSERT_EQ(art[0]->type, kCompoundPathArt) << "two subpaths in one path element";
    const std::vector<sim::Art*> subpaths = art[0]->Children();
    ASSERT_EQ(subpaths.size(), 2u);
    EXPECT_TRUE(subpaths[0]->closed);
    EXPECT_EQ(subpaths[1]->anchors.size(), 2u);

    AnchorRecord& end = art[6]->anchors[1];
    end.p = end.in = end.out = RealPoint{35, -45};
    EXPECT_NE(Written().find("<line x1=\"10\" y1=\"20\" x2=\"35\" y2=\"45\"/>"), std::string::npos) << Written();
}

TEST_F(SvgDocument, LayersGroupsAndPaintOrder) {
    Read(Svg("<line id=\"loose\" x2=\"1\"/>\n"
             "<g id=\"back\" kv:current=\"true\"><line id=\"a\" x2=\"1\"/><line id=\"b\" x2=\"2\"/></g>\n"
             "<g inkscape:label=\"Front\" style=\"display:none\" sodipodi:insensitive=\"true\">\n"
             "  <g id=\"inner\" kv:locked=\"true\" visibility=\"hidden\"><circle r=\"1\"/></g></g>"));
    ASSERT_EQ(document_.LayerCount(), 3);
    const sim::Layer* front = document_.LayerAt(0);
    EXPECT_TRUE(front->title == "Front" && !front->visible && !front->editable);
    const sim::Art* inner = front->root->firstChild;
    ASSERT_EQ(inner->type, kGroupArt);
    EXPECT_EQ(inner->attributes & (kArtLocked | kArtHidden), kArtLocked | kArtHidden);

    const sim::Layer* back = document_.LayerAt(1);
    EXPECT_TRUE(back->title == "back" && back->visible && back->editable && document_.CurrentLayer() == back);
    EXPECT_EQ(back->root->firstChild->anchors[1].p.h, 2) << "the last element of the file is the front-most";
    EXPECT_EQ(document_.LayerAt(2)->title, "Layer 1") << "loose elements before the first layer get one of their own";
}

// Inkscape marks its layers: its other top-level groups are art, its sublayers are groups, and
// the namedview names the current layer until the plug-in chooses another.
TEST_F(SvgDocument, MarkedLayersAndTheNamedCurrentLayer) {
    Read(Svg("<sodipodi:namedview id=\"view\" inkscape:current-layer=\"sub\"/>\n"
             "<g inkscape:groupmode=\"layer\" id=\"back\"><g inkscape:groupmode=\"layer\" id=\"sub\">"
             "<line x2=\"1\"/></g></g>\n"
             "<g id=\"loose\"><line x2=\"2\"/></g>\n"
             "<g inkscape:groupmode=\"layer\" id=\"front\"><line x2=\"3\"/></g>"));
    ASSERT_EQ(document_.LayerCount(), 3);
    EXPECT_EQ(document_.LayerAt(0)->title, "front");
    EXPECT_EQ(document_.LayerAt(1)->root->firstChild->type, kGroupArt) << "a group between layers is art";
    const sim::Layer* back = document_.LayerAt(2);
    EXPECT_EQ(back->root->firstChild->type, kGroupArt) << "a sublayer is a group of its layer";
    EXPECT_EQ(document_.CurrentLayer(), back) << "the named sublayer's layer";

    document_.SetCurrentLayer(document_.LayerAt(0));
    ExpectReadsBack();  // with the plug-in's choice of current layer
}

TEST_F(SvgDocument, StylesAreInheritedOverriddenAndScaled) {
    const std::vector<sim::Art*> art =  // the group is the layer
        Read(Svg("<g fill=\"red\" stroke=\"blue\" stroke-width=\"3\" color=\"#00ff00\" stroke-miterlimit=\"10\">"
                 "<path d=\"M0 0 L1 1\" stroke=\"#000\" style=\"stroke: #123456; stroke-dashoffset: 1\"/>"
                 "<path d=\"M0 0 L1 1\" fill=\"none\" stroke=\"currentColor\" stroke-dasharray=\"1, 2 3\" "
                 "transform=\"scale(2)\"/>"
                 "<path d=\"M0 0 L1 1\" stroke=\"#808080\" stroke-miterlimit=\"4\"/></g>"));
    ASSERT_EQ(art.size(), 3u);
    const PathStyle& first = *art[2]->style;
    EXPECT_TRUE(first.fillPaint && first.fill.color.kind == kThreeColor);
    EXPECT_EQ(kvsvg::FormatColor(first.fill.color), "#ff0000");
    EXPECT_EQ(kvsvg::FormatColor(first.stroke.color), "#123456") << "the style attribute wins";
    EXPECT_TRUE(first.stroke.width == 3 && first.stroke.miterLimit == 10 && first.stroke.dashOffset == 1);
    const PathStyle& second = *art[1]->style;
    EXPECT_FALSE(second.fillPaint);
    EXPECT_EQ(kvsvg::FormatColor(second.stroke.color), "#00ff00") << "currentColor";
    EXPECT_EQ(second.stroke.width, 6) << "scaled with the element";
    const float* dashes = second.stroke.dashes;
    EXPECT_TRUE(second.stroke.dashCount == 6 && dashes[0] == 2 && dashes[3] == 2 && dashes[5] == 6)
        << "an odd list is repeated, scaled";
    const PathStyle& third = *art[0]->style;
    EXPECT_EQ(third.stroke.color.kind, kGrayColor) << "equal channels are a grey";
    EXPECT_DOUBLE_EQ(third.stroke.color.gray, 1 - 128 / 255.0);
    EXPECT_EQ(third.stroke.miterLimit, 4);

    // Written out, every path states its own paint: the group's values cannot leak back in.
    ExpectReadsBack();
}

TEST_F(SvgDocument, TransformsApplyToCoordinates) {
    const auto art = Read(Svg("<g id=\"layer\"><g transform=\"translate(10 20)\"><path d=\"M0 0 L10 0\" "
                              "transform=\"matrix(1 0 0 1 5 5) scale(2), rotate(90)\"/></g>"
                              "<path d=\"M10 0 L20 0\" transform=\"rotate(180 15 0) skewX(0)\"/></g>"));
    ExpectPoint(art[0]->anchors[1].p, 10, 0, "rotated about (15, 0)");
    ExpectPoint(art[1]->firstChild->anchors[0].p, 15, -25, "group and element transforms");
    ExpectPoint(art[1]->firstChild->anchors[1].p, 15, -45, "rotate, scale, matrix, then the group's translate");
}

TEST_F(SvgDocument, SelectionFromAndToAttributes) {
    const auto art = Read(Svg("<g id=\"layer\"><path id=\"whole\" d=\"M0 0 L1 0 L1 1\" kv:selected=\"true\"/>"
                              "<path id=\"some\" d=\"M0 0 L1 0 L1 1\" kv:anchors=\"1 0 3\"/>"
                              "<path id=\"none\" d=\"M0 0 L1 0\" kv:anchors=\"0 0\" kv:selected=\"true\"/>"
                              "<g kv:selected=\"true\"><path id=\"child\" d=\"M0 0 L1 0\"/>"
                              "<path id=\"out\" d=\"M0 0 L1 0\" kv:selected=\"false\"/></g>"
                              "<path d=\"M0 0 L1 0 M5 5 L6 6\" kv:anchors=\"0 2 0 0\"/></g>"));
    using States = std::vector<std::int16_t>;
    ASSERT_EQ(art.size(), 5u);
    for (const sim::Art* selected : art) EXPECT_TRUE(selected->Selected());
    EXPECT_EQ(art[4]->selection, (States{1, 1, 1}));
    EXPECT_EQ(art[3]->selection, (States{1, 0, 3}));
    EXPECT_EQ(art[2]->selection, (States{0, 0}));
    const std::vector<sim::Art*> children = art[1]->Children();
    EXPECT_FALSE(children[0]->Selected()) << "its own kv:selected wins over the group's";
    EXPECT_EQ(children[0]->selection, (States{0, 0}));
    EXPECT_TRUE(children[1]->Selected());
    EXPECT_EQ(children[1]->selection, (States{1, 1}));
    ASSERT_EQ(art[0]->type, kCompoundPathArt);
    EXPECT_EQ(art[0]->firstChild->selection, (States{0, 2}));
    EXPECT_EQ(art[0]->lastChild->selection, (States{0, 0}));
    ExpectReadsBack();
}

// The file's swatches replace the host's, each of its kind; the ruler unit is the file's; text,
// images, guides and tags are read as the host's art of their kind.
TEST_F(SvgDocument, SwatchesTheRulerUnitAndArtOfEveryKind) {
    const std::vector<sim::Art*> art = Read(Svg(
        "<kv:swatch name=\"Black\" color=\"#000\"/><kv:swatch name=\"Sky\" color=\"#87ceeb\"/>\n"
        "<kv:swatch name=\"Pure grey\" color=\"#808080\" kind=\"rgb\"/>\n"
        "<kv:swatch name=\"Print red\" color=\"#ff0000\" kind=\"cmyk\" cmyk=\"0 1 1 0\"/>\n"
        "<kv:swatch name=\"PANTONE 185 C\" color=\"#e4002b\" kind=\"spot\" tint=\"0.5\"/>\n"
        "<g id=\"notes\">\n"
        "  <text x=\"10\" y=\"90\">Note <tspan>one</tspan><kv:tag name=\"note\">a, b</kv:tag></text>\n"
        "  <image x=\"100\" y=\"10\" width=\"40\" height=\"30\" href=\"data:image/png;base64,AAAA\"/>\n"
        "  <circle r=\"20\" kv:guide=\"true\"/>\n"
        "  <path d=\"M0 0 H9 V9 Z M2 2 H8 V8 Z\" fill-rule=\"evenodd\" display=\"none\" fill=\"url(#a) red\"/></g>",
        "viewBox=\"0 0 200 100\" width=\"200mm\" kv:units=\"mm\""));
    EXPECT_EQ(document_.rulerUnit, sim::RulerUnit::Millimeters);
    const auto& swatches = document_.Swatches();
    ASSERT_EQ(swatches.size(), 5u);
    EXPECT_EQ(swatches[2]->color.kind, kThreeColor);
    EXPECT_EQ(swatches[3]->color.kind, kFourColor);
    EXPECT_EQ(swatches[4]->color.kind, kCustomColor);
    ASSERT_EQ(art.size(), 4u);
    EXPECT_TRUE(art[0]->type == kCompoundPathArt && (art[0]->attributes & kArtHidden) != 0);
    EXPECT_EQ(kvsvg::FormatColor(art[0]->style->fill.color), "#ff0000") << "a pattern's fallback colour";
    EXPECT_TRUE(art[1]->type == kPathArt && art[1]->guide);
    EXPECT_EQ(art[2]->type, kPlacedArt);
    EXPECT_EQ(art[3]->type, kTextFrameArt);
    EXPECT_EQ(art[3]->tags.at("note").value, "a, b");
}

// Turned a quarter anticlockwise about the origin: the turn is written whole, not as a move only.
TEST_F(SvgDocument, MovedTextIsWrittenWhereItNowIs) {
    sim::Art* text = Read(Svg("<text x=\"10\" y=\"20\" transform=\"scale(2)\">T</text>"))[0];
    ExpectPoint(text->textAnchor, 20, -40, "the text's origin, transformed");
    document_.Transform(text, RealMatrix{0, 1, -1, 0, 0, 0}, 1, 0);
    const std::string written = Written();
    EXPECT_NE(written.find("transform=\"matrix(0 -2 2 0 0 0)\""), std::string::npos) << written;
    sim::Document again;
    kvsvg::ReadSvg(written, again);
    ExpectPoint(again.LayerAt(0)->root->firstChild->textAnchor, 40, 20, "read back where it now is");
}

// depth groups around inner.
std::string Nested(int depth, const std::string& inner) {
    std::string groups;
    for (int i = 0; i < depth; ++i) groups += "<g>";
    groups += inner;
    for (int i = 0; i < depth; ++i) groups += "</g>";
    return groups;
}

TEST_F(SvgDocument, ExtremeButRepresentableAndDeeplyNestedValuesReadBackAsWritten) {
    sim::Document arc;
    const auto source = kvsvg::ReadSvg(Svg("<path d=\"M0,0a25,25 0 1,0 50,1e79 25,25 0 1,0 -50,0Z\"/>"), arc);
    ExpectReadsBackTheSame(arc, source.get());
    Read(Svg("<path d=\"M0 0 L1 1\"/>", "viewBox=\"-50 -50 300 207777777770\""));
    ExpectReadsBack();
    EXPECT_EQ(document_.View(0)->width, 225) << "300 user units of 0.75 pt";
    EXPECT_EQ(document_.View(0)->height, INT32_MAX) << "a page taller than a window can be";

    // The root, 254 groups and the path: 256 levels are read and written back; one more is refused
    // (FaultsNameTheLineAndTheElement) before it could exhaust the stack.
    sim::Document nested;
    const auto nestedSource = kvsvg::ReadSvg(Svg(Nested(254, "<path d=\"M0 0 L1 1\"/>")), nested);
    ExpectReadsBackTheSame(nested, nestedSource.get());
}

TEST_F(SvgDocument, FaultsNameTheLineAndTheElement) {
    const auto line = [](const std::string& attributes) { return Svg("<path d=\"M0 0 L1 1\" " + attributes + "/>"); };
    const std::pair<std::string, const char*> cases[] = {
        {"<svg><g></svg>", "line 1, column 11: malformed XML"},
        {"\x1f\x8b\x08\x00", "gzip-compressed data (an .svgz file)"},
        {std::string("\xff\xfe<\0s\0", 6), "UTF-16 or UTF-32 text"},
        {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><svg/>", "names the encoding Shift_JIS"},
        {Svg("<title>caf\xe9</title>"), "line 4, column 11: the byte 0xe9 is not UTF-8"},
        {Svg("<g>\n<path id=\"p\" d=\"M0 0 L5\"/></g>"), "line 5: <path> id=\"p\": bad path data"},
        {"<html/>", "not an SVG file"}, {Svg("<path d=\"\"/>"), "no outline"},
        {line("kv:anchors=\"1 1 1\""), "kv:anchors gives 3 states for 2 anchors"},
        {line("kv:anchors=\"1 5\""), "0 to 4"}, {line("fill=\"blurple\""), "\"blurple\" is not a colour"},
        {line("transform=\"skew(3)\""), "unknown transform"}, {line("kv:selected=\"maybe\""), "neither true nor false"},
        {line("transform=\"translate(1 2 3)\""), "wrong number of values"},
        {line("stroke-dasharray=\"1 2 3 4 5 6 7 8\""), "more than 6 entries"},
        {Svg("<rect width=\"-1\" height=\"1\"/>"), "must not be negative"},
        {Svg("<g><kv:swatch name=\"x\" color=\"#fff\"/></g>"), "directly inside the <svg>"},
        {Svg("<kv:frob/>"), "not supported"}, {Svg("", "viewBox=\"0 0 0 10\""), "viewBox"},
        {"<svg xmlns:kv=\"urn:other\"/>", "bound to urn:other"},
        {line("style=\"fill:none\" style=\"stroke:blurple\""), "the attribute style is given twice"},
        // Values whose transformed or converted result is beyond range could not be written back.
        {Svg("<path d=\"M1e300 0 L0 0\" transform=\"scale(1e10)\"/>"), "the shape's coordinates are out of range"},
        {Svg("<text transform=\"scale(1e300) scale(1e300)\">T</text>"), "the transform, with those around it"},
        {line("stroke-width=\"1e300\" transform=\"scale(1e200)\""), "the stroke width is out of range"},
        {line("stroke-dasharray=\"1e300 1\""), "a dash length is out of range"},
        {Svg("<image x=\"1e308\" width=\"1e308\" height=\"1\"/>"), "the image's position or size is out of range"},
        {Svg("<text x=\"1e308\" font-size=\"1e308\">TT</text>"), "the text's position or size is out of range"},
        {Svg("", "viewBox=\"1e20 1e20 1 1\""), "out of range"},
        {Svg("", "width=\"1e308in\" height=\"1\""), "is not a length"},
        {Svg("", "width=\"1e308\" viewBox=\"0 0 1e-300 1\""), "the page's scale is out of range"},
        {Svg(Nested(255, "<path d=\"M0 0 L1 1\"/>")), "nested more than 256 deep"},
    };
    for (const auto& [text, expected] : cases) {
        sim::Document document;
        try {
            kvsvg::ReadSvg(text, document);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const kvsvg::SvgError& error) {
            EXPECT_NE(std::string(error.what()).find(expected), std::string::npos)
                << "message: " << error.what() << "\nexpected: " << expected;
        }
    }
}

// ---- Path data ----

using kvsvg::ParsePathData;
using kvsvg::PathDataError;
using kvsvg::Subpath;

bool SameAnchors(const std::vector<Subpath>& a, const std::vector<Subpath>& b) {
    const auto same = [](const RealPoint& p, const RealPoint& q) {
        return std::fabs(p.h - q.h) < 1e-9 && std::fabs(p.v - q.v) < 1e-9;
    };
    const auto sameAnchor = [&](const AnchorRecord& x, const AnchorRecord& y) {
        return same(x.p, y.p) && same(x.in, y.in) && same(x.out, y.out) && x.corner == y.corner;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](const Subpath& x, const Subpath& y) {
        return x.closed == y.closed &&
               std::equal(x.anchors.begin(), x.anchors.end(), y.anchors.begin(), y.anchors.end(), sameAnchor);
    });
}

TEST(SvgPathData, RelativeCommandsGiveTheSameAnchorsAsAbsoluteOnes) {
    const std::vector<Subpath> absolute =
        ParsePathData("M10 20 L30 20 H50 V60 C60 60 70 70 70 80 S80 100 90 100 Q100 100 100 110 T120 120 Z");
    const std::vector<Subpath> relative =
        ParsePathData("m10 20 l20 0 h20 v40 c10 0 20 10 20 20 s10 20 20 20 q10 0 10 10 t20 10 z");
    ASSERT_EQ(absolute.size(), 1u);
    EXPECT_TRUE(absolute[0].closed);
    EXPECT_TRUE(SameAnchors(absolute, relative));

    const std::vector<AnchorRecord>& a = absolute[0].anchors;
    ASSERT_EQ(a.size(), 8u);
    ExpectPoint(a[2].p, 50, 20, "H keeps y");
    ExpectPoint(a[3].p, 50, 60, "V keeps x");
    ExpectPoint(a[3].out, 60, 60, "C first control on the previous anchor");
    ExpectPoint(a[4].in, 70, 70, "C second control");
    ExpectPoint(a[4].out, 70, 90, "S reflects the previous second control");
    // Q(100,100) from (90,100) to (100,110): cubic controls at two thirds towards the control.
    ExpectPoint(a[5].out, 90 + 2.0 / 3 * 10, 100, "Q as a cubic, first control");
    ExpectPoint(a[6].in, 100, 110 - 2.0 / 3 * 10, "Q as a cubic, second control");
    // T reflects the quadratic control (100,100) through (100,110): (100,120).
    ExpectPoint(a[6].out, 100, 110 + 2.0 / 3 * 10, "T reflects the quadratic control");
    EXPECT_TRUE(a[0].corner);
    EXPECT_FALSE(a[4].corner) << "S makes a smooth anchor";
    // Without a curve before them, S and T take the current point as the reflected control.
    ExpectPoint(ParsePathData("M0 0 L10 0 S20 10 30 10")[0].anchors[1].out, 10, 0, "S after a line");
    ExpectPoint(ParsePathData("M0 0 C0 5 5 10 10 10 T20 20")[0].anchors[1].out, 10, 10, "T after a cubic");
}

TEST(SvgPathData, ArcsBecomeQuarterCubicsWithCircleHandlesAndHugeOnesAreNotSquared) {
    // From (0,0) to (100,0) with radius 50: a half circle through (50,-50) (sweep 1) or (50,50).
    for (int sweep : {0, 1}) {
        const std::vector<Subpath> arc = ParsePathData("M0 0 A50 50 0 0 " + std::to_string(sweep) + " 100 0");
        ASSERT_EQ(arc[0].anchors.size(), 3u) << "two quarter pieces";
        const double v = sweep == 1 ? -50 : 50;
        ExpectPoint(arc[0].anchors[1].p, 50, v, "the middle of the half circle");
        ExpectPoint(arc[0].anchors[2].p, 100, 0, "the arc ends exactly on its end point");
        // The handle's constant is rounded to ten digits.
        ExpectPoint(arc[0].anchors[0].out, 0, v * kvsvg::kQuarterArcHandle, "quarter-circle handle", 1e-6);
        ExpectPoint(arc[0].anchors[1].in, 50 - 50 * kvsvg::kQuarterArcHandle, v, "quarter-circle handle", 1e-6);
        EXPECT_FALSE(arc[0].anchors[1].corner);
    }
    // Radii too small for the end points grow until they fit: the same half circle.
    ExpectPoint(ParsePathData("M0 0 A10 10 0 0 1 100 0")[0].anchors[1].p, 50, -50, "radii scaled up");
    // The large-arc flag takes the long way round: three quarters of a circle in three pieces.
    const std::vector<Subpath> large = ParsePathData("M50 0 a50 50 0 1 0 -50 50");
    ASSERT_EQ(large[0].anchors.size(), 4u);
    ExpectPoint(large[0].anchors.back().p, 0, 50, "relative arc end");
    // A zero radius makes a straight line; equal end points no segment at all.
    const std::vector<Subpath> flat = ParsePathData("M0 0 A0 5 0 0 1 10 0 A5 5 0 0 1 10 0");
    ASSERT_EQ(flat[0].anchors.size(), 2u);
    ExpectPoint(flat[0].anchors[0].out, 0, 0, "no handle on a straight arc");
    // A half circle of radius 1e200: its squares would overflow, its anchors do not.
    const std::vector<Subpath> huge = ParsePathData("M1e200 0 A1e200 1e200 0 0 1 -1e200 0");
    ASSERT_EQ(huge[0].anchors.size(), 3u);
    EXPECT_NEAR(huge[0].anchors[1].p.h / 1e200, 0, 1e-9);
    EXPECT_NEAR(huge[0].anchors[1].p.v / 1e200, 1, 1e-9);
}

TEST(SvgPathData, ImplicitRepeatsAndCompactNumbers) {
    // Pairs after a moveto are linetos, relative after m.
    EXPECT_EQ(ParsePathData("M0 0 10 0 10 10")[0].anchors.size(), 3u);
    ExpectPoint(ParsePathData("m1 1 2 2")[0].anchors[1].p, 3, 3, "relative implicit lineto");
    const std::vector<Subpath> curves = ParsePathData("M0 0c1 1 2 2 3 3 1 1 2 2 3 3");
    ExpectPoint(curves[0].anchors[2].p, 6, 6, "a repeated relative curve starts at the previous end");
    // Signs and points separate numbers; exponents; arc flags without separators.
    const std::vector<Subpath> compact = ParsePathData("M.5.5L-1e1-2E0a1 1 0 01-5-5");
    ExpectPoint(compact[0].anchors[0].p, 0.5, 0.5, "numbers run together");
    ExpectPoint(compact[0].anchors[1].p, -10, -2, "exponents");
    ExpectPoint(compact[0].anchors.back().p, -15, -7, "flags without separators");
}

TEST(SvgPathData, SubpathsClosingAndMoving) {
    // Ending on the start merges the last anchor into the first, keeping its in handle.
    const std::vector<Subpath> merged = ParsePathData("M0 0 L10 0 C10 10 5 15 0 0 Z");
    ASSERT_EQ(merged[0].anchors.size(), 2u);
    ExpectPoint(merged[0].anchors[0].in, 5, 15, "the closing curve's handle");
    // Drawing after Z starts a new subpath at the closed one's start.
    const std::vector<Subpath> after = ParsePathData("M1 1 L10 1 L10 10 Z l5 5");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[0].closed);
    EXPECT_EQ(after[0].anchors.size(), 3u);
    ExpectPoint(after[1].anchors[0].p, 1, 1, "new subpath at the start");
    ExpectPoint(after[1].anchors[1].p, 6, 6, "relative to the start");
    // A subpath that only moves is dropped, unless it is all there is.
    EXPECT_EQ(ParsePathData("M0 0 M5 5 L6 6").size(), 1u);
    EXPECT_EQ(ParsePathData("M5 5")[0].anchors.size(), 1u);
    EXPECT_TRUE(ParsePathData("").empty());
    EXPECT_TRUE(ParsePathData("  \n").empty());
}

TEST(SvgPathData, MalformedDataAndPointsBeyondRangeAreRefused) {
    // The data, a part of the message and where the fault is (0: anywhere).
    const std::tuple<const char*, const char*, std::size_t> bad[] = {
        {"L10 10", "moveto", 0}, {"M10", "", 0},       {"M10 10 L", "", 0},           {"M10,,10", "", 0},
        {"M10 10 Z 5", "", 0},   {"M1e 2", "", 0},     {"M0 0 A1 1 0 2 1 5 5", "", 0}, {"M0 0 L . 5", "", 0},
        {"M0 0 L1 1e999", "out of range", 0},          {"M0 0 L5 5 X", "'X'", 10},
        {"M1e308 0 l1e308 0", "out of range", 0},  // a relative step
        {"M-1e308 0 C0 0 1e308 0 1e308 0 s-1e308 0 0 0", "out of range", 0},  // a reflected handle
        {"M0 0 A1e-300 1 0 0 1 1e10 0", "out of range", 0},  // radii that would have to grow beyond range
    };
    for (const auto& [data, message, offset] : bad) {
        try {
            ParsePathData(data);
            ADD_FAILURE() << "accepted: " << data;
        } catch (const PathDataError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << data << ": " << error.what();
            EXPECT_TRUE(offset == 0 || error.Offset() == offset) << "offset " << error.Offset();
        }
    }
}

TEST(SvgPathData, WrittenDataReadsBackToTheSameAnchors) {
    const char* cases[] = {
        "M0 0 L10 0 L10 10 Z",                       // straight closing
        "M0 0 L10 0 C10 10 5 15 0 0 Z",              // curved closing
        "M0 0 L10 0 L10 10 L0 0 L0 0 Z",             // last anchor on the first, closing straight
        "M5 5 Z M1 2 C3 4 5 6 7 8",                  // one-anchor closed subpath, then an open curve
        "M0.1 0.2 L0.30000000000000004 1e-300 H-0",  // numbers that need every digit
    };
    for (const char* data : cases) {
        const std::vector<Subpath> read = ParsePathData(data);
        const std::string written = kvsvg::FormatPathData(read);
        EXPECT_TRUE(SameAnchors(read, ParsePathData(written))) << data << " -> " << written;
    }
    // Straight closing with the last anchor elsewhere is written as a bare Z; "-0" as "0".
    EXPECT_EQ(kvsvg::FormatPathData(ParsePathData("M0 0 L10 -0 L10 10 z")), "M 0 0 L 10 0 L 10 10 Z");
}

TEST(SvgPathData, NumbersAreWrittenAsToCharsWritesThem) {
    // Where plain and scientific notation are about as long, and round numbers; then random ones of
    // twenty magnitudes: short decimals, as drawings have them, and doubles of every digit.
    std::vector<double> values{1e5, 1e6, 123e6, 1e-4, 12e-5, 5e-5, 1e-5, 9.9999999999999999, 0.1, 1.0 / 3};
    std::mt19937_64 random(1);
    for (int i = 0; i < 200; ++i) {
        const double scale = std::pow(10.0, i % 20 - 12);
        values.push_back(static_cast<double>(random() % 100000000) * scale);
        values.push_back(-std::uniform_real_distribution<double>(0.1, 1)(random) * scale);
    }
    for (const double value : values) {
        char text[32];
        EXPECT_EQ(kvsvg::FormatNumber(value), std::string(text, std::to_chars(text, text + sizeof text, value).ptr));
    }
}

// ---- The writer ----

sim::Art* Front(sim::Document& document) { return document.LayerAt(0)->root->firstChild; }

void Move(sim::Art* path, std::size_t anchor, double h, double v) {
    AnchorRecord& a = path->anchors[anchor];
    a.p = a.in = a.out = RealPoint{h, v};
}

void Translate(sim::Art* path, double dh, double dv) {
    for (AnchorRecord& a : path->anchors) {
        for (RealPoint* p : {&a.p, &a.in, &a.out}) *p = RealPoint{p->h + dh, p->v + dv};
    }
}

TEST(SvgWriter, AnUnchangedDocumentIsItsInputByteForByte) {
    const std::string inputs[] = {
        // A DOCTYPE with entities used in attributes, a processing instruction and comments.
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\" [\n"
        "  <!ENTITY ns_extend \"http://ns.adobe.com/Extensibility/1.0/\">\n  <!ENTITY st0 \"fill:#f00;\">\n]>\n"
        "<?xml-stylesheet href=\"a.css\" type=\"text/css\"?>\n<!-- made by hand -->\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:x=\"&ns_extend;\" viewBox=\"0 0 10 10\">\n"
        "\t<path style=\"&st0;\" d=\"M0,0 L1,1\" /><!-- after -->\n</svg>",
        // ISO-8859-1, CRLF line ends, single quotes, spaces around '='.
        "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<svg xmlns='http://www.w3.org/2000/svg'>\r\n"
        "  <title>caf\xe9</title><line x1 = '0' x2 = '1in' />\r\n</svg>\r\n",
        // A byte order mark; text with preserved spaces, a stylesheet, gradients and clip paths.
        "\xef\xbb\xbf<svg xmlns=\"http://www.w3.org/2000/svg\"><style><![CDATA[ .a { fill: red } ]]></style>\n"
        "<defs><linearGradient id=\"g\"><stop offset=\"0\"/></linearGradient><clipPath id=\"c\"><rect "
        "width=\"5\" height=\"5\"/></clipPath></defs>\n"
        "<text xml:space=\"preserve\" x=\"1\" y=\"2\">  two  spaces </text>\n"
        "<path d=\"M0 0 L5 5\" style=\"fill:url(#g);stroke:#000\" clip-path=\"url(#c)\"/></svg>",
        // Elements Kelvane does not draw with, kept as they are; a document in a prefix.
        "<svg:svg xmlns:svg=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
        "<svg:use xlink:href=\"#p\"/><svg:switch><svg:foreignObject/></svg:switch><svg:a href=\"#\">"
        "<svg:path id=\"p\" d=\"M0 0 H3\"/></svg:a><svg:svg width=\"3\"/><svg:flowRoot/><svg:image "
        "width=\"2\" height=\"2\"/></svg:svg>",
    };
    for (const std::string& input : inputs) {
        sim::Document document;
        const auto source = kvsvg::ReadSvg(input, document);
        EXPECT_EQ(kvsvg::WriteSvg(document, source.get()), input);
    }
}

TEST(SvgWriter, AChangeRewritesOnlyItsElement) {
    // What the case shows, the drawing, its change and the drawing written.
    const std::tuple<const char*, std::string, std::function<void(sim::Document&)>, std::string> cases[] = {
        {"a polygon whose corners moved stays a polygon",
         "<polygon id=\"t\" points=\"0,0 10,0 10,10\" fill=\"red\"/>\n",
         [](sim::Document& d) { Move(Front(d), 2, 20, -10); },
         "<polygon id=\"t\" points=\"0,0 10,0 20,10\" fill=\"red\"/>\n"},
        {"a moved rectangle stays a rectangle", "<rect id=\"r\" x=\"1\" y=\"2\" width=\"3\" height=\"4\"/>\n",
         [](sim::Document& d) { Translate(Front(d), 10, -10); },
         "<rect id=\"r\" x=\"11\" y=\"12\" width=\"3\" height=\"4\"/>\n"},
        {"a moved rounded rectangle stays one, its one radius standing for both",
         "<rect x=\"0\" y=\"0\" width=\"10\" height=\"8\" rx=\"2\"/>\n",
         [](sim::Document& d) { Translate(Front(d), 1, 0); },
         "<rect x=\"1\" y=\"0\" width=\"10\" height=\"8\" rx=\"2\"/>\n"},
        {"a rectangle with a corner moved becomes a path, keeping its id and other attributes",
         "<rect id=\"r\" class=\"k\" x=\"0\" y=\"0\" width=\"10\" height=\"10\" rx=\"0\"/>\n",
         [](sim::Document& d) { Move(Front(d), 2, 20, -20); },
         "<path id=\"r\" class=\"k\" d=\"M 0 0 L 10 0 L 20 20 L 0 10 Z\"/>\n"},
        {"a moved circle stays a circle", "<circle cx=\"5\" cy=\"5\" r=\"2\">\n</circle>\n",
         [](sim::Document& d) { Translate(Front(d), 1, 0); }, "<circle cx=\"6\" cy=\"5\" r=\"2\">\n</circle>\n"},
        {"a path under transforms is written in its own coordinates, its transform kept",
         "<g transform=\"translate(10 0)\">\n  <path d=\"M0 0 L1 0\" transform=\"scale(2)\"/>\n</g>\n",
         [](sim::Document& d) { Move(Front(d), 1, 30, -4); },
         "<g transform=\"translate(10 0)\">\n  <path d=\"M 0 0 L 10 2\" transform=\"scale(2)\"/>\n</g>\n"},
        {"a deleted element ends where its markup ends, whatever its attributes, comments and CDATA hold",
         "<g><g a=\"x>y\" b='/>'><!-- <p> --><![CDATA[<q>]]><?pi <r>?><h/></g ><path d=\"M0 0 H1\"/></g>\n",
         [](sim::Document& d) { d.Dispose(Front(d)->next); },
         "<g><path d=\"M0 0 H1\"/></g>\n"},
        {"deleted art goes with its line",
         "<g id=\"l\">\n  <path id=\"a\" d=\"M0 0 H1\"/>\n  <path d=\"M0 0 H2\"/>\n</g>\n",
         [](sim::Document& d) { d.Dispose(d.LayerAt(0)->root->lastChild); },
         "<g id=\"l\">\n  <path d=\"M0 0 H2\"/>\n</g>\n"},
        {"new art (here the back-most) goes into its layer, indented like its siblings, in its coordinates",
         "<g id=\"l\" transform=\"translate(10 0) scale(2)\">\n    <path d=\"M0 0 H1\"/>\n</g>\n",
         [](sim::Document& d) {
             sim::Art* path = d.AddPath(d.LayerAt(0)->root, {{10, 0}, {30, -20}});
             PathStyle style = *path->style;
             style.fillPaint = false;
             style.strokePaint = true;
             style.stroke.width = 2;
             path->style = style;
         },
         "<g id=\"l\" transform=\"translate(10 0) scale(2)\">\n    <path d=\"M 0 0 L 10 10\" fill=\"none\" "
         "stroke=\"#000000\" stroke-width=\"1\" stroke-miterlimit=\"4\" stroke-dasharray=\"none\" "
         "stroke-dashoffset=\"0\"/>\n    <path d=\"M0 0 H1\"/>\n</g>\n"},
        {"a selection mark only where the selection changed", "<path id=\"a\" d=\"M0 0 H1\"/><path d=\"M0 0 H2\"/>\n",
         [](sim::Document& d) { d.SelectWhole(Front(d)->next); },
         "<path id=\"a\" d=\"M0 0 H1\" kv:selected=\"true\"/><path d=\"M0 0 H2\"/>\n"},
        {"a new tag opens an empty element", "<g>\n  <path d=\"M0 0 H1\"/>\n</g>\n",
         [](sim::Document& d) { Front(d)->tags["note"] = sim::Tag{"string", "a<b"}; },
         "<g>\n  <path d=\"M0 0 H1\">\n    <kv:tag name=\"note\" type=\"string\">a&lt;b</kv:tag>\n  </path>\n</g>\n"},
        {"a clone in a group moves as the group moved, its own transform inside the move",
         "<g><g transform=\"scale(2)\"><path d=\"M0 0 H1\"/><use href=\"#a\" transform=\"scale(3)\"/></g></g>\n",
         [](sim::Document& d) { d.Transform(Front(d), RealMatrix{1, 0, 0, 1, 4, -6}, 1, 0); },
         "<g><g transform=\"scale(2)\"><path d=\"M 2 3 L 3 3\"/><use href=\"#a\" transform=\"matrix(3 0 0 3 2 "
         "3)\"/></g></g>\n"},
    };
    for (const auto& [what, body, change, expected] : cases) {
        sim::Document document;
        const auto source = kvsvg::ReadSvg(Svg(body), document);
        change(document);
        EXPECT_EQ(kvsvg::WriteSvg(document, source.get()), Svg(expected)) << what;
    }
}

TEST_F(SvgDocument, ALatin1FileStaysLatin1UntilANewLayerIsNamedBeyondIt) {
    const std::string input =
        "<?xml version=\"1.0\" encoding=\"latin1\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
        "  <g id=\"a\"><title>\xe9t\xe9</title><line x2=\"1\"/><desc>\xff</desc></g>\n</svg>\n";
    Move(Read(input)[0], 1, 1.5, 0);
    EXPECT_EQ(Written(),
              "<?xml version=\"1.0\" encoding=\"latin1\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
              "  <g id=\"a\"><title>\xe9t\xe9</title><line x2=\"2\"/><desc>\xff</desc></g>\n</svg>\n");

    sim::Layer* layer = document_.InsertLayer(nullptr, kPlaceAbove);
    layer->title = "\xe6\x97\xa5";
    document_.AddPath(layer->root, {{0, 0}, {1, 0}});
    const std::string written = Written();
    EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << written;
    EXPECT_NE(
        written.find("<desc>\xc3\xbf</desc></g>\n  <g inkscape:groupmode=\"layer\" inkscape:label=\"\xe6\x97\xa5\">"),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""), std::string::npos)
        << "the prefix it uses is declared";
}

TEST_F(SvgDocument, APathUnderAScaleOfZeroIsNotWrittenFlat) {
    Move(Read(Svg("<g transform=\"scale(0)\"><path id=\"p\" d=\"M0 0 H1\"/></g>"))[0], 1, 5, 5);
    try {
        Written();
        ADD_FAILURE() << "written";
    } catch (const kvsvg::SvgError& error) {
        EXPECT_NE(std::string(error.what()).find("#p changed, but the transforms above it cannot be undone"),
                  std::string::npos)
            << error.what();
    }
}

TEST(SvgWriter, UnitsAsTheDocumentSays) {
    // The root's attributes, the points of a user unit and the ruler unit.
    const std::tuple<std::string, double, sim::RulerUnit> cases[] = {
        {"", 0.75, sim::RulerUnit::Points},  // CSS pixels, which the host's point-sized pixel would mislabel
        {"width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\"", 72 / 25.4, sim::RulerUnit::Millimeters},
        {"width=\"2in\" viewBox=\"0 0 144 10\"", 1, sim::RulerUnit::Inches},
        {"width=\"400\" height=\"400\" viewBox=\"0 0 200 100\"", 1.5, sim::RulerUnit::Points},
        {"width=\"10cm\" viewBox=\"0 0 10 10\"><sodipodi:namedview inkscape:document-units=\"q\"/", 72 / 2.54,
         sim::RulerUnit::Q},
        {"width=\"10cm\" kv:units=\"pc\"", 0.75, sim::RulerUnit::Picas},
    };
    for (const auto& [root, pointsPerUnit, ruler] : cases) {
        const std::string input = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" " +
                                  root + "><line x2=\"1in\"/></svg>";
        sim::Document document;
        kvsvg::ReadSvg(input, document);
        EXPECT_NEAR(Front(document)->anchors[1].p.h, 96 * pointsPerUnit, 1e-9) << root;
        EXPECT_EQ(document.rulerUnit, ruler) << root;
    }
}

}  // namespace

// kelvane's SVG writer changes only what the document changed: an unchanged document is its input
// byte for byte, a change rewrites its own element (in that element's coordinates) and nothing
// else; the user unit and the ruler unit come from the page.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "document.h"
#include "svg_document.h"

namespace {

const std::string kRoot =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\"\n"
    "     xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"200pt\" height=\"100pt\" "
    "viewBox=\"0 0 200 100\">\n";

std::string Drawing(const std::string& body) {
    return kRoot + body + "</svg>\n";
}

sim::Art* Front(sim::Document& document, int layer = 0) {
    return document.LayerAt(layer)->root->firstChild;
}

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
    const struct {
        const char* what;
        std::string body;
        std::function<void(sim::Document&)> change;
        std::string expected;
    } cases[] = {
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
    for (const auto& c : cases) {
        sim::Document document;
        const auto source = kvsvg::ReadSvg(Drawing(c.body), document);
        c.change(document);
        EXPECT_EQ(kvsvg::WriteSvg(document, source.get()), Drawing(c.expected)) << c.what;
    }
}

TEST(SvgWriter, ALatin1FileStaysLatin1UntilANewLayerIsNamedBeyondIt) {
    const std::string input =
        "<?xml version=\"1.0\" encoding=\"latin1\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
        "  <g id=\"a\"><title>\xe9t\xe9</title><line x2=\"1\"/><desc>\xff</desc></g>\n</svg>\n";
    sim::Document document;
    const auto source = kvsvg::ReadSvg(input, document);
    Move(Front(document), 1, 1.5, 0);
    EXPECT_EQ(kvsvg::WriteSvg(document, source.get()),
              "<?xml version=\"1.0\" encoding=\"latin1\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\">\n"
              "  <g id=\"a\"><title>\xe9t\xe9</title><line x2=\"2\"/><desc>\xff</desc></g>\n</svg>\n");

    sim::Layer* layer = document.InsertLayer(nullptr, kPlaceAbove);
    layer->title = "\xe6\x97\xa5";
    document.AddPath(layer->root, {{0, 0}, {1, 0}});
    const std::string written = kvsvg::WriteSvg(document, source.get());
    EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << written;
    EXPECT_NE(
        written.find("<desc>\xc3\xbf</desc></g>\n  <g inkscape:groupmode=\"layer\" inkscape:label=\"\xe6\x97\xa5\">"),
        std::string::npos)
        << written;
    EXPECT_NE(written.find("xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\""), std::string::npos)
        << "the prefix it uses is declared";
}

TEST(SvgWriter, APathUnderAScaleOfZeroIsNotWrittenFlat) {
    sim::Document document;
    const auto source =
        kvsvg::ReadSvg(Drawing("<g transform=\"scale(0)\"><path id=\"p\" d=\"M0 0 H1\"/></g>"), document);
    Move(Front(document), 1, 5, 5);
    try {
        kvsvg::WriteSvg(document, source.get());
        ADD_FAILURE() << "written";
    } catch (const kvsvg::SvgError& error) {
        EXPECT_NE(std::string(error.what()).find("#p changed, but the transforms above it cannot be undone"),
                  std::string::npos)
            << error.what();
    }
}

TEST(SvgWriter, UnitsAsTheDocumentSays) {
    const struct {
        std::string root;
        double pointsPerUnit;
        sim::RulerUnit ruler;
    } cases[] = {
        {"", 0.75, sim::RulerUnit::Points},  // CSS pixels, which the host's point-sized pixel would mislabel
        {"width=\"210mm\" height=\"297mm\" viewBox=\"0 0 210 297\"", 72 / 25.4, sim::RulerUnit::Millimeters},
        {"width=\"100pt\" height=\"50pt\" viewBox=\"0 0 200 100\"", 0.5, sim::RulerUnit::Points},
        {"width=\"2in\" viewBox=\"0 0 144 10\"", 1, sim::RulerUnit::Inches},
        {"width=\"400\" height=\"400\" viewBox=\"0 0 200 100\"", 1.5, sim::RulerUnit::Points},
        {"width=\"100%\" viewBox=\"0 0 200 100\"", 0.75, sim::RulerUnit::Points},
        {"width=\"400\"><sodipodi:namedview inkscape:document-units=\"px\"/", 0.75, sim::RulerUnit::Points},
        {"width=\"10cm\" viewBox=\"0 0 10 10\"><sodipodi:namedview inkscape:document-units=\"q\"/", 72 / 2.54,
         sim::RulerUnit::Q},
        {"width=\"10cm\" kv:units=\"pc\"", 0.75, sim::RulerUnit::Picas},
    };
    for (const auto& c : cases) {
        const std::string input = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" " +
                                  c.root + "><line x2=\"1in\"/></svg>";
        sim::Document document;
        kvsvg::ReadSvg(input, document);
        EXPECT_NEAR(Front(document)->anchors[1].p.h, 96 * c.pointsPerUnit, 1e-9) << c.root;
        EXPECT_EQ(document.rulerUnit, c.ruler) << c.root;
    }
}

}  // namespace

// Elements found in the text as written, and changes spliced into it.
#include "svg_splice.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(SvgSplice, ElementsEndWhereTheirMarkupEnds) {
    struct Case {
        std::string text;  // the element starts at 0 and ends before "|"
    };
    const Case cases[] = {
        {"<path d='M0 0'/>|"},
        {"<g a=\"x>y\" b='/>'><!-- <p> --><![CDATA[<q>]]><?pi <r>?><h/></g>|<g/>"},
        {"<g><g><g/></g>\n</g >|"},
        {"<text xml:space=\"preserve\">  a <tspan>b</tspan> </text>|"},
    };
    for (const Case& c : cases) {
        const kvsvg::StartTag tag = kvsvg::ReadStartTag(c.text, 0);
        EXPECT_EQ(kvsvg::ElementEnd(c.text, tag), c.text.find('|')) << c.text;
    }
    const kvsvg::StartTag tag = kvsvg::ReadStartTag("<svg:path  d = 'M0'\n\tid=\"a\" />", 0);
    EXPECT_EQ(tag.name, "svg:path");
    ASSERT_EQ(tag.attributes.size(), 2u);
    EXPECT_EQ(tag.attributes[0].name, "d");
    EXPECT_EQ(tag.attributes[0].valueStart, 16u);
    EXPECT_EQ(tag.attributes[1].valueEnd, 26u);
    EXPECT_EQ(tag.attributesEnd, 27u);
    EXPECT_TRUE(tag.empty);
}

TEST(SvgSplice, ChangesAreSplicedInOrder) {
    const std::string text = "<a>\n  <b/>\n  <c/>\n</a>";
    EXPECT_EQ(kvsvg::LeadingSpace(text, text.find("<b")), "\n  ");
    EXPECT_EQ(kvsvg::LeadingSpace("<t>x <b/>", 5), "") << "text, not layout";
    kvsvg::Splice splice;
    const std::size_t b = text.find("<b"), c = text.find("<c");
    splice.Insert(c, "<n1/>\n  ");
    splice.Remove(b - 3, 7);
    splice.Insert(b + 1, "never");  // inside what was removed
    splice.Insert(c, "<n2/>\n  ");
    splice.Insert(b - 3, "\n  <n0/>");  // after what comes before the removed element
    EXPECT_EQ(splice.Apply(text), "<a>\n  <n0/>\n  <n1/>\n  <n2/>\n  <c/>\n</a>");
    kvsvg::Splice overlapping;
    overlapping.Replace(1, 3, "x");
    overlapping.Replace(2, 3, "y");
    EXPECT_THROW(overlapping.Apply(text), std::logic_error);
    EXPECT_EQ(kvsvg::EscapeAttribute("a\"<&\n"), "a&quot;&lt;&amp;&#10;");
    EXPECT_EQ(kvsvg::EscapeText("a<b>&"), "a&lt;b&gt;&amp;");
}

}  // namespace

// `kelvane inkscape`, run with the arguments Inkscape passes to an extension: selected objects and
// the node tool's nodes, parameters as --name=value, the document last. The document comes back on
// standard output (byte for byte when nothing changed) and what the user reads on standard error.
// One user unit is one millimetre in these drawings (width 210mm over a viewBox 210 wide).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <pugixml.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "inkscape_front.h"
#include "kelvane_cli.h"
#include "shell/plugin_state.h"

namespace {

// Made like Inkscape's documents: the current layer and the unit on the named view, a sublayer, a
// locked layer and a hidden one.
constexpr const char* kDrawing = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg width="210mm" height="297mm" viewBox="0 0 210 297" version="1.1" id="svg1"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd" xmlns="http://www.w3.org/2000/svg">
  <sodipodi:namedview id="namedview1" inkscape:document-units="mm" inkscape:current-layer="layer1"/>
  <defs id="defs1"/>
  <g inkscape:label="Lines" inkscape:groupmode="layer" id="layer1">
    <path id="left" d="M 30,200 L 90,80" style="fill:none;stroke:#000000;stroke-width:0.5"/>
    <path id="right" d="M 180,200 L 120,80" style="fill:none;stroke:#000000;stroke-width:0.5"/>
    <path id="pair" d="M 20,100 L 60,100 M 20,120 L 80,120" style="fill:none;stroke:#000000"/>
    <path id="curve" d="M 20,260 C 60,220 140,300 190,250" style="fill:none;stroke:#ff0000"/>
    <circle id="circle" cx="105" cy="150" r="15" style="fill:none;stroke:#000000"/>
    <g inkscape:label="Sub" inkscape:groupmode="layer" id="sublayer">
      <path id="inner" d="M 10,10 L 40,10" style="fill:none;stroke:#000000"/>
    </g>
  </g>
  <g inkscape:label="Locked" inkscape:groupmode="layer" id="layer2" sodipodi:insensitive="true">
    <path id="lockedA" d="M 30,250 L 90,230" style="fill:none;stroke:#000000"/>
    <path id="lockedB" d="M 180,250 L 120,230" style="fill:none;stroke:#000000"/>
  </g>
  <g inkscape:label="Hidden" inkscape:groupmode="layer" id="layer3" style="display:none">
    <path id="hiddenA" d="M 30,20 L 90,40" style="fill:none;stroke:#000000"/>
  </g>
</svg>
)";

struct Result {
    int status = 0;
    std::string out, err;
};

// Runs kelvane with args and the drawing on standard input, in English as Inkscape's interface sets it.
Result RunKelvane(std::vector<std::string> args, const std::string& input = kDrawing) {
    const char* saved = std::getenv("LANGUAGE");
    const std::optional<std::string> before = saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("LANGUAGE", "en_US", 1);
    args.push_back("-");
    std::istringstream in(input);
    std::ostringstream out, err;
    Result result{KelvaneMain(args, in, out, err), out.str(), err.str()};
    before ? setenv("LANGUAGE", before->c_str(), 1) : unsetenv("LANGUAGE");
    return result;
}

// The numbers in text, as kelvane and the drawings write them.
std::vector<double> Numbers(const std::string& text) {
    static const std::regex number(R"(-?(\d+\.?\d*|\.\d+)(e[-+]?\d+)?)");
    std::vector<double> numbers;
    for (std::sregex_iterator i(text.begin(), text.end(), number), end; i != end; ++i) {
        numbers.push_back(std::stod(i->str()));
    }
    return numbers;
}

std::string PathData(const std::string& svg, const std::string& id) {
    pugi::xml_document xml;
    xml.load_string(svg.c_str());
    return xml.select_node(("//*[@id='" + id + "']").c_str()).node().attribute("d").value();
}

// The measured length that Measure shows, in millimetres.
double Measured(const std::string& message) {
    const std::size_t colon = message.rfind(": ");
    return colon == std::string::npos ? -1 : std::strtod(message.c_str() + colon + 2, nullptr);
}

// ---- What leaves the document as it was (its input back byte for byte), and what the user is told;
// usage errors write nothing ----

TEST(InkscapeFront, WhatChangesNothingSaysWhy) {
    const struct {
        std::vector<std::string> args;
        const char* message;  // a part of standard error
        std::string drawing = kDrawing;
        int status = 0;
    } cases[] = {
        {{"inkscape", "bisect", "--id=lockedA", "--id=lockedB"}, "Two or more straight lines are not selected."},
        {{"--inkscape=measure", "--id=pair"}, "segments: 100 mm"},  // through the hidden parameter
        {{"inkscape", "measure", "--id=sublayer"}, "segments: 30 mm"},
        // The node tool's selection wins over the objects Inkscape passes with it.
        {{"inkscape", "measure", "--id=pair", "--selected-nodes=pair:1:0", "--selected-nodes=pair:1:1"},
         "segments: 60 mm"},
        {{"inkscape", "measure", "--id=pair", "--selected-nodes=pair:0:1"}, "no selected segment has a length"},
        {{"inkscape", "measure", "--id=hiddenA"}, "no selected segment has a length"},
        {{"inkscape", "measure", "--selected-nodes=pair:2:0"}, "#pair has no node 0 in subpath 2"},
        {{"inkscape", "measure", "--selected-nodes=pair:x:0"}, "--selected-nodes takes ID:SUBPATH:NODE"},
        {{"inkscape", "cross", "--extend=true"}, "Kelvane Extension Crossing: "},
        {{"inkscape", "handles"}, "Kelvane Handle Line: nothing changed"},
        {{"inkscape", "pointer", "--id=left", "--dash=true"}, "Broken line needs a first dash length above 0"},
        {{"inkscape", "length", "--id=curve", "--mode=scale", "--percent=12"}, "--percent takes -10 to 10"},
        {{"inkscape", "bisect", "--id=p"}, "cannot read this drawing",
         R"(<svg xmlns="http://www.w3.org/2000/svg"><path id="p" d="M 0 0 L"/></svg>)"},
        {{"inkscape", "frob"}, "usage: kelvane inkscape", kDrawing, 2},
        {{"inkscape", "bisect", "--nope=1"}, "usage: kelvane inkscape", kDrawing, 2},
        {{"inkscape", "measure", "--id"}, "usage: kelvane inkscape", kDrawing, 2},
    };
    for (const auto& c : cases) {
        const Result result = RunKelvane(c.args, c.drawing);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.out, c.status == 0 ? c.drawing : "") << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

// ---- Commands that change the document: the new paths and where they go ----

TEST(InkscapeFront, ACommandAddsOnePathWhereExpected) {
    const struct {
        std::vector<std::string> args;
        const char* layer;            // the id of the element the new path is in
        std::vector<double> numbers;  // of its path data
    } cases[] = {
        // In the current layer of the named view, not the top one.
        {{"inkscape", "cross", "--id=left", "--id=right"}, "layer1", {120, 80, 105, 50, 90, 80}},
        // 50 mm forward from the first node of the 60 mm subpath, 5 mm long, across it.
        {{"inkscape", "pointer", "--selected-nodes=pair:1:0", "--direction=forward", "--d1=50", "--size=5",
          "--unit=mm", "--width=0.1"},
         "layer1",
         {70, 117.5, 70, 122.5}},
    };
    for (const auto& c : cases) {
        const Result result = RunKelvane(c.args);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        // The paths the input did not have (no id).
        pugi::xml_document xml;
        ASSERT_TRUE(xml.load_string(result.out.c_str()));
        const pugi::xpath_node_set paths = xml.select_nodes("//*[local-name()='path'][not(@id)]");
        ASSERT_EQ(paths.size(), 1u) << result.out;
        EXPECT_EQ(std::string(paths[0].node().parent().attribute("id").value()), c.layer);
        const std::vector<double> numbers = Numbers(paths[0].node().attribute("d").value());
        ASSERT_EQ(numbers.size(), c.numbers.size());
        // The plug-in works in single precision in places.
        for (std::size_t i = 0; i < numbers.size(); ++i) EXPECT_NEAR(numbers[i], c.numbers[i], 1e-4) << "number " << i;
        // Nothing of the selection or of Inkscape's settings is written into the drawing.
        EXPECT_EQ(result.out.find("kv:"), std::string::npos) << result.out;
        EXPECT_EQ(PathData(result.out, "left"), "M 30,200 L 90,80");
    }
}

// Length: a total typed, or the slider's percentage; measured again from the document written.
TEST(InkscapeFront, LengthReshapesToTheTotalOrByThePercentage) {
    const double before = Measured(RunKelvane({"inkscape", "measure", "--id=curve"}).err);
    ASSERT_GT(before, 100);
    const std::pair<std::vector<std::string>, double> cases[] = {
        {{"inkscape", "length", "--id=curve", "--mode=total", "--length=200", "--unit=document"}, 200},
        {{"inkscape", "length", "--id=curve", "--mode=total", "--length=21", "--unit=cm"}, 210},
        {{"inkscape", "length", "--id=curve", "--mode=scale", "--percent=10"}, before * 1.1},
        {{"inkscape", "length", "--id=curve", "--mode=\"scale\"", "--percent=-5"}, before * 0.95},
    };
    for (const auto& [args, expected] : cases) {
        const Result changed = RunKelvane(args);
        EXPECT_EQ(changed.err, "");
        ASSERT_NE(changed.out, kDrawing);
        EXPECT_EQ(Numbers(PathData(changed.out, "curve")).front(), 20);  // the anchors stay
        const Result measured = RunKelvane({"inkscape", "measure", "--id=curve"}, changed.out);
        EXPECT_NEAR(Measured(measured.err), expected, 0.01 * expected) << measured.err;
    }
}

TEST(InkscapeFront, LanguageFollowsInkscapesInterface) {
    const struct {
        const char *language, *lcAll, *lcMessages, *lang;
        std::uint16_t expected;
    } cases[] = {
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", kJapanese}, {"ja", nullptr, nullptr, "en_US.UTF-8", kJapanese},
        {"en", nullptr, nullptr, "ja_JP.UTF-8", kEnglish},     {"", "", "ja_JP.UTF-8", "C", kJapanese},
        {nullptr, "de_DE.UTF-8", nullptr, "ja_JP", kEnglish},  {nullptr, nullptr, nullptr, nullptr, kEnglish},
        {"", "", "", "C.UTF-8", kEnglish},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InkscapeLanguage(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
            << (c.language ? c.language : "-") << " " << (c.lang ? c.lang : "-");
    }
}

}  // namespace

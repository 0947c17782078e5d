// `kelvane run` and `kelvane startup` in-process: bad input never leaves an output file, a run
// without commands writes the document back, and commands run as the panel's buttons and the
// adjust tools would, each run's report saying what it did.
// `kelvane inkscape`, run with the arguments Inkscape passes to an extension: selected objects and
// the node tool's nodes, parameters as --name=value, the document last. The document comes back on
// standard output (byte for byte when nothing changed) and what the user reads on standard error.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pugixml.hpp>
#include <regex>
#include <sstream>
#include <tuple>

#include "file_io.h"
#include "kelvane_cli.h"
#include "run_command.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" viewBox=\"0 0 200 200\" "
    "width=\"200pt\" height=\"200pt\">\n";

// Two selected straight lines meeting at a right angle at (50, 150): the bisector runs from the
// corner to the chord between the far ends.
const char* const kV =
    "<g id=\"lines\">\n"
    "<line id=\"up\" x1=\"50\" y1=\"150\" x2=\"50\" y2=\"50\" stroke=\"#000\" kv:selected=\"true\"/>\n"
    "<line id=\"right\" x1=\"50\" y1=\"150\" x2=\"150\" y2=\"150\" stroke=\"#000\" kv:selected=\"true\"/>\n"
    "</g></svg>";

// A selected curve, a line with one anchor selected and the swatches of the handle-line settings.
constexpr const char* kArch =
    "<kv:swatch name=\"Black\" color=\"#000000\"/>\n"
    "<kv:swatch name=\"Handle red\" color=\"#d62728\" kind=\"rgb\"/>\n"
    "<path id=\"arch\" d=\"M 20 140 C 40 60 90 40 110 100\" kv:selected=\"true\"/>\n"
    "<path id=\"line\" d=\"M 20 180 L 180 180\" kv:anchors=\"1 0\"/>\n"
    "</svg>";

// The end segments of two open paths.
constexpr const char* kEnds =
    "<path id=\"a\" d=\"M 20 30 L 20 90 L 70 120\" kv:anchors=\"0 1 1\"/>\n"
    "<path id=\"b\" d=\"M 180 40 L 180 100 L 160 130\" kv:anchors=\"0 1 1\"/>\n"
    "</svg>";

// A base and a piece for the adjust tools.
constexpr const char* kPieces =
    "  <g id=\"layer\">\n"
    "    <path id=\"base\" d=\"M 40 100 L 160 100 L 160 200 L 40 200 Z\"/>\n"
    "    <path id=\"piece\" d=\"M 250 150 L 250 110 L 280 150 Z\"/>\n"
    "  </g>\n"
    "</svg>\n";

// Records the restore passes over: the restore reports why each stays.
constexpr const char* kRecords =
    "<path id=\"p0\" d=\"M 25 35 L 45 35\">\n"
    "<kv:tag name=\"Path_adjust_matrix\">1,0,0,1,1e999,0,0,0,0,0,0</kv:tag></path>\n"
    "<path id=\"p1\" d=\"M 25 35 L 45 35\"><kv:tag name=\"Path_adjust_matrix\">1,0,0,1,5</kv:tag></path>\n"
    "<path id=\"p2\" d=\"M 25 35 L 45 35\">\n"
    "<kv:tag name=\"Path_adjust_matrix\">1,0,0,1,5,-5,20,-30,0,10,0</kv:tag></path>\n"
    "</svg>\n";

// Made like Inkscape's documents, one user unit a millimetre (width 210mm over a viewBox 210 wide):
// the current layer and the unit on the named view, a sublayer and a locked layer.
constexpr const char* kInkscapeDrawing = R"(<?xml version="1.0" encoding="UTF-8"?>
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
</svg>
)";

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvane-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    std::string Read(const std::string& name) const {
        std::string text, error;
        ReadWholeFile(Path(name), text, error);
        return text;
    }

    int Run(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        std::ostringstream out, err;
        const bool subcommand = !args.empty() && (args[0] == "startup" || args[0] == "help" || args[0] == "--version" ||
                                                  args[0] == "inkscape" || args[0].rfind("--inkscape=", 0) == 0);
        if (!subcommand) args.insert(args.begin(), "run");
        const int status = KelvaneMain(args, in, out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    // Runs kelvane as Inkscape does, the drawing on standard input, in English as Inkscape's interface sets it.
    int Inkscape(std::vector<std::string> args, const std::string& input = kInkscapeDrawing) {
        const char* saved = std::getenv("LANGUAGE");
        const std::optional<std::string> before = saved ? std::optional<std::string>(saved) : std::nullopt;
        setenv("LANGUAGE", "en_US", 1);
        args.push_back("-");
        const int status = Run(args, input);
        before ? setenv("LANGUAGE", before->c_str(), 1) : unsetenv("LANGUAGE");
        return status;
    }

    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::string out_, err_;
};

TEST_F(CliTest, BadInputLeavesNoOutputFile) {
    const std::string good =
        Write("good.svg", std::string(kHeader) + "<line id=\"good\" x2=\"10\" kv:selected=\"true\"/></svg>");
    Write("malformed.svg", std::string(kHeader) + "<g><line/></svg>");
    const std::string out = Path("out.svg");
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{Path("missing.svg"), "-o", out, "bisect"}, "missing.svg: No such file or directory"},
        {{dir_.string(), "-o", out, "measure"}, ": Is a directory"},
        {{good, "-o", out, "--select", "good,nothing"}, "no element with the id 'nothing'"},
        {{good, "-o", out, "--anchors=good:0,2"}, "#good has 2 anchors, none with the index 2"},
        {{good, "-o", out, "--anchors", "good:0;1"}, "--anchors takes ID:I,J,..."},
        {{Path("malformed.svg"), "-o", out, "bisect"}, "malformed.svg (146 bytes): line 2, column 13"},
        {{good, "-o", out, "frobnicate"}, "unknown command 'frobnicate'"},
        {{good, "-o", out, "bisect", "now"}, "bisect takes no arguments"},
        {{good, "-o", out, "cross", "extend=maybe"}, "extend= takes on or off, not 'maybe'"},
        {{good, "-o", out, "length"}, "length takes one length above 0"},
        {{good, "-o", out, "slider", "50"}, "from -40 to 40"},
        {{good, "-o", out, "handles", "colour=Black"}, "unknown argument 'colour=Black'"},
        {{good, "-o", out, "--colour", "red", "bisect"}, "unknown option '--colour'"},
        {{good, "-o", out, "bisect", "--lang"}, "needs a value"},
        {{good, "-o", out, "--lang", "fr", "bisect"}, "unknown language"},
        {{good, "-o", out, "--units", "furlong", "bisect"}, "unknown unit"},
        {{"-o", out}, "no input file"}, {{good, "path-adjust", "1,2", "3,4", "5,6"}, "path-adjust"},
        {{good, "tool", "pen", "move:1,2"}, "tool"}, {{good, "tool", "path", "hover:1,2"}, "tool"},
        {{good, "restore", "maybe"}, "restore"}, {{good, "-o", dir_.string()}, ": Is a directory"},
        {{good, "-o", Path("no-such-folder/out.svg")}, "cannot create a file beside"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(Run(args), kRunBadInput) << message;
        EXPECT_NE(err_.find(message), std::string::npos) << "stderr: " << err_;
        EXPECT_FALSE(fs::exists(out)) << message;
    }
    // An output file that exists already is left as it was, and nothing else is left behind.
    Write("out.svg", "old");
    EXPECT_EQ(Run({Path("malformed.svg"), "-o", out}), kRunBadInput);
    EXPECT_EQ(Read("out.svg"), "old");
    EXPECT_EQ(Files(), (std::vector<std::string>{"good.svg", "malformed.svg", "out.svg"}));
}

// Without commands the document is written back byte for byte (the ruler unit of the run is no change).
TEST_F(CliTest, TheOutputIsWrittenWhereItMayBe) {
    const std::string text =
        std::string(kHeader) + "<g id=\"a\"><circle cx=\"50\" cy=\"50\" r=\"10\" kv:anchors=\"1 0 0 4\"/></g></svg>";
    const std::string in = Write("in.svg", text);
    // A file without write permission is kept, even from root, whom the system would let write it.
    fs::permissions(Write("kept.svg", "old"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(Run({in, "-o", Path("kept.svg")}), kRunBadInput);
    EXPECT_NE(err_.find("cannot write " + Path("kept.svg") + ": Permission denied"), std::string::npos) << err_;
    EXPECT_EQ(Read("kept.svg"), "old");
    fs::remove(Path("kept.svg"));

    // The output replaces the file a link names, keeping its permissions; a device is written in place.
    fs::permissions(Write("real.svg", "old"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.svg", Path("link.svg"));
    fs::create_symlink("made.svg", Path("dangling.svg"));
    ASSERT_EQ(Run({"--units", "mm", in, "-o", Path("link.svg")}), kRunChanged) << err_;
    EXPECT_NE(out_.find("wrote " + Path("link.svg")), std::string::npos) << out_;
    ASSERT_EQ(Run({in, "--output=" + Path("dangling.svg")}), kRunChanged) << err_;
    EXPECT_TRUE(fs::is_symlink(Path("link.svg")) && fs::is_symlink(Path("dangling.svg")));
    EXPECT_EQ(Read("real.svg"), text);
    EXPECT_EQ(Read("made.svg"), text);
    EXPECT_EQ(fs::status(Path("real.svg")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(Run({in, "-o", "/dev/null"}), kRunChanged) << err_;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(Files(), (std::vector<std::string>{"dangling.svg", "in.svg", "link.svg", "made.svg", "real.svg"}));
}

TEST_F(CliTest, TheBisectorOfAVFromTheFilesOrTheCommandLinesSelection) {
    const std::string in = Write("v.svg", std::string(kHeader) + kV);
    ASSERT_EQ(Run({in, "-o", Path("out.svg"), "--lang", "en", "bisect"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("bisect: changed the document"), std::string::npos) << out_;
    EXPECT_NE(out_.find("new path in layer \"lines\": (50, 150) -> (100, 100)"), std::string::npos) << out_;
    EXPECT_EQ(err_, "");
    // The new path is one line more, after the lines, and not marked selected; every other byte is as it was.
    std::string written = Read("out.svg");
    const std::size_t start = written.find("\n<path d=\"M 50 150");
    ASSERT_NE(start, std::string::npos) << written;
    const std::size_t end = written.find("/>", start) + 2;
    EXPECT_EQ(written.substr(start, end - start).find("kv:selected"), std::string::npos) << written;
    written.erase(start, end - start);
    EXPECT_EQ(written, Read("v.svg"));

    // Standard input and output: only the drawing on standard output, the report on standard error.
    ASSERT_EQ(Run({"-", "-o", "-", "--lang=en", "bisect"}, std::string(kHeader) + kV), kRunChanged) << err_;
    EXPECT_EQ(out_.rfind("<svg", 0), 0u);
    EXPECT_NE(out_.find("stroke=\"#000000\""), std::string::npos) << out_;
    EXPECT_NE(err_.find("bisect: changed the document"), std::string::npos);
    EXPECT_EQ(Run({"-", "--settings", "-"}, kHeader), kRunBadInput);

    // The command line's selection replaces the file's.
    EXPECT_EQ(Run({in, "--lang=en", "--select", "up", "bisect"}), kRunUnchanged) << "one line is not two";
    for (const auto& selection : {std::vector<std::string>{"--select=up,right"}, {"--select", "lines"},
                                  {"--anchors", "up:0,1", "--anchors=right:1,0"}}) {
        std::vector<std::string> args{in, "bisect"};
        args.insert(args.begin() + 1, selection.begin(), selection.end());
        EXPECT_EQ(Run(args), kRunChanged) << selection[0] << err_;
        EXPECT_NE(err_.find("the document changed, but nothing was written (no -o OUT.svg)"), std::string::npos);
    }
}

TEST_F(CliTest, PathsHoldAtMost32767Anchors) {
    const auto drawing = [](int anchors) {
        std::string data = "M0 0";
        for (int i = 1; i < anchors; ++i) data += " h1";
        return std::string(kHeader) + "<path id=\"long\" d=\"" + data + "\"/></svg>";
    };
    EXPECT_EQ(Run({Write("over.svg", drawing(32768)), "measure"}), kRunBadInput);
    EXPECT_NE(err_.find("id=\"long\": the path has 32768 anchors; the host holds at most 32767"), std::string::npos);
    // Dividing would add an anchor, which the host refuses: the path stays as it was.
    EXPECT_EQ(Run({Write("full.svg", drawing(32767)), "--anchors", "long:0", "pointer", "divide=on", "create=off",
                   "d1=0.5pt", "direction=forward"}),
              kRunUnchanged)
        << out_.substr(0, 200);
}

TEST_F(CliTest, HelpVersionAndStartup) {
    const std::pair<std::vector<std::string>, const char*> asks[] = {
        {{"--help"}, "usage: kelvane run"}, {{"--version"}, "Kelvane 5.0.4.4"}, {{"startup"}, "== registered"}};
    for (const auto& [args, expected] : asks) {
        EXPECT_EQ(Run(args), 0) << args[0];
        EXPECT_NE(out_.find(expected), std::string::npos) << args[0] << out_;
    }
    EXPECT_EQ(Run({"startup", "--settings", dir_.string()}), 2);
    EXPECT_NE(err_.find(": Is a directory"), std::string::npos) << err_;
    EXPECT_EQ(Run({"startup", "--out=-"}), 0) << err_;
    EXPECT_EQ(out_.rfind("language = ", 0), 0u) << "only the settings file on standard output: " << out_;
    EXPECT_NE(err_.find("== registered"), std::string::npos);
    // A hostile settings file: what the plug-in did not keep is named, and the file written back reads the same.
    EXPECT_EQ(Run({"startup", "--settings", Write("bad.ini", "flPtDashLengD1=1e999\r\nflPtCount=5\r\n")}), 0) << err_;
    EXPECT_NE(out_.find("  flPtCount = 5 is kept as 3\n  flPtDashLengD1 = 1e999 is kept as 0\n"), std::string::npos)
        << out_;
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(KelvaneMain({}, in, out, err), 2);
    EXPECT_EQ(KelvaneMain({"frob"}, in, out, err), 2);
}

// A run's status and what its report says on standard output and standard error, for the panel's
// commands (what the panel would refuse is refused with a note) and the adjust tools' gestures.
TEST_F(CliTest, TheReportSaysWhatTheRunDid) {
    // What the case shows, the drawing, the commands, the status and parts of standard output and error.
    using Strings = std::vector<std::string>;
    const std::tuple<const char*, const char*, Strings, int, Strings, Strings> cases[] = {
        {"refusals are alerts", kArch, {"--select", "line", "bisect", "cross"}, kRunUnchanged,
         {"cross: nothing changed"}, {"kelvane: bisect: alert: Two or more straight lines are not selected."}},
        {"refusals in Japanese", kArch, {"--lang", "ja", "--select", "line", "bisect"}, kRunUnchanged, {},
         {"kelvane: bisect: alert: 角の二等分線を作成する２つ以上の直線が選択されていません。"}},
        {"the readout and the slider wait for a measurement", kArch, {"length", "100", "slider", "-20"},
         kRunUnchanged,
         {"the readout is empty and cannot be typed into: measure first",
          "the slider is disabled until a length is measured: measure first"},
         {}},
        {"one anchor makes no segment to measure", kArch, {"--anchors", "line:0", "measure", "length", "100"},
         kRunUnchanged, {"cannot be typed into: the selected segments measure 0"}, {}},
        {"measuring follows the length changes", kArch, {"measure", "length", "150", "measure"}, kRunChanged,
         {"length: changed the document", "this ends the run of length changes", "measured length: 150 pt"}, {}},
        {"a typed length within a tenth is the stored one", kArch, {"measure", "length", "151.3"}, kRunUnchanged,
         {"measured length: 151.286 pt", "the typed length is the stored one"}, {}},
        {"hidden distance rows are not set", kArch, {"pointer", "count=1", "d2=10"}, kRunChanged,
         {"(d2 is not shown with 1 distance rows: not set)"}, {}},
        {"handle line settings go through the settings dialog", kArch,
         {"handles", "layer=Handles", "color=Handle red", "polyline=off"}, kRunChanged,
         {"new path in layer \"Handles\""}, {}},
        {"a colour the document lacks", kArch, {"handles", "color=Nothing"}, kRunChanged,
         {"no swatch \"Nothing\" in the document", "new path in layer \"HANDLE LINE\""}, {}},
        {"extended ends move to the crossing", kEnds, {"cross", "extend=on"}, kRunChanged,
         {"anchor 2 of #a moved (70, 120) -> (139.048, 161.429)"}, {}},
        {"point-adjust needs two objects", kPieces, {"point-adjust", "40,100", "160,100", "60,120"}, kRunUnchanged,
         {"point-adjust: nothing changed"}, {"kelvane: point-adjust: beep"}},
        // The first click does not move: the drags are given as low-level events.
        {"gestures from low-level events", kPieces,
         {"tool", "path", "click:40,100", "move:160,100", "click:160,100", "move:250,150", "down:250,150",
          "drag:250,110", "up:250,110"},
         kRunChanged, {"anchor 1 of #piece moved (250, 110) -> (80, 100)"}, {"beep"}},
        {"records the restore passes over stay", kRecords, {"restore"}, kRunUnchanged,
         {"#p0 keeps its record: a number of its record is too large for a double",
          "#p1 keeps its record: its record has fewer than five fields",
          "#p2 keeps its record: its shape no longer matches its record (reference length 20, recorded 10)"},
         {}},
    };
    for (const auto& [what, drawing, commands, status, out, err] : cases) {
        SCOPED_TRACE(what);
        fs::remove(Path("out.svg"));
        const std::string in = Write("in.svg", std::string(kHeader) + drawing);
        std::vector<std::string> args{in, "-o", Path("out.svg"), "--lang=en"};
        args.insert(args.end(), commands.begin(), commands.end());
        EXPECT_EQ(Run(args), status) << out_ << err_;
        for (const std::string& part : out) EXPECT_NE(out_.find(part), std::string::npos) << part << "\n" << out_;
        for (const std::string& part : err) EXPECT_NE(err_.find(part), std::string::npos) << part << "\n" << err_;
        if (status == kRunUnchanged) {
            EXPECT_EQ(Read("out.svg"), Read("in.svg")) << "the unchanged document is written back byte for byte";
        }
    }
}

// The piece's left side (250,150 -> 250,110, upwards) turns onto the base's top (40,100 -> 160,100),
// its record kept as a tag; a later run's restore takes it back.
TEST_F(CliTest, PathAdjustMovesThePieceAndTheRestoreInALaterRunTakesItBack) {
    const std::string in = Write("in.svg", std::string(kHeader) + kPieces);
    ASSERT_EQ(Run({in, "-o", Path("moved.svg"), "--lang", "en", "path-adjust", "40,100", "160,100", "250,150",
                   "250.5,111"}),
              kRunChanged)
        << err_;
    EXPECT_NE(out_.find("anchor 0 of #piece moved (250, 150) -> (40, 100)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("anchor 1 of #piece moved (250, 110) -> (80, 100)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("#piece records its move: Path_adjust_matrix = "), std::string::npos) << out_;
    EXPECT_NE(Read("moved.svg").find("<kv:tag name=\"Path_adjust_matrix\" type=\"string\">"), std::string::npos);

    ASSERT_EQ(Run({Path("moved.svg"), "-o", Path("back.svg"), "--lang", "en", "restore", "no"}), kRunUnchanged);
    EXPECT_NE(err_.find("alert: Restore PathAdjust of all objects."), std::string::npos) << err_;
    ASSERT_EQ(Run({Path("moved.svg"), "-o", Path("back.svg"), "--lang", "en", "restore"}), kRunChanged) << err_;
    EXPECT_NE(out_.find("anchor 0 of #piece moved (40, 100) -> (250, 150)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("#piece restored; its record removed"), std::string::npos) << out_;
    EXPECT_EQ(Read("back.svg").find("Path_adjust_matrix"), std::string::npos);
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

// The Inkscape front's tests, in the same fixture.
using InkscapeFront = CliTest;

// ---- What leaves the document as it was (its input back byte for byte), and what the user is told;
// usage errors write nothing ----

TEST_F(InkscapeFront, WhatChangesNothingSaysWhy) {
    const struct {
        std::vector<std::string> args;
        const char* message;  // a part of standard error
        std::string drawing = kInkscapeDrawing;
        int status = 0;
    } cases[] = {
        {{"inkscape", "bisect", "--id=lockedA", "--id=lockedB"}, "Two or more straight lines are not selected."},
        {{"--inkscape=measure", "--id=pair"}, "segments: 100 mm"},  // through the hidden parameter
        {{"inkscape", "measure", "--id=sublayer"}, "segments: 30 mm"},
        // The node tool's selection wins over the objects Inkscape passes with it.
        {{"inkscape", "measure", "--id=pair", "--selected-nodes=pair:1:0", "--selected-nodes=pair:1:1"},
         "segments: 60 mm"},
        {{"inkscape", "measure", "--id=pair", "--selected-nodes=pair:0:1"}, "no selected segment has a length"},
        {{"inkscape", "measure", "--selected-nodes=pair:2:0"}, "#pair has no node 0 in subpath 2"},
        {{"inkscape", "measure", "--selected-nodes=pair:x:0"}, "--selected-nodes takes ID:SUBPATH:NODE"},
        {{"inkscape", "handles"}, "Kelvane Handle Line: nothing changed"},
        {{"inkscape", "pointer", "--id=left", "--dash=true"}, "Broken line needs a first dash length above 0"},
        {{"inkscape", "length", "--id=curve", "--mode=scale", "--percent=12"}, "--percent takes -10 to 10"},
        {{"inkscape", "bisect", "--id=p"}, "cannot read this drawing",
         R"(<svg xmlns="http://www.w3.org/2000/svg"><path id="p" d="M 0 0 L"/></svg>)"},
        {{"inkscape", "frob"}, "usage: kelvane inkscape", kInkscapeDrawing, 2},
        {{"inkscape", "bisect", "--nope=1"}, "usage: kelvane inkscape", kInkscapeDrawing, 2},
        {{"inkscape", "measure", "--id"}, "usage: kelvane inkscape", kInkscapeDrawing, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Inkscape(c.args, c.drawing), c.status) << c.message;
        EXPECT_EQ(out_, c.status == 0 ? c.drawing : "") << c.message;
        EXPECT_NE(err_.find(c.message), std::string::npos) << err_;
    }
}

// ---- Commands that change the document: the new paths and where they go ----

TEST_F(InkscapeFront, ACommandAddsOnePathWhereExpected) {
    // The arguments, the id of the element the new path is in and the numbers of its path data.
    const std::tuple<std::vector<std::string>, const char*, std::vector<double>> cases[] = {
        // In the current layer of the named view, not the top one.
        {{"inkscape", "cross", "--id=left", "--id=right"}, "layer1", {120, 80, 105, 50, 90, 80}},
        // 50 mm forward from the first node of the 60 mm subpath, 5 mm long, across it.
        {{"inkscape", "pointer", "--selected-nodes=pair:1:0", "--direction=forward", "--d1=50", "--size=5",
          "--unit=mm", "--width=0.1"},
         "layer1",
         {70, 117.5, 70, 122.5}},
    };
    for (const auto& [args, layer, expected] : cases) {
        EXPECT_EQ(Inkscape(args), 0);
        EXPECT_EQ(err_, "");
        // The paths the input did not have (no id).
        pugi::xml_document xml;
        ASSERT_TRUE(xml.load_string(out_.c_str()));
        const pugi::xpath_node_set paths = xml.select_nodes("//*[local-name()='path'][not(@id)]");
        ASSERT_EQ(paths.size(), 1u) << out_;
        EXPECT_EQ(std::string(paths[0].node().parent().attribute("id").value()), layer);
        const std::vector<double> numbers = Numbers(paths[0].node().attribute("d").value());
        ASSERT_EQ(numbers.size(), expected.size());
        // The plug-in works in single precision in places.
        for (std::size_t i = 0; i < numbers.size(); ++i) EXPECT_NEAR(numbers[i], expected[i], 1e-4) << "number " << i;
        // Nothing of the selection or of Inkscape's settings is written into the drawing.
        EXPECT_EQ(out_.find("kv:"), std::string::npos) << out_;
        EXPECT_EQ(PathData(out_, "left"), "M 30,200 L 90,80");
    }
}

// Length: a total typed, or the slider's percentage; measured again from the document written.
TEST_F(InkscapeFront, LengthReshapesToTheTotalOrByThePercentage) {
    Inkscape({"inkscape", "measure", "--id=curve"});
    const double before = Measured(err_);
    ASSERT_GT(before, 100);
    const std::pair<std::vector<std::string>, double> cases[] = {
        {{"inkscape", "length", "--id=curve", "--mode=total", "--length=200", "--unit=document"}, 200},
        {{"inkscape", "length", "--id=curve", "--mode=total", "--length=21", "--unit=cm"}, 210},
        {{"inkscape", "length", "--id=curve", "--mode=\"scale\"", "--percent=-5"}, before * 0.95},
    };
    for (const auto& [args, expected] : cases) {
        Inkscape(args);
        EXPECT_EQ(err_, "");
        const std::string changed = out_;
        ASSERT_NE(changed, kInkscapeDrawing);
        EXPECT_EQ(Numbers(PathData(changed, "curve")).front(), 20);  // the anchors stay
        Inkscape({"inkscape", "measure", "--id=curve"}, changed);
        EXPECT_NEAR(Measured(err_), expected, 0.01 * expected) << err_;
    }
}

}  // namespace

// `kelvane run` and `kelvane startup` in-process: bad input never leaves an output file, a run
// without commands writes the document back, and commands run as the panel's buttons would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "document.h"
#include "file_io.h"
#include "kelvane_cli.h"
#include "run_command.h"
#include "svg_document.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" viewBox=\"0 0 200 200\">\n";

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
        std::string text;
        ReadWholeFile(Path(name), text);
        return text;
    }

    int Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        args.insert(args.begin(), "run");
        const int status = KelvaneMain(args, out, err);
        out_ = out.str();
        err_ = err.str();
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
    const std::string good = Write("good.svg", std::string(kHeader) + "<line x2=\"10\" kv:selected=\"true\"/></svg>");
    Write("malformed.svg", std::string(kHeader) + "<g><line/></svg>");
    Write("badpath.svg", std::string(kHeader) + "<path d=\"M 0 0 L 10\"/></svg>");
    Write("unsupported.svg", std::string(kHeader) + "<use href=\"#a\"/></svg>");
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{Path("missing.svg"), "-o", Path("out.svg"), "bisect"}, "cannot read"},
        {{Path("malformed.svg"), "-o", Path("out.svg"), "bisect"}, "malformed XML"},
        {{Path("badpath.svg"), "-o", Path("out.svg"), "bisect"}, "line 2: <path>: bad path data"},
        {{Path("unsupported.svg"), "-o", Path("out.svg")}, "not supported"},
        {{good, "-o", Path("out.svg"), "frobnicate"}, "unknown command 'frobnicate'"},
        {{good, "-o", Path("out.svg"), "bisect", "now"}, "bisect takes no arguments"},
        {{good, "-o", Path("out.svg"), "cross", "extend=maybe"}, "extend= takes on or off, not 'maybe'"},
        {{good, "-o", Path("out.svg"), "length"}, "length takes one length above 0"},
        {{good, "-o", Path("out.svg"), "slider", "50"}, "from -40 to 40"},
        {{good, "-o", Path("out.svg"), "pointer", "count=4"}, "count= takes 1, 2 or 3, not '4'"},
        {{good, "-o", Path("out.svg"), "handles", "colour=Black"}, "unknown argument 'colour=Black'"},
        {{good, "-o", Path("out.svg"), "--colour", "red", "bisect"}, "unknown option '--colour'"},
        {{good, "-o", Path("out.svg"), "bisect", "--lang"}, "needs a value"},
        {{good, "-o", Path("out.svg"), "--lang", "fr", "bisect"}, "unknown language"},
        {{good, "-o", Path("out.svg"), "--units", "furlong", "bisect"}, "unknown unit"},
        {{good, "-o", Path("out.svg"), "--settings", Path("missing.ini"), "bisect"}, "cannot read the settings file"},
        {{"-o", Path("out.svg")}, "no input file"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.args), kRunBadInput) << c.message;
        EXPECT_NE(err_.find(c.message), std::string::npos) << "stderr: " << err_;
        EXPECT_FALSE(fs::exists(Path("out.svg"))) << c.message;
    }
    // An output file that exists already is left as it was.
    Write("out.svg", "old");
    EXPECT_EQ(Run({Path("badpath.svg"), "-o", Path("out.svg")}), kRunBadInput);
    EXPECT_EQ(Read("out.svg"), "old");
    // Nothing else was left behind (no temporary files).
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"badpath.svg", "good.svg", "malformed.svg", "out.svg", "unsupported.svg"}));
}

TEST_F(CliTest, AnUnwritableOutputIsAnError) {
    const std::string in = Write("in.svg", std::string(kHeader) + "<line x2=\"10\"/></svg>");
    EXPECT_EQ(Run({in, "-o", Path("no-such-folder/out.svg")}), kRunBadInput);
    EXPECT_NE(err_.find("cannot create a file beside"), std::string::npos) << err_;
}

TEST_F(CliTest, WithoutCommandsTheDocumentIsWrittenBack) {
    const std::string text =
        std::string(kHeader) + "<g id=\"a\"><circle cx=\"50\" cy=\"50\" r=\"10\" kv:anchors=\"1 0 0 4\"/></g></svg>";
    const std::string in = Write("in.svg", text);
    ASSERT_EQ(Run({"--units", "mm", in, "-o", Path("out.svg")}), kRunChanged) << err_;
    sim::Document document;
    const auto source = kvsvg::ReadSvg(text, document);
    document.rulerUnit = sim::RulerUnit::Millimeters;
    EXPECT_EQ(Read("out.svg"), kvsvg::WriteSvg(document, source.get()));
    EXPECT_NE(out_.find("wrote " + Path("out.svg")), std::string::npos) << out_;
}

// Two selected straight lines meeting at a right angle at (50, 150): the bisector runs from the
// corner to the chord between the far ends.
const char* const kV =
    "<g id=\"lines\">\n"
    "<line id=\"up\" x1=\"50\" y1=\"150\" x2=\"50\" y2=\"50\" stroke=\"#000\" kv:selected=\"true\"/>\n"
    "<line id=\"right\" x1=\"50\" y1=\"150\" x2=\"150\" y2=\"150\" stroke=\"#000\" kv:selected=\"true\"/>\n"
    "</g></svg>";

TEST_F(CliTest, TheBisectorOfAVIsWrittenWithTheDocument) {
    const std::string in = Write("v.svg", std::string(kHeader) + kV);
    ASSERT_EQ(Run({in, "-o", Path("out.svg"), "--lang", "en", "bisect"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("bisect: changed the document"), std::string::npos) << out_;
    EXPECT_NE(out_.find("new path in layer \"lines\": (50, 150) -> (100, 100)"), std::string::npos) << out_;
    EXPECT_EQ(err_, "");

    sim::Document document;
    kvsvg::ReadSvg(Read("out.svg"), document);
    const std::vector<sim::Art*> art = document.LayerAt(0)->root->Children();
    ASSERT_EQ(art.size(), 3u);
    EXPECT_FALSE(art[0]->Selected()) << "the new path is not selected";
    EXPECT_TRUE(art[1]->Selected() && art[2]->Selected()) << "the lines stay selected";
    EXPECT_EQ(art[0]->anchors.size(), 2u);
}

TEST_F(CliTest, CommandArgumentsSetThePanelsFields) {
    // The end segments of two open paths; with "Extend endpoints" on their end anchors move.
    const std::string in =
        Write("ends.svg", std::string(kHeader) +
                              "<path id=\"a\" d=\"M 20 30 L 20 90 L 70 120\" kv:anchors=\"0 1 1\"/>\n"
                              "<path id=\"b\" d=\"M 180 40 L 180 100 L 160 130\" kv:anchors=\"0 1 1\"/>\n"
                              "</svg>");
    ASSERT_EQ(Run({in, "-o", Path("out.svg"), "cross", "extend=on"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("anchor 2 of #a moved (70, 120) -> (139.048, 161.429)"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("new path"), std::string::npos) << out_;
    ASSERT_EQ(Run({in, "-o", Path("out.svg"), "cross", "extend=off"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("new path"), std::string::npos) << out_;
}

TEST_F(CliTest, RefusalsAreAlertsInTheLanguageAndExitOne) {
    const std::string in = Write("one.svg", std::string(kHeader) + "<line x2=\"10\" kv:selected=\"true\"/></svg>");
    EXPECT_EQ(Run({in, "-o", Path("out.svg"), "--lang", "en", "bisect", "cross"}), kRunUnchanged);
    EXPECT_NE(err_.find("kelvane: bisect: alert: Two or more straight lines are not selected."), std::string::npos)
        << err_;
    EXPECT_NE(out_.find("cross: nothing changed"), std::string::npos) << out_;
    EXPECT_TRUE(fs::exists(Path("out.svg"))) << "the unchanged document is still written";

    EXPECT_EQ(Run({in, "--lang", "ja", "bisect"}), kRunUnchanged);
    EXPECT_NE(err_.find("kelvane: bisect: alert: 角の二等分線を作成する２つ以上の直線が選択されていません。"),
              std::string::npos)
        << err_;
}

TEST_F(CliTest, StartupStillReports) {
    std::ostringstream out, err;
    EXPECT_EQ(KelvaneMain({"startup"}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("== registered"), std::string::npos);
    EXPECT_EQ(KelvaneMain({}, out, err), 2);
    EXPECT_EQ(KelvaneMain({"frob"}, out, err), 2);
}

}  // namespace

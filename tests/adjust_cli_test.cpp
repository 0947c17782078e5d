// The adjust tools from `kelvane run`: gestures given as points of the drawing move objects, their
// records go into the SVG file as tags, and a later run restores from them. Native only: the
// command line needs cli/, which the Windows build does not have.
#if __has_include("gesture_commands.h")
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "file_io.h"
#include "kelvane_cli.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDrawing =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" viewBox=\"0 0 400 300\" width=\"400pt\" height=\"300pt\">\n"
    "  <g id=\"layer\">\n"
    "    <path id=\"base\" d=\"M 40 100 L 160 100 L 160 200 L 40 200 Z\"/>\n"
    "    <path id=\"piece\" d=\"M 250 150 L 250 110 L 280 150 Z\"/>\n"
    "  </g>\n"
    "</svg>\n";

class AdjustCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvane-adjust-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::ofstream(Path("in.svg"), std::ios::binary) << kDrawing;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    int Run(std::vector<std::string> args) {
        std::istringstream in;
        std::ostringstream out, err;
        args.insert(args.begin(), "run");
        const int status = KelvaneMain(args, in, out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    std::string Read(const std::string& name) const {
        std::string text;
        std::string error;
        ReadWholeFile(Path(name), text, error);
        return text;
    }

    fs::path dir_;
    std::string out_;
    std::string err_;
};

TEST_F(AdjustCliTest, PathAdjustMovesThePieceAndTheRestoreInALaterRunTakesItBack) {
    // The piece's left side (250,150 -> 250,110, upwards) turns onto the base's top (40,100 -> 160,100).
    ASSERT_EQ(Run({Path("in.svg"), "-o", Path("moved.svg"), "--lang", "en", "path-adjust", "40,100", "160,100",
                   "250,150", "250.5,111"}),
              0)
        << err_;
    EXPECT_NE(out_.find("anchor 0 of #piece moved (250, 150) -> (40, 100)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("anchor 1 of #piece moved (250, 110) -> (80, 100)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("#piece records its move: Path_adjust_matrix = "), std::string::npos) << out_;
    const std::string moved = Read("moved.svg");
    EXPECT_NE(moved.find("<kv:tag name=\"Path_adjust_matrix\" type=\"string\">"), std::string::npos) << moved;

    ASSERT_EQ(Run({Path("moved.svg"), "-o", Path("back.svg"), "--lang", "en", "restore", "no"}), 1);
    EXPECT_NE(err_.find("alert: Restore PathAdjust of all objects."), std::string::npos) << err_;
    ASSERT_EQ(Run({Path("moved.svg"), "-o", Path("back.svg"), "--lang", "en", "restore"}), 0) << err_;
    EXPECT_NE(out_.find("anchor 0 of #piece moved (40, 100) -> (250, 150)"), std::string::npos) << out_;
    EXPECT_NE(out_.find("#piece restored; its record removed"), std::string::npos) << out_;
    EXPECT_EQ(Read("back.svg").find("Path_adjust_matrix"), std::string::npos);
}

TEST_F(AdjustCliTest, RecordsTheRestorePassesOverStayAndTheReportSaysWhy) {
    const std::string records[][2] = {
        {"1,0,0,1,1e999,0,0,0,0,0,0", "a number of its record is too large for a double"},
        {"1,0,0,1,5", "its record has fewer than five fields"},
        {"1,0,0,1,5,-5,20,-30,0,10,0", "its shape no longer matches its record (reference length 20, recorded 10)"},
    };
    std::string drawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" viewBox=\"0 0 100 100\" width=\"100pt\" height=\"100pt\">\n";
    for (int k = 0; k < 3; ++k) {
        drawing += "<path id=\"p" + std::to_string(k) + "\" d=\"M 25 35 L 45 35\"><kv:tag name=\"Path_adjust_matrix\">" +
                   records[k][0] + "</kv:tag></path>\n";
    }
    std::ofstream(Path("records.svg"), std::ios::binary) << drawing << "</svg>\n";
    EXPECT_EQ(Run({Path("records.svg"), "-o", Path("out.svg"), "--lang", "en", "restore"}), 1);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NE(out_.find("#p" + std::to_string(k) + " keeps its record: " + records[k][1]), std::string::npos) << out_;
        EXPECT_NE(Read("out.svg").find(records[k][0]), std::string::npos);
    }
}

TEST_F(AdjustCliTest, ARefusedGestureBeepsAndChangesNothing) {
    // Both drags on the base: Point adjust needs two objects.
    EXPECT_EQ(Run({Path("in.svg"), "--lang", "en", "point-adjust", "40,100", "160,100", "60,120"}), 1);
    EXPECT_NE(out_.find("point-adjust: nothing changed"), std::string::npos) << out_;
    EXPECT_NE(err_.find("kelvane: point-adjust: beep"), std::string::npos) << err_;
}

TEST_F(AdjustCliTest, LowLevelEventsMakeTheSameGesture) {
    ASSERT_EQ(Run({Path("in.svg"), "--lang", "en", "tool", "path", "click:40,100", "move:160,100", "click:160,100",
                   "move:250,150", "down:250,150", "drag:250,110", "up:250,110"}),
              0)
        << err_;
    EXPECT_NE(out_.find("anchor 1 of #piece moved (250, 110) -> (80, 100)"), std::string::npos) << out_;
    EXPECT_NE(err_.find("beep"), std::string::npos) << "the first click does not move";
}

TEST_F(AdjustCliTest, BadPointsAreUsageErrors) {
    EXPECT_EQ(Run({Path("in.svg"), "path-adjust", "1,2", "3,4", "5,6"}), 2);
    EXPECT_EQ(Run({Path("in.svg"), "point-adjust", "1;2", "3,4"}), 2);
    EXPECT_EQ(Run({Path("in.svg"), "tool", "pen", "move:1,2"}), 2);
    EXPECT_EQ(Run({Path("in.svg"), "tool", "path", "hover:1,2"}), 2);
    EXPECT_EQ(Run({Path("in.svg"), "restore", "maybe"}), 2);
}

}  // namespace
#endif

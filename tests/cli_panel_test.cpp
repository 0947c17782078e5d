// `kelvane run` works the plug-in's panel as a user would: what the panel refuses is refused with a
// note, and the handle-line settings go through the settings dialog of the panel's menu.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kelvane_cli.h"
#include "run_command.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kArch =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:kv=\"https://kelvane.example/ns\" viewBox=\"0 0 200 200\" width=\"200pt\" height=\"200pt\">\n"
    "<kv:swatch name=\"Black\" color=\"#000000\"/>\n"
    "<kv:swatch name=\"Handle red\" color=\"#d62728\" kind=\"rgb\"/>\n"
    "<path id=\"arch\" d=\"M 20 140 C 40 60 90 40 110 100\" kv:selected=\"true\"/>\n"
    "<path id=\"line\" d=\"M 20 180 L 180 180\" kv:anchors=\"1 0\"/>\n"
    "</svg>";

class CliPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kelvane-cli-panel-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::ofstream(In(), std::ios::binary) << kArch;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string In() const { return (dir_ / "arch.svg").string(); }

    int Run(std::vector<std::string> args) {
        std::istringstream in;
        std::ostringstream out, err;
        args.insert(args.begin(), In());
        args.insert(args.begin(), "run");
        const int status = KelvaneMain(args, in, out, err);
        out_ = out.str();
        err_ = err.str();
        return status;
    }

    fs::path dir_;
    std::string out_, err_;
};

TEST_F(CliPanelTest, TheReadoutAndTheSliderWaitForAMeasurement) {
    EXPECT_EQ(Run({"length", "100", "slider", "-20"}), kRunUnchanged) << out_ << err_;
    EXPECT_NE(out_.find("the readout is empty and cannot be typed into: measure first"), std::string::npos) << out_;
    EXPECT_NE(out_.find("the slider is disabled until a length is measured: measure first"), std::string::npos);
    // Measured, but one anchor makes no segment: measuring again would not help.
    EXPECT_EQ(Run({"--anchors", "line:0", "measure", "length", "100"}), kRunUnchanged) << out_ << err_;
    EXPECT_NE(out_.find("cannot be typed into: the selected segments measure 0"), std::string::npos) << out_;
}

TEST_F(CliPanelTest, MeasuringFollowsTheLengthChanges) {
    ASSERT_EQ(Run({"measure", "length", "150", "measure"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("length: changed the document"), std::string::npos) << out_;
    EXPECT_NE(out_.find("this ends the run of length changes"), std::string::npos) << out_;
    EXPECT_NE(out_.find("measured length: 150 pt"), std::string::npos) << out_;
    ASSERT_EQ(Run({"measure", "length", "151.3"}), kRunUnchanged) << out_ << err_;
    EXPECT_NE(out_.find("measured length: 151.286 pt"), std::string::npos) << out_;
    EXPECT_NE(out_.find("the typed length is the stored one"), std::string::npos) << "within 0.1 of it";
}

TEST_F(CliPanelTest, HiddenDistanceRowsAreNotSet) {
    ASSERT_EQ(Run({"pointer", "count=1", "d2=10"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("(d2 is not shown with 1 distance rows: not set)"), std::string::npos) << out_;
    ASSERT_EQ(Run({"pointer", "count=2", "d1=10", "d2=10", "direction=forward"}), kRunChanged) << out_ << err_;
    EXPECT_EQ(out_.find("not shown"), std::string::npos) << out_;
}

TEST_F(CliPanelTest, HandleLineSettingsGoThroughTheSettingsDialog) {
    ASSERT_EQ(Run({"handles", "layer=Handles", "color=Handle red", "polyline=off"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("new path in layer \"Handles\""), std::string::npos) << out_;
    ASSERT_EQ(Run({"handles", "color=Nothing"}), kRunChanged) << out_ << err_;
    EXPECT_NE(out_.find("no swatch \"Nothing\" in the document"), std::string::npos) << out_;
    EXPECT_NE(out_.find("new path in layer \"HANDLE LINE\""), std::string::npos) << out_;
}

}  // namespace

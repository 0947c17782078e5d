// "Do Action": the undo and redo texts of each command, in the current language, the action the
// panel plays, and commands on a document whose numbers overflow.
#include <cmath>

#include "document.h"
#include "plugin_fixture.h"
#include "shell/commands.h"

namespace {

class CommandTest : public PluginTest {
protected:
    void SetUp() override { StartPlugin(); }

    // The host playing the plug-in's action with the command chosen in the panel.
    const sim::UndoStep* Run(std::uint16_t id, std::uint16_t language) {
        State().commandId = id;
        State().language = language;
        const std::size_t stepsBefore = host.Undo().Steps().size();
        EXPECT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
        return host.Undo().Steps().size() > stepsBefore ? host.Undo().Last() : nullptr;
    }
};

// Each command with an undo step names it in the language (Korean shows English); the Japanese texts
// go to the host in Shift-JIS. The command id stays for the host's next play.
TEST_F(CommandTest, UndoTextsFollowTheLanguage) {
    for (std::uint16_t id : {kCommandLengthSlider, kCommandLengthTyped, kCommandPointer, kCommandHandleLine,
                             kCommandAngleBisector, kCommandExtensionCrossing}) {
        const sim::UndoStep* step = Run(id, kKorean);
        ASSERT_NE(step, nullptr) << id;
        EXPECT_TRUE(step->textSet) << id;
    }
    const sim::UndoStep* step = Run(kCommandExtensionCrossing, kKorean);
    EXPECT_EQ(step->undoText, "Undo Extension Crossing");
    EXPECT_EQ(step->redoText, "Redo Extension Crossing");
    step = Run(kCommandAngleBisector, kJapanese);
    EXPECT_NE(step->undoText, sim::Cp932ToUtf8(step->undoText)) << "sent as Shift-JIS, not UTF-8";
    EXPECT_EQ(sim::Cp932ToUtf8(step->undoText), "角の二等分線の取り消し");
    EXPECT_EQ(sim::Cp932ToUtf8(step->redoText), "角の二等分線のやり直し");
    App().alerts.clear();
    const std::uint16_t silent[] = {kCommandSettingsDialog, kCommandLengthReadout, 1007, 0};
    for (std::uint16_t id : silent) {
        step = Run(id, kEnglish);
        EXPECT_TRUE(step == nullptr || !step->textSet) << id;
    }
    EXPECT_TRUE(App().alerts.empty());

    Run(kCommandHandleLine, kEnglish);
    EXPECT_EQ(host.DoAction(), kNoError);
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Handle Line");
}

#ifndef _WIN32
// Only the commands up to the settings dialog take a parameter value; without one the action still runs.
TEST_F(CommandTest, PlayingPassesAParameterValueOnlyToTheSettingCommands) {
    State().savedBasicSuite = host.Basic();
    for (std::uint16_t id : {kCommandLengthSlider, kCommandPointer, kCommandLengthTyped, kCommandHandleLine,
                             kCommandSettingsDialog, kCommandAngleBisector, kCommandExtensionCrossing,
                             kCommandLengthReadout}) {
        PlayInsideCommand(id);
        ASSERT_FALSE(App().actionPlays.empty());
        const sim::ActionPlay& play = App().actionPlays.back();
        EXPECT_EQ(play.eventName, "KELVANE_INSIDECMD");
        EXPECT_EQ(play.dialogStatus, 3);
        EXPECT_EQ(play.parameters != nullptr, id <= kCommandSettingsDialog) << id;
        EXPECT_EQ(State().commandId, id);
    }
    EXPECT_EQ(App().LiveActionParamValues(), 0u) << "every parameter value is given back";
    host.Gate().FailOperation("AI Action Manager Suite", "NewActionParamValue", kOutOfMemoryStatus);
    PlayInsideCommand(kCommandPointer);
    EXPECT_EQ(App().actionPlays.size(), 9u);
    EXPECT_EQ(App().actionPlays.back().parameters, nullptr);
    EXPECT_TRUE(host.SuitesBalanced());
}
#endif

// A hostile document: anchors so far apart that lengths, crossings and motions overflow a double.
// Every command refuses or passes over them; none writes an infinity or a NaN into the document.
constexpr double kFar = 1e308;

bool AllFinite(const sim::Art* art) {
    for (const AnchorRecord& a : art->anchors) {
        for (const RealPoint& p : {a.p, a.in, a.out}) {
            if (!std::isfinite(p.h) || !std::isfinite(p.v)) return false;
        }
    }
    for (const sim::Art* child : art->Children()) {
        if (!AllFinite(child)) return false;
    }
    return true;
}

class FarOutDocumentTest : public PluginTest, public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(FarOutDocumentTest, NoCommandWritesAnInfinityOrANaN) {
    StartPlugin();
    sim::Document& doc = host.NewDocument();
    sim::Art* root = doc.CurrentLayer()->root;
    doc.SelectWhole(doc.AddPath(root, {{-kFar, 0}, {kFar, 1}}));
    doc.SelectWhole(doc.AddPath(root, {{0, -kFar}, {1, kFar}}));
    State().commandId = GetParam();
    State().typedLength = 50;
    State().flDivideSegment = 1;
    ASSERT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
    EXPECT_TRUE(AllFinite(root));
    EXPECT_TRUE(std::isfinite(State().measuredLength));

    // A curve whose length overflows: not measured, not reshaped.
    doc.SelectWhole(
        doc.AddCurve(root, {{{-kFar, 5}, {-kFar, 5}, {kFar, 5}, false}, {{kFar, 9}, {-kFar, 9}, {kFar, 9}, false}}));
    ASSERT_EQ(host.PlayAction("KELVANE_INSIDECMD", 3, nullptr), kNoError);
    EXPECT_TRUE(AllFinite(root));
    EXPECT_TRUE(std::isfinite(State().measuredLength));
}

INSTANTIATE_TEST_SUITE_P(EveryDrawingCommand, FarOutDocumentTest,
                         ::testing::Values(kCommandLengthTyped, kCommandPointer, kCommandHandleLine,
                                           kCommandAngleBisector, kCommandExtensionCrossing, kCommandLengthReadout));

}  // namespace

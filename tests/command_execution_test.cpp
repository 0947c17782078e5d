// "Do Action": the undo and redo texts of each command, in the current language.
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

TEST_F(CommandTest, UndoTextsFollowTheLanguage) {
    struct Case {
        std::uint16_t id;
        const char* english[2];
        const char* japanese[2];
    };
    const Case cases[] = {
        {kCommandLengthSlider, {"Undo Length", "Redo Length"}, {"レングスの取り消し", "レングスのやり直し"}},
        {kCommandLengthTyped, {"Undo Length", "Redo Length"}, {"レングスの取り消し", "レングスのやり直し"}},
        {kCommandPointer, {"Undo Pointer", "Redo Pointer"}, {"ポインターの取り消し", "ポインターのやり直し"}},
        {kCommandHandleLine,
         {"Undo Handle Line", "Redo Handle Line"},
         {"ハンドルラインの取り消し", "ハンドルラインのやり直し"}},
        {kCommandAngleBisector,
         {"Undo Angle Bisector", "Redo Angle Bisector"},
         {"角の二等分線の取り消し", "角の二等分線のやり直し"}},
        {kCommandExtensionCrossing,
         {"Undo Extension Crossing", "Redo Extension Crossing"},
         {"延長交差の取り消し", "延長交差のやり直し"}},
    };
    for (const Case& c : cases) {
        for (std::uint16_t language : {kEnglish, kKorean}) {
            const sim::UndoStep* step = Run(c.id, language);
            ASSERT_NE(step, nullptr) << c.id;
            EXPECT_EQ(step->undoText, c.english[0]) << c.id << " language " << language;
            EXPECT_EQ(step->redoText, c.english[1]) << c.id;
        }
        const sim::UndoStep* step = Run(c.id, kJapanese);
        ASSERT_NE(step, nullptr) << c.id;
        EXPECT_NE(step->undoText, sim::Cp932ToUtf8(step->undoText)) << "sent as Shift-JIS, not UTF-8";
        EXPECT_EQ(sim::Cp932ToUtf8(step->undoText), c.japanese[0]) << c.id;
        EXPECT_EQ(sim::Cp932ToUtf8(step->redoText), c.japanese[1]) << c.id;
    }
}

TEST_F(CommandTest, CommandsWithoutTextsAndUnknownIdsSetNone) {
    const std::uint16_t ids[] = {kCommandSettingsDialog, kCommandLengthReadout, 1007, 0};
    for (std::uint16_t id : ids) {
        const sim::UndoStep* step = Run(id, kEnglish);
        EXPECT_TRUE(step == nullptr || !step->textSet) << id;
    }
    EXPECT_TRUE(App().alerts.empty());
}

TEST_F(CommandTest, TheCommandIdStaysForTheNextPlay) {
    Run(kCommandHandleLine, kEnglish);
    EXPECT_EQ(State().commandId, kCommandHandleLine);
    EXPECT_EQ(host.DoAction(), kNoError);
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Handle Line");
}

#ifndef _WIN32
TEST_F(CommandTest, PlayingPassesAParameterValueOnlyToTheSettingCommands) {
    State().savedBasicSuite = host.Basic();
    const std::uint16_t ids[] = {kCommandLengthSlider, kCommandPointer,         kCommandLengthTyped,
                                 kCommandHandleLine,   kCommandSettingsDialog,  kCommandAngleBisector,
                                 kCommandExtensionCrossing, kCommandLengthReadout};
    for (std::uint16_t id : ids) {
        PlayInsideCommand(id);
        ASSERT_FALSE(App().actionPlays.empty());
        const sim::ActionPlay& play = App().actionPlays.back();
        EXPECT_EQ(play.eventName, "KELVANE_INSIDECMD");
        EXPECT_EQ(play.dialogStatus, 3);
        EXPECT_EQ(play.parameters != nullptr, id <= kCommandSettingsDialog) << id;
        EXPECT_EQ(State().commandId, id);
    }
    EXPECT_EQ(App().LiveActionParamValues(), 0u) << "every parameter value is given back";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(CommandTest, PlayingWithoutAParameterValueStillRuns) {
    State().savedBasicSuite = host.Basic();
    host.Gate().FailOperation("AI Action Manager Suite", "NewActionParamValue", kOutOfMemoryStatus);
    PlayInsideCommand(kCommandPointer);
    ASSERT_EQ(App().actionPlays.size(), 1u);
    EXPECT_EQ(App().actionPlays[0].parameters, nullptr);
}
#endif

}  // namespace

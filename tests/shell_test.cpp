// The plug-in's life as the host drives it: start-up, shut-down, unload and reload, message routing,
// the suite bracket, the error alert and the about box. "Do Action": the undo and redo texts of each
// command, in the current language, the action the panel plays, and commands on a document whose
// numbers overflow.
#include <cmath>

#include "panel/about_box.h"
#include "plugin_fixture.h"
#include "settings/settings_file.h"
#include "shell/commands.h"
#include "shell/suites.h"

namespace {

// The plug-in started in the simulated host.
class StartedPlugin : public PluginTest {
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

TEST_F(StartedPlugin, MessagesAreRoutedByTheirTextOnly) {
    const std::size_t blocks = host.OutstandingBlocks();
    for (const auto& [caller, selector] : {std::pair{"AI Unknown", "AI Go"}, std::pair{"AI Menu", "AI Unknown"},
                                           std::pair{"SP Access", "Other"}, std::pair{"Action Manager", "Other"}}) {
        EXPECT_EQ(SendBare(caller, selector), kNoError) << caller << " / " << selector;
    }
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
    EXPECT_TRUE(App().alerts.empty());

    State().commandId = kCommandPointer;
    State().language = kEnglish;
    const std::string caller = "Action Manager";  // a copy: another address, the same text
    ActionMessage message{host.Header(), nullptr, 0};
    EXPECT_EQ(host.Send(caller.c_str(), std::string("Do Action").c_str(), &message), kNoError);
    ASSERT_NE(host.Undo().Last(), nullptr);
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Pointer");
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, AnErrorWithoutTheUserSuiteIsNotShown) {
    host.RefuseSuite("AI User Suite");
    host.Gate().FailOperation("AI Notifier Suite", "AddNotifier", FourCharCode('F', 'A', 'I', 'L'));
    EXPECT_EQ(host.Startup(), FourCharCode('F', 'A', 'I', 'L'));
    EXPECT_TRUE(App().alerts.empty());
}

TEST_F(PluginTest, StatusesReportedInTheErrorAlert) {
    // The status start-up fails with, and its alert (null: returned without an alert).
    const std::pair<HostStatus, const char*> cases[] = {
        {kCanceledStatus, nullptr},
        {kStopStatus, nullptr},
        {kSuiteNotFoundStatus, nullptr},
        {FourCharCode('A', 'B', 'C', 'D'), "Error=41424344, ABCD (caller : SP Interface, selector : Startup)"},
        {-1, "Error=ffffffff, \xff\xff\xff\xff (caller : SP Interface, selector : Startup)"},
        {kOutOfMemoryStatus, "Error=214d454d, !MEM (caller : SP Interface, selector : Startup)"},
    };
    for (const auto& [status, alert] : cases) {
        App().alerts.clear();
        host.Gate().FailOperation("AI Action Manager Suite", "RegisterActionEvent", status);
        EXPECT_EQ(host.Startup(), status);
        if (alert == nullptr) {
            EXPECT_TRUE(App().alerts.empty()) << status;
        } else {
            ASSERT_EQ(App().alerts.size(), 1u);
            EXPECT_EQ(App().alerts[0].text, alert);
        }
        host.Gate().ClearFailures();
        EXPECT_EQ(host.Shutdown(), kNoError);
    }
}

#ifndef _WIN32
// The panel's window procedures run outside any message and bracket their work themselves; the
// action they play comes back into the plug-in, whose bracket must not acquire or release again.
TEST_F(StartedPlugin, ANestedBracketReusesTheSuites) {
    State().savedBasicSuite = host.Basic();
    State().language = kEnglish;
    const int acquiredBefore = host.Uses("AI Art Suite").acquired;
    PlayInsideCommand(kCommandAngleBisector);
    EXPECT_EQ(host.Uses("AI Art Suite").acquired, acquiredBefore + 1);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(suiteDepth, 0);
    EXPECT_EQ(sArt, nullptr) << "the outermost bracket released the suites";
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Angle Bisector");
}
#endif

// ---- Start-up, shut-down, unload and reload as the host drives them ----

TEST_F(PluginTest, StartupGivesTheStartValuesAndRegistersEverything) {
    App().scaleFactors[0] = NAN;
    App().scaleFactors[1] = 2.0;
    App().pluginOptions = 0x10;
    StartPlugin();
    ASSERT_NE(host.Globals(), nullptr);
    EXPECT_EQ(host.OutstandingBlocks(), 1u);
    const PluginState& state = State();
    EXPECT_EQ(state.uiScaleMax, 2.0) << "a scale factor that is not a number is passed over";
    EXPECT_EQ(state.lastToolSelf, host.Self());
    PluginState defaults;
    SetStartValues(defaults, nullptr, 1.0);
    EXPECT_EQ(FormatSettingsText(state), FormatSettingsText(defaults)) << "the settings file's defaults";
    EXPECT_STREQ(state.productName, "Kelvane");
    EXPECT_STREQ(state.versionText, "5.0.4.4");
    for (const AnchorHit& hit : state.adjustHits) EXPECT_EQ(hit.anchorIndex, 0xFFFF);
    EXPECT_EQ(state.bezierA256[128], 0.125);
    EXPECT_DOUBLE_EQ(state.bezierB256[64], 3 * 0.25 * 0.75 * 0.75);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(App().pluginOptions, 0x12) << "the option bit added";

    const sim::Tool* pathTool = App().FindTool("Path adjust Tool");
    const sim::Tool* pointTool = App().FindTool("Point adjust Tool");
    ASSERT_NE(pathTool, nullptr);
    ASSERT_NE(pointTool, nullptr);
    EXPECT_EQ(pathTool->tooltip, "Path adjust Tool");
    EXPECT_EQ(pathTool->options, 3);
    EXPECT_EQ(pathTool->iconKind, 2);
    EXPECT_TRUE(pathTool->lightIconId == 16251 && pathTool->darkIconId == 16351);
    EXPECT_TRUE(pointTool->lightIconId == 16252 && pointTool->darkIconId == 16352);
    EXPECT_EQ(pathTool->sameGroupAs, -2);
    EXPECT_EQ(pointTool->sameGroupAs, pathTool->number);
    EXPECT_EQ(pointTool->sameToolsetAs, -2);
    EXPECT_EQ(State().pointAdjustTool, sim::HandleOf(pointTool));

    EXPECT_EQ(App().notifiers.size(), 10u) << "each notification the plug-in answers";

    const sim::MenuItem* palette = App().FindMenuItem("AI-PLOTVEX Info Group");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->group, "Tool Palettes");
    EXPECT_EQ(palette->text, "Kelvane");
    const sim::MenuGroup* aboutGroup = App().FindMenuGroup("TW_PLUGINS_ABOUT");
    ASSERT_NE(aboutGroup, nullptr);
    EXPECT_EQ(aboutGroup->parentItem->text, "About Plug-ins (TARNWICK INC.)");
    const sim::MenuItem* about = App().FindMenuItem("Kelvane");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->group, "TW_PLUGINS_ABOUT");
    EXPECT_EQ(about->text, "Kelvane...");

    const sim::ActionEvent* action = App().FindActionEvent("KELVANE_INSIDECMD");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->displayName, "KELVANE Inside Objects Command");
    EXPECT_EQ(App().LiveActionParamTypes(), 0u) << "the registration's parameter type is destroyed";
    ASSERT_NE(App().FindAnnotator("KELVANE_ANNOTATOR"), nullptr);
    EXPECT_TRUE(App().alerts.empty());
}

TEST_F(StartedPlugin, AboutMessageShowsTheAboutBox) {
    EXPECT_EQ(host.About(), kNoError);
    ASSERT_EQ(App().aboutBoxes.size(), 1u);
    EXPECT_EQ(App().aboutBoxes[0].title, "Kelvane");
    EXPECT_EQ(App().aboutBoxes[0].line, "Kelvane 5.0.4.4");
    EXPECT_TRUE(App().alerts.empty());
    EXPECT_TRUE(host.SuitesBalanced());
    char line[8];
    FormatAboutLine(line, sizeof line, "Kelvane", "5.0.4.4");
    EXPECT_STREQ(line, "Kelvane") << "cut to the buffer";
}

TEST_F(PluginTest, AnExistingAboutGroupIsJoined) {
    App().AddMenuGroup("TW_PLUGINS_ABOUT");
    StartPlugin();
    EXPECT_EQ(App().FindMenuItem("TW_PLUGINS_ABOUT"), nullptr) << "no second maker's about item";
    ASSERT_NE(App().FindMenuItem("Kelvane"), nullptr);
    EXPECT_EQ(App().FindMenuItem("Kelvane")->group, "TW_PLUGINS_ABOUT");
}

TEST_F(StartedPlugin, UnloadAndReloadKeepTheRecord) {
    PluginState* record = &State();
    EXPECT_EQ(host.Unload(), kNoError);
    EXPECT_EQ(host.Globals(), record);
#ifndef _WIN32
    suiteDepth = 3;  // whatever the count was when the library went away
#endif
    EXPECT_EQ(host.Reload(), kNoError);
    EXPECT_EQ(&State(), record);
    EXPECT_EQ(host.Uses("AI Art Suite").acquired, 1) << "unload and reload acquire nothing";
    EXPECT_EQ(host.Notify("AI Art Objects Changed Notifier"), kNoError);
    EXPECT_EQ(host.Uses("AI Art Suite").acquired, 2) << "the first message after a reload acquires again";
    EXPECT_TRUE(host.SuitesBalanced());
}

// ---- Do Action ----

// Each command with an undo step names it in the language (Korean shows English); the Japanese texts
// go to the host in Shift-JIS. The command id stays for the host's next play.
TEST_F(StartedPlugin, UndoTextsFollowTheLanguage) {
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
TEST_F(StartedPlugin, PlayingPassesAParameterValueOnlyToTheSettingCommands) {
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

class FarOutDocumentTest : public StartedPlugin, public ::testing::WithParamInterface<std::uint16_t> {};

TEST_P(FarOutDocumentTest, NoCommandWritesAnInfinityOrANaN) {
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

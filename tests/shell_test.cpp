// The plug-in's life as the host drives it: start-up, shut-down, unload and reload, message routing,
// the suite bracket and the error alert.
#include <cmath>

#include "plugin_fixture.h"
#include "settings/settings_file.h"
#include "shell/commands.h"
#include "shell/suites.h"

namespace {

TEST_F(PluginTest, MessagesAreRoutedByTheirTextOnly) {
    StartPlugin();
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
TEST_F(PluginTest, ANestedBracketReusesTheSuites) {
    StartPlugin();
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

TEST_F(PluginTest, AnExistingAboutGroupIsJoined) {
    App().AddMenuGroup("TW_PLUGINS_ABOUT");
    StartPlugin();
    EXPECT_EQ(App().FindMenuItem("TW_PLUGINS_ABOUT"), nullptr) << "no second maker's about item";
    ASSERT_NE(App().FindMenuItem("Kelvane"), nullptr);
    EXPECT_EQ(App().FindMenuItem("Kelvane")->group, "TW_PLUGINS_ABOUT");
}

TEST_F(PluginTest, UnloadAndReloadKeepTheRecord) {
    StartPlugin();
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

}  // namespace

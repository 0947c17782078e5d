// Message routing, the suite bracket and the error alert.
#include "plugin_fixture.h"
#include "shell/commands.h"
#include "shell/suites.h"

namespace {

TEST_F(PluginTest, MessagesOutsideTheRoutingTableDoNothing) {
    StartPlugin();
    const std::size_t blocks = host.OutstandingBlocks();
    for (const auto& [caller, selector] : {std::pair{"AI Unknown", "AI Go"}, std::pair{"AI Menu", "AI Unknown"},
                                           std::pair{"SP Access", "Other"}, std::pair{"SP Interface", "Other"},
                                           std::pair{"Action Manager", "Other"}}) {
        EXPECT_EQ(SendBare(caller, selector), kNoError) << caller << " / " << selector;
    }
    EXPECT_EQ(host.OutstandingBlocks(), blocks);
    EXPECT_TRUE(App().alerts.empty());
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, CallerAndSelectorAreComparedAsText) {
    StartPlugin();
    State().commandId = kCommandPointer;
    State().language = kEnglish;
    const std::string caller = "Action Manager";  // a copy: another address, the same text
    const std::string selector = "Do Action";
    ActionMessage message{host.Header(), nullptr, 0};
    EXPECT_EQ(host.Send(caller.c_str(), selector.c_str(), &message), kNoError);
    ASSERT_NE(host.Undo().Last(), nullptr);
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Pointer");
}

TEST_F(PluginTest, RefusedSuitesLeaveEmptySlotsAndNoAlert) {
    host.RefuseSuite("AI Tool Suite");
    host.RefuseSuite("AI User Suite");
    EXPECT_EQ(host.Startup(), kSuiteNotFoundStatus) << "adding tools without the tool suite";
    EXPECT_TRUE(App().alerts.empty());
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.Shutdown(), kNoError);
    EXPECT_EQ(host.OutstandingBlocks(), 0u);
}

TEST_F(PluginTest, AnErrorWithoutTheUserSuiteIsNotShown) {
    host.RefuseSuite("AI User Suite");
    host.Gate().FailOperation("AI Notifier Suite", "AddNotifier", FourCharCode('F', 'A', 'I', 'L'));
    EXPECT_EQ(host.Startup(), FourCharCode('F', 'A', 'I', 'L'));
    EXPECT_TRUE(App().alerts.empty());
}

TEST_F(PluginTest, ARefusalOfTheLastSuiteSkipsTheHandler) {
    // The bracket answers with the last acquisition's status, so the message is not handled.
    host.RefuseSuite("AI Unicode String Suite");
    EXPECT_EQ(host.Startup(), kSuiteNotFoundStatus);
    EXPECT_EQ(host.Globals(), nullptr);
    EXPECT_TRUE(App().alerts.empty());
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, EverySuiteOfTheTableIsAcquiredOnceAndReleased) {
    StartPlugin();
    for (const SuiteRow& row : SuiteTable) {
        const sim::SuiteUse use = host.Uses(row.name);
        EXPECT_EQ(use.acquired, 1) << row.name;
        EXPECT_EQ(use.released, 1) << row.name;
    }
}

TEST_F(PluginTest, StatusesReportedInTheErrorAlert) {
    struct Case {
        HostStatus status;
        const char* alert;  // null: returned without an alert
    };
    const Case cases[] = {
        {kCanceledStatus, nullptr},
        {kStopStatus, nullptr},
        {kSuiteNotFoundStatus, nullptr},
        {FourCharCode('A', 'B', 'C', 'D'), "Error=41424344, ABCD (caller : SP Interface, selector : Startup)"},
        {-1, "Error=ffffffff, \xff\xff\xff\xff (caller : SP Interface, selector : Startup)"},
    };
    for (const Case& c : cases) {
        App().alerts.clear();
        host.Gate().FailOperation("AI Action Manager Suite", "RegisterActionEvent", c.status);
        EXPECT_EQ(host.Startup(), c.status);
        if (c.alert == nullptr) {
            EXPECT_TRUE(App().alerts.empty()) << c.status;
        } else {
            ASSERT_EQ(App().alerts.size(), 1u);
            EXPECT_EQ(App().alerts[0].text, c.alert);
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
    ASSERT_EQ(App().actionPlays.size(), 1u);
    EXPECT_EQ(App().actionPlays[0].eventName, "KELVANE_INSIDECMD");
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Angle Bisector");
}
#endif

}  // namespace

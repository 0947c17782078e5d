// Message routing, the suite bracket and the error alert.
#include "plugin_fixture.h"
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
        {kOutOfMemoryStatus, "Error=214d454d, !MEM (caller : SP Interface, selector : Startup)"},
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
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Angle Bisector");
}
#endif

}  // namespace

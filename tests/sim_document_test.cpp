// The simulated host's failure injection, which the failure sweep relies on: the Nth gated call
// fails once, every call of one operation fails, and the log says which call failed. (The rest of
// the simulated host is tested through the plug-in and the command line.)
#include <gtest/gtest.h>

#include "host.h"
#include "host/suites.h"

namespace {

TEST(SimHost, TheFailureGateFailsTheNthCallOrEveryCallOfAnOperation) {
    constexpr HostStatus kInjectedStatus = FourCharCode('I', 'N', 'J', '!');
    sim::Host host;
    host.Gate().SetLogging(true);
    const void* suite = nullptr;
    ASSERT_EQ(host.Basic()->AcquireSuite("AI User Suite", 21, &suite), kNoError);
    const auto* user = static_cast<const UserSuite*>(suite);
    host.Gate().ResetCallCount();
    host.Gate().FailNthCall(2, kInjectedStatus);
    EXPECT_EQ(user->MessageAlert("one"), kNoError);
    EXPECT_EQ(user->MessageAlert("two"), kInjectedStatus);
    EXPECT_EQ(user->MessageAlert("three"), kNoError);
    ASSERT_EQ(host.App().alerts.size(), 2u) << "a failed call does nothing";
    EXPECT_EQ(host.App().alerts[1].text, "three");
    const auto& log = host.Gate().Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].suite, "AI User Suite");
    EXPECT_EQ(log[2].operation, "MessageAlert");
    EXPECT_EQ(log[2].injected, kInjectedStatus);
    EXPECT_EQ(log[3].injected, kNoError);

    host.Gate().FailOperation("SP Basic Suite", "AllocateBlock", kOutOfMemoryStatus);
    void* block = &host;
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kOutOfMemoryStatus);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kOutOfMemoryStatus);
    host.Gate().ClearFailures();
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kNoError);
    EXPECT_EQ(host.Basic()->FreeBlock(block), kNoError);
}

}  // namespace

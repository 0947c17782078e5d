// Failure injection: the Nth gated call, every call of one operation, and the call log that lets
// a test sweep N over a whole run.
#include <gtest/gtest.h>

#include "host.h"
#include "host/suites.h"

namespace {

constexpr HostStatus kInjected = FourCharCode('I', 'N', 'J', '!');

const UserSuite* AcquireUser(sim::Host& host) {
    const void* suite = nullptr;
    EXPECT_EQ(host.Basic()->AcquireSuite("AI User Suite", 21, &suite), kNoError);
    return static_cast<const UserSuite*>(suite);
}

TEST(SimFailureGate, FailsTheNthCallOnceAndLogsEachCall) {
    sim::Host host;
    host.Gate().SetLogging(true);
    const UserSuite* user = AcquireUser(host);
    host.Gate().ResetCallCount();
    host.Gate().FailNthCall(2, kInjected);
    EXPECT_EQ(user->MessageAlert("one"), kNoError);
    EXPECT_EQ(user->MessageAlert("two"), kInjected);
    EXPECT_EQ(user->MessageAlert("three"), kNoError);
    EXPECT_EQ(host.Gate().CallCount(), 3);
    ASSERT_EQ(host.App().alerts.size(), 2u) << "a failed call does nothing";
    EXPECT_EQ(host.App().alerts[1].text, "three");

    const auto& log = host.Gate().Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].suite, "SP Basic Suite");
    EXPECT_EQ(log[0].operation, "AcquireSuite");
    EXPECT_EQ(log[2].suite, "AI User Suite");
    EXPECT_EQ(log[2].operation, "MessageAlert");
    EXPECT_EQ(log[2].injected, kInjected) << "the log says which call failed";
    EXPECT_EQ(log[3].injected, kNoError);
}

TEST(SimFailureGate, FailsEveryCallOfAnOperationIncludingTheBasicSuite) {
    sim::Host host;
    const UserSuite* user = AcquireUser(host);
    host.Gate().FailOperation("AI User Suite", "ErrorAlert", kInjected);
    host.Gate().FailOperation("SP Basic Suite", "AllocateBlock", kOutOfMemoryStatus);
    EXPECT_EQ(user->ErrorAlert("a"), kInjected);
    EXPECT_EQ(user->ErrorAlert("b"), kInjected);
    EXPECT_EQ(user->MessageAlert("c"), kNoError);
    void* block = &host;
    EXPECT_EQ(host.Basic()->AllocateBlock(8, &block), kOutOfMemoryStatus);
    EXPECT_EQ(block, nullptr);
    host.Gate().ClearFailures();
    EXPECT_EQ(user->ErrorAlert("d"), kNoError);
    EXPECT_EQ(host.App().alerts.size(), 2u);
}

}  // namespace

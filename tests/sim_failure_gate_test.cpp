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

TEST(SimFailureGate, FailsTheNthCallOnce) {
    sim::Host host;
    const UserSuite* user = AcquireUser(host);
    host.Gate().ResetCallCount();
    host.Gate().FailNthCall(2, kInjected);
    EXPECT_EQ(user->MessageAlert("one"), kNoError);
    EXPECT_EQ(user->MessageAlert("two"), kInjected);
    EXPECT_EQ(user->MessageAlert("three"), kNoError);
    EXPECT_EQ(host.Gate().CallCount(), 3);
    ASSERT_EQ(host.App().alerts.size(), 2u) << "a failed call does nothing";
    EXPECT_EQ(host.App().alerts[1].text, "three");
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

TEST(SimFailureGate, LogNamesEachCallSoATestCanSweepOverThem) {
    sim::Host host;
    host.Gate().SetLogging(true);
    const UserSuite* user = AcquireUser(host);
    double first = 0;
    double second = 0;
    user->GetScaleFactors(&first, &second);
    const auto& log = host.Gate().Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].suite, "SP Basic Suite");
    EXPECT_EQ(log[0].operation, "AcquireSuite");
    EXPECT_EQ(log[1].suite, "AI User Suite");
    EXPECT_EQ(log[1].operation, "GetScaleFactors");

    // Sweep: each call of the run fails once in its turn, and the log says which one did.
    const std::int64_t calls = host.Gate().CallCount();
    for (std::int64_t n = 1; n <= calls; ++n) {
        host.Gate().ClearLog();
        host.Gate().FailNthCall(n, kInjected);
        const void* suite = nullptr;
        const HostStatus acquired = host.Basic()->AcquireSuite("AI User Suite", 21, &suite);
        const HostStatus scaled = suite == nullptr ? acquired : user->GetScaleFactors(&first, &second);
        EXPECT_EQ(n == 1 ? acquired : scaled, kInjected) << n;
        ASSERT_EQ(host.Gate().Log().size(), n == 1 ? 1u : 2u);
        EXPECT_EQ(host.Gate().Log().back().injected, kInjected);
    }
}

}  // namespace

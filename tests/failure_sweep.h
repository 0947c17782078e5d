// A host failure swept over every gated call of a run: call 1 fails, then call 2, and so on until a
// run ends before the failure is reached. After each run the plug-in must be at rest (suites
// released, nothing of the host's left allocated, the error alert exactly for the statuses that
// warrant one) and the scenario's own check must hold.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "document.h"
#include "host.h"
#include "host/messages.h"
#include "shell/suites.h"

namespace sweep {

constexpr HostStatus kOrdinaryFailure = FourCharCode('I', 'N', 'J', '!');

// One run of a sweep, as its check sees it.
struct Trial {
    std::int64_t call = 0;  // the call that failed; 0 for the good run
    const std::vector<sim::GatedCall>* goodLog = nullptr;  // every gated call of the good run

    bool Good() const { return call == 0; }
    const sim::GatedCall* Failed() const {
        return call == 0 ? nullptr : &(*goodLog)[static_cast<std::size_t>(call - 1)];
    }
    bool Failed(const char* operation) const { return Failed() != nullptr && Failed()->operation == operation; }
    // How many calls of operation the good run made before the failing one; all of them in the good run.
    int Before(const char* operation) const {
        const std::size_t end = call == 0 ? goodLog->size() : static_cast<std::size_t>(call - 1);
        int count = 0;
        for (std::size_t k = 0; k < end; ++k) count += (*goodLog)[k].operation == operation ? 1 : 0;
        return count;
    }
    std::string Describe() const {
        if (call == 0) return "the good run";
        return "call " + std::to_string(call) + " (" + Failed()->suite + " " + Failed()->operation + ") failing";
    }
};

struct Steps {
    std::function<void()> prepare;             // a fresh start, not swept
    std::function<void()> act;                 // the swept part: what the user or the host does
    std::function<void(const Trial&)> check;   // optional: the scenario's own check
    std::function<void()> finish = nullptr;    // optional, not swept: what the host does after the act
};

inline bool IsSilent(HostStatus status) {
    return status == kNoError || status == kCanceledStatus || status == kSuiteNotFoundStatus || status == kStopStatus;
}

// The error alert of a message whose status warrants one.
inline std::string ErrorAlertText(HostStatus status, const std::string& caller, const std::string& selector) {
    const auto code = static_cast<std::uint32_t>(status);
    std::string letters;
    for (int shift = 24; shift >= 0 && ((code >> shift) & 0xFF) != 0; shift -= 8) {
        letters += static_cast<char>(code >> shift);
    }
    std::ostringstream text;
    text << "Error=" << std::hex << code << ", " << letters << " (caller : " << caller << ", selector : " << selector
         << ")";
    return text.str();
}

// Whether every bracket of the plug-in is closed: natively its own counter; on Windows, where the
// plug-in's counter lives in its library, whether a message takes the suites anew.
inline ::testing::AssertionResult SuitesAtRest(sim::Host& host) {
#ifndef _WIN32
    (void)host;
    if (suiteDepth != 0) return ::testing::AssertionFailure() << "suite depth " << suiteDepth;
#else
    const int before = host.Uses("SP Blocks Suite").acquired;
    InterfaceMessage probe{host.Header()};
    host.Send("Kelvane Sweep", "Probe", &probe);
    if (host.Uses("SP Blocks Suite").acquired == before) return ::testing::AssertionFailure() << "suites still held";
#endif
    return ::testing::AssertionSuccess();
}

class Sweeper {
public:
    // host is asked for anew at each step: a scenario may make a new host in prepare.
    Sweeper(std::function<sim::Host&()> host, HostStatus status) : host_(std::move(host)), status_(status) {}

    // Runs the good run and then one run per gated call; stops at the first run that fails a check.
    void Sweep(const Steps& steps) {
        std::vector<sim::GatedCall> log;
        Trial run{0, &log};
        Run(steps, run, &log);
        if (::testing::Test::HasFailure()) return;
        for (run.call = 1; Run(steps, run, nullptr); ++run.call) {
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "with " << run.Describe();
                return;
            }
        }
        if (::testing::Test::HasFailure()) return;  // a call beyond the good run's
        EXPECT_EQ(run.call, static_cast<std::int64_t>(log.size()) + 1) << "every call of the good run failed once";
        run.call = 0;
        Run(steps, run, nullptr);
        if (::testing::Test::HasFailure()) ADD_FAILURE() << "in the good run after the sweep";
    }

private:
    // One run with run.call failing (none in a good run), its gated calls logged into log when given;
    // whether the failing call was reached, and then the run checked.
    bool Run(const Steps& steps, const Trial& run, std::vector<sim::GatedCall>* log) {
        steps.prepare();
        Baseline();
        sim::FailureGate& gate = host_().Gate();
        gate.ClearLog();
        gate.SetLogging(log != nullptr);
        gate.ResetCallCount();
        if (!run.Good()) gate.FailNthCall(run.call, status_);
        steps.act();
        gate.SetLogging(false);
        const bool reached = gate.CallCount() >= run.call;
        gate.ClearFailures();
        if (log != nullptr) *log = gate.Log();
        gate.ClearLog();
        if (!reached) return false;
        if (run.call > static_cast<std::int64_t>(run.goodLog->size())) {
            ADD_FAILURE() << "call " << run.call << " made, beyond the " << run.goodLog->size()
                          << " calls of the good run";
            return false;
        }
        if (steps.finish) steps.finish();
        Verify(steps, run);
        return true;
    }

    void Baseline() {
        sim::Host& host = host_();
        // By the address of each name: the host's records stay where they are while it lives.
        uses_.clear();
        for (const auto& [name, use] : host.AllUses()) uses_.push_back({&name, use});
        blocks_ = host.OutstandingBlocks();
        parameterTypes_ = host.App().LiveActionParamTypes();
        parameterValues_ = host.App().LiveActionParamValues();
        messages_ = host.App().messages.size();
        alerts_ = host.App().alerts.size();
    }

    void Verify(const Steps& steps, const Trial& run) {
        sim::Host& host = host_();
        const std::string failed = run.Good() ? std::string() : run.Failed()->operation;
        EXPECT_TRUE(SuitesAtRest(host));

        // A refused release ends the release walk: the rest of the bracket's suites stay with the plug-in.
        std::size_t next = 0;  // both in name order; names acquired for the first time are new
        int suitesHeld = 0, userAcquired = 0, blocksAcquired = 0;
        for (const auto& [name, use] : host.AllUses()) {
            sim::SuiteUse before{};
            if (next < uses_.size() && uses_[next].first == &name) before = uses_[next++].second;
            const int held = (use.acquired - before.acquired) - (use.released - before.released);
            EXPECT_TRUE(held == 0 || (held == 1 && failed == "ReleaseSuite")) << name << " held " << held;
            suitesHeld += held;
            if (name == "AI User Suite") userAcquired = use.acquired - before.acquired;
            if (name == "SP Blocks Suite") blocksAcquired = use.acquired - before.acquired;
        }
        if (failed == "ReleaseSuite" && run.call < static_cast<std::int64_t>(run.goodLog->size()) &&
            (*run.goodLog)[static_cast<std::size_t>(run.call)].operation == "ReleaseSuite") {
            EXPECT_GE(suitesHeld, 2) << "the release walk went on after a refused release";
        }

        // The plug-in may let go of what it held, but holds nothing new; the host keeps a block whose
        // release it refused.
        EXPECT_LE(host.OutstandingBlocks(), blocks_ + (failed == "FreeBlock" ? 1 : 0)) << "host blocks held";
        EXPECT_LE(host.App().LiveActionParamTypes(), parameterTypes_ + (failed == "DeleteActionParamType" ? 1 : 0));
        EXPECT_LE(host.App().LiveActionParamValues(), parameterValues_ + (failed == "DeleteActionParamValue" ? 1 : 0));

        // The error alerts are those of the messages whose status warrants one, each once.
        std::multiset<std::string> expected;
        for (std::size_t k = messages_; k < host.App().messages.size(); ++k) {
            const sim::SentMessage& message = host.App().messages[k];
            EXPECT_TRUE(message.status == kNoError || message.status == status_ ||
                        message.status == kSuiteNotFoundStatus)
                << message.caller << " / " << message.selector << " answered " << std::hex << message.status;
            if (!IsSilent(message.status)) {
                expected.insert(ErrorAlertText(message.status, message.caller, message.selector));
            }
        }
        for (std::size_t k = alerts_; k < host.App().alerts.size(); ++k) {
            const sim::Alert& alert = host.App().alerts[k];
            if (alert.kind != sim::AlertKind::Error) continue;
            const auto found = expected.find(alert.text);
            EXPECT_NE(found, expected.end()) << "unwarranted error alert: " << alert.text;
            if (found != expected.end()) expected.erase(found);
        }
        // Without the alert operation, or without the user suite in a bracket, an alert is lost.
        const bool userSuiteRefused = failed == "AcquireSuite" && userAcquired < blocksAcquired;
        const std::size_t mayBeLost = userSuiteRefused ? expected.size() : failed == "ErrorAlert" ? 1 : 0;
        EXPECT_LE(expected.size(), mayBeLost) << "missing error alert: " << (expected.empty() ? "" : *expected.begin());

        if (steps.check) steps.check(run);
    }

    std::function<sim::Host&()> host_;
    HostStatus status_;
    std::vector<std::pair<const std::string*, sim::SuiteUse>> uses_;
    std::size_t blocks_ = 0, parameterTypes_ = 0, parameterValues_ = 0, messages_ = 0, alerts_ = 0;
};

// What a document holds, art by art, to tell what a run changed. Each run has a document of its
// own, so art is compared with the good run's by its place in the walk.
struct ArtState {
    const sim::Art* parent;
    std::vector<AnchorRecord> anchors;
    bool closed;
    std::map<std::string, sim::Tag> tags;

    static ArtState Of(const sim::Art* art) { return ArtState{art->parent, art->anchors, art->closed, art->tags}; }
    std::string Tag(const std::string& name) const {
        const auto found = tags.find(name);
        return found == tags.end() ? std::string() : found->second.value;
    }
    bool operator==(const ArtState& other) const {
        const auto samePoint = [](const RealPoint& x, const RealPoint& y) { return x.h == y.h && x.v == y.v; };
        const auto sameAnchor = [&](const AnchorRecord& x, const AnchorRecord& y) {
            return samePoint(x.p, y.p) && samePoint(x.in, y.in) && samePoint(x.out, y.out) && x.corner == y.corner;
        };
        const auto sameTag = [](const auto& x, const auto& y) {
            return x.first == y.first && x.second.type == y.second.type && x.second.value == y.second.value;
        };
        return parent == other.parent && closed == other.closed &&
               std::equal(anchors.begin(), anchors.end(), other.anchors.begin(), other.anchors.end(), sameAnchor) &&
               std::equal(tags.begin(), tags.end(), other.tags.begin(), other.tags.end(), sameTag);
    }
};

// Every art of a document in walk order, as it was when the state was taken.
class DocumentState {
public:
    DocumentState() = default;
    explicit DocumentState(const sim::Document& document) {
        for (int i = 0; i < document.LayerCount(); ++i) Add(document.LayerAt(i)->root);
    }

    const ArtState& Of(const sim::Art* art) const { return arts_.at(IndexOf(art)).second; }
    std::size_t IndexOf(const sim::Art* art) const {
        const auto found =
            std::find_if(arts_.begin(), arts_.end(), [art](const auto& entry) { return entry.first == art; });
        return static_cast<std::size_t>(found - arts_.begin());
    }

    // Each art of this state as it is now, in walk order.
    std::vector<ArtState> Now() const {
        std::vector<ArtState> now;
        for (const auto& entry : arts_) now.push_back(ArtState::Of(entry.first));
        return now;
    }

    // The art of document that this state does not hold, in walk order.
    std::vector<const sim::Art*> NewArt(const sim::Document& document) const {
        std::vector<const sim::Art*> made;
        for (const auto& entry : DocumentState(document).arts_) {
            if (IndexOf(entry.first) == arts_.size()) made.push_back(entry.first);
        }
        return made;
    }

    // Art of this state that is gone or differs now.
    std::vector<const sim::Art*> Changed() const {
        std::vector<const sim::Art*> changed;
        for (const auto& [art, was] : arts_) {
            if (!art->alive || !(ArtState::Of(art) == was)) changed.push_back(art);
        }
        return changed;
    }

private:
    void Add(const sim::Art* art) {
        arts_.emplace_back(art, ArtState::Of(art));
        for (const sim::Art* child : art->Children()) Add(child);
    }

    std::vector<std::pair<const sim::Art*, ArtState>> arts_;
};

}  // namespace sweep

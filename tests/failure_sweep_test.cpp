// Every host call of every user-visible action fails once in its turn, with an ordinary error and
// with a status that is reported silently: start-up, the panel made at application start, shut-down,
// the panel's commands, the adjust tools' gestures and the restore, the settings dialog and the
// annotator's drawing. Each run must leave the plug-in at rest (the sweep's checks) and the document,
// the settings file and what the user had made before as the scenario says. First, the simulated
// host's failure gate that the sweeps rely on.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "adjust_fixture.h"
#include "commands/path_walk.h"
#include "host/messages.h"
#include "panel_fixture.h"
#include "settings/settings_file.h"
#include "shell/suites.h"

// A host failure swept over every gated call of a run: call 1 fails, then call 2, and so on until a
// run ends before the failure is reached. After each run the plug-in must be at rest (suites
// released, nothing of the host's left allocated, the error alert exactly for the statuses that
// warrant one) and the scenario's own check must hold.
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

namespace {

using sweep::DocumentState;
using sweep::Steps;
using sweep::Trial;

// ---- The failure gate ------------------------------------------------------------------------

// The Nth gated call fails once, every call of one operation fails, and the log says which call failed.
TEST(SimHost, TheFailureGateFailsTheNthCallOrEveryCallOfAnOperation) {
    sim::Host host;
    host.Gate().SetLogging(true);
    const void* suite = nullptr;
    ASSERT_EQ(host.Basic()->AcquireSuite("AI User Suite", 21, &suite), kNoError);
    const auto* user = static_cast<const UserSuite*>(suite);
    host.Gate().ResetCallCount();
    host.Gate().FailNthCall(2, sweep::kOrdinaryFailure);
    EXPECT_EQ(user->MessageAlert("one"), kNoError);
    EXPECT_EQ(user->MessageAlert("two"), sweep::kOrdinaryFailure);
    EXPECT_EQ(user->MessageAlert("three"), kNoError);
    ASSERT_EQ(host.App().alerts.size(), 2u) << "a failed call does nothing";
    EXPECT_EQ(host.App().alerts[1].text, "three");
    const auto& log = host.Gate().Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].suite, "AI User Suite");
    EXPECT_EQ(log[2].operation, "MessageAlert");
    EXPECT_EQ(log[2].injected, sweep::kOrdinaryFailure);
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

template <typename Fixture>
struct Scenario {
    const char* name;
    Steps (Fixture::*make)();
};

// Every scenario of a fixture (the rest of the arguments) swept, its runs reaching the host through
// hostOfRun: with an ordinary error and with a status that reaches the host without an alert.
#define SWEEP_EVERY_SCENARIO(Fixture, hostOfRun, ...)                                                                  \
    TEST_P(Fixture, EveryHostCall) {                                                                                   \
        for (const HostStatus status : {sweep::kOrdinaryFailure, kCanceledStatus}) {                                   \
            SCOPED_TRACE(sweep::IsSilent(status) ? "silent status" : "ordinary error");                                \
            sweep::Sweeper([this]() -> sim::Host& { return hostOfRun; }, status).Sweep((this->*GetParam().make)());    \
            if (HasFailure()) return;                                                                                  \
        }                                                                                                              \
    }                                                                                                                  \
    INSTANTIATE_TEST_SUITE_P(FailureSweep, Fixture, ::testing::ValuesIn(std::vector<Scenario<Fixture>>{__VA_ARGS__}),  \
                             [](const auto& info) { return std::string(info.param.name); })

AnchorRecord Smooth(RealPoint in, RealPoint p, RealPoint out) { return AnchorRecord{p, in, out, false}; }
AnchorRecord Corner(RealPoint p) { return AnchorRecord{p, p, p, true}; }

bool Finite(const AnchorRecord& a) { return std::isfinite(a.p.h + a.p.v + a.in.h + a.in.v + a.out.h + a.out.v); }

bool NearPoints(const std::vector<AnchorRecord>& a, const std::vector<AnchorRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const AnchorRecord& x, const AnchorRecord& y) {
        return std::hypot(x.p.h - y.p.h, x.p.v - y.p.v) <= 1e-9;
    });
}

// Every anchor point of before is still there, in order: anchors were only inserted.
bool KeepsAnchorsInOrder(const std::vector<AnchorRecord>& before, const std::vector<AnchorRecord>& after) {
    std::size_t k = 0;
    for (const AnchorRecord& anchor : after) {
        if (k < before.size() && anchor.p.h == before[k].p.h && anchor.p.v == before[k].p.v) ++k;
    }
    return k == before.size();
}

// The document as prepared, and its art after the good run: what a failing run is held against.
struct DocumentRuns {
    DocumentState before;
    std::vector<sweep::ArtState> goodNow, goodMade;

    std::vector<const sim::Art*> Made(const sim::Document& document) const { return before.NewArt(document); }
    void Remember(const Trial& run, const sim::Document& document) {
        if (!run.Good()) return;
        goodNow = before.Now();
        goodMade.clear();
        for (const sim::Art* art : Made(document)) goodMade.push_back(sweep::ArtState::Of(art));
    }
    const sweep::ArtState& Good(const sim::Art* art) const { return goodNow.at(before.IndexOf(art)); }
};

// ---- Start-up and shut-down ------------------------------------------------------------------

// A host of its own for each run: the plug-in is started and shut down once in a host's life.
struct LifecycleSweep : ::testing::TestWithParam<Scenario<LifecycleSweep>> {
    // A settings file of the user's, written by hand.
    static constexpr const char* kUserSettings =
        "language = ENGLISH\r\nflPtCount = 2\r\nhandleline_layer = \"Guides\"\r\n";

    std::optional<sim::Host> host;
    std::size_t messages = 0;  // the host's messages before the run

    PluginState* State() { return static_cast<PluginState*>(host->Globals()); }
    std::string SettingsText() { return ReadWholeFile(SettingsFilePath(*host)); }

    void TearDown() override {
        if (host) std::remove(SettingsFilePath(*host).c_str());
        host.reset();
    }

    // A new host with the user's settings file; from stage 1 the plug-in started, from stage 2 the
    // application too, with its panel.
    void NewHost(int stage) {
        TearDown();
        host.emplace();
        const std::filesystem::path path(SettingsFilePath(*host));
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << kUserSettings;
        messages = host->App().messages.size();
        ASSERT_TRUE(stage < 1 || host->Startup() == kNoError);
        if (stage > 1) host->Notify("AI Application Started Notifier");
    }

    // The status the host got for the first message of the run with this selector.
    HostStatus StatusOf(const char* selector) {
        for (std::size_t k = messages; k < host->App().messages.size(); ++k) {
            if (host->App().messages[k].selector == selector) return host->App().messages[k].status;
        }
        ADD_FAILURE() << "no " << selector;
        return kNoError;
    }

    // A settings file written whole from a state that read the user's file.
    void ExpectWrittenSettings() {
        const std::string text = SettingsText();
        EXPECT_EQ(text.rfind("language = ENGLISH\r\n", 0), 0u) << text;
        EXPECT_NE(text.find("\r\nflPtCount = 2\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\r\nhandleline_layer = \"Guides\"\r\n"), std::string::npos) << text;
        const std::string last = "\r\nextend_endpoints = 0\r\n";  // the last line; the first is checked above
        EXPECT_EQ(text.rfind(last), text.size() - last.size()) << text;
    }

    Steps Startup() {
        const auto finish = [this] {
            const sim::AppState& app = host->App();
            // Registration stops at the first step that fails.
            const bool tools = app.tools.size() == 2;
            const bool notifiers = app.notifiers.size() == 10;
            const bool menu = app.FindMenuItem("AI-PLOTVEX Info Group") != nullptr;
            const bool action = app.FindActionEvent("KELVANE_INSIDECMD") != nullptr;
            const bool annotator = !app.annotators.empty();
            EXPECT_TRUE((!annotator || action) && (!action || menu) && (!menu || notifiers) && (!notifiers || tools))
                << tools << notifiers << menu << action << annotator;
            EXPECT_LE(app.tools.size(), 2u);
            EXPECT_LE(app.notifiers.size(), 10u);
            EXPECT_TRUE(StatusOf("Startup") != kNoError || (annotator && !app.annotators[0]->active))
                << "added switched off";
            // The settings are read whatever fails after the record is made, and the file is not touched.
            EXPECT_EQ(SettingsText(), kUserSettings);
            const bool started = State() != nullptr;
            if (started) {
                EXPECT_EQ(State()->language, kEnglish);
                EXPECT_EQ(State()->flPtCount, 2);
                EXPECT_STREQ(State()->handleline_layer, "Guides");
            }
            // The host shuts down whatever start-up answered.
            host->Shutdown();
            EXPECT_EQ(host->Globals(), nullptr);
            if (started) ExpectWrittenSettings();
            EXPECT_TRUE(started || SettingsText() == kUserSettings) << SettingsText();
        };
        return Steps{[this] { NewHost(0); }, [this] { host->Startup(); }, nullptr, finish};
    }

    // The panel is built when the application has started; whatever of it was made goes at shut-down.
    Steps PanelAtApplicationStart() {
        const auto finish = [this] {
            // The user works the panel, as far as it was made, and the host shuts down.
            sim::ClickPanelControl(*host, kMeasureButton);
            host->Shutdown();
            EXPECT_EQ(host->Globals(), nullptr);
            ExpectWrittenSettings();
            for (const auto& panel : host->App().panels) EXPECT_FALSE(panel->alive) << "panel left after shut-down";
            for (const auto& flyout : host->App().flyoutMenus) EXPECT_FALSE(flyout->alive) << "flyout left";
        };
        const auto act = [this] { host->Notify("AI Application Started Notifier"); };
        return Steps{[this] { NewHost(1); }, act, nullptr, finish};
    }

    // With a run of Length changes under way and the adjust tool's search made.
    Steps Shutdown() {
        const auto prepare = [this] {
            NewHost(2);
            sim::Document& document = host->NewDocument();
            host->Notify("AI Document Opened Notifier");
            document.SelectWhole(document.AddCurve(document.LayerAt(0)->root, {Smooth({0, 0}, {0, 0}, {40, 60}),
                                                                               Smooth({120, 60}, {160, 0}, {160, 0})}));
            sim::ClickPanelControl(*host, kMeasureButton);
            sim::MovePanelSlider(*host, -40);
            host->SendTool("AI Select", State()->pathAdjustTool);
            host->SendTool("AI Track Cursor", State()->pathAdjustTool, {10, 10});
            ASSERT_EQ(State()->lengthAdjustStage, 1u);
            ASSERT_NE(State()->anchorCache, nullptr);
            messages = host->App().messages.size();
        };
        const auto check = [this](const Trial& run) {
            if (StatusOf("Shutdown") != kNoError) {
                // The message was not taken: nothing of the plug-in's ended.
                EXPECT_NE(host->Globals(), nullptr);
                EXPECT_EQ(SettingsText(), kUserSettings);
                return;
            }
            EXPECT_EQ(host->Globals(), nullptr);
            EXPECT_LE(host->OutstandingBlocks(), run.Failed("FreeBlock") ? 1u : 0u) << "everything freed";
            ExpectWrittenSettings();
            ASSERT_EQ(host->App().panels.size(), 1u);
            const sim::Panel& panel = *host->App().panels[0];
            // Destroyed unless the host refused, or the suite was not there to ask.
            const bool refused = run.Failed("Destroy") || run.Failed("AcquireSuite");
            EXPECT_TRUE((!panel.alive && !panel.flyout->alive) || refused);
        };
        return Steps{prepare, [this] { host->Shutdown(); }, check};
    }
};

SWEEP_EVERY_SCENARIO(LifecycleSweep, *host, {"Startup", &LifecycleSweep::Startup},
                     {"Shutdown", &LifecycleSweep::Shutdown},
                     {"PanelAtApplicationStart", &LifecycleSweep::PanelAtApplicationStart});

// ---- The panel's commands --------------------------------------------------------------------

struct PanelSweep : PanelTest, DocumentRuns, ::testing::WithParamInterface<Scenario<PanelSweep>> {
    sim::Document* doc = nullptr;
    sim::Art* ends[2] = {nullptr, nullptr};  // paths whose ends a command may move
    std::size_t messages = 0;                // the host's messages before the run
    double goodLength = 0;
    std::size_t goodLines = 0;

    void SetUp() override {
        PanelTest::SetUp();
        State().language = kEnglish;
        StartPanel();
    }

    sim::Art* Root() { return doc->LayerAt(0)->root; }

    // A new document, the measurement off, shapes made in it and the plug-in told of it all.
    void Fresh(const std::function<void()>& shapes) {
        if (State().toggleState[0] != 0) Click(kMeasureButton);
        State().lengthAdjustStage = 0;
        doc = &OpenDocument();
        shapes();
        host.NotifyArtChanges();
        before = DocumentState(*doc);
        messages = App().messages.size();
    }

    // A button of the panel clicked on shapes in a new document.
    Steps Command(std::function<void()> shapes, int button, std::function<void(const Trial&)> check) {
        return Steps{[this, shapes] { Fresh(shapes); }, [this, button] { Click(button); }, std::move(check)};
    }

    bool ActionRan() {
        for (std::size_t k = messages; k < App().messages.size(); ++k) {
            if (App().messages[k].selector == "Do Action" && App().messages[k].status == kNoError) return true;
        }
        return false;
    }

    void ExpectOriginalsUntouched() {
        const std::vector<const sim::Art*> changed = before.Changed();
        EXPECT_TRUE(changed.empty()) << changed.size() << " changed, the first with "
                                     << (changed.empty() ? 0 : changed[0]->anchors.size()) << " anchors";
    }

    // A curve and a line to measure: the curve in a group.
    void MeasuredShapes() {
        doc->SelectWhole(doc->AddCurve(doc->AddGroup(Root()),
                                       {Smooth({0, 0}, {0, 0}, {40, 60}), Smooth({120, 60}, {160, 0}, {160, 0})}));
        doc->SelectWhole(doc->AddPath(Root(), {{0, 300}, {40, 300}}));
    }

    // The Length command moves no anchor and leaves every handle a number.
    void ExpectAnchorsInPlace() {
        EXPECT_TRUE(Made(*doc).empty());
        for (const sim::Art* art : before.Changed()) {
            EXPECT_TRUE(art->alive);
            EXPECT_TRUE(NearPoints(art->anchors, before.Of(art).anchors)) << "an anchor moved";
            for (const AnchorRecord& anchor : art->anchors) EXPECT_TRUE(Finite(anchor));
        }
    }

    // The measured length is at most the good run's.
    void ExpectMeasuredNoMoreThanGood(const Trial& run) {
        if (run.Good()) goodLength = State().measuredLength;
        ASSERT_GT(goodLength, 200.0) << "the curve and the line measured";
        EXPECT_GE(State().measuredLength, 0.0);
        EXPECT_LE(State().measuredLength, goodLength + 1e-9);
    }

    Steps Measure() {
        return Command([this] { MeasuredShapes(); }, kMeasureButton, [this](const Trial& run) {
            EXPECT_EQ(State().flUseFlng, 1);
            EXPECT_EQ(State().lengthAdjustStage, 0u);
            ExpectOriginalsUntouched();
            EXPECT_TRUE(Made(*doc).empty());
            ExpectMeasuredNoMoreThanGood(run);
        });
    }

    // The first move of the slider and a second one in the same run of changes, on curves whose
    // selected segments the Length command rescales: one in a group, one in a compound path.
    Steps SliderTwice() {
        const auto shapes = [this] {
            const double bulge = 20 * std::sqrt(3.0);
            doc->SelectWhole(doc->AddCurve(doc->AddGroup(Root()),
                                           {Corner({0, 0}), Smooth({100, 0}, {100, 0}, {120, bulge}),
                                            Smooth({160, bulge}, {180, 0}, {180, 0})}, true));
            sim::Art* compound = doc->AddCompoundPath(Root());
            doc->AddCurve(compound,
                          {Smooth({0, 200}, {0, 200}, {40, 260}), Smooth({120, 260}, {160, 200}, {160, 200})});
            doc->SelectWhole(compound);
            doc->SelectWhole(doc->AddCurve(Root(), {Smooth({0, 400}, {0, 400}, {40, 460}),
                                                    Smooth({120, 460}, {160, 400}, {160, 400})}));
            Click(kMeasureButton);
        };
        const auto check = [this](const Trial& run) {
            ExpectAnchorsInPlace();
            EXPECT_EQ(State().lengthAdjustStage, ActionRan() ? 1u : 0u);
            EXPECT_TRUE(!run.Good() || !before.Changed().empty()) << "the good run lengthens the curves";
        };
        const auto twice = [this] {
            sim::MovePanelSlider(host, -40);
            sim::MovePanelSlider(host, 20);
        };
        return Steps{[this, shapes] { Fresh(shapes); }, twice, check};
    }

    // Pointers are two-anchor paths on the current layer (one whose anchors could not be set stays
    // empty), and division only inserts anchors, no more than the good run did.
    Steps PointerWithDivide() {
        const auto shapes = [this] {
            doc->SelectAnchors(doc->AddCurve(doc->AddGroup(Root()), {Smooth({0, 0}, {0, 0}, {50, 100}),
                                                                     Smooth({150, -100}, {200, 0}, {200, 0}),
                                                                     Smooth({250, 50}, {300, 0}, {300, 0})}),
                               {0, 2});
            doc->SelectAnchors(doc->AddPath(Root(), {{0, 0}, {0, 100}, {100, 100}, {100, 0}}, true), {3});
            State().flCreatePointer = State().flDivideSegment = 1;
            State().flPointMode = kBothWays;
            State().flPtCount = 2;
            State().flPtDistance1 = 40;
            State().flPtDistance2 = 30;
        };
        return Command(shapes, kPointerButton, [this](const Trial& run) {
            Remember(run, *doc);
            const std::vector<const sim::Art*> made = Made(*doc);
            EXPECT_LE(made.size(), goodMade.size());
            for (const sim::Art* art : made) {
                EXPECT_EQ(art->type, kPathArt);
                EXPECT_TRUE(art->anchors.empty() || art->anchors.size() == 2u) << art->anchors.size();
            }
            for (const sim::Art* art : before.Changed()) {
                ASSERT_TRUE(art->alive);
                EXPECT_TRUE(KeepsAnchorsInOrder(before.Of(art).anchors, art->anchors));
                EXPECT_LE(art->anchors.size(), Good(art).anchors.size());
                for (const AnchorRecord& anchor : art->anchors) EXPECT_TRUE(Finite(anchor));
            }
            EXPECT_TRUE(!run.Good() || (goodMade.size() == 8u && before.Changed().size() == 2u))
                << "eight pointers and both paths divided";
        });
    }

    Steps HandleLine() {
        const auto shapes = [this] {
            const std::vector<AnchorRecord> anchors = {Smooth({70, 90}, {100, 100}, {130, 110}),
                                                       AnchorRecord{{200, 0}, {200, 0}, {220, 40}, true},
                                                       Corner({300, 0})};
            doc->SelectAnchors(doc->AddCurve(doc->AddGroup(Root()), anchors), {0, 1});
            doc->SelectAnchors(doc->AddCurve(doc->AddCompoundPath(Root()), anchors), {0});
            State().handleline_reverse_side = 1;
        };
        return Command(shapes, kHandleLineButton, [this](const Trial& run) {
            const sim::Layer* layer = doc->FindLayer("HANDLE LINE");
            const std::vector<sim::Art*> lines = layer ? layer->root->Children() : std::vector<sim::Art*>();
            if (run.Good()) goodLines = lines.size();
            ASSERT_EQ(goodLines, 6u);
            ExpectOriginalsUntouched();
            EXPECT_LE(doc->LayerCount(), 2) << "never a second new layer";
            EXPECT_LE(lines.size(), goodLines);
            for (const sim::Art* line : lines) EXPECT_LE(line->anchors.size(), 3u);
        });
    }

    // The new paths as the good run made them; those whose anchors were set before the failing call
    // are there as in the good run.
    void ExpectMadeAsGood(const Trial& run, std::size_t goodCount, std::size_t anchorsEach) {
        Remember(run, *doc);
        ASSERT_EQ(goodMade.size(), goodCount);
        const std::vector<const sim::Art*> made = Made(*doc);
        EXPECT_LE(made.size(), goodMade.size());
        const auto completed = static_cast<std::size_t>(run.Before("SetPathSegments"));
        // Made in the order of the good run: each new one went on top, so the walk meets the last first.
        for (std::size_t k = 0; k < made.size(); ++k) {
            const sim::Art* art = made[made.size() - 1 - k];
            EXPECT_LE(art->anchors.size(), anchorsEach);
            EXPECT_TRUE(k >= completed || NearPoints(art->anchors, goodMade[goodMade.size() - 1 - k].anchors))
                << "path " << k;
        }
    }

    Steps AngleBisector() {
        const auto shapes = [this] {
            doc->SelectWhole(doc->AddPath(doc->AddGroup(Root()), {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, true));
            sim::Art* compound = doc->AddCompoundPath(Root());
            doc->AddPath(compound, {{300, 0}, {400, 0}});
            doc->AddPath(compound, {{300, 40}, {400, 40}});
            doc->SelectWhole(compound);
        };
        return Command(shapes, kAngleBisectorButton, [this](const Trial& run) {
            ExpectOriginalsUntouched();
            ExpectMadeAsGood(run, 3, 2);
        });
    }

    // Pass 1 joins two middle segments (one in a compound path) by a new path; pass 2 moves the ends
    // of two open paths.
    Steps ExtensionCrossing() {
        const auto shapes = [this] {
            ends[0] = doc->AddPath(Root(), {{0, 50}, {100, 100}, {200, 100}});
            ends[1] = doc->AddPath(Root(), {{300, 150}, {300, 200}, {350, 300}});
            doc->SelectAnchors(ends[0], {2});
            doc->SelectAnchors(ends[1], {0});
            sim::Art* compound = doc->AddCompoundPath(Root());
            doc->SelectAnchors(doc->AddPath(compound, {{50, 350}, {100, 400}, {200, 400}, {250, 350}}), {1, 2});
            compound->attributes |= kArtSelected;
            doc->SelectAnchors(doc->AddPath(Root(), {{350, 500}, {300, 450}, {300, 420}, {350, 380}}), {1, 2});
            State().extend_endpoints = 1;
        };
        return Command(shapes, kExtensionCrossingButton, [this](const Trial& run) {
            ExpectMadeAsGood(run, 1, 3);
            // Only the two ends move, each where it was or at the crossing; those moved before the failure stay.
            const int completed = run.Before("SetPathSegments");
            ASSERT_TRUE(ends[0]->anchors.size() == 3u && ends[1]->anchors.size() == 3u);
            const RealPoint firstEnd = ends[0]->anchors[2].p, secondEnd = ends[1]->anchors[0].p;
            EXPECT_TRUE(firstEnd.v == 100 && (firstEnd.h == 300 || (completed < 2 && firstEnd.h == 200))) << firstEnd.h;
            EXPECT_TRUE(secondEnd.h == 300 && (secondEnd.v == 100 || (completed < 3 && secondEnd.v == 150)))
                << secondEnd.v;
            for (const sim::Art* art : before.Changed()) EXPECT_TRUE(art == ends[0] || art == ends[1]);
        });
    }

    // The second selection change after a Length change ends the run: the selection comes back and
    // is measured again.
    Steps ReadoutOnSelectionChange() {
        const auto shapes = [this] {
            MeasuredShapes();
            Click(kMeasureButton);
            sim::MovePanelSlider(host, -40);
            host.Notify("AI Art Selection Changed Notifier");
            sim::Art* curve = Root()->firstChild->firstChild;
            doc->SelectAnchors(curve, {0, 1}, kAnchorNotSelected);
            curve->attributes = 0;
        };
        const auto check = [this](const Trial& run) {
            ExpectMeasuredNoMoreThanGood(run);
            ExpectAnchorsInPlace();
            // Not shown, as far as the plug-in can tell, or not taken: the run of changes goes on.
            const bool passedOver = run.Failed("IsShown") || run.Failed("AcquireSuite");
            EXPECT_TRUE(State().lengthAdjustStage == 0u || (passedOver && State().lengthAdjustStage == 2u));
            EXPECT_EQ(State().notifierGuard, 0);
        };
        const auto prepare = [this, shapes] {
            Fresh(shapes);
            ASSERT_EQ(State().lengthAdjustStage, 2u);
        };
        return Steps{prepare, [this] { host.Notify("AI Art Selection Changed Notifier"); }, check};
    }

    Steps SettingsDialog() {
        const auto prepare = [this] {
            Fresh([] {});
            std::strcpy(State().handleline_layer, "HANDLE LINE");
            State().handleline_line_width = 0.5;
            State().handleline_polyline = 1;
            App().settingsDialogs.clear();
            App().settingsDialogAnswers = {{kSettingsDialogOK, [](SettingsDialogFields& fields) {
                                                fields.layer = "Guides";
                                                fields.width = "2";
                                                fields.polyline = false;
                                            }}};
            std::ofstream(SettingsPath(), std::ios::binary) << "language = ENGLISH\r\n";
        };
        const auto check = [this](const Trial& run) {
            ExpectOriginalsUntouched();
            const bool answered = !App().settingsDialogs.empty();
            EXPECT_TRUE(answered || !run.Good());
            if (!answered) {
                EXPECT_STREQ(State().handleline_layer, "HANDLE LINE");
                EXPECT_EQ(ReadSettingsFileText(), "language = ENGLISH\r\n");
                return;
            }
            EXPECT_STREQ(State().handleline_layer, "Guides");
            EXPECT_EQ(State().handleline_line_width, 2.0);
            EXPECT_EQ(State().handleline_polyline, 0);
            EXPECT_EQ(ReadSettingsFileText(), FormatSettingsText(State())) << "written whole";
        };
        return Steps{prepare, [this] { host.ChooseFlyoutItem(PanelHandleOf(), kFlyoutSettings); }, check};
    }
};

SWEEP_EVERY_SCENARIO(PanelSweep, host, {"Measure", &PanelSweep::Measure}, {"SliderTwice", &PanelSweep::SliderTwice},
                     {"PointerWithDivide", &PanelSweep::PointerWithDivide}, {"HandleLine", &PanelSweep::HandleLine},
                     {"AngleBisector", &PanelSweep::AngleBisector},
                     {"ExtensionCrossing", &PanelSweep::ExtensionCrossing},
                     {"ReadoutOnSelectionChange", &PanelSweep::ReadoutOnSelectionChange},
                     {"SettingsDialog", &PanelSweep::SettingsDialog});

// ---- The adjust tools and the annotator ------------------------------------------------------

struct AdjustSweep : AdjustTest, DocumentRuns, ::testing::WithParamInterface<Scenario<AdjustSweep>> {
    std::vector<sim::Art*> arts;  // the objects of the scenario
    std::vector<sim::DrawCall> goodDrawing;
    std::size_t drawCalls = 0;

    // Each object is where it was or where the good run put it; one that did not move kept its
    // record. Nothing was made.
    void ExpectBeforeOrGood(const Trial& run, bool recordMovesWithTheObject) {
        Remember(run, *doc);
        EXPECT_TRUE(Made(*doc).empty());
        for (const sim::Art* art : arts) {
            ASSERT_TRUE(art->alive);
            const bool asBefore = NearPoints(art->anchors, before.Of(art).anchors);
            EXPECT_TRUE(asBefore || NearPoints(art->anchors, Good(art).anchors)) << "moved elsewhere";
            const std::string record = Record(art), recordBefore = before.Of(art).Tag(kPathAdjustTagName);
            if (recordMovesWithTheObject) {
                EXPECT_TRUE(record == recordBefore || record == Good(art).Tag(kPathAdjustTagName)) << record;
                EXPECT_TRUE(!asBefore || record == recordBefore) << "record changed without a move";
            } else {
                // A restored object whose record could not be removed keeps it: the next restore finds
                // the object where the record says and leaves it there.
                EXPECT_TRUE(!asBefore || !record.empty()) << "record removed without a restore";
            }
        }
    }

    // On two rectangles, after prepare: each ends where it was or where the good run put it, and no
    // message is shown.
    Steps Gesture(std::function<void()> prepare, std::function<void()> act,
                  std::function<void(const Trial&)> check = nullptr) {
        const auto ready = [this, prepare] {
            doc = &host.NewDocument();
            arts = {Rectangle(100, 100, 100, 50), Rectangle(300, 300, 40, 20)};
            prepare();
            host.NotifyArtChanges();
            before = DocumentState(*doc);
            drawCalls = App().drawCalls.size();
        };
        if (!check) {
            check = [this](const Trial& run) {
                EXPECT_TRUE(!run.Good() || !before.Changed().empty()) << "the good run moves something";
                ExpectBeforeOrGood(run, true);
                for (const sim::Alert& alert : App().alerts) EXPECT_NE(alert.kind, sim::AlertKind::Message);
            };
        }
        return Steps{ready, std::move(act), std::move(check)};
    }

    // One drag of Point adjust: the turn is chosen next.
    void PointDrag() {
        Select(PointTool());
        DragFromTo({200, 100}, {300, 300});
        ASSERT_EQ(Phase(), 4);
    }

    Steps PathAdjustGesture() {
        return Gesture([] {}, [this] { PathAdjust({100, 100}, {200, 100}, {300, 300}, {300, 320}); });
    }

    // The click that chooses the turn of a one-drag Point adjust and applies it.
    Steps PointAdjustChoice() {
        return Gesture([this] { PointDrag(); }, [this] { Click({230, 115}); });
    }

    Steps PointAdjustTwoDrags() {
        const auto select = [this] {
            arts.push_back(doc->AddPath(Root(), {{500, 500}, {520, 530}}));
            doc->SelectWhole(arts[1]);
            doc->SelectWhole(arts[2]);
            Select(PointTool());  // the selection of a tool is swept with the Path adjust gesture
        };
        return Gesture(select, [this] {
            DragFromTo({200, 100}, {200, 150});
            DragFromTo({300, 300}, {301, 330});
        });
    }

    // One record made by the stored matrix alone (length 0) and one by the reference: the
    // rectangle's first anchor stood at (90, 80), turned as it is now.
    Steps Restore() {
        const auto records = [this] {
            char text[256];
            FormatPathAdjustTag(text, sizeof text, RealMatrix{1, 0, 0, 1, 10, 20}, RealPoint{90, 80},
                                std::atan2(50.0, 100.0), std::hypot(100.0, 50.0));
            arts[0]->tags[kPathAdjustTagName] = sim::Tag{"string", text};
            arts[1]->tags[kPathAdjustTagName] = sim::Tag{"string", "1,0,0,1,10,20,0,0,0,0,0"};
            App().confirmAnswers = {1};
        };
        return Gesture(records, [this] { host.SendTool("AI Edit Options", PathTool()); }, [this](const Trial& run) {
            EXPECT_TRUE(!run.Good() || before.Changed().size() == 2u);
            ExpectBeforeOrGood(run, false);
        });
    }

    // The preview of a Point adjust: a failing call leaves its piece undrawn and draws nothing else.
    Steps AnnotatorDraw() {
        const auto preview = [this] {
            PointDrag();
            Move({230, 115});
        };
        return Gesture(preview, [this] { host.AnnotationDraw(State().annotator); }, [this](const Trial& run) {
            const std::vector<sim::DrawCall> drawn(App().drawCalls.begin() + static_cast<std::ptrdiff_t>(drawCalls),
                                                   App().drawCalls.end());
            if (run.Good()) goodDrawing = drawn;
            ASSERT_GE(goodDrawing.size(), 6u);
            std::size_t k = 0;
            for (const sim::DrawCall& call : drawn) {
                while (k < goodDrawing.size() && !SameDrawCall(goodDrawing[k], call)) ++k;
                EXPECT_LT(k++, goodDrawing.size()) << "a drawing the good run did not make";
            }
            EXPECT_TRUE(before.Changed().empty() && Made(*doc).empty());
            EXPECT_EQ(Phase(), 4);
        });
    }

    static bool SameDrawCall(const sim::DrawCall& a, const sim::DrawCall& b) {
        const auto colour = [](const UIColor& c) { return std::tie(c.red, c.green, c.blue); };
        const auto rect = [](const ViewRect& r) { return std::tie(r.left, r.top, r.right, r.bottom); };
        return a.op == b.op && a.width == b.width && a.flag == b.flag && a.exclusive == b.exclusive &&
               colour(a.color) == colour(b.color) && rect(a.rect) == rect(b.rect) &&
               std::equal(a.points.begin(), a.points.end(), b.points.begin(), b.points.end(),
                          [](const ViewPoint& p, const ViewPoint& q) { return p.h == q.h && p.v == q.v; });
    }
};

SWEEP_EVERY_SCENARIO(AdjustSweep, host, {"PathAdjust", &AdjustSweep::PathAdjustGesture},
                     {"PointAdjustChoosingTheTurn", &AdjustSweep::PointAdjustChoice},
                     {"PointAdjustTwoDragsOfSelectedObjects", &AdjustSweep::PointAdjustTwoDrags},
                     {"Restore", &AdjustSweep::Restore}, {"AnnotatorDraw", &AdjustSweep::AnnotatorDraw});

}  // namespace

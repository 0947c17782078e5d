#include "host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "document.h"
#include "host_platform.h"
#include "suite_support.h"

namespace sim {

Host* Host::current_ = nullptr;

namespace {

// Menu groups the application has before any plug-in adds its own.
constexpr const char* kHostMenuGroups[] = {"Document Utilities", "Tool Palettes", "Window Utilities", "About",
                                           "Help"};

bool OpensUndoStep(const char* selector) {
    static constexpr const char* kSelectors[] = {"AI Mouse Down", "AI Mouse Drag", "AI Mouse Up", "AI Edit Options"};
    for (const char* changing : kSelectors) {
        if (std::strcmp(selector, changing) == 0) return true;
    }
    return false;
}

}  // namespace

Host::Host(HostOptions options) : basic_(MakeBasicSuite()), keepDocumentsFolder_(options.keepDocumentsFolder) {
    if (current_ != nullptr) throw std::logic_error("only one simulated host may exist at a time");
    documentsFolder_ = PrepareDocumentsFolder();
    try {
        plugin_ = LoadPlugin(options.pluginPath);
    } catch (...) {
        RemoveDocumentsFolder(documentsFolder_);
        throw;
    }
    current_ = this;
    for (const char* name : kHostMenuGroups) app_.AddMenuGroup(name);
#ifndef _WIN32
    CountBeeps(&beeps_);
    RecordCursors(&cursor_);
#endif
    AnswerDialogs(&app_);
}

Host::~Host() {
#ifndef _WIN32
    CountBeeps(nullptr);
    RecordCursors(nullptr);
#endif
    AnswerDialogs(nullptr);
    for (const std::unique_ptr<Panel>& panel : app_.panels) DestroyHostWindow(panel->window);
    DestroyHostWindow(appWindow_);
    if (!keepDocumentsFolder_) RemoveDocumentsFolder(documentsFolder_);
    for (void* block : blocks_) std::free(block);
    UnloadPlugin(plugin_);
    current_ = nullptr;
}

Host& Host::Current() {
    if (current_ == nullptr) {
        std::fputs("kelvane sim: a suite was called with no simulated host\n", stderr);
        std::abort();
    }
    return *current_;
}

void Host::RefuseSuite(const std::string& name) { refusedSuites_.insert(name); }

void Host::ServeSuite(const std::string& name) { refusedSuites_.erase(name); }

SuiteUse Host::Uses(const std::string& name) const {
    const auto found = suiteUses_.find(name);
    return found == suiteUses_.end() ? SuiteUse{} : found->second;
}

bool Host::SuitesBalanced() const {
    for (const auto& entry : suiteUses_) {
        if (entry.second.acquired != entry.second.released) return false;
    }
    return true;
}

PluginRef Host::Self() const { return reinterpret_cast<PluginRef>(const_cast<PluginRecord*>(&pluginRecord_)); }

MessageHeader Host::Header() { return MessageHeader{kMessageCheck, Self(), globals_, &basic_}; }

AnnotatorDrawerHandle Host::Drawer() const {
    return reinterpret_cast<AnnotatorDrawerHandle>(const_cast<DrawerRecord*>(&drawerRecord_));
}

HostStatus Host::Send(const char* caller, const char* selector, void* message) {
    const bool outermost = sending_ == 0;
    if (outermost) NotifyArtChanges();
    // The plug-in gets the host's own copies: it must compare texts, not addresses.
    const std::string callerText = caller;
    const std::string selectorText = selector;
    const std::size_t entry = app_.messages.size();
    app_.messages.push_back({callerText, selectorText, kNoError});
    ++sending_;
    const HostStatus status = plugin_.entry(callerText.c_str(), selectorText.c_str(), message);
    --sending_;
    if (message != nullptr) globals_ = static_cast<MessageHeader*>(message)->globals;
    app_.messages[entry].status = status;
    if (outermost) NotifyArtChanges();
    return status;
}

HostStatus Host::NotifyArtChanges() {
    if (notifyingArtChanges_ || sending_ != 0) return kNoError;
    const std::uint64_t document = document_ != nullptr ? document_->Serial() : 0;
    const std::uint64_t revision = document_ != nullptr ? document_->Revision() : 0;
    if (document == notifiedDocument_ && revision == notifiedRevision_) return kNoError;
    notifiedDocument_ = document;
    notifiedRevision_ = revision;
    if (globals_ == nullptr) return kNoError;  // no plug-in started to tell
    notifyingArtChanges_ = true;
    const HostStatus status = Notify("AI Art Objects Changed Notifier");
    notifyingArtChanges_ = false;
    return status;
}

template <typename Message>
HostStatus Host::Deliver(const char* caller, const char* selector, Message& message) {
    message.d = Header();
    return Send(caller, selector, &message);
}

HostStatus Host::Startup() {
    InterfaceMessage message{};
    return Deliver("SP Interface", "Startup", message);
}

HostStatus Host::Shutdown() {
    InterfaceMessage message{};
    return Deliver("SP Interface", "Shutdown", message);
}

HostStatus Host::About() {
    InterfaceMessage message{};
    return Deliver("SP Interface", "About", message);
}

HostStatus Host::Unload() {
    InterfaceMessage message{};
    return Deliver("SP Access", "Unload", message);
}

HostStatus Host::Reload() {
    InterfaceMessage message{};
    return Deliver("SP Access", "Reload", message);
}

HostStatus Host::MenuGo(MenuItemHandle item) {
    MenuMessage message{};
    message.menuItem = item;
    return Deliver("AI Menu", "AI Go", message);
}

HostStatus Host::MenuUpdate(MenuItemHandle item) {
    MenuMessage message{};
    message.menuItem = item;
    return Deliver("AI Menu", "AI Update", message);
}

HostStatus Host::SendTool(const char* selector, ToolHandle tool, RealPoint cursor, std::int32_t modifiers,
                          std::int32_t clickCount) {
    Tool* record = FindRecord(app_.tools, tool);
    if (std::strcmp(selector, "AI Select") == 0) app_.selectedTool = record;
    if (std::strcmp(selector, "AI Deselect") == 0 && app_.selectedTool == record) app_.selectedTool = nullptr;

    ToolMessage message{};
    message.tool = tool;
    message.cursor = cursor;
    message.modifiers = modifiers;
    message.clickCount = clickCount;
    const bool changing = OpensUndoStep(selector);
    if (changing) undo_.Open(selector, document_.get());
    const HostStatus status = Deliver("AI Tool", selector, message);
    if (changing) undo_.Close(document_.get());
    return status;
}

HostStatus Host::Notify(const char* type, void* notifyData) {
    std::vector<NotifierHandle> targets;
    for (const std::unique_ptr<Notifier>& notifier : app_.notifiers) {
        if (notifier->type == type) targets.push_back(HandleOf(notifier.get()));
    }
    HostStatus first = kNoError;
    for (NotifierHandle target : targets) {
        const HostStatus status = Notify(target, type, notifyData);
        if (first == kNoError) first = status;
    }
    return first;
}

HostStatus Host::Notify(NotifierHandle notifier, const char* type, void* notifyData) {
    const std::string typeText = type;
    NotifierMessage message{};
    message.notifier = notifier;
    message.type = typeText.c_str();
    message.notifyData = notifyData;
    return Deliver("AI Notifier", "AI Notify", message);
}

HostStatus Host::DoAction(ActionParamValueHandle parameters, std::int32_t showDialog) {
    ActionMessage message{};
    message.parameters = parameters;
    message.showDialog = showDialog;
    undo_.Open("Do Action", document_.get());
    const HostStatus status = Deliver("Action Manager", "Do Action", message);
    undo_.Close(document_.get());
    return status;
}

HostStatus Host::PlayAction(const char* eventName, std::int32_t dialogStatus, ActionParamValueHandle parameters) {
    const ActionEvent* event = eventName != nullptr ? app_.FindActionEvent(eventName) : nullptr;
    if (event == nullptr) return kNotFoundStatus;
    const std::size_t entry = app_.actionPlays.size();
    app_.actionPlays.push_back({event->name, dialogStatus, parameters, kNoError});
    const HostStatus status = DoAction(parameters, dialogStatus);
    app_.actionPlays[entry].status = status;
    return status;
}

HostStatus Host::AnnotationDraw(AnnotatorHandle annotator, DocumentViewHandle view, AnnotatorDrawerHandle drawer) {
    AnnotatorMessage message{};
    message.annotator = annotator;
    message.view = view != nullptr || document_ == nullptr ? view
                                                           : reinterpret_cast<DocumentViewHandle>(document_->View(0));
    message.drawer = drawer != nullptr ? drawer : Drawer();
    return Deliver("AI Annotation", "AI Draw", message);
}

HostStatus Host::AnnotationInvalidate(AnnotatorHandle annotator, const ViewRect& rect, DocumentViewHandle view) {
    AnnotatorMessage message{};
    message.annotator = annotator;
    message.view = view != nullptr || document_ == nullptr ? view
                                                           : reinterpret_cast<DocumentViewHandle>(document_->View(0));
    message.invalidationRect = rect;
    return Deliver("AI Annotation", "AI Invalidate", message);
}

void Host::ChooseFlyoutItem(PanelHandle panel, std::uint32_t itemId) {
    const Panel* record = FindRecord(app_.panels, panel);
    if (record != nullptr && record->alive && record->flyoutProc != nullptr) record->flyoutProc(panel, itemId);
}

Document& Host::NewDocument() {
    document_ = std::make_unique<Document>();
    return *document_;
}

void Host::CloseDocument() { document_.reset(); }

int Host::ToolCursor() const {
#ifndef _WIN32
    return cursor_;
#else
    static constexpr int kToolCursors[] = {16104, 16105};
    return ShownCursor(plugin_.module, kToolCursors, 2);
#endif
}

void Host::ClearToolCursor() {
#ifndef _WIN32
    cursor_ = 0;
#else
    ClearShownCursor();
#endif
}

PlatformWindow Host::AppWindow() {
    if (appWindow_ == nullptr) appWindow_ = CreateAppWindow();
    return appWindow_;
}

}  // namespace sim

// The simulated host: loads the plug-in, serves it the basic suite and every suite of the catalog,
// and sends it messages exactly as the drawing application would. Tests script it (documents,
// answers, failures) and read back what the plug-in did through it.
//
// The suites are tables of plain functions without a context argument, so they find their host
// through Host::Current(): one Host may exist at a time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app_state.h"
#include "failure_gate.h"
#include "handles.h"
#include "plugin_loader.h"
#include "host/messages.h"
#include "undo_history.h"

namespace sim {

class Document;

struct HostOptions {
    // Windows: the plug-in library to load; empty for "Kelvane.aip" beside the running program.
    // The native build links the plug-in and ignores it.
    std::string pluginPath;
    // Native: keep the temporary documents folder when the host goes away (to look at it).
    bool keepDocumentsFolder = false;
};

struct SuiteUse {
    int acquired = 0;
    int released = 0;
};
using SuiteUses = std::map<std::string, SuiteUse, std::less<>>;  // by suite name

class Host {
public:
    // Throws std::runtime_error when the plug-in cannot be loaded, std::logic_error while another
    // host exists.
    explicit Host(HostOptions options = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    static Host& Current();  // aborts when no host exists

    // ---- Suite serving ----
    SPBasicSuite* Basic() { return &basic_; }
    void RefuseSuite(const std::string& name);  // every version; the plug-in's slot stays null
    void ServeSuite(const std::string& name);   // undoes RefuseSuite
    bool IsRefused(std::string_view name) const { return refusedSuites_.find(name) != refusedSuites_.end(); }
    SuiteUse Uses(const std::string& name) const;
    const SuiteUses& AllUses() const { return suiteUses_; }
    bool SuitesBalanced() const;  // every acquisition has been released
    std::size_t OutstandingBlocks() const { return blocks_.size(); }

    FailureGate& Gate() { return gate_; }
    AppState& App() { return app_; }
    UndoHistory& Undo() { return undo_; }

    // ---- Messages ----
    PluginRef Self() const;
    void* Globals() const { return globals_; }
    MessageHeader Header();  // a header as the host fills it for the next message

    // Sends message as it is (it must begin with a MessageHeader); afterwards the host keeps the
    // globals word the plug-in left in that header. Returns the plug-in's status.
    HostStatus Send(const char* caller, const char* selector, void* message);

    HostStatus Startup();
    HostStatus Shutdown();
    HostStatus About();
    HostStatus Unload();
    HostStatus Reload();
    HostStatus MenuGo(MenuItemHandle item);
    HostStatus MenuUpdate(MenuItemHandle item);
    // "AI Tool" with selector "AI Select", "AI Mouse Down", ...; "AI Select" and "AI Deselect" also
    // change the host's selected tool, and mouse and options messages open an undo step.
    HostStatus SendTool(const char* selector, ToolHandle tool, RealPoint cursor = {0, 0}, std::int32_t modifiers = 0,
                        std::int32_t clickCount = 1);
    // "AI Notify" to each notifier registered for type, in registration order; the first failing
    // status, else 0.
    HostStatus Notify(const char* type, void* notifyData = nullptr);
    HostStatus Notify(NotifierHandle notifier, const char* type, void* notifyData = nullptr);
    // "AI Art Objects Changed Notifier" when the document's art changed (or another document took its
    // place) since the last time, as the application reports a change once it is complete. Send does
    // it before and after each outermost message, so changes made by a test or the command line
    // through the document reach the plug-in before its next message, and the plug-in's own changes
    // when the message that made them returns, never in the middle of one.
    HostStatus NotifyArtChanges();
    // "Do Action" to the plug-in, inside its own undo step.
    HostStatus DoAction(ActionParamValueHandle parameters = nullptr, std::int32_t showDialog = 0);
    // The host playing an event registered by the plug-in, as the Action Manager suite does.
    HostStatus PlayAction(const char* eventName, std::int32_t dialogStatus, ActionParamValueHandle parameters);
    // "AI Annotation", whether or not the annotator is active (the caller decides): view null means
    // the current view; drawer null means the host's own drawer, which records into App().drawCalls.
    HostStatus AnnotationDraw(AnnotatorHandle annotator, DocumentViewHandle view = nullptr,
                              AnnotatorDrawerHandle drawer = nullptr);
    HostStatus AnnotationInvalidate(AnnotatorHandle annotator, const ViewRect& rect, DocumentViewHandle view = nullptr);
    // The user choosing an item of a panel's flyout menu: the panel's choice callback, outside any message.
    void ChooseFlyoutItem(PanelHandle panel, std::uint32_t itemId);
    AnnotatorDrawerHandle Drawer() const;

    // ---- Document ----
    Document* ActiveDocument() { return document_.get(); }
    Document& NewDocument();  // replaces an open document
    void CloseDocument();

    // ---- Platform ----
    // Native: a temporary folder made for this host and handed to the plug-in as its documents
    // folder. Windows: the user's personal documents folder, which the plug-in asks the shell for.
    const std::string& DocumentsFolder() const { return documentsFolder_; }
    void KeepDocumentsFolder(bool keep) { keepDocumentsFolder_ = keep; }
#ifndef _WIN32
    int BeepCount() const { return beeps_; }  // native only: on Windows the plug-in beeps itself
#endif
    PlatformWindow AppWindow();  // the Context suite's window: made lazily on Windows, none natively
    // The resource id of the adjust tools' cursor (16104 or 16105) that the plug-in last made current,
    // 0 for none since ClearToolCursor. Natively the plug-in reports it; on Windows the thread's cursor
    // is compared with the plug-in's cursor resources.
    int ToolCursor() const;
    void ClearToolCursor();
    ModuleHandle PluginModule() const { return plugin_.module; }

private:
    friend HostStatus ServeAcquire(const char*, std::int32_t, const void**);
    friend HostStatus ServeRelease(const char*, std::int32_t);
    friend HostStatus ServeAllocate(std::size_t, void**);
    friend HostStatus ServeFree(void*);

    template <typename Message>
    HostStatus Deliver(const char* caller, const char* selector, Message& message);

    static Host* current_;

    int sending_ = 0;  // messages under way, nested ones included
    bool notifyingArtChanges_ = false;
    std::uint64_t notifiedDocument_ = 0;  // serial (0: none) and revision last reported
    std::uint64_t notifiedRevision_ = 0;

    LoadedPlugin plugin_;
    SPBasicSuite basic_{};
    void* globals_ = nullptr;
    struct PluginRecord {
        int unused;
    } pluginRecord_{};  // its address is the plug-in's PluginRef

    std::set<std::string, std::less<>> refusedSuites_;
    SuiteUses suiteUses_;
    std::vector<SuiteUse*> suiteUseByRow_;  // into suiteUses_, by catalog row, filled as rows are served
    std::set<void*> blocks_;

    FailureGate gate_;
    AppState app_;
    UndoHistory undo_;
    std::unique_ptr<Document> document_;

    std::string documentsFolder_;
    bool keepDocumentsFolder_ = false;
#ifndef _WIN32
    int beeps_ = 0;
    int cursor_ = 0;
#endif
    PlatformWindow appWindow_ = nullptr;
    struct DrawerRecord {
        int unused;
    } drawerRecord_{};  // its address is the drawer handle of "AI Draw" messages
};

// Shift-JIS (code page 932) bytes as UTF-8, to compare the plug-in's Japanese texts.
std::string Cp932ToUtf8(const std::string& bytes);

}  // namespace sim

// What the application side of the simulated host holds: everything the plug-in registers and
// everything it shows the user, as plain records that tests read and script. Records live behind
// unique_ptr so that the handles given to the plug-in (their addresses) stay valid.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/suites.h"
#include "panel/settings_dialog.h"

namespace sim {

enum class AlertKind { Error, Message, Confirm };

struct Alert {
    AlertKind kind;
    std::string text;  // the exact bytes the plug-in passed (Shift-JIS for Japanese texts)
    std::int32_t cancelButton = 0;     // Confirm only
    std::int32_t defaultIsCancel = 0;  // Confirm only
};

struct Notifier {
    PluginRef owner;
    std::string name;
    std::string type;
};

struct MenuItem {
    PluginRef owner;
    std::string key;
    std::string group;
    std::string text;
    std::int32_t options;
    bool checked = false;
};

struct MenuGroup {
    std::string name;
    std::int32_t options = 0;
    MenuItem* parentItem = nullptr;  // set for a group added as a submenu
};

struct Tool {
    PluginRef owner;
    std::string name;
    std::string title;
    std::string tooltip;
    std::int32_t lightIconId;
    std::int32_t darkIconId;
    std::int16_t sameGroupAs;
    std::int16_t sameToolsetAs;
    std::uint8_t iconKind;
    std::int32_t options;
    std::int16_t number;
};

struct FlyoutItem {
    std::uint32_t id;
    std::string text;  // empty for a separator
    bool separator = false;
    bool checked = false;
};

struct FlyoutMenu {
    bool alive = true;
    std::vector<FlyoutItem> items;
};

struct Panel {
    bool alive = true;
    PluginRef owner;
    std::string id;
    std::string title;
    PanelSize minimumSize;
    PanelSize size;
    FlyoutMenu* flyout;
    bool shown = false;
    FlyoutChoiceProc flyoutProc = nullptr;
    PlatformWindow window = nullptr;  // a host-made window on Windows, none natively
};

struct ActionEvent {
    std::string name;
    std::string displayName;
    std::int32_t version;
    std::int32_t flags;
    void* callback;
    PluginRef owner;
    void* userData;
    ActionParamTypeHandle parameterType;
};

struct ActionPlay {
    std::string eventName;
    std::int32_t dialogStatus;
    ActionParamValueHandle parameters;
    HostStatus status;  // the owner's answer to "Do Action"
};

// Parameter types and values only need an identity; `alive` shows what the plug-in forgot to delete.
struct ActionParamType {
    bool alive = true;
};
struct ActionParamValue {
    bool alive = true;
};

struct Annotator {
    PluginRef owner;
    std::string name;
    bool active = true;
};

struct Invalidation {
    DocumentViewHandle view;
    ViewRect rect;
};

enum class DrawOp { SetColor, SetLineWidth, SetLineDashed, SetHighlightMode, Line, Rect, Ellipse, Polygon, Beziers };

struct DrawCall {
    DrawOp op = DrawOp::SetColor;
    UIColor color{};                // SetColor
    double width = 0;               // SetLineWidth
    std::int32_t flag = 0;          // SetLineDashed: dashed; SetHighlightMode: on; Rect, Ellipse, Polygon, Beziers: fill
    std::int32_t exclusive = 0;     // SetHighlightMode
    ViewRect rect{};                // Rect, Ellipse
    std::vector<ViewPoint> points;  // Line: start, end; Polygon: the points; Beziers: start then 3 per curve
};

// The plug-in's modal dialogs. Their modal loop waits for a user, so the host plays the user's part:
// it records what each dialog shows and answers it from settingsDialogAnswers (an about box with
// OK). Natively there is no window system: the plug-in hands the host the dialog's fields and takes
// the answer back. On Windows the plug-in shows the real dialog and the host works its controls.
struct AboutBoxShown {
    std::string title;
    std::string line;
};

struct SettingsDialogShown {
    int templateId;               // natively; 0 on Windows, where a window does not tell its template
    SettingsDialogFields opened;  // the fields as the dialog opened
};

// The user's part in one settings dialog: edit changes the fields as typing and clicking would (it
// may be empty), then result presses OK (kSettingsDialogOK) or Cancel.
struct SettingsDialogAnswer {
    int result = kSettingsDialogCancel;
    std::function<void(SettingsDialogFields&)> edit;
};

struct SentMessage {
    std::string caller;
    std::string selector;
    HostStatus status;
};

struct AppState {
    // SP Access and Plugin suites.
    std::int32_t pluginOptions = 0;

    // User suite.
    std::vector<Alert> alerts;
    std::int32_t confirmDefaultAnswer = 1;     // used when no scripted answer is left
    std::deque<std::int32_t> confirmAnswers;  // answered first, in order
    double scaleFactors[2] = {1.0, 1.0};

    std::vector<std::unique_ptr<Notifier>> notifiers;
    std::vector<std::unique_ptr<MenuItem>> menuItems;
    std::vector<std::unique_ptr<MenuGroup>> menuGroups;
    std::vector<std::unique_ptr<Tool>> tools;
    Tool* selectedTool = nullptr;  // set by the host's "AI Select" and cleared by "AI Deselect"
    std::vector<std::unique_ptr<Panel>> panels;
    double panelPixelsPerUnit = 1.0;  // a panel's window in pixels per unit of its size (the display's scale)
    std::vector<std::unique_ptr<FlyoutMenu>> flyoutMenus;

    std::vector<std::unique_ptr<ActionEvent>> actionEvents;
    std::vector<ActionPlay> actionPlays;
    std::vector<std::unique_ptr<ActionParamType>> actionParamTypes;
    std::vector<std::unique_ptr<ActionParamValue>> actionParamValues;

    std::vector<std::unique_ptr<Annotator>> annotators;
    std::vector<Invalidation> invalidations;
    std::vector<DrawCall> drawCalls;

    // User interface theme suite; colours not set here are answered with the panel grey of the
    // interface's brightness (#F0F0F0 light, #535353 dark).
    bool darkInterface = false;
    std::map<std::pair<std::int32_t, std::int32_t>, UIColor> uiColors;  // (component, state) -> colour
    UIColor ThemeColor(std::int32_t component, std::int32_t state) const;  // what the theme suite answers

    std::vector<SentMessage> messages;

    std::vector<AboutBoxShown> aboutBoxes;
    std::vector<SettingsDialogShown> settingsDialogs;
    std::deque<SettingsDialogAnswer> settingsDialogAnswers;  // answered in order; none left: Cancel
    // Windows: called with each dialog's window once it is shown, before it is answered (to look at it).
    std::function<void(PlatformWindow dialog)> lookAtDialog;

    // Lookups by name, the latest registration first; null when absent.
    const Tool* FindTool(const std::string& name) const;
    const Notifier* FindNotifier(const std::string& type) const;
    const MenuItem* FindMenuItem(const std::string& key) const;
    const MenuGroup* FindMenuGroup(const std::string& name) const;
    const Panel* FindPanel(const std::string& id) const;
    const ActionEvent* FindActionEvent(const std::string& name) const;
    const Annotator* FindAnnotator(const std::string& name) const;
    std::size_t LiveActionParamTypes() const;
    std::size_t LiveActionParamValues() const;
    void AddMenuGroup(const std::string& name);  // as another plug-in would have
};

}  // namespace sim

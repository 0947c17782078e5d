// Application-level suites: SP Access, Plugin, Context, Notifier, Menu and Tool.
#include <cstring>

#include "suite_support.h"

namespace sim {

namespace {

bool IsSelf(PluginRef plugin) { return plugin != nullptr && plugin == CurrentHost().Self(); }

// ---- SP Access ----
constexpr const char* kAccess = "SP Access Suite";

struct AccessRecord {
    int unused;
} accessRecord;

AccessRef TheAccess() { return reinterpret_cast<AccessRef>(&accessRecord); }

HostStatus GetPluginAccess(PluginRef plugin, AccessRef* access) {
    if (HostStatus gated = Gate(kAccess, "GetPluginAccess")) return gated;
    if (access == nullptr || !IsSelf(plugin)) return kBadParameterStatus;
    *access = TheAccess();
    return kNoError;
}

HostStatus GetAccessModule(AccessRef access, ModuleHandle* module) {
    if (HostStatus gated = Gate(kAccess, "GetAccessModule")) return gated;
    if (module == nullptr || access != TheAccess()) return kBadParameterStatus;
    *module = CurrentHost().PluginModule();
    return kNoError;
}

// ---- Plugin ----
constexpr const char* kPlugin = "AI Plugin Suite";

HostStatus GetPluginOptions(PluginRef plugin, std::int32_t* options) {
    if (HostStatus gated = Gate(kPlugin, "GetPluginOptions")) return gated;
    if (options == nullptr || !IsSelf(plugin)) return kBadParameterStatus;
    *options = CurrentHost().App().pluginOptions;
    return kNoError;
}

HostStatus SetPluginOptions(PluginRef plugin, std::int32_t options) {
    if (HostStatus gated = Gate(kPlugin, "SetPluginOptions")) return gated;
    if (!IsSelf(plugin)) return kBadParameterStatus;
    CurrentHost().App().pluginOptions = options;
    return kNoError;
}

// ---- Context ----
HostStatus GetPlatformAppWindow(PlatformWindow* window) {
    if (HostStatus gated = Gate("AI Context Suite", "GetPlatformAppWindow")) return gated;
    if (window == nullptr) return kBadParameterStatus;
    *window = CurrentHost().AppWindow();
    return kNoError;
}

// ---- Notifier ----
HostStatus AddNotifier(PluginRef plugin, const char* name, const char* type, NotifierHandle* notifier) {
    if (HostStatus gated = Gate("AI Notifier Suite", "AddNotifier")) return gated;
    if (notifier != nullptr) *notifier = nullptr;
    if (!IsSelf(plugin) || name == nullptr || type == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.notifiers.push_back(std::make_unique<Notifier>(Notifier{plugin, name, type}));
    if (notifier != nullptr) *notifier = HandleOf(app.notifiers.back().get());
    return kNoError;
}

// ---- Menu ----
constexpr const char* kMenu = "AI Menu Suite";

HostStatus AddMenuItem(PluginRef plugin, const char* key, const char* group, const char* text, std::int32_t options,
                       MenuItemHandle* item) {
    if (HostStatus gated = Gate(kMenu, "AddMenuItem")) return gated;
    if (item != nullptr) *item = nullptr;
    if (!IsSelf(plugin) || key == nullptr || group == nullptr || text == nullptr) return kBadParameterStatus;
    // An item for a group the host does not know is kept (and never shown), as the application does.
    AppState& app = CurrentHost().App();
    app.menuItems.push_back(std::make_unique<MenuItem>(MenuItem{plugin, key, group, text, options, false}));
    if (item != nullptr) *item = HandleOf(app.menuItems.back().get());
    return kNoError;
}

HostStatus CountMenuGroups(std::int32_t* count) {
    if (HostStatus gated = Gate(kMenu, "CountMenuGroups")) return gated;
    if (count == nullptr) return kBadParameterStatus;
    *count = static_cast<std::int32_t>(CurrentHost().App().menuGroups.size());
    return kNoError;
}

HostStatus GetNthMenuGroup(std::int32_t index, MenuGroupHandle* group) {
    if (HostStatus gated = Gate(kMenu, "GetNthMenuGroup")) return gated;
    const auto& groups = CurrentHost().App().menuGroups;
    if (group == nullptr || index < 0 || static_cast<std::size_t>(index) >= groups.size()) return kBadParameterStatus;
    *group = HandleOf(groups[static_cast<std::size_t>(index)].get());
    return kNoError;
}

HostStatus GetMenuGroupName(MenuGroupHandle group, const char** name) {
    if (HostStatus gated = Gate(kMenu, "GetMenuGroupName")) return gated;
    const MenuGroup* record = FindRecord(CurrentHost().App().menuGroups, group);
    if (record == nullptr || name == nullptr) return kBadParameterStatus;
    *name = record->name.c_str();
    return kNoError;
}

HostStatus AddMenuGroupAsSubMenu(const char* name, std::int32_t options, MenuItemHandle parent,
                                 MenuGroupHandle* group) {
    if (HostStatus gated = Gate(kMenu, "AddMenuGroupAsSubMenu")) return gated;
    if (group != nullptr) *group = nullptr;
    AppState& app = CurrentHost().App();
    MenuItem* parentItem = FindRecord(app.menuItems, parent);
    if (name == nullptr || parentItem == nullptr || app.FindMenuGroup(name) != nullptr) return kBadParameterStatus;
    app.menuGroups.push_back(std::make_unique<MenuGroup>(MenuGroup{name, options, parentItem}));
    if (group != nullptr) *group = HandleOf(app.menuGroups.back().get());
    return kNoError;
}

HostStatus CheckItem(MenuItemHandle item, std::int32_t checked) {
    if (HostStatus gated = Gate(kMenu, "CheckItem")) return gated;
    MenuItem* record = FindRecord(CurrentHost().App().menuItems, item);
    if (record == nullptr) return kBadParameterStatus;
    record->checked = checked != 0;
    return kNoError;
}

// ---- Tool ----
constexpr const char* kTool = "AI Tool Suite";
constexpr std::int16_t kFirstPluginToolNumber = 100;  // the host's own tools come first

HostStatus AddTool(PluginRef plugin, const char* name, const ToolRecord* record, std::int32_t options,
                   ToolHandle* tool) {
    if (HostStatus gated = Gate(kTool, "AddTool")) return gated;
    if (tool != nullptr) *tool = nullptr;
    AppState& app = CurrentHost().App();
    if (!IsSelf(plugin) || name == nullptr || record == nullptr) return kBadParameterStatus;
    const auto number = static_cast<std::int16_t>(kFirstPluginToolNumber + app.tools.size());
    app.tools.push_back(std::make_unique<Tool>(Tool{plugin, name, record->title ? record->title : "",
                                                    record->tooltip ? record->tooltip : "", record->lightIconId,
                                                    record->darkIconId, record->sameGroupAs, record->sameToolsetAs,
                                                    record->iconKind, options, number}));
    if (tool != nullptr) *tool = HandleOf(app.tools.back().get());
    return kNoError;
}

HostStatus GetToolNumberFromName(const char* name, std::int16_t* number) {
    if (HostStatus gated = Gate(kTool, "GetToolNumberFromName")) return gated;
    const Tool* record = name != nullptr ? CurrentHost().App().FindTool(name) : nullptr;
    if (number == nullptr) return kBadParameterStatus;
    if (record == nullptr) return kNotFoundStatus;
    *number = record->number;
    return kNoError;
}

HostStatus GetToolName(ToolHandle tool, const char** name) {
    if (HostStatus gated = Gate(kTool, "GetToolName")) return gated;
    const Tool* record = FindRecord(CurrentHost().App().tools, tool);
    if (record == nullptr || name == nullptr) return kBadParameterStatus;
    *name = record->name.c_str();
    return kNoError;
}

HostStatus GetSelectedTool(ToolHandle* tool) {
    if (HostStatus gated = Gate(kTool, "GetSelectedTool")) return gated;
    if (tool == nullptr) return kBadParameterStatus;
    *tool = HandleOf(CurrentHost().App().selectedTool);
    return kNoError;
}

}  // namespace

template <>
const SPAccessSuite* SuiteTable<SPAccessSuite>() {
    static const SPAccessSuite table{GetPluginAccess, GetAccessModule};
    return &table;
}

template <>
const PluginSuite* SuiteTable<PluginSuite>() {
    static const PluginSuite table{GetPluginOptions, SetPluginOptions};
    return &table;
}

template <>
const ContextSuite* SuiteTable<ContextSuite>() {
    static const ContextSuite table{GetPlatformAppWindow};
    return &table;
}

template <>
const NotifierSuite* SuiteTable<NotifierSuite>() {
    static const NotifierSuite table{AddNotifier};
    return &table;
}

template <>
const MenuSuite* SuiteTable<MenuSuite>() {
    static const MenuSuite table{AddMenuItem,      CountMenuGroups,       GetNthMenuGroup,
                                 GetMenuGroupName, AddMenuGroupAsSubMenu, CheckItem};
    return &table;
}

template <>
const ToolSuite* SuiteTable<ToolSuite>() {
    static const ToolSuite table{AddTool, GetToolNumberFromName, GetToolName, GetSelectedTool};
    return &table;
}

}  // namespace sim

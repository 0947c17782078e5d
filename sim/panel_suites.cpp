// Panels and their flyout menus. Each panel gets a window from the host, in which the plug-in builds
// its controls: a real one on Windows, an in-memory one natively (panel/memory_windows.h).
#include <cstdint>

#include "host_platform.h"
#include "suite_support.h"

namespace sim {

namespace {

constexpr const char* kPanel = "AI Panel Suite";
constexpr const char* kFlyout = "AI Panel Flyout Menu Suite";

Panel* LivePanel(PanelHandle handle) {
    Panel* panel = FindRecord(CurrentHost().App().panels, handle);
    return panel != nullptr && panel->alive ? panel : nullptr;
}

// A panel's size in the host's units, as the pixels of its window.
PanelSize InPixels(const PanelSize& size) {
    const double scale = CurrentHost().App().panelPixelsPerUnit;
    return PanelSize{size.width * scale, size.height * scale};
}

FlyoutMenu* LiveFlyout(FlyoutMenuHandle handle) {
    FlyoutMenu* menu = FindRecord(CurrentHost().App().flyoutMenus, handle);
    return menu != nullptr && menu->alive ? menu : nullptr;
}

HostStatus Create(PluginRef plugin, const char* id, const char* title, const PanelSize* minimumSize,
                  FlyoutMenuHandle flyout, PanelHandle* panel) {
    if (HostStatus gated = Gate(kPanel, "Create")) return gated;
    if (panel != nullptr) *panel = nullptr;
    Host& host = CurrentHost();
    if (plugin != host.Self() || id == nullptr || title == nullptr || minimumSize == nullptr || panel == nullptr) {
        return kBadParameterStatus;
    }
    FlyoutMenu* menu = LiveFlyout(flyout);
    if (flyout != nullptr && menu == nullptr) return kBadParameterStatus;
    auto record = std::make_unique<Panel>();
    record->owner = plugin;
    record->id = id;
    record->title = title;
    record->minimumSize = *minimumSize;
    record->size = *minimumSize;
    record->flyout = menu;
    record->window = CreatePanelWindow(host.AppWindow(), InPixels(*minimumSize));
    host.App().panels.push_back(std::move(record));
    *panel = HandleOf(host.App().panels.back().get());
    return kNoError;
}

HostStatus Destroy(PanelHandle handle) {
    if (HostStatus gated = Gate(kPanel, "Destroy")) return gated;
    Panel* panel = LivePanel(handle);
    if (panel == nullptr) return kBadParameterStatus;
    DestroyHostWindow(panel->window);
    panel->window = nullptr;
    panel->alive = false;
    panel->shown = false;
    return kNoError;
}

HostStatus GetPlatformWindow(PanelHandle handle, PlatformWindow* window) {
    if (HostStatus gated = Gate(kPanel, "GetPlatformWindow")) {
        // A failing host may leave anything in the output: a window that is none, so that a caller
        // who used it regardless fails loudly here.
        if (window != nullptr) *window = reinterpret_cast<PlatformWindow>(std::uintptr_t{0x10});
        return gated;
    }
    const Panel* panel = LivePanel(handle);
    if (panel == nullptr || window == nullptr) return kBadParameterStatus;
    *window = panel->window;
    return kNoError;
}

HostStatus Show(PanelHandle handle, std::int32_t show) {
    if (HostStatus gated = Gate(kPanel, "Show")) return gated;
    Panel* panel = LivePanel(handle);
    if (panel == nullptr) return kBadParameterStatus;
    panel->shown = show != 0;
    ShowPanelWindow(panel->window, panel->shown);
    return kNoError;
}

HostStatus IsShown(PanelHandle handle, std::int32_t* shown) {
    if (HostStatus gated = Gate(kPanel, "IsShown")) return gated;
    const Panel* panel = LivePanel(handle);
    if (panel == nullptr || shown == nullptr) return kBadParameterStatus;
    *shown = panel->shown ? 1 : 0;
    return kNoError;
}

HostStatus GetSize(PanelHandle handle, PanelSize* size) {
    if (HostStatus gated = Gate(kPanel, "GetSize")) return gated;
    const Panel* panel = LivePanel(handle);
    if (panel == nullptr || size == nullptr) return kBadParameterStatus;
    *size = panel->size;
    return kNoError;
}

HostStatus SetSize(PanelHandle handle, const PanelSize* size) {
    if (HostStatus gated = Gate(kPanel, "SetSize")) return gated;
    Panel* panel = LivePanel(handle);
    if (panel == nullptr || size == nullptr) return kBadParameterStatus;
    panel->size = *size;
    ResizePanelWindow(panel->window, InPixels(*size));
    return kNoError;
}

HostStatus SetFlyoutChoiceProc(PanelHandle handle, FlyoutChoiceProc proc) {
    if (HostStatus gated = Gate(kPanel, "SetFlyoutChoiceProc")) return gated;
    Panel* panel = LivePanel(handle);
    if (panel == nullptr) return kBadParameterStatus;
    panel->flyoutProc = proc;
    return kNoError;
}

// ---- Flyout menus ----

HostStatus CreateFlyout(FlyoutMenuHandle* menu) {
    if (HostStatus gated = Gate(kFlyout, "Create")) return gated;
    if (menu == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.flyoutMenus.push_back(std::make_unique<FlyoutMenu>());
    *menu = HandleOf(app.flyoutMenus.back().get());
    return kNoError;
}

HostStatus DestroyFlyout(FlyoutMenuHandle handle) {
    if (HostStatus gated = Gate(kFlyout, "Destroy")) return gated;
    FlyoutMenu* menu = LiveFlyout(handle);
    if (menu == nullptr) return kBadParameterStatus;
    menu->alive = false;
    return kNoError;
}

HostStatus AppendItem(FlyoutMenuHandle handle, std::uint32_t itemId, const char* text) {
    if (HostStatus gated = Gate(kFlyout, "AppendItem")) return gated;
    FlyoutMenu* menu = LiveFlyout(handle);
    if (menu == nullptr || text == nullptr) return kBadParameterStatus;
    menu->items.push_back(FlyoutItem{itemId, text, false, false});
    return kNoError;
}

HostStatus AppendSeparator(FlyoutMenuHandle handle, std::uint32_t itemId) {
    if (HostStatus gated = Gate(kFlyout, "AppendSeparator")) return gated;
    FlyoutMenu* menu = LiveFlyout(handle);
    if (menu == nullptr) return kBadParameterStatus;
    menu->items.push_back(FlyoutItem{itemId, "", true, false});
    return kNoError;
}

HostStatus SetItemMark(FlyoutMenuHandle handle, std::uint32_t itemId, std::int32_t checked) {
    if (HostStatus gated = Gate(kFlyout, "SetItemMark")) return gated;
    FlyoutMenu* menu = LiveFlyout(handle);
    if (menu == nullptr) return kBadParameterStatus;
    for (FlyoutItem& item : menu->items) {
        if (item.id == itemId && !item.separator) {
            item.checked = checked != 0;
            return kNoError;
        }
    }
    return kNotFoundStatus;
}

}  // namespace

template <>
const PanelSuite* SuiteTable<PanelSuite>() {
    static const PanelSuite table{Create, Destroy, GetPlatformWindow, Show, IsShown, GetSize, SetSize,
                                  SetFlyoutChoiceProc};
    return &table;
}

template <>
const PanelFlyoutMenuSuite* SuiteTable<PanelFlyoutMenuSuite>() {
    static const PanelFlyoutMenuSuite table{CreateFlyout, DestroyFlyout, AppendItem, AppendSeparator, SetItemMark};
    return &table;
}

}  // namespace sim

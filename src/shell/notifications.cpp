#include "shell/notifications.h"

#include "commands/selection_length_readout.h"
#include "host/messages.h"
#include "panel/about_box.h"
#include "panel/panel_controls.h"
#include "panel/panel_readout.h"
#include "panel/panel_window.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/anchor_cache.h"

namespace {

bool IsType(const char* type, const char* expected) { return gBasic->IsEqual(type, expected) != 0; }

bool PanelIsShown() {
    std::int32_t shown = 0;
    return sPanel != nullptr && sPanel->IsShown(gState->panel, &shown) == kNoError && shown != 0;
}

PlatformWindow PanelWindow() {
    PlatformWindow window = nullptr;
    if (sPanel == nullptr || sPanel->GetPlatformWindow(gState->panel, &window) != kNoError) return nullptr;
    return window;
}

void SelectionChanged() {
    if (gState->notifierGuard != 0) return;  // a change made while measuring is the measuring's own
    gState->notifierGuard = 1;
    if (PanelIsShown() && gState->flUseFlng != 0) UpdateSelectionLength();
    gState->notifierGuard = 0;
}

void DocumentChanged() {
    gState->currentView = nullptr;
    // Without an open document the host has no view 0, and the handle stays empty.
    if (sDocumentView != nullptr && sDocumentView->GetNthDocumentView(0, &gState->currentView) != kNoError) {
        gState->currentView = nullptr;
    }
}

}  // namespace

HostStatus HandleMenuGo(void* message) {
    const MenuItemHandle item = static_cast<MenuMessage*>(message)->menuItem;
    if (item != nullptr && item == gState->aboutMenuItem) return ShowAboutBox();
    if (item == gState->paletteMenuItem && gState->panel != nullptr && sPanel != nullptr) {
        sPanel->Show(gState->panel, PanelIsShown() ? 0 : 1);
    }
    return kNoError;
}

HostStatus HandleMenuUpdate(void* /*message*/) {
    if (gState->panel != nullptr && sMenu != nullptr) sMenu->CheckItem(gState->paletteMenuItem, PanelIsShown() ? 1 : 0);
    return kNoError;
}

HostStatus HandleNotification(void* message) {
    auto* notification = static_cast<NotifierMessage*>(message);
    const char* type = notification->type;
    if (type == nullptr) return kNoError;
    if (IsType(type, "AI Application Started Notifier")) {
        // The panel's window procedures bracket their host calls with this basic suite.
        gState->savedBasicSuite = notification->d.basic;
        CreatePanel(notification);
        return kNoError;
    }
    // The adjust tools' view of the artwork is dropped whether or not the panel exists.
    if (IsType(type, "AI Art Objects Changed Notifier") || IsType(type, "AI Document Closed Notifier") ||
        IsType(type, "AI Document Opened Notifier") || IsType(type, "AI Document New Notifier")) {
        DropAnchorCache();
    }
    if (gState->panel == nullptr) return kNoError;

    if (IsType(type, "AI UI Brightness Changed Notifier")) {
        if (PlatformWindow window = PanelWindow()) {
            LoadInterfaceColors(window);
            InvalidatePanelWindow(window);
        }
    } else if (IsType(type, "AI Art Selection Changed Notifier")) {
        SelectionChanged();
    } else if (IsType(type, "AI Document Closed Notifier") || IsType(type, "AI Document Opened Notifier") ||
               IsType(type, "AI Document New Notifier")) {
        DocumentChanged();
    } else if (IsType(type, "AI Document Ruler Unit Changed Notifier")) {
        PlatformWindow window = PanelWindow();
        if (PanelIsShown()) RefreshLengthReadouts(window);
    }
    return kNoError;
}

#include "shell/lifecycle.h"

#include <cmath>

#include "commands/saved_selection.h"
#include "geometry/bezier_tables.h"
#include "panel/panel_window.h"
#include "settings/settings_file.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"
#include "shell/registration.h"
#include "shell/suites.h"
#include "tools/adjust_annotator.h"
#include "tools/anchor_cache.h"

namespace {

constexpr std::int32_t kPluginOptionBit = 2;

// The host's display scale: the larger of its two factors, ignoring one that is not a number.
double HostDisplayScale() {
    double first = 1.0;
    double second = 1.0;
    if (sUser == nullptr || sUser->GetScaleFactors(&first, &second) != kNoError) return 1.0;
    return std::fmax(first, second);
}

void AddPluginOptionBit(PluginRef self) {
    if (sPlugin == nullptr) return;
    std::int32_t options = 0;
    if (sPlugin->GetPluginOptions(self, &options) == kNoError) sPlugin->SetPluginOptions(self, options | kPluginOptionBit);
}

}  // namespace

HostStatus StartupPlugin(InterfaceMessage* message) {
    void* block = nullptr;
    const HostStatus allocated = message->d.basic->AllocateBlock(sizeof(PluginState), &block);
    if (allocated != kNoError) return allocated;
    gState = static_cast<PluginState*>(block);
    message->d.globals = block;

    const PluginRef self = message->d.self;
    AddPluginOptionBit(self);
    SetStartValues(*gState, self, HostDisplayScale());
    BuildBezierTables(*gState);
    ReadSettingsFile();

    using RegistrationStep = HostStatus (*)(PluginRef);
    constexpr RegistrationStep kRegistrationSteps[] = {
        AddAdjustTools, AddNotifiers, AddMenuItems, RegisterInsideCommandAction, RegisterAdjustAnnotator,
    };
    for (RegistrationStep step : kRegistrationSteps) {
        const HostStatus status = step(self);
        if (status != kNoError) return status;
    }
    return kNoError;
}

HostStatus ShutdownPlugin(InterfaceMessage* message) {
    if (gState == nullptr) return kNoError;
    WriteSettingsFile();
    DestroyPanel();
    FreeSavedSelection();  // a run of Length changes may still be open
    FreeAnchorCache(message->d.basic);
    message->d.basic->FreeBlock(gState);
    gState = nullptr;
    message->d.globals = nullptr;
    return kNoError;
}

HostStatus UnloadPlugin(InterfaceMessage* message) {
    message->d.globals = gState;
    return kNoError;
}

HostStatus ReloadPlugin(InterfaceMessage* message) {
    gState = static_cast<PluginState*>(message->d.globals);
    suiteDepth = 0;
    return kNoError;
}

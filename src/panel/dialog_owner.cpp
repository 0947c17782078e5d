#include "panel/dialog_owner.h"

#include "platform/platform.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

ModuleHandle DialogResourceModule() {
    if (sSPAccess != nullptr && gState != nullptr) {
        AccessRef access = nullptr;
        ModuleHandle module = nullptr;
        if (sSPAccess->GetPluginAccess(gState->lastToolSelf, &access) == kNoError &&
            sSPAccess->GetAccessModule(access, &module) == kNoError && module != nullptr) {
            return module;
        }
    }
    return PlatformPluginModule();
}

PlatformWindow DialogOwnerWindow() {
    PlatformWindow window = nullptr;
    if (sContext == nullptr || sContext->GetPlatformAppWindow(&window) != kNoError) return nullptr;
    return window;
}

#include "shell/registration.h"

#include <cstdio>

#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr std::int32_t kToolOptions = 3;
constexpr std::uint8_t kPngIcons = 2;

struct NotifierRow {
    const char* name;
    const char* type;
};

constexpr NotifierRow kNotifiers[] = {
    {"Kelvane App Started notifier", "AI Application Started Notifier"},
    {"Kelvane Brightness Changed Notifier", "AI UI Brightness Changed Notifier"},
    {"Kelvane Document View Active View Changed Notifier", "AI Document View Style Active View Changed Notifier"},
    {"Kelvane Application Deactivated Notifier", "AI Application Deactivated Notifier"},
    {"Kelvane ArtSelection Changed Notifier", "AI Art Selection Changed Notifier"},
    {"Kelvane ArtObjects Changed Notifier", "AI Art Objects Changed Notifier"},
    {"Kelvane Document Closed Notifier", "AI Document Closed Notifier"},
    {"Kelvane Document Opened Notifier", "AI Document Opened Notifier"},
    {"Kelvane Document New Notifier", "AI Document New Notifier"},
    {"Kelvane Document Ruler Unit Changed Notifier", "AI Document Ruler Unit Changed Notifier"},
};

// The maker's plug-ins share one about group; another of them may have made it already.
// An error while walking the groups counts as not found.
bool AboutGroupExists(std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        MenuGroupHandle group = nullptr;
        const char* name = nullptr;
        if (sMenu->GetNthMenuGroup(i, &group) != kNoError || sMenu->GetMenuGroupName(group, &name) != kNoError) {
            return false;
        }
        if (name != nullptr && gBasic->IsEqual(name, kAboutGroupName)) return true;
    }
    return false;
}

}  // namespace

HostStatus AddAdjustTools(PluginRef self) {
    if (sTool == nullptr) return kSuiteNotFoundStatus;
    ToolRecord record{kPathAdjustToolName, kPathAdjustToolName, 16251, 16351, kNewToolGroup, kNoTool, kPngIcons};
    HostStatus status = sTool->AddTool(self, kPathAdjustToolName, &record, kToolOptions, &gState->pathAdjustTool);
    if (status != kNoError) return status;

    std::int16_t group = 0;
    status = sTool->GetToolNumberFromName(kPathAdjustToolName, &group);
    if (status != kNoError) return status;
    record = ToolRecord{kPointAdjustToolName, kPointAdjustToolName, 16252, 16352, group, kNoTool, kPngIcons};
    return sTool->AddTool(self, kPointAdjustToolName, &record, kToolOptions, &gState->pointAdjustTool);
}

HostStatus AddNotifiers(PluginRef self) {
    if (sNotifier == nullptr) return kSuiteNotFoundStatus;
    for (const NotifierRow& row : kNotifiers) {
        NotifierHandle notifier = nullptr;
        const HostStatus status = sNotifier->AddNotifier(self, row.name, row.type, &notifier);
        if (status != kNoError) return status;
        if (&row == &kNotifiers[0]) gState->appStartedNotifier = notifier;
    }
    return kNoError;
}

HostStatus AddMenuItems(PluginRef self) {
    if (sMenu == nullptr) return kSuiteNotFoundStatus;
    HostStatus status = sMenu->AddMenuItem(self, "AI-PLOTVEX Info Group", "Tool Palettes", "Kelvane", 1,
                                           &gState->paletteMenuItem);
    if (status != kNoError) return status;

    std::int32_t groupCount = 0;
    status = sMenu->CountMenuGroups(&groupCount);
    if (status != kNoError) return status;
    if (!AboutGroupExists(groupCount)) {
        MenuItemHandle groupItem = nullptr;
        if (sMenu->AddMenuItem(self, kAboutGroupName, "About", "About Plug-ins (TARNWICK INC.)", 0, &groupItem) ==
            kNoError) {
            MenuGroupHandle group = nullptr;
            sMenu->AddMenuGroupAsSubMenu(kAboutGroupName, 1, groupItem, &group);
        }
    }

    char aboutText[sizeof gState->productName + 3];
    std::snprintf(aboutText, sizeof aboutText, "%s...", gState->productName);
    return sMenu->AddMenuItem(self, gState->productName, kAboutGroupName, aboutText, 0, &gState->aboutMenuItem);
}

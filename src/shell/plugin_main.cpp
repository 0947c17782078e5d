// The plug-in's one entry point: every host message arrives here.
#include <cstdio>

#include "host/messages.h"
#include "panel/about_box.h"
#include "shell/commands.h"
#include "shell/lifecycle.h"
#include "shell/notifications.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/adjust_annotator.h"
#include "tools/adjust_tools.h"
#include "tools/anchor_cache.h"

namespace {

using MessageHandler = HostStatus (*)(void* message);

struct Route {
    const char* caller;
    const char* selector;
    MessageHandler handler;
};

// Tested in order; a caller or selector not listed does nothing and answers 0.
constexpr Route kRoutes[] = {
    {"AI Menu", "AI Go", HandleMenuGo},
    {"AI Menu", "AI Update", HandleMenuUpdate},
    {"AI Tool", "AI Edit Options", OnAdjustToolEditOptions},
    {"AI Tool", "AI Track Cursor", OnAdjustTrack},
    {"AI Tool", "AI Mouse Down", OnAdjustMouseDown},
    {"AI Tool", "AI Mouse Drag", OnAdjustTrack},
    {"AI Tool", "AI Mouse Up", OnAdjustMouseUp},
    {"AI Tool", "AI Select", OnAdjustToolSelect},
    {"AI Tool", "AI Deselect", OnAdjustToolDeselect},
    {"AI Notifier", "AI Notify", HandleNotification},
    {"Action Manager", "Do Action", DoInsideCommand},
    {"AI Annotation", "AI Draw", OnAnnotatorDraw},
    {"AI Annotation", "AI Invalidate", OnAnnotatorInvalidate},
};

HostStatus RouteMessage(const char* caller, const char* selector, void* message) {
    for (const Route& route : kRoutes) {
        if (gBasic->IsEqual(caller, route.caller) && gBasic->IsEqual(selector, route.selector)) {
            return route.handler(message);
        }
    }
    return kNoError;
}

template <typename Message>
HostStatus Run(HostStatus (*handler)(Message*), void* message) {
    return handler(static_cast<Message*>(message));
}

HostStatus HandleInterfaceMessage(const char* selector, void* message) {
    if (gBasic->IsEqual(selector, "Startup")) return Run(StartupPlugin, message);
    if (gBasic->IsEqual(selector, "About")) return ShowAboutBox();
    if (gBasic->IsEqual(selector, "Shutdown")) return Run(ShutdownPlugin, message);
    return kNoError;
}

// Statuses that mean "cancelled" or "already reported" reach the host without an alert.
bool IsSilentStatus(HostStatus status) {
    return status == kNoError || status == kCanceledStatus || status == kSuiteNotFoundStatus ||
           status == kStopStatus;
}

void ReportError(HostStatus status, const char* caller, const char* selector) {
    if (IsSilentStatus(status) || sUser == nullptr) return;
    const auto code = static_cast<std::uint32_t>(status);
    const char fourChars[5] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16),
                               static_cast<char>(code >> 8), static_cast<char>(code), '\0'};
    char text[512];
    std::snprintf(text, sizeof text, "Error=%x, %s (caller : %s, selector : %s)", static_cast<unsigned>(code),
                  fourChars, caller, selector);
    sUser->ErrorAlert(text);
}

}  // namespace

extern "C" HostStatus PluginMain(const char* caller, const char* selector, void* message) {
    auto* header = static_cast<MessageHeader*>(message);
    if (header == nullptr || header->basic == nullptr) return kBadParameterStatus;  // nothing to answer through
    gBasic = header->basic;
    gState = static_cast<PluginState*>(header->globals);

    if (gBasic->IsEqual(caller, "SP Access")) {
        if (gBasic->IsEqual(selector, "Unload")) return Run(UnloadPlugin, message);
        if (gBasic->IsEqual(selector, "Reload")) return Run(ReloadPlugin, message);
        return kNoError;
    }

    HostStatus status = AcquireSuites(gBasic);
    if (status == kNoError) {
        status = gBasic->IsEqual(caller, "SP Interface") ? HandleInterfaceMessage(selector, message)
                                                         : RouteMessage(caller, selector, message);
    } else {
        DropAnchorCache();  // the message not taken may have said that the artwork changed
    }
    ReportError(status, caller, selector);
    ReleaseSuites(gBasic);
    return status;
}

// Running document-changing commands inside the plug-in's own host action, one undo step each.
#pragma once

#include <cstdint>

#include "host/host_types.h"

enum CommandId : std::uint16_t {
    kCommandLengthSlider = 1001,
    kCommandPointer = 1002,
    kCommandLengthTyped = 1003,
    kCommandHandleLine = 1004,
    kCommandSettingsDialog = 1005,
    kCommandAngleBisector = 1011,
    kCommandExtensionCrossing = 1012,
    kCommandLengthReadout = 1013,
};

constexpr const char* kInsideCommandEvent = "KELVANE_INSIDECMD";
constexpr const char* kInsideCommandDisplayName = "KELVANE Inside Objects Command";

// Registers the inside-command action with the host (start-up).
HostStatus RegisterInsideCommandAction(PluginRef self);

// Stores the command and plays the action; the host sends "Do Action" back before this returns.
void PlayInsideCommand(std::uint16_t id);

// The "Do Action" handler: sets the command's undo texts and runs it. Always 0.
HostStatus DoInsideCommand(void* message);

// The basic suite that comes with every message, and the messages themselves.
#pragma once

#include "host/host_types.h"

struct SPBasicSuite {
    HostStatus (*AcquireSuite)(const char* name, std::int32_t version, const void** suite);
    HostStatus (*ReleaseSuite)(const char* name, std::int32_t version);
    std::int32_t (*IsEqual)(const char* a, const char* b);  // non-zero when the texts are equal
    HostStatus (*AllocateBlock)(std::size_t size, void** block);
    HostStatus (*FreeBlock)(void* block);
};

constexpr std::int32_t kMessageCheck = 0x4B4C564E;  // "KLVN"

// Common header of every message.
struct MessageHeader {
    std::int32_t check;
    PluginRef self;
    void* globals;  // the plug-in's state pointer, kept by the host between messages
    SPBasicSuite* basic;
};

struct InterfaceMessage {  // "SP Interface", "SP Access"
    MessageHeader d;
};

struct MenuMessage {  // "AI Menu"
    MessageHeader d;
    MenuItemHandle menuItem;
};

struct ToolMessage {  // "AI Tool"
    MessageHeader d;
    ToolHandle tool;
    RealPoint cursor;        // artwork coordinates
    std::int32_t modifiers;  // shift 1, alt 2, control 4
    std::int32_t clickCount;
};
enum ToolModifier : std::int32_t {
    kShiftKey = 1,
    kAltKey = 2,
    kControlKey = 4,
};

struct NotifierMessage {  // "AI Notifier"
    MessageHeader d;
    NotifierHandle notifier;
    const char* type;  // notification type text
    void* notifyData;
};

struct AnnotatorMessage {  // "AI Annotation"
    MessageHeader d;
    AnnotatorHandle annotator;
    DocumentViewHandle view;
    AnnotatorDrawerHandle drawer;  // "AI Draw" only
    ViewRect invalidationRect;     // "AI Invalidate" only
};

struct ActionMessage {  // "Action Manager"
    MessageHeader d;
    ActionParamValueHandle parameters;
    std::int32_t showDialog;
};

using PluginMainProc = HostStatus (*)(const char* caller, const char* selector, void* message);

// Entry point exported by the plug-in library.
extern "C" HostStatus PluginMain(const char* caller, const char* selector, void* message);

// What the host's menu choices and notifications do (callers "AI Menu" and "AI Notifier").
#pragma once

#include "host/host_types.h"

// "AI Go": the palette item shows or hides the panel; the about item shows the about box.
HostStatus HandleMenuGo(void* message);
// "AI Update": the palette item is checked exactly when the panel is shown.
HostStatus HandleMenuUpdate(void* message);
// "AI Notify", by notification type. Always 0.
HostStatus HandleNotification(void* message);

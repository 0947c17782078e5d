#include "panel_input.h"

#include "host.h"

namespace sim {

PlatformWindow PanelWindowOf(Host& host) {
    const Panel* panel = host.App().FindPanel("KELVANE_INFO_PANEL");
    return panel != nullptr && panel->alive ? panel->window : nullptr;
}

}  // namespace sim

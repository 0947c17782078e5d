// The user at the panel natively: through the in-memory windows the plug-in's controls live in.
#include <cstring>

#include "host.h"
#include "panel/memory_windows.h"
#include "panel_input.h"

namespace sim {

namespace {

MemoryWindow* Control(Host& host, int id) { return MemoryChild(static_cast<MemoryWindow*>(PanelWindowOf(host)), id); }

}  // namespace

void ClickPanelControl(Host& host, int id) { ClickMemoryControl(Control(host, id)); }

void TypeIntoPanelField(Host& host, int id, const std::string& text) {
    TypeIntoMemoryField(Control(host, id), text.c_str());
}

void PressPanelKey(Host& host, PanelKeyPress key) {
    if (PanelWindowOf(host) == nullptr) return;
    PressMemoryKey(key == PanelKeyPress::Enter ? kMemoryKeyEnter : kMemoryKeyTab, key == PanelKeyPress::ShiftTab);
}

void LeavePanelField(Host& host) {
    // The application's window is no window natively: the focus leaves the panel for none.
    SetMemoryFocus(static_cast<MemoryWindow*>(host.AppWindow()));
}

void MovePanelSlider(Host& host, int position) { DragMemorySlider(Control(host, 40), position); }

std::string PanelControlText(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr ? control->text : std::string();
}

bool PanelControlChecked(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr && control->checked;
}

bool PanelControlEnabled(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr && control->enabled;
}

bool PanelControlVisible(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr && control->visible;
}

int PanelFocusedControl(Host& host) {
    const MemoryWindow* focus = MemoryFocus();
    return focus != nullptr && focus->parent == PanelWindowOf(host) ? focus->id : 0;
}

bool PanelTextSelected(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr && control->allTextSelected;
}

int PanelSliderPosition(Host& host) {
    const MemoryWindow* slider = Control(host, 40);
    return slider != nullptr ? slider->sliderPosition : 0;
}

std::vector<std::string> PanelListItems(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr ? control->items : std::vector<std::string>();
}

PanelControlRect PanelControlBounds(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    if (control == nullptr) return PanelControlRect{0, 0, 0, 0};
    return PanelControlRect{control->left, control->top, control->left + control->width,
                            control->top + control->height};
}

int PanelControlPaints(Host& host, int id) {
    const MemoryWindow* control = Control(host, id);
    return control != nullptr ? control->paints : 0;
}

}  // namespace sim

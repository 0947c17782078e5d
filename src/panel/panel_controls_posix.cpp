// The panel's controls natively: in-memory windows (memory_windows.h) with the plug-in's procedures
// on them, which hand the panel's events to panel_events.cpp as the Windows procedures do.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>

#include "panel/memory_windows.h"
#include "panel/panel_controls.h"
#include "panel/panel_events.h"
#include "shell/plugin_state.h"
#include "resource_ids.h"

namespace {

MemoryWindow* AsWindow(PlatformWindow window) { return static_cast<MemoryWindow*>(window); }

MemoryWindow* Control(PlatformWindow window, int id) { return MemoryChild(AsWindow(window), id); }

// The procedures the plug-in's own replaced, kept the first time each is replaced.
MemoryProc previousFieldProc = nullptr;
MemoryProc previousCheckBoxProc = nullptr;
bool fieldProcSaved = false;
bool checkBoxProcSaved = false;

MemoryProc PreviousPanelProc() { return reinterpret_cast<MemoryProc>(gState->previousPanelProc); }

std::intptr_t PassOn(MemoryProc previous, MemoryWindow* window, const MemoryMessage& message) {
    return previous != nullptr ? previous(window, message) : DefaultMemoryProcedure(window, message);
}

PanelNotice NoticeOf(MemoryNotice notice) {
    switch (notice) {
        case MemoryNotice::Clicked: return PanelNotice::Clicked;
        case MemoryNotice::GotFocus: return PanelNotice::GotFocus;
        case MemoryNotice::LostFocus: return PanelNotice::LostFocus;
        case MemoryNotice::Changed: return PanelNotice::Changed;
    }
    return PanelNotice::Other;
}

std::intptr_t PanelWindowProc(MemoryWindow* window, const MemoryMessage& message) {
    if (message.kind == MemoryMessage::Command) {
        PanelCommand(window, message.id, NoticeOf(message.notice));
        return 0;
    }
    if (message.kind == MemoryMessage::HorizontalScroll && message.id == 40) PanelSliderScrolled(window);
    return PassOn(PreviousPanelProc(), window, message);
}

std::intptr_t FieldProc(MemoryWindow* field, const MemoryMessage& message) {
    if (message.kind == MemoryMessage::KeyDown &&
        (message.key == kMemoryKeyTab || message.key == kMemoryKeyEnter)) {
        const PanelKey key = message.key == kMemoryKeyTab ? PanelKey::Tab : PanelKey::Enter;
        if (PanelFieldKey(field->parent, field->id, key, message.shift)) return 0;
    }
    return PassOn(previousFieldProc, field, message);
}

std::intptr_t CheckBoxProc(MemoryWindow* box, const MemoryMessage& message) {
    if (message.kind == MemoryMessage::LeftButtonDown) {
        box->checked = !box->checked;
        SendMemoryMessage(box, MemoryMessage{MemoryMessage::Paint});
        NotifyMemoryParent(box, MemoryNotice::Clicked);
        return 0;
    }
    if (message.kind == MemoryMessage::Destroy) box->procedure = previousCheckBoxProc;
    return PassOn(previousCheckBoxProc, box, message);
}

void Subclass(MemoryWindow* control, MemoryProc procedure, MemoryProc& saved, bool& isSaved) {
    if (!isSaved) {
        saved = control->procedure;
        isSaved = true;
    }
    control->procedure = procedure;
}

MemoryClass ClassOf(PanelControlKind kind) {
    switch (kind) {
        case PanelControlKind::Label: return MemoryClass::Label;
        case PanelControlKind::EditableList: return MemoryClass::EditableList;
        case PanelControlKind::Separator: return MemoryClass::Separator;
        case PanelControlKind::CheckBox: return MemoryClass::CheckBox;
        case PanelControlKind::Edit: return MemoryClass::Edit;
        case PanelControlKind::Slider: return MemoryClass::Slider;
        case PanelControlKind::ToggleButton: return MemoryClass::Button;
    }
    return MemoryClass::Label;
}

// The drawing objects of the state record: natively only tokens, counted while they exist.
std::set<std::uintptr_t>& LiveDrawingObjects() {
    static std::set<std::uintptr_t> live;
    return live;
}

void* NewDrawingObject() {
    static std::uintptr_t serial = 0;
    ++serial;
    LiveDrawingObjects().insert(serial);
    return reinterpret_cast<void*>(serial);
}

// resources/kelvane.rc's string table: the native build has no resources to load it from.
struct PanelString {
    int id;
    const char* text;
};
constexpr PanelString kStrings[] = {
    {16241, ".25"}, {16242, ".5"}, {16243, "1"}, {16244, "5"},  {16245, "10"},
    {16246, "20"},  {16247, "50"}, {16248, "100"}, {16249, "-"}, {16250, "-"},
};

}  // namespace

void CreatePanelControl(PlatformWindow parent, const char* text, int id, PanelControlKind kind, int extraStyle,
                        const PanelPixelRect& rect) {
    if (!IsMemoryWindowAlive(AsWindow(parent))) return;
    MemoryWindow* control = CreateMemoryWindow(AsWindow(parent), ClassOf(kind), id, text, rect.left, rect.top,
                                               rect.right - rect.left, rect.bottom - rect.top);
    control->style = extraStyle;
    if (kind == PanelControlKind::Edit || kind == PanelControlKind::EditableList) {
        Subclass(control, FieldProc, previousFieldProc, fieldProcSaved);
    } else if (kind == PanelControlKind::CheckBox) {
        Subclass(control, CheckBoxProc, previousCheckBoxProc, checkBoxProcSaved);
    }
}

void CreateToggleButton(PlatformWindow parent, const PanelPixelRect& rect, int id, int toggleIndex,
                        std::uint16_t initialState) {
    if (!IsMemoryWindowAlive(AsWindow(parent)) || toggleIndex < 0 || toggleIndex >= 10) return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", toggleIndex);
    CreateMemoryWindow(AsWindow(parent), MemoryClass::Button, id, text, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top);
    gState->toggleState[toggleIndex] = initialState;
}

void InstallPanelWindowProc(PlatformWindow window) {
    MemoryWindow* panel = AsWindow(window);
    if (!IsMemoryWindowAlive(panel)) return;
    gState->previousPanelProc = reinterpret_cast<void*>(panel->procedure);
    panel->procedure = PanelWindowProc;
    fieldProcSaved = false;
    checkBoxProcSaved = false;
    previousFieldProc = nullptr;
    previousCheckBoxProc = nullptr;
}

void RestorePanelWindowProc(PlatformWindow window) {
    MemoryWindow* panel = AsWindow(window);
    if (!IsMemoryWindowAlive(panel) || panel->procedure != PanelWindowProc) return;
    panel->procedure = PreviousPanelProc();
}

void DestroyPanelWindow(PlatformWindow window) { DestroyMemoryWindow(AsWindow(window)); }

bool PanelControlExists(PlatformWindow window, int id) { return Control(window, id) != nullptr; }

PanelControlClass PanelControlClassOf(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    if (control == nullptr) return PanelControlClass::None;
    switch (control->kind) {
        case MemoryClass::Button:
        case MemoryClass::CheckBox: return PanelControlClass::Button;
        case MemoryClass::EditableList: return PanelControlClass::ComboBox;
        case MemoryClass::Edit: return PanelControlClass::Edit;
        case MemoryClass::Label:
        case MemoryClass::Separator: return PanelControlClass::Static;
        case MemoryClass::Slider: return PanelControlClass::Slider;
        case MemoryClass::Window: break;
    }
    return PanelControlClass::None;
}

void SetPanelControlText(PlatformWindow window, int id, const char* text) {
    if (MemoryWindow* control = Control(window, id)) {
        control->text = text != nullptr ? text : "";
        control->allTextSelected = false;
    }
}

void GetPanelControlText(PlatformWindow window, int id, char* text, std::size_t size, std::size_t maxChars) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    const MemoryWindow* control = Control(window, id);
    if (control == nullptr) return;
    std::size_t length = control->text.size();
    if (length > maxChars) length = maxChars;
    if (length > size - 1) length = size - 1;
    std::memcpy(text, control->text.data(), length);
    text[length] = '\0';
}

bool IsPanelControlChecked(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    return control != nullptr && control->checked;
}

void SetPanelControlChecked(PlatformWindow window, int id, bool checked) {
    if (MemoryWindow* control = Control(window, id)) {
        control->checked = checked;
        SendMemoryMessage(control, MemoryMessage{MemoryMessage::Paint});
    }
}

bool IsPanelControlEnabled(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    return control != nullptr && control->enabled;
}

void EnablePanelControl(PlatformWindow window, int id, bool enabled) {
    MemoryWindow* control = Control(window, id);
    if (control == nullptr) return;
    control->enabled = enabled;
    // A disabled window cannot keep the focus.
    if (!enabled && MemoryFocus() == control) SetMemoryFocus(nullptr);
}

bool IsPanelControlVisible(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    return control != nullptr && control->visible;
}

void ShowPanelControl(PlatformWindow window, int id, bool shown) {
    MemoryWindow* control = Control(window, id);
    if (control == nullptr) return;
    control->visible = shown;
    if (!shown && MemoryFocus() == control) SetMemoryFocus(nullptr);
}

bool PanelControlHasFocus(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    return control != nullptr && MemoryFocus() == control;
}

void FocusPanelControl(PlatformWindow window, int id) {
    if (MemoryWindow* control = Control(window, id)) SetMemoryFocus(control);
}

void FocusOutsidePanel(PlatformWindow window) { SetMemoryFocus(AsWindow(window)); }

void SelectAllPanelText(PlatformWindow window, int id) {
    if (MemoryWindow* control = Control(window, id)) control->allTextSelected = true;
}

void MovePanelControlBy(PlatformWindow window, int id, int dy) {
    if (MemoryWindow* control = Control(window, id)) control->top += dy;
}

void SetPanelSliderRange(PlatformWindow window, int id, int minimum, int maximum) {
    if (MemoryWindow* control = Control(window, id)) {
        control->sliderMin = minimum;
        control->sliderMax = maximum;
    }
}

int PanelSliderPosition(PlatformWindow window, int id) {
    const MemoryWindow* control = Control(window, id);
    return control != nullptr ? control->sliderPosition : 0;
}

void SetPanelSliderPosition(PlatformWindow window, int id, int position) {
    if (MemoryWindow* control = Control(window, id)) {
        control->sliderPosition = position < control->sliderMin   ? control->sliderMin
                                  : position > control->sliderMax ? control->sliderMax
                                                                  : position;
    }
}

void AddPanelListItem(PlatformWindow window, int id, const char* text) {
    if (MemoryWindow* control = Control(window, id)) control->items.emplace_back(text != nullptr ? text : "");
}

void RepaintPanelControl(PlatformWindow window, int id) {
    if (MemoryWindow* control = Control(window, id)) SendMemoryMessage(control, MemoryMessage{MemoryMessage::Paint});
}

void InvalidatePanelWindow(PlatformWindow window) {
    MemoryWindow* panel = AsWindow(window);
    if (!IsMemoryWindowAlive(panel)) return;
    SendMemoryMessage(panel, MemoryMessage{MemoryMessage::Paint});
    for (MemoryWindow* control : panel->children) SendMemoryMessage(control, MemoryMessage{MemoryMessage::Paint});
}

int PanelWindowPixelWidth(PlatformWindow window) {
    const MemoryWindow* panel = AsWindow(window);
    return IsMemoryWindowAlive(panel) ? panel->width : 0;
}

double SystemDpi() { return 96.0; }

void* CreateLabelFont(double /*panelScale*/) { return NewDrawingObject(); }

void* CreatePanelBrush(const UIColor& /*color*/) { return NewDrawingObject(); }

void DeletePanelDrawingObject(void* object) { LiveDrawingObjects().erase(reinterpret_cast<std::uintptr_t>(object)); }

int LivePanelDrawingObjects() { return static_cast<int>(LiveDrawingObjects().size()); }

bool LoadPanelString(ModuleHandle /*module*/, int id, char* text, std::size_t size, std::size_t maxChars) {
    if (text == nullptr || size == 0) return false;
    text[0] = '\0';
    for (const PanelString& entry : kStrings) {
        if (entry.id != id) continue;
        std::size_t length = std::strlen(entry.text);
        if (length > maxChars) length = maxChars;
        if (length > size - 1) length = size - 1;
        std::memcpy(text, entry.text, length);
        text[length] = '\0';
        return true;
    }
    return false;
}

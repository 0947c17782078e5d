#include "panel/memory_windows.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace {

// Every window ever made: a handle the host or the plug-in still holds after a destruction must
// not point at freed memory, nor at a newer window made at the same address.
std::vector<std::unique_ptr<MemoryWindow>>& AllWindows() {
    static std::vector<std::unique_ptr<MemoryWindow>> windows;
    return windows;
}

// The windows not yet destroyed. A destroyed window's memory stays in AllWindows, so its address is
// never given to a new window and this set alone says whether a handle is alive.
std::unordered_set<const MemoryWindow*>& LiveWindows() {
    static std::unordered_set<const MemoryWindow*> live;
    return live;
}

MemoryWindow* focusWindow = nullptr;

bool IsField(const MemoryWindow* window) {
    return window->kind == MemoryClass::Edit || window->kind == MemoryClass::EditableList;
}

// Hidden or disabled itself or through a parent: out of the user's reach.
bool Reachable(const MemoryWindow* window) {
    for (; window != nullptr; window = window->parent) {
        if (!window->alive || !window->visible || !window->enabled) return false;
    }
    return true;
}

}  // namespace

MemoryWindow* CreateMemoryWindow(MemoryWindow* parent, MemoryClass kind, int id, const char* text, int left, int top,
                                 int width, int height) {
    auto window = std::make_unique<MemoryWindow>();
    window->kind = kind;
    window->parent = parent;
    window->id = id;
    window->text = text != nullptr ? text : "";
    window->left = left;
    window->top = top;
    window->width = width;
    window->height = height;
    MemoryWindow* made = window.get();
    AllWindows().push_back(std::move(window));
    LiveWindows().insert(made);
    if (parent != nullptr) parent->children.push_back(made);
    return made;
}

void DestroyMemoryWindow(MemoryWindow* window) {
    if (!IsMemoryWindowAlive(window)) return;
    SendMemoryMessage(window, MemoryMessage{MemoryMessage::Destroy});
    // The children go after their parent's Destroy, as on Windows; a copy, since each leaves the list.
    const std::vector<MemoryWindow*> children = window->children;
    for (MemoryWindow* child : children) DestroyMemoryWindow(child);
    if (focusWindow == window) focusWindow = nullptr;
    window->alive = false;
    LiveWindows().erase(window);
    window->procedure = nullptr;
    window->children.clear();
    window->items.clear();
    if (window->parent != nullptr) {
        auto& siblings = window->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
}

bool IsMemoryWindowAlive(const MemoryWindow* window) {
    return window != nullptr && LiveWindows().count(window) != 0;
}

MemoryWindow* MemoryChild(MemoryWindow* parent, int id) {
    if (!IsMemoryWindowAlive(parent)) return nullptr;
    for (MemoryWindow* child : parent->children) {
        if (child->id == id) return child;
    }
    return nullptr;
}

void NotifyMemoryParent(MemoryWindow* control, MemoryNotice notice) {
    if (control == nullptr || control->parent == nullptr) return;
    MemoryMessage command{MemoryMessage::Command};
    command.id = control->id;
    command.notice = notice;
    SendMemoryMessage(control->parent, command);
}

std::intptr_t DefaultMemoryProcedure(MemoryWindow* window, const MemoryMessage& message) {
    if (message.kind == MemoryMessage::Paint) {
        ++window->paints;
        return 0;
    }
    if (message.kind != MemoryMessage::LeftButtonDown) return 0;
    switch (window->kind) {
        case MemoryClass::Button:
            SetMemoryFocus(window);
            NotifyMemoryParent(window, MemoryNotice::Clicked);
            break;
        case MemoryClass::CheckBox:
            SetMemoryFocus(window);
            window->checked = !window->checked;
            NotifyMemoryParent(window, MemoryNotice::Clicked);
            break;
        case MemoryClass::Edit:
        case MemoryClass::EditableList:
        case MemoryClass::Slider:
            SetMemoryFocus(window);
            break;
        case MemoryClass::Label:
            if ((window->style & kMemoryLabelNotify) != 0) NotifyMemoryParent(window, MemoryNotice::Clicked);
            break;
        case MemoryClass::Window:
        case MemoryClass::Separator:
            break;
    }
    return 0;
}

std::intptr_t SendMemoryMessage(MemoryWindow* window, const MemoryMessage& message) {
    if (!IsMemoryWindowAlive(window)) return 0;
    return window->procedure != nullptr ? window->procedure(window, message) : DefaultMemoryProcedure(window, message);
}

MemoryWindow* MemoryFocus() { return IsMemoryWindowAlive(focusWindow) ? focusWindow : nullptr; }

void SetMemoryFocus(MemoryWindow* window) {
    if (window != nullptr && !IsMemoryWindowAlive(window)) return;
    MemoryWindow* previous = MemoryFocus();
    if (previous == window) return;
    focusWindow = window;
    // Only the fields report focus changes; the panel's buttons are made without that option.
    if (previous != nullptr && IsField(previous)) NotifyMemoryParent(previous, MemoryNotice::LostFocus);
    if (window != nullptr && focusWindow == window && IsField(window)) {
        NotifyMemoryParent(window, MemoryNotice::GotFocus);
    }
}

void ClickMemoryControl(MemoryWindow* control) {
    if (!Reachable(control)) return;
    SendMemoryMessage(control, MemoryMessage{MemoryMessage::LeftButtonDown});
}

void TypeIntoMemoryField(MemoryWindow* field, const char* text) {
    if (!Reachable(field) || !IsField(field)) return;
    ClickMemoryControl(field);
    if (MemoryFocus() != field) return;
    field->text = text != nullptr ? text : "";
    field->allTextSelected = false;
    NotifyMemoryParent(field, MemoryNotice::Changed);
}

void PressMemoryKey(int key, bool shift) {
    MemoryWindow* target = MemoryFocus();
    if (target == nullptr) return;
    MemoryMessage press{MemoryMessage::KeyDown};
    press.key = key;
    press.shift = shift;
    SendMemoryMessage(target, press);
}

void DragMemorySlider(MemoryWindow* slider, int position) {
    if (!Reachable(slider) || slider->kind != MemoryClass::Slider) return;
    slider->sliderPosition = std::clamp(position, slider->sliderMin, slider->sliderMax);
    MemoryMessage scroll{MemoryMessage::HorizontalScroll};
    scroll.id = slider->id;
    SendMemoryMessage(slider->parent, scroll);
}

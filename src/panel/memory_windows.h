// The native build has no window system, so the panel's windows live in memory: the host makes the
// panel's window, the plug-in makes its controls inside it and puts its own procedures on them, and
// the host, standing in for the user, clicks, types, presses keys and drags through the functions
// at the end of this file. Those reach the plug-in only through the procedures, the way a window
// system's messages reach a window, so that the panel's event code runs as it does on Windows.
#pragma once

#ifndef _WIN32

#include <cstdint>
#include <string>
#include <vector>

enum class MemoryClass {
    Window,        // a host window (the panel's)
    Label,         // "STATIC"
    EditableList,  // "COMBOBOX" with an edit field; the field and the box are one window here
    Separator,     // "STATIC", black frame
    CheckBox,      // "BUTTON", check box
    Edit,          // "EDIT"
    Slider,        // "msctls_trackbar32"
    Button,        // "BUTTON", owner-drawn push button
};

// What a control tells its parent in a command (the notification codes of the Windows controls).
enum class MemoryNotice { Clicked, GotFocus, LostFocus, Changed };

enum MemoryKey : int {
    kMemoryKeyTab = 9,
    kMemoryKeyEnter = 13,
};

struct MemoryMessage {
    enum Kind {
        Command,           // to a parent: control id, notice
        HorizontalScroll,  // to a parent: the slider id
        KeyDown,           // to a control: key, shift
        LeftButtonDown,    // to a control
        Paint,             // to a control or window
        Destroy,           // to a window that is being destroyed
    } kind;
    int id = 0;
    MemoryNotice notice = MemoryNotice::Clicked;
    int key = 0;
    bool shift = false;
};

constexpr int kMemoryLabelNotify = 0x100;  // a label that reports clicks (SS_NOTIFY)

struct MemoryWindow;
using MemoryProc = std::intptr_t (*)(MemoryWindow* window, const MemoryMessage& message);

struct MemoryWindow {
    MemoryClass kind = MemoryClass::Window;
    MemoryWindow* parent = nullptr;
    int id = 0;
    int style = 0;
    std::string text;
    int left = 0, top = 0, width = 0, height = 0;  // pixels, in the parent
    bool visible = true;
    bool enabled = true;
    bool alive = true;
    bool checked = false;
    bool allTextSelected = false;
    int sliderMin = 0, sliderMax = 100, sliderPosition = 0;
    std::vector<std::string> items;  // an editable list's values
    int paints = 0;                  // how often it was painted
    MemoryProc procedure = nullptr;  // null: the system's own behaviour
    void* userData = nullptr;
    std::vector<MemoryWindow*> children;  // in creation order, which is the tab order
};

// Makes a window (parent null: a top-level window of the host). Windows stay allocated until the
// process ends, so a destroyed one can still be asked whether it is alive.
MemoryWindow* CreateMemoryWindow(MemoryWindow* parent, MemoryClass kind, int id, const char* text, int left, int top,
                                 int width, int height);
// Destroys the window and its children (each gets Destroy first); the focus leaves them.
void DestroyMemoryWindow(MemoryWindow* window);
bool IsMemoryWindowAlive(const MemoryWindow* window);
MemoryWindow* MemoryChild(MemoryWindow* parent, int id);  // null when there is none

// The system's behaviour, for a procedure to pass on what it does not handle: a press on a button
// focuses it and reports a click, on a check box also flips it, on a field focuses it, on a
// notifying label reports a click.
std::intptr_t DefaultMemoryProcedure(MemoryWindow* window, const MemoryMessage& message);
std::intptr_t SendMemoryMessage(MemoryWindow* window, const MemoryMessage& message);
// A control's command to its parent.
void NotifyMemoryParent(MemoryWindow* control, MemoryNotice notice);

// The keyboard focus: one window of the process, or none. Moving it tells the field that loses it
// and the one that gets it (through their parent's command), as the Windows fields do.
MemoryWindow* MemoryFocus();
void SetMemoryFocus(MemoryWindow* window);

// ---- The user ----
// A click with the left button; nothing on a hidden or disabled control.
void ClickMemoryControl(MemoryWindow* control);
// Clicks into the field, selects all of its text and types text over it; the focus stays in it.
// Nothing on a hidden or disabled field.
void TypeIntoMemoryField(MemoryWindow* field, const char* text);
// A key pressed in the focused window; shift held when shift is set.
void PressMemoryKey(int key, bool shift);
// Drags the slider's thumb to position (held within its range); nothing when hidden or disabled.
void DragMemorySlider(MemoryWindow* slider, int position);

#endif

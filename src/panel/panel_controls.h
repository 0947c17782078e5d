// The panel's controls as the portable panel code sees them: made, read and changed by id inside the
// panel's window. panel_controls_win32.cpp puts real child windows behind these functions;
// panel_controls_posix.cpp puts the in-memory windows of memory_windows.h behind them, so that the
// panel's logic runs and is tested natively too. Texts are in the plug-in's narrow code page.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host_types.h"

// Control kinds of the panel's control table.
enum class PanelControlKind : int {
    Label = 1,
    EditableList = 2,
    Separator = 3,
    CheckBox = 4,
    Edit = 5,
    Slider = 6,
    ToggleButton = 7,  // owner-drawn command button
};

// Label styles (extraStyle of a label).
enum PanelLabelStyle : int {
    kLabelCentred = 1,
    kLabelRight = 2,
    kLabelNotify = 256,
    kLabelNotifyRight = 258,
};

// The window classes the focus rule and the tab order look for.
enum class PanelControlClass { None, Button, ComboBox, Edit, Static, Slider };

struct PanelPixelRect {
    int left, top, right, bottom;
};

// ---- Making and unmaking ----
void CreatePanelControl(PlatformWindow parent, const char* text, int id, PanelControlKind kind, int extraStyle,
                        const PanelPixelRect& rect);
void CreateToggleButton(PlatformWindow parent, const PanelPixelRect& rect, int id, int toggleIndex,
                        std::uint16_t initialState);
// Puts the panel's window procedure on the window, keeping the one it had in previousPanelProc,
// and forgets the controls' saved class procedures (they are saved again as controls are made).
void InstallPanelWindowProc(PlatformWindow window);
// Puts previousPanelProc back on the window.
void RestorePanelWindowProc(PlatformWindow window);
void DestroyPanelWindow(PlatformWindow window);

// ---- Reading and changing by id (a missing control reads as empty and ignores changes) ----
bool PanelControlExists(PlatformWindow window, int id);
PanelControlClass PanelControlClassOf(PlatformWindow window, int id);
void SetPanelControlText(PlatformWindow window, int id, const char* text);
// The control's text, at most maxChars characters of it, zero-terminated within size bytes.
void GetPanelControlText(PlatformWindow window, int id, char* text, std::size_t size, std::size_t maxChars);
bool IsPanelControlChecked(PlatformWindow window, int id);
void SetPanelControlChecked(PlatformWindow window, int id, bool checked);
bool IsPanelControlEnabled(PlatformWindow window, int id);
void EnablePanelControl(PlatformWindow window, int id, bool enabled);
// The control's own visibility (a control of a hidden panel still counts as shown).
bool IsPanelControlVisible(PlatformWindow window, int id);
void ShowPanelControl(PlatformWindow window, int id, bool shown);
// The focus is on the control (or, for an editable list, on its edit field).
bool PanelControlHasFocus(PlatformWindow window, int id);
void FocusPanelControl(PlatformWindow window, int id);
// The focus to a window outside the panel (null: to no window).
void FocusOutsidePanel(PlatformWindow window);
void SelectAllPanelText(PlatformWindow window, int id);
void MovePanelControlBy(PlatformWindow window, int id, int dy);
void SetPanelSliderRange(PlatformWindow window, int id, int minimum, int maximum);
int PanelSliderPosition(PlatformWindow window, int id);
void SetPanelSliderPosition(PlatformWindow window, int id, int position);
void AddPanelListItem(PlatformWindow window, int id, const char* text);
// Paints the control now.
void RepaintPanelControl(PlatformWindow window, int id);
// Invalidates the whole window, its controls included, with erasing.
void InvalidatePanelWindow(PlatformWindow window);

// ---- The window and the system ----
int PanelWindowPixelWidth(PlatformWindow window);
double SystemDpi();  // 96 on a display at 100 %

// ---- Drawing objects kept in the state record ----
void* CreateLabelFont(double panelScale);
void* CreatePanelBrush(const UIColor& color);
void DeletePanelDrawingObject(void* object);
#ifndef _WIN32
// Natively the drawing objects are only counted: how many exist now.
int LivePanelDrawingObjects();
#endif

// ---- The plug-in's string table ----
// String id of the plug-in's resources, at most maxChars characters; false when there is none.
bool LoadPanelString(ModuleHandle module, int id, char* text, std::size_t size, std::size_t maxChars);

// What the Windows side of the panel shares between its controls (panel_controls_win32.cpp) and
// its painting (panel_paint_win32.cpp).
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <string>

#include "host/host_types.h"

// The record a check box carries (GWLP_USERDATA): its label and whether it is checked.
struct CheckBoxRecord {
    char label[255];
    std::int32_t checked;
};

// The plug-in's narrow texts (code page 932) as the system's UTF-16, and back; so the panel reads
// the same on a system of any code page.
std::wstring WideText(const char* text);
std::string NarrowText(const wchar_t* text);

COLORREF ColorOf(const UIColor& color);

// Each paints the whole control on dc.
void PaintToggleButton(const DRAWITEMSTRUCT& item);
void PaintCheckBox(HWND box, HDC dc, const CheckBoxRecord& record);
void PaintSeparator(HWND separator, HDC dc);
void PaintDisabledField(HWND field, HDC dc);
void PaintListBox(HWND list, HDC dc);

#endif

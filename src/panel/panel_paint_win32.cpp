// How the panel paints the controls it draws itself, to match the host's light or dark interface:
// the command buttons (PNG icons through GDI+), the check boxes, the separator, disabled fields and
// the editable lists' button area. GDI+ runs as the host started it; nothing here starts it.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "panel/panel_win32.h"
#include "panel/panel_window.h"
#include "shell/plugin_state.h"
#include "resource_ids.h"

namespace {

constexpr COLORREF kLightInk = RGB(0x44, 0x44, 0x44);
constexpr COLORREF kDarkInk = RGB(0xAA, 0xAA, 0xAA);

bool Dark() { return gState->isDarkInterface != 0; }

double Scale() { return gState->panelScale; }

HBRUSH PanelBrush() { return static_cast<HBRUSH>(gState->panelBrush); }

void FillWithPanel(HDC dc, const RECT& rect) {
    if (PanelBrush() != nullptr) {
        FillRect(dc, &rect, PanelBrush());
    } else {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void FillWith(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void FrameWith(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

Gdiplus::Color Grey(int level) {
    const auto byte = static_cast<BYTE>(level);
    return Gdiplus::Color(255, byte, byte, byte);
}

Gdiplus::Color Opaque(COLORREF color) {
    return Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color));
}

// The PNG resource id of the plug-in's module, drawn into rect. The decoder reads from a stream over
// a movable copy of the bytes, which the stream frees when it is released.
void DrawPngResource(Gdiplus::Graphics& graphics, int id, const Gdiplus::RectF& rect) {
    auto module = static_cast<HMODULE>(gPanelModule);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), KELVANE_PNG_RESOURCE_TYPE);
    if (found == nullptr) return;
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) return;
    void* target = GlobalLock(copy);
    if (target == nullptr) {
        GlobalFree(copy);
        return;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(copy);
        return;
    }
    {
        Gdiplus::Bitmap bitmap(stream);
        if (bitmap.GetLastStatus() == Gdiplus::Ok) graphics.DrawImage(&bitmap, rect);
    }
    stream->Release();
}

void DrawLabel(HDC dc, HWND window, const wchar_t* text, RECT rect, COLORREF color, UINT format) {
    HGDIOBJ font = gState->labelFont;
    if (font == nullptr) font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (font == nullptr) font = GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &rect, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, previous);
}

}  // namespace

void PaintToggleButton(const DRAWITEMSTRUCT& item) {
    char text[16] = {};
    GetWindowTextA(item.hwndItem, text, sizeof text);
    const int toggleIndex = std::atoi(text);
    const PanelControlRow* row = ToggleButtonRow(toggleIndex);
    const bool held = (item.itemState & (ODS_SELECTED | ODS_CHECKED)) != 0;
    const bool pressed = held || (row != nullptr && gState->toggleState[toggleIndex] != 0);
    const COLORREF ink = Dark() ? kDarkInk : kLightInk;

    const RECT& rect = item.rcItem;
    if (pressed) {
        FillWith(item.hDC, rect, ink);
    } else {
        FillWithPanel(item.hDC, rect);
    }
    FrameWith(item.hDC, rect, ink);
    if (row == nullptr) return;
    // The light drawing on a light ground, the dark-ground drawing on the pressed fill, and the
    // other way round in the dark interface.
    const int icon = row->iconId + (Dark() != pressed ? KELVANE_PNG_ON_DARK : 0);
    Gdiplus::Graphics graphics(item.hDC);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    DrawPngResource(graphics, icon,
                    Gdiplus::RectF(static_cast<Gdiplus::REAL>(rect.left), static_cast<Gdiplus::REAL>(rect.top),
                                   static_cast<Gdiplus::REAL>(rect.right - rect.left),
                                   static_cast<Gdiplus::REAL>(rect.bottom - rect.top)));
}

void PaintCheckBox(HWND box, HDC dc, const CheckBoxRecord& record) {
    RECT client;
    GetClientRect(box, &client);
    FillWithPanel(dc, client);

    const bool enabled = IsWindowEnabled(box) != FALSE;
    // Grey levels of the outline, the tick and the fill.
    int outline = 68, tick = 204, fill = 68;
    if (enabled && Dark()) outline = 170, tick = 68, fill = 204;
    if (!enabled && Dark()) outline = 68, tick = 136, fill = 102;
    if (!enabled && !Dark()) outline = 136, tick = 136, fill = 204;

    const double m = 1.5 * Scale();
    const double s = (client.bottom - client.top) - 2 * m;
    const double x = m;
    const double y = m - 1;
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const auto real = [](double v) { return static_cast<Gdiplus::REAL>(v); };
    if (record.checked != 0) {
        Gdiplus::SolidBrush brush(Grey(fill));
        graphics.FillRectangle(&brush, real(x), real(y), real(s), real(s));
        const double u = (s / 2 - 1) / 3;
        const double o = (s - 3 * u) / 2;
        const Gdiplus::PointF points[] = {{real(x + o), real(y + o + 2 * u)},
                                          {real(x + o + u), real(y + o + 3 * u)},
                                          {real(x + o + 3 * u), real(y + o)}};
        Gdiplus::Pen pen(Grey(tick), 2);
        // Round ends and a round bend: a stroke this short reads as a tick only without corners.
        pen.SetLineJoin(Gdiplus::LineJoinRound);
        pen.SetStartCap(Gdiplus::LineCapRound);
        pen.SetEndCap(Gdiplus::LineCapRound);
        graphics.DrawLines(&pen, points, 3);
    } else {
        Gdiplus::Pen pen(Grey(outline), 1);
        graphics.DrawRectangle(&pen, real(x + 0.5), real(y + 0.5), real(s - 1), real(s - 1));
    }

    RECT label{static_cast<LONG>(s + 4 * m), client.top, client.right, client.bottom};
    const COLORREF color = enabled ? ColorOf(gState->labelTextColor) : Dark() ? kDarkInk : kLightInk;
    DrawLabel(dc, box, WideText(record.label).c_str(), label, color, DT_LEFT);
}

void PaintSeparator(HWND separator, HDC dc) {
    RECT client;
    GetClientRect(separator, &client);
    FillWithPanel(dc, client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    RECT line = width >= height ? RECT{0, height / 2, width, height / 2 + 1} : RECT{width / 2, 0, width / 2 + 1, height};
    FillWith(dc, line, Dark() ? RGB(0x66, 0x66, 0x66) : RGB(0x99, 0x99, 0x99));
}

void PaintDisabledField(HWND field, HDC dc) {
    RECT client;
    GetClientRect(field, &client);
    FillWith(dc, client, RGB(0xC0, 0xC0, 0xC0));
    const int length = GetWindowTextLengthW(field);
    std::unique_ptr<wchar_t[]> text(new wchar_t[static_cast<std::size_t>(length) + 1]);
    GetWindowTextW(field, text.get(), length + 1);
    // Where the enabled field starts its text.
    const auto margins = static_cast<DWORD>(SendMessageW(field, EM_GETMARGINS, 0, 0));
    client.left += LOWORD(margins) + 1;
    DrawLabel(dc, field, text.get(), client, RGB(0x80, 0x80, 0x80), DT_LEFT);
}

void PaintListBox(HWND list, HDC dc) {
    RECT client;
    GetClientRect(list, &client);
    FillWithPanel(dc, client);

    const double scale = Scale();
    const RECT area{client.right - static_cast<LONG>(17 * scale), client.top, client.right,
                    client.top + static_cast<LONG>(20 * scale)};
    FrameWith(dc, area, Dark() ? RGB(0x99, 0x99, 0x99) : RGB(0x55, 0x55, 0x55));

    const bool enabled = IsWindowEnabled(list) != FALSE;
    const Gdiplus::Color ink = enabled ? Opaque(ColorOf(gState->labelTextColor)) : Grey(Dark() ? 170 : 68);
    Gdiplus::Graphics graphics(dc);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    Gdiplus::Pen pen(ink, 1);
    const auto real = [](double v) { return static_cast<Gdiplus::REAL>(v); };
    const double left = area.left + 5 * scale;
    const double width = 6 * scale;
    const double height = 3 * scale;
    const double upTop = area.top + 4 * scale;
    const double downBottom = area.bottom - 4 * scale;
    const Gdiplus::PointF up[] = {{real(left), real(upTop + height)},
                                  {real(left + width / 2), real(upTop)},
                                  {real(left + width), real(upTop + height)}};
    const Gdiplus::PointF down[] = {{real(left), real(downBottom - height)},
                                    {real(left + width / 2), real(downBottom)},
                                    {real(left + width), real(downBottom - height)}};
    graphics.DrawLines(&pen, up, 3);
    graphics.DrawLines(&pen, down, 3);
}

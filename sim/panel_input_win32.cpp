// The user at the panel on Windows: real mouse and keyboard messages to the plug-in's child windows.
#include <windows.h>
#include <commctrl.h>

#include "host.h"
#include "panel_input.h"

namespace sim {

namespace {

HWND PanelHwnd(Host& host) { return static_cast<HWND>(PanelWindowOf(host)); }

HWND Control(Host& host, int id) {
    HWND panel = PanelHwnd(host);
    return panel != nullptr ? GetDlgItem(panel, id) : nullptr;
}

bool IsClass(HWND window, const char* name) {
    char found[64] = {};
    return window != nullptr && GetClassNameA(window, found, sizeof found) > 0 && lstrcmpiA(found, name) == 0;
}

// Where typing goes: an editable list's edit field, else the control itself.
HWND FieldOf(HWND control) {
    if (!IsClass(control, "ComboBox")) return control;
    HWND field = FindWindowExA(control, nullptr, "Edit", nullptr);
    return field != nullptr ? field : control;
}

bool Reachable(HWND control) {
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0 && IsWindowEnabled(control);
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                           nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void Click(HWND target) {
    const LPARAM point = MAKELPARAM(2, 2);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(target, WM_LBUTTONUP, 0, point);
}

}  // namespace

void ClickPanelControl(Host& host, int id) {
    HWND control = Control(host, id);
    if (!Reachable(control)) return;
    Click(FieldOf(control));
}

void TypeIntoPanelField(Host& host, int id, const std::string& text) {
    HWND control = Control(host, id);
    if (!Reachable(control) || !(IsClass(control, "Edit") || IsClass(control, "ComboBox"))) return;
    HWND field = FieldOf(control);
    Click(field);
    if (GetFocus() != field) return;
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void PressPanelKey(Host& /*host*/, PanelKeyPress key) {
    HWND focus = GetFocus();
    if (focus == nullptr) return;
    BYTE keys[256];
    GetKeyboardState(keys);
    const BYTE shiftWas = keys[VK_SHIFT];
    keys[VK_SHIFT] = key == PanelKeyPress::ShiftTab ? 0x80 : 0;
    SetKeyboardState(keys);
    const WPARAM code = key == PanelKeyPress::Enter ? VK_RETURN : VK_TAB;
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(code), 0);
    SendMessageW(focus, WM_KEYDOWN, code, static_cast<LPARAM>(1 | (scan << 16)));
    // The focus may have moved with the key: the release goes where it is now.
    if (HWND now = GetFocus()) SendMessageW(now, WM_KEYUP, code, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    keys[VK_SHIFT] = shiftWas;
    SetKeyboardState(keys);
}

void LeavePanelField(Host& host) {
    HWND application = static_cast<HWND>(host.AppWindow());
    SetFocus(application);
    HWND focus = GetFocus();
    HWND panel = PanelHwnd(host);
    if (focus != nullptr && panel != nullptr && (focus == panel || IsChild(panel, focus))) SetFocus(nullptr);
}

void MovePanelSlider(Host& host, int position) {
    HWND slider = Control(host, 40);
    if (!Reachable(slider)) return;
    // What the trackbar does while its thumb is dragged and when it is let go.
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    const LPARAM from = reinterpret_cast<LPARAM>(slider);
    const int at = static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
    SendMessageW(PanelHwnd(host), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, at), from);
    SendMessageW(PanelHwnd(host), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, at), from);
    SendMessageW(PanelHwnd(host), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), from);
}

std::string PanelControlText(Host& host, int id) {
    HWND control = Control(host, id);
    return control != nullptr ? Narrow(TextOf(control)) : std::string();
}

bool PanelControlChecked(Host& host, int id) {
    HWND control = Control(host, id);
    return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PanelControlEnabled(Host& host, int id) {
    HWND control = Control(host, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool PanelControlVisible(Host& host, int id) {
    HWND control = Control(host, id);
    return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

int PanelFocusedControl(Host& host) {
    HWND panel = PanelHwnd(host);
    HWND focus = GetFocus();
    if (panel == nullptr || focus == nullptr) return 0;
    if (GetParent(focus) != panel && IsClass(GetParent(focus), "ComboBox")) focus = GetParent(focus);
    return GetParent(focus) == panel ? GetDlgCtrlID(focus) : 0;
}

bool PanelTextSelected(Host& host, int id) {
    HWND control = Control(host, id);
    if (control == nullptr) return false;
    HWND field = FieldOf(control);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(field));
}

int PanelSliderPosition(Host& host) {
    HWND slider = Control(host, 40);
    return slider != nullptr ? static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) : 0;
}

std::vector<std::string> PanelListItems(Host& host, int id) {
    std::vector<std::string> items;
    HWND list = Control(host, id);
    if (list == nullptr) return items;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        items.push_back(Narrow(text));
    }
    return items;
}

PanelControlRect PanelControlBounds(Host& host, int id) {
    HWND control = Control(host, id);
    if (control == nullptr) return PanelControlRect{0, 0, 0, 0};
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, PanelHwnd(host), reinterpret_cast<POINT*>(&rect), 2);
    return PanelControlRect{rect.left, rect.top, rect.right, rect.bottom};
}

int PanelControlPaints(Host& /*host*/, int /*id*/) { return 0; }

}  // namespace sim

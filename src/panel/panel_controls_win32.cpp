// The panel's controls on Windows: child windows of the host's panel window, with the plug-in's
// procedures on the panel window, the fields, the editable lists, the check boxes and the separator.
// The procedures hand the panel's events to panel_events.cpp and paint through panel_paint_win32.cpp.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "panel/panel_controls.h"
#include "panel/panel_events.h"
#include "panel/panel_win32.h"
#include "panel/panel_window.h"
#include "shell/plugin_state.h"

namespace {

// The classes' procedures the plug-in replaced, each kept the first time it is replaced.
enum SavedProc { kEditProc, kListProc, kListFieldProc, kCheckBoxProc, kSeparatorProc, kSavedProcCount };
WNDPROC savedProcs[kSavedProcCount] = {};

constexpr int kListRoomItems = 9;  // how many values the opened list shows without scrolling
constexpr const wchar_t* kMeiryo = L"\u30E1\u30A4\u30EA\u30AA";  // "Meiryo", by its Japanese name

HWND Window(PlatformWindow window) { return static_cast<HWND>(window); }

HWND Item(PlatformWindow window, int id) { return window != nullptr ? GetDlgItem(Window(window), id) : nullptr; }

HINSTANCE PluginInstance() { return static_cast<HINSTANCE>(gPanelModule); }

WNDPROC PreviousPanelProc() { return reinterpret_cast<WNDPROC>(gState->previousPanelProc); }

bool ClassIs(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    return window != nullptr && GetClassNameW(window, found, 64) > 0 && lstrcmpiW(found, name) == 0;
}

LRESULT PassOn(SavedProc saved, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return savedProcs[saved] != nullptr ? CallWindowProcW(savedProcs[saved], window, message, wParam, lParam)
                                        : DefWindowProcW(window, message, wParam, lParam);
}

void Subclass(HWND control, WNDPROC procedure, SavedProc saved) {
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (savedProcs[saved] == nullptr) savedProcs[saved] = previous;
}

// What a control's command code means, by its class.
PanelNotice NoticeOf(HWND control, WORD code) {
    if (ClassIs(control, L"Edit")) {
        if (code == EN_KILLFOCUS) return PanelNotice::LostFocus;
        if (code == EN_SETFOCUS) return PanelNotice::GotFocus;
        if (code == EN_CHANGE) return PanelNotice::Changed;
        return PanelNotice::Other;
    }
    if (ClassIs(control, L"ComboBox")) {
        if (code == CBN_KILLFOCUS) return PanelNotice::LostFocus;
        if (code == CBN_SETFOCUS) return PanelNotice::GotFocus;
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) return PanelNotice::Changed;
        return PanelNotice::Other;
    }
    return code == BN_CLICKED ? PanelNotice::Clicked : PanelNotice::Other;  // BN_CLICKED and STN_CLICKED are 0
}

bool IsToggleButton(int id) {
    const PanelControlRow* row = FindPanelControlRow(id);
    return row != nullptr && row->kind == PanelControlKind::ToggleButton;
}

LRESULT CALLBACK PanelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            if (gState->panelBrush == nullptr) break;
            const auto control = reinterpret_cast<HWND>(lParam);
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorOf(gState->labelTextColor));
            SetBkMode(dc, TRANSPARENT);
            HWND list = ClassIs(control, L"ComboBox") ? control : GetParent(control);
            if (gState->isDarkInterface != 0 && ClassIs(list, L"ComboBox") && !IsWindowEnabled(list)) {
                return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
            }
            return reinterpret_cast<LRESULT>(gState->panelBrush);
        }
        case WM_CTLCOLOREDIT: {
            if (gState->editBrush == nullptr) break;
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, ColorOf(gState->editTextColor));
            SetBkColor(dc, ColorOf(gState->editBackColor));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(gState->editBrush);
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item == nullptr || item->CtlType != ODT_BUTTON || !IsToggleButton(static_cast<int>(item->CtlID))) break;
            PaintToggleButton(*item);
            return 0;
        }
        case WM_COMMAND:
            if (lParam == 0) break;  // a menu or an accelerator, not a control
            PanelCommand(window, LOWORD(wParam), NoticeOf(reinterpret_cast<HWND>(lParam), HIWORD(wParam)));
            return 0;
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, kLengthSlider)) PanelSliderScrolled(window);
            break;
        default:
            break;
    }
    const WNDPROC previous = PreviousPanelProc();
    return previous != nullptr ? CallWindowProcW(previous, window, message, wParam, lParam)
                               : DefWindowProcW(window, message, wParam, lParam);
}

// The id the panel knows a field by: its own, or its editable list's.
int FieldId(HWND field) {
    HWND parent = GetParent(field);
    return ClassIs(parent, L"ComboBox") ? GetDlgCtrlID(parent) : GetDlgCtrlID(field);
}

HWND PanelOfField(HWND field) {
    HWND parent = GetParent(field);
    return ClassIs(parent, L"ComboBox") ? GetParent(parent) : parent;
}

LRESULT FieldMessage(SavedProc saved, HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return PassOn(saved, field, message, wParam, lParam) | DLGC_WANTTAB | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_TAB || wParam == VK_RETURN) {
                const PanelKey key = wParam == VK_TAB ? PanelKey::Tab : PanelKey::Enter;
                if (PanelFieldKey(PanelOfField(field), FieldId(field), key, GetKeyState(VK_SHIFT) < 0)) return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == '\t' || wParam == '\r') return 0;  // handled at the key press; no beep
            break;
        case WM_PAINT:
            if (!IsWindowEnabled(field)) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(field, &paint);
                PaintDisabledField(field, dc);
                EndPaint(field, &paint);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            if (!IsWindowEnabled(field)) return 1;
            break;
        default:
            break;
    }
    return PassOn(saved, field, message, wParam, lParam);
}

LRESULT CALLBACK EditProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    return FieldMessage(kEditProc, field, message, wParam, lParam);
}

LRESULT CALLBACK ListFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    return FieldMessage(kListFieldProc, field, message, wParam, lParam);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(list, &paint);
        PaintListBox(list, dc);
        EndPaint(list, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return PassOn(kListProc, list, message, wParam, lParam);
}

CheckBoxRecord* RecordOf(HWND box) { return reinterpret_cast<CheckBoxRecord*>(GetWindowLongPtrW(box, GWLP_USERDATA)); }

void Repaint(HWND control) {
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

LRESULT CALLBACK CheckBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    CheckBoxRecord* record = RecordOf(box);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (record != nullptr) record->checked = record->checked != 0 ? 0 : 1;
            Repaint(box);
            SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED),
                         reinterpret_cast<LPARAM>(box));
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            return 0;
        case BM_GETCHECK:
            return record != nullptr && record->checked != 0 ? BST_CHECKED : BST_UNCHECKED;
        case BM_SETCHECK:
            if (record != nullptr) record->checked = wParam == BST_CHECKED ? 1 : 0;
            Repaint(box);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(box, &paint);
            if (record != nullptr) PaintCheckBox(box, dc, *record);
            EndPaint(box, &paint);
            return 0;
        }
        case WM_DESTROY: {
            SetWindowLongPtrW(box, GWLP_USERDATA, 0);
            delete record;
            if (savedProcs[kCheckBoxProc] != nullptr) {
                SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedProcs[kCheckBoxProc]));
            }
            break;
        }
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
        case BM_SETSTATE: {
            // The button class paints itself on these without a paint message: paint over it.
            const LRESULT result = PassOn(kCheckBoxProc, box, message, wParam, lParam);
            InvalidateRect(box, nullptr, FALSE);
            return result;
        }
        default:
            break;
    }
    return PassOn(kCheckBoxProc, box, message, wParam, lParam);
}

LRESULT CALLBACK SeparatorProc(HWND separator, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(separator, &paint);
        PaintSeparator(separator, dc);
        EndPaint(separator, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return PassOn(kSeparatorProc, separator, message, wParam, lParam);
}

HWND MakeChild(HWND parent, const wchar_t* className, const char* text, DWORD style, int id, const PanelPixelRect& rect,
               int extraHeight = 0) {
    return CreateWindowExW(0, className, WideText(text).c_str(), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top + extraHeight, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), PluginInstance(), nullptr);
}

void SetLabelFont(HWND control) {
    if (control != nullptr && gState->labelFont != nullptr) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(gState->labelFont), FALSE);
    }
}

void MakeEditableList(HWND parent, const char* text, int id, const PanelPixelRect& rect) {
    const int height = rect.bottom - rect.top;
    // A combo box is made as tall as its opened list; what it shows closed is the selection field.
    const int listRoom = ScaledPanelUnits(kListRoomItems * 16.0);
    HWND list = MakeChild(parent, L"COMBOBOX", text, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, id, rect, listRoom);
    if (list == nullptr) return;
    SetLabelFont(list);
    SendMessageW(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - ScaledPanelUnits(3));
    POINT inside{ScaledPanelUnits(5), ScaledPanelUnits(5)};
    HWND field = ChildWindowFromPoint(list, inside);
    if (field == list || field == nullptr) field = FindWindowExW(list, nullptr, L"Edit", nullptr);
    if (field != nullptr) Subclass(field, ListFieldProc, kListFieldProc);
    Subclass(list, ListProc, kListProc);
    if (field != nullptr) {
        MoveWindow(field, 0, ScaledPanelUnits(1), rect.right - rect.left - ScaledPanelUnits(20), ScaledPanelUnits(18),
                   TRUE);
    }
}

void MakeCheckBox(HWND parent, const char* text, int id, const PanelPixelRect& rect) {
    HWND box = MakeChild(parent, L"BUTTON", "", WS_TABSTOP | BS_AUTOCHECKBOX, id, rect);
    if (box == nullptr) return;
    auto* record = new CheckBoxRecord{};
    std::strncpy(record->label, text != nullptr ? text : "", sizeof record->label - 1);
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    Subclass(box, CheckBoxProc, kCheckBoxProc);
}

// At most maxChars bytes of text, not ending inside a double-byte character.
std::size_t CutLength(const std::string& text, std::size_t maxChars) {
    if (text.size() <= maxChars) return text.size();
    std::size_t length = 0;
    while (length < maxChars) {
        const std::size_t step = IsDBCSLeadByteEx(932, static_cast<BYTE>(text[length])) ? 2 : 1;
        if (length + step > maxChars) break;
        length += step;
    }
    return length;
}

}  // namespace

std::wstring WideText(const char* text) {
    if (text == nullptr || *text == '\0') return std::wstring();
    const int length = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(932, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::string NarrowText(const wchar_t* text) {
    if (text == nullptr || *text == L'\0') return std::string();
    const int length = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length - 1));
    return narrow;
}

COLORREF ColorOf(const UIColor& color) {
    return RGB(static_cast<BYTE>(255 * color.red), static_cast<BYTE>(255 * color.green),
               static_cast<BYTE>(255 * color.blue));
}

void CreatePanelControl(PlatformWindow parent, const char* text, int id, PanelControlKind kind, int extraStyle,
                        const PanelPixelRect& rect) {
    HWND panel = Window(parent);
    if (panel == nullptr) return;
    switch (kind) {
        case PanelControlKind::Label:
            SetLabelFont(MakeChild(panel, L"STATIC", text, static_cast<DWORD>(extraStyle), id, rect));
            break;
        case PanelControlKind::EditableList:
            MakeEditableList(panel, text, id, rect);
            break;
        case PanelControlKind::Separator:
            if (HWND separator = MakeChild(panel, L"STATIC", text, SS_BLACKFRAME, id, rect)) {
                Subclass(separator, SeparatorProc, kSeparatorProc);
            }
            break;
        case PanelControlKind::CheckBox:
            MakeCheckBox(panel, text, id, rect);
            break;
        case PanelControlKind::Edit:
            if (HWND edit = MakeChild(panel, L"EDIT", text, WS_TABSTOP | ES_AUTOHSCROLL, id, rect)) {
                SetLabelFont(edit);
                Subclass(edit, EditProc, kEditProc);
            }
            break;
        case PanelControlKind::Slider: {
            // The host has the common controls loaded; registering the class again is harmless.
            INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
            InitCommonControlsEx(&classes);
            MakeChild(panel, TRACKBAR_CLASSW, text, WS_TABSTOP | TBS_BOTH | TBS_NOTICKS, id, rect);
            break;
        }
        case PanelControlKind::ToggleButton:
            break;
    }
}

void CreateToggleButton(PlatformWindow parent, const PanelPixelRect& rect, int id, int toggleIndex,
                        std::uint16_t initialState) {
    if (parent == nullptr || toggleIndex < 0 || toggleIndex >= 10) return;
    char text[16];
    std::snprintf(text, sizeof text, "%d", toggleIndex);
    MakeChild(Window(parent), L"BUTTON", text, BS_OWNERDRAW, id, rect);
    gState->toggleState[toggleIndex] = initialState;
}

void InstallPanelWindowProc(PlatformWindow window) {
    if (window == nullptr) return;
    gState->previousPanelProc = reinterpret_cast<void*>(
        SetWindowLongPtrW(Window(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PanelWindowProc)));
    for (WNDPROC& saved : savedProcs) saved = nullptr;
}

void RestorePanelWindowProc(PlatformWindow window) {
    if (window == nullptr || gState->previousPanelProc == nullptr) return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Window(window), GWLP_WNDPROC)) != PanelWindowProc) return;
    SetWindowLongPtrW(Window(window), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gState->previousPanelProc));
}

void DestroyPanelWindow(PlatformWindow window) {
    if (window != nullptr && IsWindow(Window(window))) DestroyWindow(Window(window));
}

bool PanelControlExists(PlatformWindow window, int id) { return Item(window, id) != nullptr; }

PanelControlClass PanelControlClassOf(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    if (control == nullptr) return PanelControlClass::None;
    if (ClassIs(control, L"Button")) return PanelControlClass::Button;
    if (ClassIs(control, L"ComboBox")) return PanelControlClass::ComboBox;
    if (ClassIs(control, L"Edit")) return PanelControlClass::Edit;
    if (ClassIs(control, L"Static")) return PanelControlClass::Static;
    if (ClassIs(control, TRACKBAR_CLASSW)) return PanelControlClass::Slider;
    return PanelControlClass::None;
}

void SetPanelControlText(PlatformWindow window, int id, const char* text) {
    if (HWND control = Item(window, id)) SetWindowTextW(control, WideText(text).c_str());
}

void GetPanelControlText(PlatformWindow window, int id, char* text, std::size_t size, std::size_t maxChars) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    HWND control = Item(window, id);
    if (control == nullptr) return;
    const int length = GetWindowTextLengthW(control);
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(control, wide.data(), length + 1);
    const std::string narrow = NarrowText(wide.c_str());
    std::size_t cut = CutLength(narrow, maxChars < size - 1 ? maxChars : size - 1);
    std::memcpy(text, narrow.data(), cut);
    text[cut] = '\0';
}

bool IsPanelControlChecked(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    return control != nullptr && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetPanelControlChecked(PlatformWindow window, int id, bool checked) {
    if (HWND control = Item(window, id)) SendMessageW(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsPanelControlEnabled(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    return control != nullptr && IsWindowEnabled(control);
}

void EnablePanelControl(PlatformWindow window, int id, bool enabled) {
    if (HWND control = Item(window, id)) EnableWindow(control, enabled ? TRUE : FALSE);
}

bool IsPanelControlVisible(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    return control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void ShowPanelControl(PlatformWindow window, int id, bool shown) {
    if (HWND control = Item(window, id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

bool PanelControlHasFocus(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    HWND focus = GetFocus();
    return control != nullptr && focus != nullptr && (focus == control || GetParent(focus) == control);
}

void FocusPanelControl(PlatformWindow window, int id) {
    if (HWND control = Item(window, id)) SetFocus(control);
}

void FocusOutsidePanel(PlatformWindow window) { SetFocus(Window(window)); }

void SelectAllPanelText(PlatformWindow window, int id) {
    HWND control = Item(window, id);
    if (control == nullptr) return;
    if (ClassIs(control, L"ComboBox")) {
        SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    } else {
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void MovePanelControlBy(PlatformWindow window, int id, int dy) {
    HWND control = Item(window, id);
    if (control == nullptr) return;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, Window(window), reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetPanelSliderRange(PlatformWindow window, int id, int minimum, int maximum) {
    if (HWND slider = Item(window, id)) {
        SendMessageW(slider, TBM_SETRANGEMIN, FALSE, minimum);
        SendMessageW(slider, TBM_SETRANGEMAX, TRUE, maximum);
    }
}

int PanelSliderPosition(PlatformWindow window, int id) {
    HWND slider = Item(window, id);
    return slider != nullptr ? static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) : 0;
}

void SetPanelSliderPosition(PlatformWindow window, int id, int position) {
    if (HWND slider = Item(window, id)) SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

void AddPanelListItem(PlatformWindow window, int id, const char* text) {
    if (HWND list = Item(window, id)) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(text).c_str()));
    }
}

void RepaintPanelControl(PlatformWindow window, int id) {
    if (HWND control = Item(window, id)) Repaint(control);
}

void InvalidatePanelWindow(PlatformWindow window) {
    if (window != nullptr) RedrawWindow(Window(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int PanelWindowPixelWidth(PlatformWindow window) {
    RECT client{};
    if (window == nullptr || !GetClientRect(Window(window), &client)) return 0;
    return client.right - client.left;
}

double SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void* CreateLabelFont(double panelScale) {
    const int height = static_cast<int>(-12 * panelScale);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kMeiryo);
}

void* CreatePanelBrush(const UIColor& color) { return CreateSolidBrush(ColorOf(color)); }

void DeletePanelDrawingObject(void* object) {
    if (object != nullptr) DeleteObject(static_cast<HGDIOBJ>(object));
}

bool LoadPanelString(ModuleHandle module, int id, char* text, std::size_t size, std::size_t maxChars) {
    if (text == nullptr || size == 0) return false;
    text[0] = '\0';
    wchar_t wide[256] = {};
    if (LoadStringW(static_cast<HINSTANCE>(module), static_cast<UINT>(id), wide, 256) <= 0) return false;
    const std::string narrow = NarrowText(wide);
    const std::size_t cut = CutLength(narrow, maxChars < size - 1 ? maxChars : size - 1);
    std::memcpy(text, narrow.data(), cut);
    text[cut] = '\0';
    return true;
}

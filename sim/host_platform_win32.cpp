// Windows host: the real documents folder, and real windows for the application and the panels,
// so that the plug-in can build its controls inside them.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "host.h"
#include "host_platform.h"
#include "panel/settings_dialog.h"
#include "resource_ids.h"

namespace sim {

namespace {

constexpr const char* kAppWindowClass = "KelvaneSimApp";
constexpr const char* kPanelWindowClass = "KelvaneSimPanel";

void RegisterWindowClass(const char* name) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    // A second registration fails because the class exists, which is what we want.
    RegisterClassA(&windowClass);
}

int Pixels(double units) { return static_cast<int>(units + 0.5); }

// ---- The plug-in's modal dialogs ----
// A dialog's modal loop waits for a user who is not there. A thread hook notes each dialog as it is
// created; a thread timer, which the dialog's own modal loop dispatches, then works the dialog once
// it is shown, as the user would: it records what the dialog shows and presses its buttons.

AppState* dialogApp = nullptr;
HHOOK dialogHook = nullptr;
std::vector<HWND> pendingDialogs;
UINT_PTR dialogTimer = 0;

bool IsDialogWindow(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) > 0 && std::strcmp(name, "#32770") == 0;
}

// Texts through the ANSI calls, as the plug-in reads and writes them: in the state record's code page.
std::string WindowTextA(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

SettingsDialogFields ReadSettingsControls(HWND dialog) {
    SettingsDialogFields fields;
    HWND list = GetDlgItem(dialog, KELVANE_SETTINGS_COLOR);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        std::string name(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
        if (length > 0) SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.data()));
        name.resize(std::strlen(name.c_str()));
        fields.colors.push_back(name);
    }
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    fields.selectedColor = chosen == CB_ERR ? -1 : static_cast<int>(chosen);
    fields.layer = WindowTextA(GetDlgItem(dialog, KELVANE_SETTINGS_LAYER));
    fields.width = WindowTextA(GetDlgItem(dialog, KELVANE_SETTINGS_WIDTH));
    fields.polyline = IsDlgButtonChecked(dialog, KELVANE_SETTINGS_POLYLINE) == BST_CHECKED;
    fields.reverseSide = IsDlgButtonChecked(dialog, KELVANE_SETTINGS_REVERSE_SIDE) == BST_CHECKED;
    return fields;
}

// Only what the answer changed is touched, as a user edits only the controls they use; the list
// entries themselves cannot be edited.
void WriteSettingsControls(HWND dialog, const SettingsDialogFields& opened, const SettingsDialogFields& answer) {
    if (answer.selectedColor != opened.selectedColor) {
        SendMessageA(GetDlgItem(dialog, KELVANE_SETTINGS_COLOR), CB_SETCURSEL, static_cast<WPARAM>(answer.selectedColor), 0);
    }
    if (answer.layer != opened.layer) SetDlgItemTextA(dialog, KELVANE_SETTINGS_LAYER, answer.layer.c_str());
    if (answer.width != opened.width) SetDlgItemTextA(dialog, KELVANE_SETTINGS_WIDTH, answer.width.c_str());
    if (answer.polyline != opened.polyline) {
        CheckDlgButton(dialog, KELVANE_SETTINGS_POLYLINE, answer.polyline ? BST_CHECKED : BST_UNCHECKED);
    }
    if (answer.reverseSide != opened.reverseSide) {
        CheckDlgButton(dialog, KELVANE_SETTINGS_REVERSE_SIDE, answer.reverseSide ? BST_CHECKED : BST_UNCHECKED);
    }
}

// A click on the button: the notification its dialog gets (Esc sends IDCANCEL the same way).
void Press(HWND dialog, int button) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

void AnswerDialog(HWND dialog) {
    AppState& app = *dialogApp;
    if (app.lookAtDialog) app.lookAtDialog(dialog);
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return;  // the look answered it (an ended dialog is hidden)
    if (GetDlgItem(dialog, KELVANE_ABOUT_TEXT) != nullptr) {
        app.aboutBoxes.push_back({WindowTextA(dialog), WindowTextA(GetDlgItem(dialog, KELVANE_ABOUT_TEXT))});
        Press(dialog, IDOK);
        return;
    }
    if (GetDlgItem(dialog, KELVANE_SETTINGS_COLOR) == nullptr) {
        Press(dialog, IDCANCEL);  // no dialog of the plug-in's that the host knows
        return;
    }
    const SettingsDialogFields opened = ReadSettingsControls(dialog);
    app.settingsDialogs.push_back({0, opened});
    if (app.settingsDialogAnswers.empty()) {
        Press(dialog, IDCANCEL);
        return;
    }
    const SettingsDialogAnswer answer = app.settingsDialogAnswers.front();
    app.settingsDialogAnswers.pop_front();
    SettingsDialogFields edited = opened;
    if (answer.edit) answer.edit(edited);
    WriteSettingsControls(dialog, opened, edited);
    Press(dialog, answer.result == kSettingsDialogOK ? IDOK : IDCANCEL);
}

void CALLBACK AnswerShownDialogs(HWND, UINT, UINT_PTR, DWORD) {
    std::vector<HWND> shown;
    std::vector<HWND> waiting;
    for (HWND dialog : pendingDialogs) {
        if (!IsWindow(dialog)) continue;
        (IsWindowVisible(dialog) ? shown : waiting).push_back(dialog);
    }
    pendingDialogs = waiting;
    if (pendingDialogs.empty() && dialogTimer != 0) {
        KillTimer(nullptr, dialogTimer);
        dialogTimer = 0;
    }
    for (HWND dialog : shown) {
        if (dialogApp != nullptr && IsWindow(dialog)) AnswerDialog(dialog);
    }
}

LRESULT CALLBACK NoteDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && dialogApp != nullptr && IsDialogWindow(reinterpret_cast<HWND>(wParam))) {
        pendingDialogs.push_back(reinterpret_cast<HWND>(wParam));
        if (dialogTimer == 0) dialogTimer = SetTimer(nullptr, 0, 10, AnswerShownDialogs);
    }
    return CallNextHookEx(dialogHook, code, wParam, lParam);
}

}  // namespace

void AnswerDialogs(AppState* app) {
    dialogApp = app;
    if (app != nullptr && dialogHook == nullptr) {
        dialogHook = SetWindowsHookExA(WH_CBT, NoteDialogs, nullptr, GetCurrentThreadId());
    }
    if (app == nullptr) {
        if (dialogHook != nullptr) UnhookWindowsHookEx(dialogHook);
        dialogHook = nullptr;
        if (dialogTimer != 0) KillTimer(nullptr, dialogTimer);
        dialogTimer = 0;
        pendingDialogs.clear();
    }
}

std::string PrepareDocumentsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path))) return std::string();
    return path;
}

void RemoveDocumentsFolder(const std::string& /*folder*/) {}

int ShownCursor(ModuleHandle module, const int* ids, int count) {
    const HCURSOR shown = GetCursor();
    if (shown == nullptr || module == nullptr) return 0;
    for (int k = 0; k < count; ++k) {
        // A cursor resource loads as the same shared handle every time.
        if (LoadCursorA(static_cast<HINSTANCE>(module), MAKEINTRESOURCEA(ids[k])) == shown) return ids[k];
    }
    return 0;
}

void ClearShownCursor() { SetCursor(nullptr); }

PlatformWindow CreateAppWindow() {
    RegisterWindowClass(kAppWindowClass);
    return CreateWindowExA(0, kAppWindowClass, "Kelvane host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                           800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

namespace {

// Each panel's window sits in a floating frame of its own, as the application's panels do; the
// frame is what is shown, hidden and destroyed with the panel.
constexpr const char* kPanelFrameClass = "KelvaneSimPanelFrame";
constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_TOOLWINDOW;

std::map<HWND, HWND>& PanelFrames() {
    static std::map<HWND, HWND> frames;
    return frames;
}

// The application starts GDI+ for itself and its plug-ins, which draw with it and never start it.
void StartGdiplusOnce() {
    static ULONG_PTR token = 0;
    if (token != 0) return;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) token = 0;
}

// The host paints its panels' ground in the interface's panel colour; the plug-in's controls go on it.
LRESULT CALLBACK HostPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        const UIColor color = Host::Current().App().ThemeColor(1, 0);
        HBRUSH brush = CreateSolidBrush(RGB(static_cast<BYTE>(255 * color.red), static_cast<BYTE>(255 * color.green),
                                            static_cast<BYTE>(255 * color.blue)));
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

SIZE FrameSize(int width, int height) {
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, kFrameStyle, FALSE, kFrameExStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HWND FrameOf(PlatformWindow window) {
    const auto found = PanelFrames().find(static_cast<HWND>(window));
    return found != PanelFrames().end() ? found->second : nullptr;
}

}  // namespace

PlatformWindow CreatePanelWindow(PlatformWindow parent, const PanelSize& size) {
    StartGdiplusOnce();
    RegisterWindowClass(kPanelFrameClass);
    WNDCLASSA panelClass{};
    panelClass.lpfnWndProc = HostPanelProc;
    panelClass.hInstance = GetModuleHandleA(nullptr);
    panelClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panelClass.lpszClassName = kPanelWindowClass;
    RegisterClassA(&panelClass);

    const SIZE frameSize = FrameSize(Pixels(size.width), Pixels(size.height));
    HWND frame = CreateWindowExA(kFrameExStyle, kPanelFrameClass, "Kelvane", kFrameStyle, 40, 40, frameSize.cx,
                                 frameSize.cy, static_cast<HWND>(parent), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (frame == nullptr) return nullptr;
    HWND panel = CreateWindowExA(WS_EX_CONTROLPARENT, kPanelWindowClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                 0, Pixels(size.width), Pixels(size.height), frame, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
    if (panel == nullptr) {
        DestroyWindow(frame);
        return nullptr;
    }
    PanelFrames()[panel] = frame;
    return panel;
}

void ShowPanelWindow(PlatformWindow window, bool show) {
    HWND frame = FrameOf(window);
    if (frame != nullptr) ShowWindow(frame, show ? SW_SHOW : SW_HIDE);
}

void ResizePanelWindow(PlatformWindow window, const PanelSize& size) {
    if (window == nullptr) return;
    if (IsWindow(static_cast<HWND>(window))) {
        SetWindowPos(static_cast<HWND>(window), nullptr, 0, 0, Pixels(size.width), Pixels(size.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (HWND frame = FrameOf(window)) {
        const SIZE frameSize = FrameSize(Pixels(size.width), Pixels(size.height));
        SetWindowPos(frame, nullptr, 0, 0, frameSize.cx, frameSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void DestroyHostWindow(PlatformWindow window) {
    if (window == nullptr) return;
    // The plug-in may have destroyed a panel's window already; its frame goes now.
    if (HWND frame = FrameOf(window)) {
        PanelFrames().erase(static_cast<HWND>(window));
        if (IsWindow(frame)) DestroyWindow(frame);
        return;
    }
    if (IsWindow(static_cast<HWND>(window))) DestroyWindow(static_cast<HWND>(window));
}

}  // namespace sim

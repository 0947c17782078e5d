// The real Windows dialogs of the plug-in: the handle-line settings dialog in both languages and the
// about box, shown by Kelvane.aip in the simulated host. The host hands each dialog, once shown, to
// the test (AppState::lookAtDialog), which looks its controls over, saves a picture of it (in
// KELVANE_SCREENSHOT_DIR, else screenshots\ beside the test program), and types and clicks as a user
// would.
#ifdef _WIN32

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "document.h"
#include "plugin_fixture.h"
#include "resource_ids.h"
#include "settings/settings_file.h"
#include "shell/commands.h"
#include "win32_capture.h"
#include "win32_plugin_library.h"

namespace {

std::string Utf8(const wchar_t* text) {
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

std::string Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Utf8(text);
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

std::string SelectedColour(HWND dialog) {
    HWND list = GetDlgItem(dialog, KELVANE_SETTINGS_COLOR);
    wchar_t text[256] = {};
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return index == CB_ERR ? "<none>" : Utf8(text);
}

// As the keyboard would: everything in the field selected, then one character after the other.
void Type(HWND dialog, int id, const wchar_t* text) {
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    for (const wchar_t* c = text; *c != 0; ++c) SendMessageW(field, WM_CHAR, static_cast<WPARAM>(*c), 1);
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The user picks an entry: the list takes it and tells its dialog, as a click in the drop-down does.
void Choose(HWND dialog, int id, const wchar_t* entry) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ExpectSegoeUi9(HWND dialog) {
    LOGFONTW font = {};
    ASSERT_NE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font), 0)
        << "the dialog has no font of its own";
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Segoe UI");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
}

// The style of the colour list as its template stores it (a combo box hands WS_VSCROLL to its list,
// which drops it while the list is empty, so the window cannot tell): the DWORD-aligned item of the
// extended template with that id and the combo box's class ordinal.
DWORD TemplateStyleOfTheColourList(WORD dialogId) {
    HMODULE module = GetModuleHandleA("Kelvane.aip");
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (found == nullptr) return 0;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    const auto word = [&](DWORD at) { return static_cast<DWORD>(data[at] | data[at + 1] << 8); };
    for (DWORD at = 0; at + 28 <= size; at += 4) {
        if (word(at + 20) == KELVANE_SETTINGS_COLOR && word(at + 22) == 0 && word(at + 24) == 0xFFFF &&
            word(at + 26) == 0x0085) {
            return word(at + 8) | word(at + 10) << 16;
        }
    }
    return 0;
}

struct SettingsTexts {
    WORD dialogId;
    const char *caption, *title, *layer, *width, *color, *polyline, *reverseSide;
};
const SettingsTexts kEnglishTexts{KELVANE_DIALOG_SETTINGS_ENGLISH, "Kelvane Settings", "Handle Line", "Layer :",
                                  "Line width :", "Line color :", "Polyline", "Reverse side"};
const SettingsTexts kJapaneseTexts{KELVANE_DIALOG_SETTINGS_JAPANESE, "Kelvane 設定", "ハンドルライン", "レイヤー：",
                                   "線幅：", "線色：", "折れ線", "反対方向"};

// Every control in its class and kind with its text, or reached with Tab when it is a field; none
// overlaps another or leaves the dialog; typing starts in the layer field.
void ExpectSettingsControls(HWND dialog, const SettingsTexts& texts) {
    EXPECT_EQ(Text(dialog), texts.caption);
    ExpectSegoeUi9(dialog);
    const struct {
        int id;
        const char* className;
        LONG mask, kind;
        const char* text;  // nullptr: a field
    } controls[] = {
        {IDOK, "Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, "OK"},
        {IDCANCEL, "Button", BS_TYPEMASK, BS_PUSHBUTTON, "Cancel"},
        {KELVANE_SETTINGS_TITLE, "Static", SS_TYPEMASK, SS_LEFT, texts.title},
        {KELVANE_SETTINGS_LAYER_LABEL, "Static", SS_TYPEMASK, SS_RIGHT, texts.layer},
        {KELVANE_SETTINGS_LAYER, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, nullptr},
        {KELVANE_SETTINGS_WIDTH_LABEL, "Static", SS_TYPEMASK, SS_RIGHT, texts.width},
        {KELVANE_SETTINGS_WIDTH, "Edit", 0, 0, nullptr},
        {KELVANE_SETTINGS_WIDTH_UNIT, "Static", SS_TYPEMASK, SS_LEFT, "pt"},
        {KELVANE_SETTINGS_COLOR_LABEL, "Static", SS_TYPEMASK, SS_RIGHT, texts.color},
        {KELVANE_SETTINGS_COLOR, "ComboBox", 3, CBS_DROPDOWNLIST, nullptr},
        {KELVANE_SETTINGS_POLYLINE, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, texts.polyline},
        {KELVANE_SETTINGS_REVERSE_SIDE, "Button", BS_TYPEMASK, BS_AUTOCHECKBOX, texts.reverseSide},
    };
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<RECT> places;
    for (const auto& control : controls) {
        SCOPED_TRACE("control " + std::to_string(control.id));
        HWND item = GetDlgItem(dialog, control.id);
        ASSERT_NE(item, nullptr) << "missing control";
        const LONG style = GetWindowLongW(item, GWL_STYLE);
        char className[64] = {};
        GetClassNameA(item, className, 64);
        EXPECT_STREQ(className, control.className);
        EXPECT_EQ(style & control.mask, control.kind);
        if (control.text == nullptr || control.kind == BS_AUTOCHECKBOX) {
            EXPECT_TRUE(style & WS_TABSTOP);
        }
        if (control.text != nullptr) {
            EXPECT_EQ(Text(item), control.text);
        }
        RECT place, outside;
        GetWindowRect(item, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        SubtractRect(&outside, &place, &client);
        EXPECT_TRUE(IsRectEmpty(&outside)) << "beyond the dialog's edge";
        for (const RECT& other : places) {
            RECT shared;
            EXPECT_FALSE(IntersectRect(&shared, &place, &other)) << "overlaps a control before it";
        }
        places.push_back(place);
    }
    int children = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 12);
    EXPECT_TRUE(TemplateStyleOfTheColourList(texts.dialogId) & WS_VSCROLL) << "the colour list scrolls";
    EXPECT_EQ(GetNextDlgTabItem(dialog, nullptr, FALSE), GetDlgItem(dialog, KELVANE_SETTINGS_LAYER));
}

class WindowsDialogs : public PluginTest {
protected:
    // The host application starts GDI+; the simulated one leaves that to whoever needs it.
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) gdiplusToken_ = 0;
    }
    static void TearDownTestSuite() {
        if (gdiplusToken_ != 0) Gdiplus::GdiplusShutdown(gdiplusToken_);
        gdiplusToken_ = 0;
    }

    void SetUp() override {
        StartPlugin();
        host.NewDocument();
    }

    HostStatus RunSettingsDialogCommand(std::uint16_t language) {
        State().language = language;
        State().commandId = kCommandSettingsDialog;
        return host.PlayAction("KELVANE_INSIDECMD", 3, nullptr);
    }

    // Owned by the application's main window, centred on it, on top and shown.
    void ExpectPlacedOverTheMainWindow(HWND dialog) {
        HWND owner = GetWindow(dialog, GW_OWNER);
        EXPECT_EQ(owner, static_cast<HWND>(host.AppWindow()));
        EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_TRUE(IsWindowVisible(dialog));
        RECT own, ownerRect;
        GetWindowRect(dialog, &own);
        GetWindowRect(owner, &ownerRect);
        EXPECT_NEAR((own.left + own.right) / 2.0, (ownerRect.left + ownerRect.right) / 2.0, 1.0);
        EXPECT_NEAR((own.top + own.bottom) / 2.0, (ownerRect.top + ownerRect.bottom) / 2.0, 1.0);
    }

    // Saves the picture with the window's frame; every control with a text shows some of it in dark pixels.
    void ExpectPicture(HWND window, const std::string& name) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const win32_capture::Capture picture = win32_capture::CaptureWindow(window, true, name);
        EXPECT_TRUE(picture.saved) << name << ".png was not written to " << win32_capture::ScreenshotFolder();
        EXPECT_GT(picture.Colours(), 4u) << name << " looks blank";
        RECT frame;
        GetWindowRect(window, &frame);
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child) || GetWindowTextLengthW(child) == 0) continue;
            RECT part;
            GetWindowRect(child, &part);
            int ink = 0;
            for (LONG y = std::max(part.top, frame.top); y < std::min(part.bottom, frame.bottom); ++y) {
                for (LONG x = std::max(part.left, frame.left); x < std::min(part.right, frame.right); ++x) {
                    const std::uint32_t pixel =
                        picture.pixels[static_cast<std::size_t>((y - frame.top) * picture.width + (x - frame.left))];
                    ink += ((pixel >> 16 & 0xFF) * 3 + (pixel >> 8 & 0xFF) * 6 + (pixel & 0xFF)) / 10 < 96 ? 1 : 0;
                }
            }
            EXPECT_GT(ink, 10) << name << ": control " << GetDlgCtrlID(child) << " (" << Text(child)
                               << ") shows no text";
        }
    }

    static ULONG_PTR gdiplusToken_;
};

ULONG_PTR WindowsDialogs::gdiplusToken_ = 0;

TEST_F(WindowsDialogs, EnglishSettingsDialogOpensWithTheStateAndOkStoresWhatWasTyped) {
    std::strcpy(State().handleline_layer, "Guides");
    State().handleline_line_width = 0.25;
    std::strcpy(State().handleline_line_color, "CMYK Red");
    State().handleline_polyline = 1;
    State().handleline_reverse_side = 1;

    bool looked = false;
    App().lookAtDialog = [&](PlatformWindow window) {
        looked = true;
        HWND dialog = static_cast<HWND>(window);
        ExpectSettingsControls(dialog, kEnglishTexts);
        EXPECT_EQ(ItemText(dialog, KELVANE_SETTINGS_LAYER), "Guides");
        EXPECT_EQ(ItemText(dialog, KELVANE_SETTINGS_WIDTH), "0.25");
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, KELVANE_SETTINGS_COLOR), CB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(SelectedColour(dialog), "CMYK Red");
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_POLYLINE), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_REVERSE_SIDE), BST_CHECKED);
        ExpectPlacedOverTheMainWindow(dialog);
        ExpectPicture(dialog, "settings_dialog_english");

        Type(dialog, KELVANE_SETTINGS_WIDTH, L"2.5mm");
        EXPECT_EQ(ItemText(dialog, KELVANE_SETTINGS_WIDTH), "2.5mm");
        Type(dialog, KELVANE_SETTINGS_LAYER, L"Handle strokes");
        Choose(dialog, KELVANE_SETTINGS_COLOR, L"Spot Green");
        Click(dialog, KELVANE_SETTINGS_POLYLINE);
        Click(dialog, IDOK);
    };
    ASSERT_EQ(RunSettingsDialogCommand(kEnglish), kNoError);
    ASSERT_TRUE(looked) << "no dialog was shown";
    EXPECT_TRUE(App().settingsDialogs.empty()) << "the test answered the dialog, not the host";

    EXPECT_DOUBLE_EQ(State().handleline_line_width, 2.5);
    EXPECT_STREQ(State().handleline_layer, "Handle strokes");
    EXPECT_STREQ(State().handleline_line_color, "Spot Green");
    EXPECT_EQ(State().handleline_polyline, 0);
    EXPECT_EQ(State().handleline_reverse_side, 1);
    EXPECT_EQ(ReadSettingsFileText(), FormatSettingsText(State())) << "OK writes the settings file at once";
}

// What the English test proves of the fields and of the placing holds in both languages: here the
// Japanese template's texts, and Cancel after an edit.
TEST_F(WindowsDialogs, JapaneseSettingsDialogShowsItsTextsAndCancelStoresNothing) {
    bool looked = false;
    App().lookAtDialog = [&](PlatformWindow window) {
        looked = true;
        HWND dialog = static_cast<HWND>(window);
        ExpectSettingsControls(dialog, kJapaneseTexts);
        ExpectPicture(dialog, "settings_dialog_japanese");
        Type(dialog, KELVANE_SETTINGS_LAYER, L"Other");
        Click(dialog, KELVANE_SETTINGS_POLYLINE);
        Click(dialog, IDCANCEL);
    };
    ASSERT_EQ(RunSettingsDialogCommand(kJapanese), kNoError);
    ASSERT_TRUE(looked) << "no dialog was shown";
    EXPECT_STREQ(State().handleline_layer, "HANDLE LINE");
    EXPECT_EQ(State().handleline_polyline, 1);
    EXPECT_FALSE(std::ifstream(SettingsPath()).good()) << "Cancel writes no settings file";
}

TEST_F(WindowsDialogs, KoreanShowsTheEnglishDialog) {
    std::string caption;
    App().lookAtDialog = [&](PlatformWindow window) { caption = Text(static_cast<HWND>(window)); };
    ASSERT_EQ(RunSettingsDialogCommand(kKorean), kNoError);
    EXPECT_EQ(caption, "Kelvane Settings");
    EXPECT_EQ(App().settingsDialogs.size(), 1u) << "left to the host, which cancels it";
}

// Its one line, filled in, fits its control in the dialog's font, and shows "&" as it is.
TEST_F(WindowsDialogs, AboutBoxShowsTheProductAndVersion) {
    bool looked = false;
    App().lookAtDialog = [&](PlatformWindow window) {
        looked = true;
        HWND box = static_cast<HWND>(window);
        EXPECT_EQ(Text(box), "Kelvane");
        ExpectSegoeUi9(box);
        EXPECT_TRUE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
        EXPECT_EQ(GetWindow(box, GW_OWNER), static_cast<HWND>(host.AppWindow()));
        HWND line = GetDlgItem(box, KELVANE_ABOUT_TEXT);
        EXPECT_EQ(Text(line), "Kelvane 5.0.4.4");
        EXPECT_TRUE(GetWindowLongW(line, GWL_STYLE) & SS_NOPREFIX);
        EXPECT_EQ(ItemText(box, IDOK), "OK");
        EXPECT_EQ(GetWindowLongW(GetDlgItem(box, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        RECT lineRect;
        GetClientRect(line, &lineRect);
        HDC dc = GetDC(line);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
        SIZE extent = {};
        GetTextExtentPoint32W(dc, L"Kelvane 5.0.4.4", 15, &extent);
        SelectObject(dc, previous);
        ReleaseDC(line, dc);
        EXPECT_LT(extent.cx, lineRect.right);
        EXPECT_LE(extent.cy, lineRect.bottom);
        ExpectPicture(box, "about_box");
    };
    EXPECT_EQ(host.About(), kNoError);
    ASSERT_TRUE(looked) << "no about box was shown";
}

}  // namespace

#endif  // _WIN32

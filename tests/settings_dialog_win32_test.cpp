// The real Windows dialogs of the plug-in: the handle-line settings dialog in both languages and the
// about box, shown by Kelvane.aip in the simulated host. The host hands each dialog, once shown, to
// the test (AppState::lookAtDialog), which reads its controls, saves a picture of it, types and
// clicks as a user would. The pictures go to screenshots/ beside the test program (or to the folder
// KELVANE_SCREENSHOT_DIR names), to be looked at.
#ifdef _WIN32

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "document.h"
#include "plugin_fixture.h"
#include "win32_capture.h"
#include "resource_ids.h"
#include "settings/settings_file.h"
#include "shell/commands.h"

namespace {

std::wstring WideText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

std::wstring ItemText(HWND dialog, int id) { return WideText(GetDlgItem(dialog, id)); }

// Readable failure messages for wide texts.
std::string Narrow(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring ListEntry(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int ListSelection(HWND dialog, int id) {
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
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

// ---- Pictures ---------------------------------------------------------------------------------

// Dark pixels of the picture of window inside its child: the child's text was drawn.
int InkInside(const win32_capture::Capture& picture, HWND window, HWND child) {
    RECT frame, part;
    GetWindowRect(window, &frame);
    GetWindowRect(child, &part);
    int ink = 0;
    for (LONG y = std::max(part.top, frame.top); y < std::min(part.bottom, frame.bottom); ++y) {
        for (LONG x = std::max(part.left, frame.left); x < std::min(part.right, frame.right); ++x) {
            const std::uint32_t pixel = picture.pixels[static_cast<std::size_t>(y - frame.top) *
                                                           static_cast<std::size_t>(picture.width) +
                                                       (x - frame.left)];
            const unsigned luminance = ((pixel >> 16 & 0xFF) * 3 + (pixel >> 8 & 0xFF) * 6 + (pixel & 0xFF)) / 10;
            if (luminance < 96) ++ink;
        }
    }
    return ink;
}

// ---- The fixture ------------------------------------------------------------------------------

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

    // The dialog is centred on the application's main window, which owns it, and stays on top.
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

    // Saves the picture with the window's frame, and checks that every control with a text shows some of it.
    void ExpectPicture(HWND window, const std::string& name) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const win32_capture::Capture picture = win32_capture::CaptureWindow(window, true, name);
        EXPECT_TRUE(picture.saved) << name << ".png was not written to " << win32_capture::ScreenshotFolder();
        EXPECT_GT(picture.width, 100);
        EXPECT_GT(picture.height, 50);
        std::vector<std::uint32_t> colours = picture.pixels;
        std::sort(colours.begin(), colours.end());
        EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 4) << name << " looks blank";
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child) || GetWindowTextLengthW(child) == 0) continue;
            EXPECT_GT(InkInside(picture, window, child), 10)
                << name << ": control " << GetDlgCtrlID(child) << " (" << Narrow(WideText(child)) << ") shows no text";
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
        EXPECT_EQ(Narrow(WideText(dialog)), "Kelvane Settings");
        EXPECT_EQ(Narrow(ItemText(dialog, KELVANE_SETTINGS_LAYER)), "Guides");
        EXPECT_EQ(Narrow(ItemText(dialog, KELVANE_SETTINGS_WIDTH)), "0.25");
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, KELVANE_SETTINGS_COLOR), CB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(ListSelection(dialog, KELVANE_SETTINGS_COLOR), 2);
        EXPECT_EQ(Narrow(ListEntry(dialog, KELVANE_SETTINGS_COLOR, 2)), "CMYK Red");
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_POLYLINE), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_REVERSE_SIDE), BST_CHECKED);
        ExpectPlacedOverTheMainWindow(dialog);
        ExpectPicture(dialog, "settings_dialog_english");

        Type(dialog, KELVANE_SETTINGS_WIDTH, L"2.5mm");
        EXPECT_EQ(Narrow(ItemText(dialog, KELVANE_SETTINGS_WIDTH)), "2.5mm");
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

TEST_F(WindowsDialogs, JapaneseSettingsDialogOpensOnBlackAndCancelStoresNothing) {
    std::strcpy(State().handleline_line_color, "Gone");
    bool looked = false;
    App().lookAtDialog = [&](PlatformWindow window) {
        looked = true;
        HWND dialog = static_cast<HWND>(window);
        EXPECT_EQ(Narrow(WideText(dialog)), "Kelvane 設定");
        EXPECT_EQ(Narrow(ItemText(dialog, KELVANE_SETTINGS_LAYER)), "HANDLE LINE");
        EXPECT_EQ(Narrow(ItemText(dialog, KELVANE_SETTINGS_WIDTH)), "0.5");
        EXPECT_EQ(Narrow(ListEntry(dialog, KELVANE_SETTINGS_COLOR, ListSelection(dialog, KELVANE_SETTINGS_COLOR))),
                  "Black")
            << "a stored colour the document lacks: its black swatch";
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_POLYLINE), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, KELVANE_SETTINGS_REVERSE_SIDE), BST_UNCHECKED);
        ExpectPlacedOverTheMainWindow(dialog);
        ExpectPicture(dialog, "settings_dialog_japanese");

        Type(dialog, KELVANE_SETTINGS_LAYER, L"Other");
        Type(dialog, KELVANE_SETTINGS_WIDTH, L"9");
        Choose(dialog, KELVANE_SETTINGS_COLOR, L"White");
        Click(dialog, KELVANE_SETTINGS_POLYLINE);
        Click(dialog, KELVANE_SETTINGS_REVERSE_SIDE);
        Click(dialog, IDCANCEL);
    };
    ASSERT_EQ(RunSettingsDialogCommand(kJapanese), kNoError);
    ASSERT_TRUE(looked) << "no dialog was shown";
    EXPECT_STREQ(State().handleline_layer, "HANDLE LINE");
    EXPECT_DOUBLE_EQ(State().handleline_line_width, 0.5);
    EXPECT_STREQ(State().handleline_line_color, "Gone");
    EXPECT_EQ(State().handleline_polyline, 1);
    EXPECT_EQ(State().handleline_reverse_side, 0);
    EXPECT_FALSE(std::ifstream(SettingsPath()).good()) << "Cancel writes no settings file";
}

TEST_F(WindowsDialogs, KoreanShowsTheEnglishDialog) {
    std::wstring caption;
    App().lookAtDialog = [&](PlatformWindow window) { caption = WideText(static_cast<HWND>(window)); };
    ASSERT_EQ(RunSettingsDialogCommand(kKorean), kNoError);
    EXPECT_EQ(Narrow(caption), "Kelvane Settings");
    EXPECT_EQ(App().settingsDialogs.size(), 1u) << "left to the host, which cancels it";
}

TEST_F(WindowsDialogs, AboutBoxShowsTheProductAndVersion) {
    bool looked = false;
    App().lookAtDialog = [&](PlatformWindow window) {
        looked = true;
        HWND box = static_cast<HWND>(window);
        EXPECT_EQ(Narrow(WideText(box)), "Kelvane");
        EXPECT_EQ(Narrow(ItemText(box, KELVANE_ABOUT_TEXT)), "Kelvane 5.0.4.4");
        EXPECT_EQ(Narrow(ItemText(box, IDOK)), "OK");
        EXPECT_EQ(GetWindow(box, GW_OWNER), static_cast<HWND>(host.AppWindow()));
        ExpectPicture(box, "about_box");
    };
    EXPECT_EQ(host.About(), kNoError);
    ASSERT_TRUE(looked) << "no about box was shown";
}

}  // namespace

#endif  // _WIN32

// The resources that the plug-in loads from its own library at run time: the PNG icons of the panel
// and the toolbox, the adjust tools' cursors, the strings of the panel's value lists, the two
// settings dialog templates and the about box. Windows build only: Kelvane.aip sits next to the
// test program, and is loaded as the host loads it, so that cursors and dialogs come from a real
// module handle.
#ifdef _WIN32

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include "resource_ids.h"
#include "win32_plugin_library.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

std::string WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return Utf8(text);
}

std::string ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Utf8(name);
}

int ChildCount(HWND window) {
    int count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) ++count;
    return count;
}

struct Resource {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

// The library stays loaded for the whole suite, the way the host keeps it.
class PluginResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryA(win32_plugin_library::PluginLibraryPath().c_str());
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) gdiplusToken_ = 0;
    }
    static void TearDownTestSuite() {
        if (gdiplusToken_ != 0) Gdiplus::GdiplusShutdown(gdiplusToken_);
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
        gdiplusToken_ = 0;
    }
    void SetUp() override { ASSERT_NE(module_, nullptr) << "cannot load " << win32_plugin_library::PluginLibraryPath(); }

    static Resource Find(WORD id, LPCSTR type) {
        Resource result;
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) return result;
        result.data = static_cast<const unsigned char*>(LockResource(LoadResource(module_, found)));
        result.size = SizeofResource(module_, found);
        return result;
    }

    static HMODULE module_;
    static ULONG_PTR gdiplusToken_;
};

HMODULE PluginResources::module_ = nullptr;
ULONG_PTR PluginResources::gdiplusToken_ = 0;

// ---- PNG icons ------------------------------------------------------------------------------

// Decodes the way the panel does: the bytes in a movable memory block, a stream over it, GDI+.
void ExpectPngDecodes(const Resource& png, unsigned size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), png.data, png.size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    {
        Gdiplus::Bitmap bitmap(stream);
        ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok) << "GDI+ cannot decode it";
        EXPECT_EQ(bitmap.GetWidth(), size);
        EXPECT_EQ(bitmap.GetHeight(), size);
        // The corners are clear (the icons are drawn on the button's own fill), and a fair share of
        // the pixels is inked.
        Gdiplus::Color pixel;
        bitmap.GetPixel(0, 0, &pixel);
        EXPECT_EQ(pixel.GetA(), 0) << "an opaque corner";
        unsigned inked = 0;
        for (unsigned y = 0; y < size; ++y) {
            for (unsigned x = 0; x < size; ++x) {
                bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &pixel);
                if (pixel.GetA() > 128) ++inked;
            }
        }
        EXPECT_GT(inked * 100, size * size * 5) << "almost empty";
    }
    stream->Release();
}

// Each icon's light-background id (the ids the panel and the host ask for) and its size; its
// dark-background twin is the id + 100.
TEST_F(PluginResources, EveryPngIconIsAnRgbaImageOfItsSizeInBothBrightnesses) {
    ASSERT_NE(gdiplusToken_, 0u) << "GDI+ did not start";
    const struct {
        WORD id;
        unsigned size;
    } icons[] = {{16279, 53}, {16280, 53}, {16281, 53}, {16282, 53}, {16283, 53},
                 {16284, 16}, {16285, 16}, {16251, 32}, {16252, 32}};
    for (const auto& icon : icons) {
        const Resource light = Find(icon.id, KELVANE_PNG_RESOURCE_TYPE);
        const Resource dark = Find(static_cast<WORD>(icon.id + 100), KELVANE_PNG_RESOURCE_TYPE);
        for (const int offset : {0, 100}) {
            SCOPED_TRACE("PNGI " + std::to_string(icon.id + offset));
            const Resource& png = offset == 0 ? light : dark;
            ASSERT_GE(png.size, 8u + 8u + 13u) << "missing or too short";
            // IHDR: 8 bits per channel, colour type 6 (RGBA), so that the button fill shows through.
            EXPECT_EQ(png.data[24], 8);
            EXPECT_EQ(png.data[25], 6);
            EXPECT_EQ(std::memcmp(png.data + png.size - 8, "IEND", 4), 0) << "cut short";
            ExpectPngDecodes(png, icon.size);
        }
        EXPECT_FALSE(light.size == dark.size && std::memcmp(light.data, dark.data, light.size) == 0)
            << "PNGI " << icon.id << " and its dark twin are the same image";
    }
}

// ---- Cursors --------------------------------------------------------------------------------

struct CursorMasks {
    int width = 0, height = 0;        // of the cursor image
    std::vector<unsigned char> bits;  // AND mask rows, then XOR mask rows, top-down, 4 bytes a row
    bool Bit(int x, int y) const { return (bits[static_cast<size_t>(y) * 4 + x / 8] >> (7 - x % 8)) & 1; }
    // Black: AND 0, XOR 0. Clear: AND 1, XOR 0.
    bool Black(int x, int y) const { return !Bit(x, y) && !Bit(x, y + height); }
    bool Clear(int x, int y) const { return Bit(x, y) && !Bit(x, y + height); }
};

// The hot spot, and the masks of a monochrome cursor.
CursorMasks ExpectCursor(HCURSOR cursor) {
    CursorMasks masks;
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon) << "not a cursor";
    EXPECT_EQ(info.xHotspot, 14u);
    EXPECT_EQ(info.yHotspot, 14u);
    EXPECT_EQ(info.hbmColor, nullptr) << "not monochrome";
    BITMAP bitmap = {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    masks.width = bitmap.bmWidth;
    masks.height = bitmap.bmHeight / 2;
    if (bitmap.bmWidth == 32 && bitmap.bmHeight == 64 && bitmap.bmBitsPixel == 1) {
        masks.bits.resize(static_cast<size_t>(bitmap.bmWidthBytes) * 64);
        GetBitmapBits(info.hbmMask, static_cast<LONG>(masks.bits.size()), masks.bits.data());
    }
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    return masks;
}

// Crosshairs on the hot spot; a square below and to the right of it tells the anchor one apart.
TEST_F(PluginResources, CursorsAreMonochromeCrosshairsAndTheAnchorOneHasItsMark) {
    for (const WORD id : {WORD{16104}, WORD{16105}}) {
        SCOPED_TRACE("cursor " + std::to_string(id));
        // LoadCursorA as the adjust tools load it; LoadImageW must read it the same.
        HANDLE image = LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 32, 32, LR_DEFAULTCOLOR);
        ASSERT_NE(image, nullptr);
        ExpectCursor(static_cast<HCURSOR>(image));
        DestroyCursor(static_cast<HCURSOR>(image));
        HCURSOR cursor = LoadCursorA(module_, MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr) << "error " << GetLastError();
        const CursorMasks masks = ExpectCursor(cursor);
        ASSERT_EQ(masks.width, 32);
        ASSERT_EQ(masks.height, 32);
        ASSERT_FALSE(masks.bits.empty());
        const int x = 14, y = 14;
        EXPECT_TRUE(masks.Black(x, y)) << "the hot spot is not marked";
        EXPECT_TRUE(masks.Black(x - 6, y) && masks.Black(x + 6, y)) << "no horizontal arm";
        EXPECT_TRUE(masks.Black(x, y - 6) && masks.Black(x, y + 6)) << "no vertical arm";
        EXPECT_TRUE(masks.Clear(0, 0) && masks.Clear(31, 31)) << "the corners are not clear";
        EXPECT_EQ(masks.Black(x + 6, y + 6), id == 16105) << "the anchor mark";
        EXPECT_EQ(masks.Clear(x + 6, y + 6), id == 16104);
    }
}

// ---- String table ---------------------------------------------------------------------------

TEST_F(PluginResources, ValueListStringsLoad) {
    const char* expected[] = {".25", ".5", "1", "5", "10", "20", "50", "100", "-", "-"};
    for (UINT id = 16241; id <= 16250; ++id) {
        wchar_t text[64] = {};
        EXPECT_GT(LoadStringW(module_, id, text, 64), 0) << "no string " << id;
        EXPECT_EQ(Utf8(text), expected[id - 16241]) << "string " << id;
    }
}

// ---- Dialogs --------------------------------------------------------------------------------

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Owns a dialog created invisible from a template of the plug-in.
class Dialog {
public:
    Dialog(HMODULE module, WORD id)
        : window_(CreateDialogParamW(module, MAKEINTRESOURCEW(id), nullptr, InertDialogProc, 0)) {}
    ~Dialog() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    HWND get() const { return window_; }

private:
    HWND window_;
};

// A control: its class, the style bits under mask that say its kind, its text (nullptr: filled at
// run time) and its place in dialog units (left, top, width, height).
struct Control {
    int id;
    const char* className;
    LONG mask, kind;
    const char* text;
    RECT rect;
};

constexpr LONG kButton = BS_TYPEMASK;
constexpr LONG kStatic = SS_TYPEMASK;

void ExpectControl(HWND dialog, const Control& control) {
    SCOPED_TRACE("control " + std::to_string(control.id));
    HWND item = GetDlgItem(dialog, control.id);
    ASSERT_NE(item, nullptr) << "missing control";
    const LONG style = GetWindowLongW(item, GWL_STYLE);
    EXPECT_EQ(ClassName(item), control.className);
    EXPECT_EQ(style & control.mask, control.kind);
    // Edits, lists and check boxes are reached with Tab.
    const bool field = control.text == nullptr || (control.mask == kButton && control.kind == BS_AUTOCHECKBOX);
    if (field) {
        EXPECT_TRUE(style & WS_TABSTOP);
    }
    if (control.text != nullptr) {
        EXPECT_EQ(WindowText(item), control.text);
    }

    // The dialog manager scales a control's position and its size each on its own. A drop-down
    // list's window is only as tall as its selection field, so its height is not compared.
    RECT expected = control.rect;
    MapDialogRect(dialog, &expected);
    RECT actual;
    GetWindowRect(item, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.left + expected.right);
    if (control.className != std::string("ComboBox")) {
        EXPECT_EQ(actual.bottom, expected.top + expected.bottom);
    }
}

void ExpectSegoeUi9(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << "the dialog has no font of its own";
    LOGFONTW logFont = {};
    ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0);
    EXPECT_EQ(Utf8(logFont.lfFaceName), "Segoe UI");
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(9, pixelsPerInch, 72));
}

// The style of an item as its template stores it (a combo box hands WS_VSCROLL to its list, which
// drops it while the list is empty, so the window cannot tell): the DWORD-aligned item of an
// extended template with that id, place and a class ordinal, or 0.
DWORD TemplateItemStyle(const Resource& dialog, DWORD id, const RECT& rect, WORD classOrdinal) {
    const auto word = [&](DWORD at) { return static_cast<WORD>(dialog.data[at] | dialog.data[at + 1] << 8); };
    const auto dword = [&](DWORD at) { return word(at) | static_cast<DWORD>(word(at + 2)) << 16; };
    for (DWORD at = 0; at + 28 <= dialog.size; at += 4) {
        if (dword(at + 20) == id && word(at + 12) == rect.left && word(at + 14) == rect.top &&
            word(at + 16) == rect.right && word(at + 18) == rect.bottom && word(at + 24) == 0xFFFF &&
            word(at + 26) == classOrdinal) {
            return dword(at + 8);
        }
    }
    return 0;
}

struct SettingsDialogCase {
    WORD id;
    LANGID language;
    const char *caption, *title, *layer, *width, *color, *polyline, *reverseSide;
    LONG unitTop;  // the "pt" label sits one unit lower in the Japanese layout
};

class SettingsDialogTemplate : public PluginResources, public ::testing::WithParamInterface<SettingsDialogCase> {};

TEST_P(SettingsDialogTemplate, HasEveryControlInPlace) {
    const SettingsDialogCase& texts = GetParam();
    const WORD id = texts.id;
    EXPECT_NE(FindResourceExW(module_, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id), texts.language),
              nullptr)
        << "the template is not in language " << std::hex << texts.language;
    Dialog dialog(module_, id);
    ASSERT_NE(dialog.get(), nullptr) << "cannot create dialog " << id << " (error " << GetLastError() << ")";
    EXPECT_FALSE(IsWindowVisible(dialog.get()));
    EXPECT_EQ(WindowText(dialog.get()), texts.caption);
    ExpectSegoeUi9(dialog.get());

    RECT client, expectedClient = {0, 0, 263, 150};
    GetClientRect(dialog.get(), &client);
    MapDialogRect(dialog.get(), &expectedClient);
    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);

    const Control controls[] = {
        {IDOK, "Button", kButton, BS_DEFPUSHBUTTON, "OK", {189, 127, 60, 14}},
        {IDCANCEL, "Button", kButton, BS_PUSHBUTTON, "Cancel", {114, 127, 60, 14}},
        {KELVANE_SETTINGS_TITLE, "Static", kStatic, SS_LEFT, texts.title, {15, 15, 50, 8}},
        {KELVANE_SETTINGS_LAYER_LABEL, "Static", kStatic, SS_RIGHT, texts.layer, {10, 32, 50, 8}},
        {KELVANE_SETTINGS_LAYER, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, nullptr, {64, 30, 180, 12}},
        {KELVANE_SETTINGS_WIDTH_LABEL, "Static", kStatic, SS_RIGHT, texts.width, {10, 52, 50, 8}},
        {KELVANE_SETTINGS_WIDTH, "Edit", 0, 0, nullptr, {64, 50, 80, 12}},
        {KELVANE_SETTINGS_WIDTH_UNIT, "Static", kStatic, SS_LEFT, "pt", {147, texts.unitTop, 30, 8}},
        {KELVANE_SETTINGS_COLOR_LABEL, "Static", kStatic, SS_RIGHT, texts.color, {10, 72, 50, 8}},
        {KELVANE_SETTINGS_COLOR, "ComboBox", 3, CBS_DROPDOWNLIST, nullptr, {64, 70, 180, 12}},
        {KELVANE_SETTINGS_POLYLINE, "Button", kButton, BS_AUTOCHECKBOX, texts.polyline, {64, 88, 50, 10}},
        {KELVANE_SETTINGS_REVERSE_SIDE, "Button", kButton, BS_AUTOCHECKBOX, texts.reverseSide, {64, 103, 50, 10}},
    };
    for (const Control& control : controls) ExpectControl(dialog.get(), control);
    EXPECT_EQ(ChildCount(dialog.get()), 12);

    // The colour list scrolls through many swatches.
    const DWORD listStyle = TemplateItemStyle(Find(id, MAKEINTRESOURCEA(5)), KELVANE_SETTINGS_COLOR,
                                              RECT{64, 70, 180, 12}, 0x0085 /* combo box */);
    EXPECT_EQ(listStyle & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_TRUE(listStyle & WS_VSCROLL);
    // Typing starts in the layer field: it is the first field in tab order.
    EXPECT_EQ(GetNextDlgTabItem(dialog.get(), nullptr, FALSE), GetDlgItem(dialog.get(), KELVANE_SETTINGS_LAYER));
}

INSTANTIATE_TEST_SUITE_P(PluginResources, SettingsDialogTemplate,
                         ::testing::Values(SettingsDialogCase{16279, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                                              "Kelvane Settings", "Handle Line", "Layer :",
                                                              "Line width :", "Line color :", "Polyline",
                                                              "Reverse side", 52},
                                           SettingsDialogCase{16179, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
                                                              "Kelvane 設定", "ハンドルライン", "レイヤー：", "線幅：",
                                                              "線色：", "折れ線", "反対方向", 53}),
                         [](const ::testing::TestParamInfo<SettingsDialogCase>& info) {
                             return info.param.id == 16279 ? "English" : "Japanese";
                         });

TEST_F(PluginResources, AboutBox) {
    Dialog dialog(module_, KELVANE_DIALOG_ABOUT);
    ASSERT_NE(dialog.get(), nullptr) << "cannot create the about box (error " << GetLastError() << ")";
    EXPECT_EQ(WindowText(dialog.get()), "Kelvane");
    ExpectSegoeUi9(dialog.get());
    EXPECT_EQ(ChildCount(dialog.get()), 2) << "the about box holds its line and OK";
    EXPECT_TRUE(GetWindowLongW(dialog.get(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    HWND line = GetDlgItem(dialog.get(), KELVANE_ABOUT_TEXT);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(ClassName(line), "Static");
    EXPECT_EQ(WindowText(line), "%s %s");
    EXPECT_TRUE(GetWindowLongW(line, GWL_STYLE) & SS_NOPREFIX);
    HWND ok = GetDlgItem(dialog.get(), IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "OK");
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    // The filled-in line fits on one line of its control, in the dialog's font.
    RECT lineRect;
    GetClientRect(line, &lineRect);
    HDC dc = GetDC(line);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog.get(), WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, L"Kelvane 5.0.4.4", 15, &extent);
    SelectObject(dc, previous);
    ReleaseDC(line, dc);
    EXPECT_LT(extent.cx, lineRect.right);
    EXPECT_LE(extent.cy, lineRect.bottom);
}

}  // namespace

#endif  // _WIN32

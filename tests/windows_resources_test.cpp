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
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using win32_plugin_library::PluginLibraryPath;

std::u16string ToU16(const wchar_t* text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");
    std::u16string result;
    for (; *text != 0; ++text) result += static_cast<char16_t>(*text);
    return result;
}

// Readable failure messages for UTF-16 texts.
std::string Narrow(const std::u16string& text) {
    std::string result;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            result += static_cast<char>(c);
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            result += escape;
        }
    }
    return result;
}

std::u16string WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return ToU16(text);
}

std::u16string ClassName(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return ToU16(name);
}

struct Resource {
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

// The library stays loaded for the whole suite, the way the host keeps it.
class PluginResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module_ = LoadLibraryA(PluginLibraryPath().c_str());
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) != Gdiplus::Ok) gdiplusToken_ = 0;
    }
    static void TearDownTestSuite() {
        if (gdiplusToken_ != 0) Gdiplus::GdiplusShutdown(gdiplusToken_);
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
        gdiplusToken_ = 0;
    }
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load " << PluginLibraryPath();
    }

    static Resource Find(WORD id, const char* type) {
        Resource result;
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) return result;
        HGLOBAL loaded = LoadResource(module_, found);
        if (loaded == nullptr) return result;
        result.data = static_cast<const unsigned char*>(LockResource(loaded));
        result.size = SizeofResource(module_, found);
        return result;
    }

    static HMODULE module_;
    static ULONG_PTR gdiplusToken_;
};

HMODULE PluginResources::module_ = nullptr;
ULONG_PTR PluginResources::gdiplusToken_ = 0;

// ---- PNG icons ------------------------------------------------------------------------------

struct Icon {
    WORD id;
    unsigned size;  // width and height in pixels
};

// The light-background ids; each has a dark-background twin at id + KELVANE_PNG_ON_DARK.
const Icon kIcons[] = {
    {KELVANE_PNG_POINTER, 53},          {KELVANE_PNG_MEASURE, 53},
    {KELVANE_PNG_HANDLE_LINE, 53},      {KELVANE_PNG_EXTENSION_CROSSING, 53},
    {KELVANE_PNG_ANGLE_BISECTOR, 53},   {KELVANE_PNG_MINUS, 16},
    {KELVANE_PNG_PLUS, 16},             {KELVANE_PNG_PATH_ADJUST_TOOL, 32},
    {KELVANE_PNG_POINT_ADJUST_TOOL, 32},
};

static_assert(KELVANE_PNG_POINTER == 16279 && KELVANE_PNG_MEASURE == 16280 &&
                  KELVANE_PNG_HANDLE_LINE == 16281 && KELVANE_PNG_EXTENSION_CROSSING == 16282 &&
                  KELVANE_PNG_ANGLE_BISECTOR == 16283 && KELVANE_PNG_MINUS == 16284 &&
                  KELVANE_PNG_PLUS == 16285,
              "panel button icon ids");
static_assert(KELVANE_PNG_PATH_ADJUST_TOOL == 16251 && KELVANE_PNG_POINT_ADJUST_TOOL == 16252 &&
                  KELVANE_PNG_PATH_ADJUST_TOOL_ON_DARK == 16351 &&
                  KELVANE_PNG_POINT_ADJUST_TOOL_ON_DARK == 16352,
              "tool icon ids");
static_assert(KELVANE_PNG_POINTER_ON_DARK == KELVANE_PNG_POINTER + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_MEASURE_ON_DARK == KELVANE_PNG_MEASURE + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_HANDLE_LINE_ON_DARK == KELVANE_PNG_HANDLE_LINE + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_EXTENSION_CROSSING_ON_DARK ==
                      KELVANE_PNG_EXTENSION_CROSSING + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_ANGLE_BISECTOR_ON_DARK == KELVANE_PNG_ANGLE_BISECTOR + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_MINUS_ON_DARK == KELVANE_PNG_MINUS + KELVANE_PNG_ON_DARK &&
                  KELVANE_PNG_PLUS_ON_DARK == KELVANE_PNG_PLUS + KELVANE_PNG_ON_DARK && KELVANE_PNG_ON_DARK == 100,
              "the other-brightness icon is the id + 100");

std::uint32_t BigEndian32(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

// Signature, then the first chunk IHDR: length 13, width, height, bit depth, colour type.
void ExpectPngHeader(const Resource& png, unsigned size, WORD id) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(png.size, 8u + 8u + 13u) << "PNGI " << id << " is too short";
    ASSERT_EQ(std::memcmp(png.data, kSignature, 8), 0) << "PNGI " << id << " has no PNG signature";
    EXPECT_EQ(BigEndian32(png.data + 8), 13u) << "PNGI " << id;
    EXPECT_EQ(std::memcmp(png.data + 12, "IHDR", 4), 0) << "PNGI " << id;
    EXPECT_EQ(BigEndian32(png.data + 16), size) << "width of PNGI " << id;
    EXPECT_EQ(BigEndian32(png.data + 20), size) << "height of PNGI " << id;
    EXPECT_EQ(png.data[24], 8) << "bit depth of PNGI " << id;
    EXPECT_EQ(png.data[25], 6) << "PNGI " << id << " is not RGBA: the button fill must show through";
    EXPECT_EQ(std::memcmp(png.data + png.size - 8, "IEND", 4), 0) << "PNGI " << id << " is cut short";
}

// Decodes the way the panel does: the bytes in a movable memory block, a stream over it, GDI+.
void ExpectPngDecodes(const Resource& png, unsigned size, WORD id) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size);
    ASSERT_NE(block, nullptr);
    void* target = GlobalLock(block);
    std::memcpy(target, png.data, png.size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    {
        Gdiplus::Bitmap bitmap(stream);
        ASSERT_EQ(bitmap.GetLastStatus(), Gdiplus::Ok) << "GDI+ cannot decode PNGI " << id;
        EXPECT_EQ(bitmap.GetWidth(), size) << "PNGI " << id;
        EXPECT_EQ(bitmap.GetHeight(), size) << "PNGI " << id;
        // The corners are clear (the icons are drawn on the button's own fill), and a fair share of the
        // pixels is inked.
        Gdiplus::Color corner;
        bitmap.GetPixel(0, 0, &corner);
        EXPECT_EQ(corner.GetA(), 0) << "PNGI " << id << " has an opaque corner";
        unsigned inked = 0;
        for (unsigned y = 0; y < size; ++y) {
            for (unsigned x = 0; x < size; ++x) {
                Gdiplus::Color pixel;
                bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &pixel);
                if (pixel.GetA() > 128) ++inked;
            }
        }
        EXPECT_GT(inked * 100, size * size * 5) << "PNGI " << id << " is almost empty";
    }
    stream->Release();
}

TEST_F(PluginResources, EveryPngIconIsPresentWithItsSize) {
    for (const Icon& icon : kIcons) {
        for (WORD id : {icon.id, static_cast<WORD>(icon.id + KELVANE_PNG_ON_DARK)}) {
            const Resource png = Find(id, KELVANE_PNG_RESOURCE_TYPE);
            ASSERT_NE(png.data, nullptr) << "no PNGI resource " << id;
            ExpectPngHeader(png, icon.size, id);
        }
    }
}

TEST_F(PluginResources, EveryPngIconDecodesWithGdiPlus) {
    ASSERT_NE(gdiplusToken_, 0u) << "GDI+ did not start";
    for (const Icon& icon : kIcons) {
        for (WORD id : {icon.id, static_cast<WORD>(icon.id + KELVANE_PNG_ON_DARK)}) {
            const Resource png = Find(id, KELVANE_PNG_RESOURCE_TYPE);
            ASSERT_NE(png.data, nullptr) << "no PNGI resource " << id;
            ExpectPngDecodes(png, icon.size, id);
        }
    }
}

TEST_F(PluginResources, LightAndDarkIconsDiffer) {
    for (const Icon& icon : kIcons) {
        const Resource light = Find(icon.id, KELVANE_PNG_RESOURCE_TYPE);
        const Resource dark = Find(static_cast<WORD>(icon.id + KELVANE_PNG_ON_DARK), KELVANE_PNG_RESOURCE_TYPE);
        ASSERT_NE(light.data, nullptr);
        ASSERT_NE(dark.data, nullptr);
        const bool same = light.size == dark.size && std::memcmp(light.data, dark.data, light.size) == 0;
        EXPECT_FALSE(same) << "PNGI " << icon.id << " and " << icon.id + KELVANE_PNG_ON_DARK << " are the same image";
    }
}

// ---- Cursors --------------------------------------------------------------------------------

struct CursorMasks {
    bool monochrome = false;
    int width = 0, height = 0;  // of the cursor image
    std::vector<unsigned char> bits;  // AND mask rows, then XOR mask rows, top-down, 4 bytes a row
    bool Bit(int x, int y) const { return (bits[static_cast<size_t>(y) * 4 + x / 8] >> (7 - x % 8)) & 1; }
    // Black: AND 0, XOR 0. Clear: AND 1, XOR 0.
    bool Black(int x, int y) const { return !Bit(x, y) && !Bit(x, y + height); }
    bool Clear(int x, int y) const { return Bit(x, y) && !Bit(x, y + height); }
};

void ExpectHotSpot(HCURSOR cursor, WORD id, CursorMasks* masks) {
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << "cursor " << id;
    EXPECT_FALSE(info.fIcon) << "resource " << id << " is not a cursor";
    EXPECT_EQ(info.xHotspot, static_cast<DWORD>(KELVANE_CURSOR_HOT_SPOT_X)) << "cursor " << id;
    EXPECT_EQ(info.yHotspot, static_cast<DWORD>(KELVANE_CURSOR_HOT_SPOT_Y)) << "cursor " << id;
    if (masks != nullptr) {
        masks->monochrome = info.hbmColor == nullptr;
        BITMAP bitmap = {};
        GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
        masks->width = bitmap.bmWidth;
        masks->height = bitmap.bmHeight / 2;
        if (bitmap.bmWidth == 32 && bitmap.bmHeight == 64 && bitmap.bmBitsPixel == 1) {
            masks->bits.resize(static_cast<size_t>(bitmap.bmWidthBytes) * 64);
            GetBitmapBits(info.hbmMask, static_cast<LONG>(masks->bits.size()), masks->bits.data());
        }
    }
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
}

TEST_F(PluginResources, CursorsLoadWithTheirHotSpot) {
    static_assert(KELVANE_CURSOR_ADJUST == 16104 && KELVANE_CURSOR_ADJUST_ON_ANCHOR == 16105, "cursor ids");
    for (WORD id : {WORD{KELVANE_CURSOR_ADJUST}, WORD{KELVANE_CURSOR_ADJUST_ON_ANCHOR}}) {
        // As the adjust tools load it.
        HCURSOR cursor = LoadCursorA(module_, MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr) << "LoadCursorA cannot load cursor " << id << " (error " << GetLastError() << ")";
        ExpectHotSpot(cursor, id, nullptr);

        HANDLE image = LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_CURSOR, 32, 32, LR_DEFAULTCOLOR);
        ASSERT_NE(image, nullptr) << "LoadImageW cannot load cursor " << id;
        ExpectHotSpot(static_cast<HCURSOR>(image), id, nullptr);
        DestroyCursor(static_cast<HCURSOR>(image));
    }
}

TEST_F(PluginResources, CursorsAreMonochromeCrosshairsAndTheAnchorOneHasItsMark) {
    CursorMasks free, anchor;
    HCURSOR freeCursor = LoadCursorA(module_, MAKEINTRESOURCEA(KELVANE_CURSOR_ADJUST));
    HCURSOR anchorCursor = LoadCursorA(module_, MAKEINTRESOURCEA(KELVANE_CURSOR_ADJUST_ON_ANCHOR));
    ASSERT_NE(freeCursor, nullptr);
    ASSERT_NE(anchorCursor, nullptr);
    ExpectHotSpot(freeCursor, KELVANE_CURSOR_ADJUST, &free);
    ExpectHotSpot(anchorCursor, KELVANE_CURSOR_ADJUST_ON_ANCHOR, &anchor);

    for (const CursorMasks* masks : {&free, &anchor}) {
        EXPECT_TRUE(masks->monochrome);
        ASSERT_EQ(masks->width, 32);
        ASSERT_EQ(masks->height, 32);
        ASSERT_FALSE(masks->bits.empty());
        const int x = KELVANE_CURSOR_HOT_SPOT_X, y = KELVANE_CURSOR_HOT_SPOT_Y;
        EXPECT_TRUE(masks->Black(x, y)) << "the hot spot is not marked";
        EXPECT_TRUE(masks->Black(x - 6, y) && masks->Black(x + 6, y)) << "no horizontal arm";
        EXPECT_TRUE(masks->Black(x, y - 6) && masks->Black(x, y + 6)) << "no vertical arm";
        EXPECT_TRUE(masks->Clear(0, 0) && masks->Clear(31, 31)) << "the corners are not clear";
    }
    // The square below and to the right of the centre tells the two apart.
    const int markX = KELVANE_CURSOR_HOT_SPOT_X + 6, markY = KELVANE_CURSOR_HOT_SPOT_Y + 6;
    EXPECT_TRUE(free.Clear(markX, markY));
    EXPECT_TRUE(anchor.Black(markX, markY));
}

// ---- String table ---------------------------------------------------------------------------

TEST_F(PluginResources, ValueListStringsLoad) {
    static_assert(KELVANE_STRING_LIST_VALUE_FIRST == 16241 && KELVANE_STRING_LIST_VALUE_LAST == 16250,
                  "string ids");
    const std::u16string expected[] = {u".25", u".5", u"1", u"5", u"10", u"20", u"50", u"100", u"-", u"-"};
    for (UINT id = KELVANE_STRING_LIST_VALUE_FIRST; id <= KELVANE_STRING_LIST_VALUE_LAST; ++id) {
        wchar_t text[64] = {};
        const int length = LoadStringW(module_, id, text, 64);
        EXPECT_GT(length, 0) << "no string " << id;
        EXPECT_EQ(Narrow(ToU16(text)), Narrow(expected[id - KELVANE_STRING_LIST_VALUE_FIRST])) << "string " << id;
    }
}

// What the panel makes of them: at most 62 characters each, those beginning with "-" skipped.
TEST_F(PluginResources, ValueListsOfferTheDesignedValues) {
    std::vector<std::string> values;
    for (UINT id = KELVANE_STRING_LIST_VALUE_FIRST; id <= KELVANE_STRING_LIST_VALUE_LAST; ++id) {
        char text[63] = {};
        if (LoadStringA(module_, id, text, sizeof text) > 0 && text[0] != '-') values.push_back(text);
    }
    EXPECT_EQ(values, (std::vector<std::string>{".25", ".5", "1", "5", "10", "20", "50", "100"}));
}

// ---- Dialogs --------------------------------------------------------------------------------

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

enum class Kind { DefaultButton, Button, Label, RightLabel, CenteredLabel, Edit, DropDownList, CheckBox };

struct Control {
    int id;
    Kind kind;
    const char16_t* text;  // nullptr: not checked (edits and lists are filled at run time)
    RECT rect;             // dialog units: left, top, width, height
};

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

// The dialog manager scales a control's position and its size each on its own, so the right and
// bottom edges are the scaled position plus the scaled size.
RECT DialogUnitsToPixels(HWND dialog, const RECT& unitsLeftTopWidthHeight) {
    RECT scaled = unitsLeftTopWidthHeight;
    MapDialogRect(dialog, &scaled);
    return RECT{scaled.left, scaled.top, scaled.left + scaled.right, scaled.top + scaled.bottom};
}

void ExpectControl(HWND dialog, const Control& control, WORD dialogId) {
    SCOPED_TRACE("dialog " + std::to_string(dialogId) + ", control " + std::to_string(control.id));
    HWND item = GetDlgItem(dialog, control.id);
    ASSERT_NE(item, nullptr) << "missing control";
    const LONG style = GetWindowLongW(item, GWL_STYLE);
    const std::u16string className = ClassName(item);
    switch (control.kind) {
        case Kind::DefaultButton:
            EXPECT_EQ(Narrow(className), "Button");
            EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
            break;
        case Kind::Button:
            EXPECT_EQ(Narrow(className), "Button");
            EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
            break;
        case Kind::CheckBox:
            EXPECT_EQ(Narrow(className), "Button");
            EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
            EXPECT_TRUE(style & WS_TABSTOP);
            break;
        case Kind::Label:
            EXPECT_EQ(Narrow(className), "Static");
            EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
            break;
        case Kind::RightLabel:
            EXPECT_EQ(Narrow(className), "Static");
            EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT);
            break;
        case Kind::CenteredLabel:
            EXPECT_EQ(Narrow(className), "Static");
            EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
            break;
        case Kind::Edit:
            EXPECT_EQ(Narrow(className), "Edit");
            EXPECT_TRUE(style & WS_TABSTOP);
            break;
        case Kind::DropDownList: {
            EXPECT_EQ(Narrow(className), "ComboBox");
            EXPECT_EQ(style & 3, CBS_DROPDOWNLIST);
            EXPECT_TRUE(style & WS_TABSTOP);
            // The list box takes WS_VSCROLL over from the template (see TemplateStyles).
            break;
        }
    }
    if (control.text != nullptr) {
        EXPECT_EQ(Narrow(WindowText(item)), Narrow(control.text));
    }

    // Position and size: the template's dialog units as the dialog maps them. A drop-down list's
    // window is only as tall as its selection field, so its height is not compared.
    const RECT expected = DialogUnitsToPixels(dialog, control.rect);
    RECT actual;
    GetWindowRect(item, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    if (control.kind != Kind::DropDownList) {
        EXPECT_EQ(actual.bottom, expected.bottom);
    }
}

void ExpectSegoeUi9(HWND dialog) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << "the dialog has no font of its own";
    LOGFONTW logFont = {};
    ASSERT_NE(GetObjectW(font, sizeof logFont, &logFont), 0);
    EXPECT_EQ(Narrow(ToU16(logFont.lfFaceName)), "Segoe UI");
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(logFont.lfHeight, -MulDiv(9, pixelsPerInch, 72));
}

// ---- Dialog templates as stored ---------------------------------------------------------------
// Some template styles do not survive as window styles (a combo box hands WS_VSCROLL to its list,
// which drops it while the list is empty), so these are read from the template bytes.

struct TemplateItem {
    DWORD id = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
    bool valid = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    WORD pointSize = 0;
    BYTE charSet = 0;
    std::u16string typeface;
    std::vector<TemplateItem> items;
};

// Reads an extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
class TemplateReader {
public:
    TemplateReader(const unsigned char* data, DWORD size) : data_(data), size_(data == nullptr ? 0 : size) {}
    bool ok() const { return ok_; }
    BYTE Byte() {
        if (!Have(1)) return 0;
        return data_[position_++];
    }
    WORD Word() {
        if (!Have(2)) return 0;
        const WORD value = static_cast<WORD>(data_[position_] | (data_[position_ + 1] << 8));
        position_ += 2;
        return value;
    }
    DWORD Dword() {
        const DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    std::u16string String() {
        std::u16string text;
        for (WORD c = Word(); ok_ && c != 0; c = Word()) text += static_cast<char16_t>(c);
        return text;
    }
    // A name or, after 0xFFFF, a number; 0 alone for none.
    void StringOrOrdinal() {
        const WORD first = Word();
        if (first == 0xFFFF) {
            Word();
        } else if (first != 0) {
            String();
        }
    }
    void Skip(DWORD count) {
        if (Have(count)) position_ += count;
    }
    void AlignToDword() { Skip((4 - position_ % 4) % 4); }

private:
    bool Have(DWORD count) {
        if (size_ - position_ < count) ok_ = false;
        return ok_;
    }

    const unsigned char* data_;
    DWORD size_;
    DWORD position_ = 0;
    bool ok_ = true;
};

DialogTemplate ReadDialogTemplate(HMODULE module, WORD id) {
    DialogTemplate result;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (found == nullptr) return result;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    TemplateReader in(data, SizeofResource(module, found));
    if (in.Word() != 1 || in.Word() != 0xFFFF) return result;  // version 1, extended
    in.Dword();                                               // help id
    in.Dword();                                               // extended style
    result.style = in.Dword();
    const WORD count = in.Word();
    in.Word();  // x
    in.Word();  // y
    result.cx = static_cast<short>(in.Word());
    result.cy = static_cast<short>(in.Word());
    in.StringOrOrdinal();  // menu
    in.StringOrOrdinal();  // class
    in.String();           // caption
    if (result.style & DS_SETFONT) {
        result.pointSize = in.Word();
        in.Word();  // weight
        in.Byte();  // italic
        result.charSet = in.Byte();
        result.typeface = in.String();
    }
    for (WORD i = 0; i < count && in.ok(); ++i) {
        in.AlignToDword();
        TemplateItem item;
        in.Dword();  // help id
        in.Dword();  // extended style
        item.style = in.Dword();
        item.x = static_cast<short>(in.Word());
        item.y = static_cast<short>(in.Word());
        item.cx = static_cast<short>(in.Word());
        item.cy = static_cast<short>(in.Word());
        item.id = in.Dword();
        in.StringOrOrdinal();  // class
        in.StringOrOrdinal();  // text
        in.Skip(in.Word());    // creation data
        result.items.push_back(item);
    }
    result.valid = in.ok() && result.items.size() == count;
    return result;
}

const TemplateItem* FindItem(const DialogTemplate& dialog, DWORD id) {
    for (const TemplateItem& item : dialog.items) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

struct SettingsTexts {
    const char16_t* caption;
    const char16_t* title;
    const char16_t* layer;
    const char16_t* width;
    const char16_t* color;
    const char16_t* polyline;
    const char16_t* reverseSide;
    LONG unitTop;  // the "pt" label sits one unit lower in the Japanese layout
};

void ExpectSettingsDialog(HMODULE module, WORD id, LANGID language, const SettingsTexts& texts) {
    SCOPED_TRACE("settings dialog " + std::to_string(id));
    ASSERT_NE(FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */), nullptr);
    EXPECT_NE(FindResourceExW(module, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), language), nullptr)
        << "the template is not in language " << std::hex << language;

    Dialog dialog(module, id);
    ASSERT_NE(dialog.get(), nullptr) << "cannot create dialog " << id << " (error " << GetLastError() << ")";
    EXPECT_FALSE(IsWindowVisible(dialog.get()));
    EXPECT_EQ(Narrow(WindowText(dialog.get())), Narrow(texts.caption));
    ExpectSegoeUi9(dialog.get());

    RECT client;
    GetClientRect(dialog.get(), &client);
    const RECT expectedClient = DialogUnitsToPixels(dialog.get(), RECT{0, 0, 263, 150});
    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);

    const Control controls[] = {
        {IDOK, Kind::DefaultButton, u"OK", {189, 127, 60, 14}},
        {IDCANCEL, Kind::Button, u"Cancel", {114, 127, 60, 14}},
        {KELVANE_SETTINGS_TITLE, Kind::Label, texts.title, {15, 15, 50, 8}},
        {KELVANE_SETTINGS_LAYER_LABEL, Kind::RightLabel, texts.layer, {10, 32, 50, 8}},
        {KELVANE_SETTINGS_LAYER, Kind::Edit, nullptr, {64, 30, 180, 12}},
        {KELVANE_SETTINGS_WIDTH_LABEL, Kind::RightLabel, texts.width, {10, 52, 50, 8}},
        {KELVANE_SETTINGS_WIDTH, Kind::Edit, nullptr, {64, 50, 80, 12}},
        {KELVANE_SETTINGS_WIDTH_UNIT, Kind::Label, u"pt", {147, texts.unitTop, 30, 8}},
        {KELVANE_SETTINGS_COLOR_LABEL, Kind::RightLabel, texts.color, {10, 72, 50, 8}},
        {KELVANE_SETTINGS_COLOR, Kind::DropDownList, nullptr, {64, 70, 180, 12}},
        {KELVANE_SETTINGS_POLYLINE, Kind::CheckBox, texts.polyline, {64, 88, 50, 10}},
        {KELVANE_SETTINGS_REVERSE_SIDE, Kind::CheckBox, texts.reverseSide, {64, 103, 50, 10}},
    };
    for (const Control& control : controls) ExpectControl(dialog.get(), control, id);

    // The template itself: size, font, and every control exactly where the layout puts it.
    const DialogTemplate layout = ReadDialogTemplate(module, id);
    ASSERT_TRUE(layout.valid) << "cannot read the template";
    EXPECT_EQ(layout.cx, 263);
    EXPECT_EQ(layout.cy, 150);
    EXPECT_EQ(layout.pointSize, 9);
    EXPECT_EQ(Narrow(layout.typeface), "Segoe UI");
    EXPECT_EQ(layout.items.size(), sizeof controls / sizeof controls[0]);
    for (const Control& control : controls) {
        const TemplateItem* item = FindItem(layout, static_cast<DWORD>(control.id));
        ASSERT_NE(item, nullptr) << "control " << control.id << " is not in the template";
        EXPECT_EQ(item->x, control.rect.left) << "control " << control.id;
        EXPECT_EQ(item->y, control.rect.top) << "control " << control.id;
        EXPECT_EQ(item->cx, control.rect.right) << "control " << control.id;
        EXPECT_EQ(item->cy, control.rect.bottom) << "control " << control.id;
    }
    const TemplateItem* colourList = FindItem(layout, KELVANE_SETTINGS_COLOR);
    ASSERT_NE(colourList, nullptr);
    EXPECT_EQ(colourList->style & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
    EXPECT_TRUE(colourList->style & WS_VSCROLL);

    // The layer field scrolls, so a long layer name can be typed.
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog.get(), KELVANE_SETTINGS_LAYER), GWL_STYLE) & ES_AUTOHSCROLL);
    // Typing starts in the layer field: it is the first field in tab order.
    EXPECT_EQ(GetNextDlgTabItem(dialog.get(), nullptr, FALSE), GetDlgItem(dialog.get(), KELVANE_SETTINGS_LAYER));
}

TEST_F(PluginResources, EnglishSettingsDialog) {
    static_assert(KELVANE_DIALOG_SETTINGS_ENGLISH == 16279, "English settings dialog id");
    ExpectSettingsDialog(module_, KELVANE_DIALOG_SETTINGS_ENGLISH, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                         {u"Kelvane Settings", u"Handle Line", u"Layer :", u"Line width :", u"Line color :",
                          u"Polyline", u"Reverse side", 52});
}

TEST_F(PluginResources, JapaneseSettingsDialog) {
    static_assert(KELVANE_DIALOG_SETTINGS_JAPANESE == 16179, "Japanese settings dialog id");
    ExpectSettingsDialog(module_, KELVANE_DIALOG_SETTINGS_JAPANESE, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT),
                         {u"Kelvane 設定", u"ハンドルライン", u"レイヤー：", u"線幅：", u"線色：", u"折れ線",
                          u"反対方向", 53});
}

TEST_F(PluginResources, AboutBox) {
    ASSERT_NE(FindResourceW(module_, MAKEINTRESOURCEW(KELVANE_DIALOG_ABOUT), MAKEINTRESOURCEW(5) /* RT_DIALOG */),
              nullptr);
    Dialog dialog(module_, KELVANE_DIALOG_ABOUT);
    ASSERT_NE(dialog.get(), nullptr) << "cannot create the about box (error " << GetLastError() << ")";
    EXPECT_EQ(Narrow(WindowText(dialog.get())), "Kelvane");
    ExpectSegoeUi9(dialog.get());
    const DialogTemplate layout = ReadDialogTemplate(module_, KELVANE_DIALOG_ABOUT);
    ASSERT_TRUE(layout.valid) << "cannot read the template";
    EXPECT_EQ(layout.items.size(), 2u) << "the about box holds its line and OK";
    EXPECT_TRUE(layout.style & DS_MODALFRAME);

    HWND line = GetDlgItem(dialog.get(), KELVANE_ABOUT_TEXT);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(Narrow(ClassName(line)), "Static");
    EXPECT_EQ(Narrow(WindowText(line)), "%s %s");
    EXPECT_TRUE(GetWindowLongW(line, GWL_STYLE) & SS_NOPREFIX);

    HWND ok = GetDlgItem(dialog.get(), IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(Narrow(WindowText(ok)), "OK");
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    // The filled-in line fits on one line of its control, in the dialog's font.
    SetWindowTextW(line, L"Kelvane 5.0.4.4");
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

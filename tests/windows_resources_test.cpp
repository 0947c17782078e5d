// The plug-in library as the host and Windows read it: the property list the host reads before it
// calls in, the PNG icons of the panel and the toolbox, and the adjust tools' cursors (the value
// lists' strings show in the panel tests). Windows build only: Kelvane.aip is loaded from beside the
// test program as the host loads it, so that cursors come from a real module handle. The dialogs are
// looked over as the plug-in shows them (settings_dialog_win32_test.cpp).
#ifdef _WIN32

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "win32_plugin_library.h"

namespace {

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
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot load " << win32_plugin_library::PluginLibraryPath();
    }

    // In the given language, or in any when none is given.
    static Resource Find(WORD id, LPCSTR type, WORD language = 0) {
        Resource result;
        HRSRC found = language == 0 ? FindResourceA(module_, MAKEINTRESOURCEA(id), type)
                                    : FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language);
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

// Big-endian words: version 1, 0, four properties, each a vendor, a key, id 0, the data's length
// and its data padded to a multiple of 4: a Windows x86-64 plug-in named Kelvane.
TEST_F(PluginResources, ThePropertyListTheHostReadsFirst) {
    const Resource pipl = Find(16000, "PIPL", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(pipl.data, nullptr) << "no PIPL 16000 in English (US)";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pipl.data), pipl.size),
              std::string("\0\0\0\1\0\0\0\0\0\0\0\4"
                          "ADBEkind\0\0\0\0\0\0\0\4SPEA"
                          "ADBEivrs\0\0\0\0\0\0\0\4\0\0\0\2"
                          "ADBEwx86\0\0\0\0\0\0\0\0"
                          "ADBEpinm\0\0\0\0\0\0\0\7Kelvane\0",
                          92));
}

// Decodes the way the panel does: the bytes in a movable memory block, a stream over it, GDI+. The
// corners are clear (the icons are drawn on the button's own fill) and a fair share is inked.
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
        Gdiplus::Color pixel;
        bitmap.GetPixel(0, 0, &pixel);
        EXPECT_EQ(pixel.GetA(), 0) << "an opaque corner";
        unsigned inked = 0;
        for (unsigned y = 0; y < size; ++y) {
            for (unsigned x = 0; x < size; ++x) {
                bitmap.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &pixel);
                inked += pixel.GetA() > 128 ? 1 : 0;
            }
        }
        EXPECT_GT(inked * 100, size * size * 5) << "almost empty";
    }
    stream->Release();
}

// Each icon's light-background id (the ids the panel and the host ask for) and its size; its
// dark-background twin is the id + 100, a different picture.
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
        for (const Resource* png : {&light, &dark}) {
            SCOPED_TRACE("PNGI " + std::to_string(icon.id + (png == &dark ? 100 : 0)));
            ASSERT_GE(png->size, 8u + 8u + 13u) << "missing or too short";
            // IHDR: 8 bits per channel, colour type 6 (RGBA), so that the button's fill shows through.
            EXPECT_EQ(png->data[24], 8);
            EXPECT_EQ(png->data[25], 6);
            EXPECT_EQ(std::memcmp(png->data + png->size - 8, "IEND", 4), 0) << "cut short";
            ExpectPngDecodes(*png, icon.size);
        }
        EXPECT_FALSE(light.size == dark.size && std::memcmp(light.data, dark.data, light.size) == 0)
            << "PNGI " << icon.id << " and its dark twin are the same image";
    }
}

// Monochrome crosshairs on the hot spot (14, 14), loaded as the adjust tools load them; a square
// below and to the right of it tells the anchor cursor apart.
TEST_F(PluginResources, CursorsAreMonochromeCrosshairsAndTheAnchorOneHasItsMark) {
    for (const WORD id : {WORD{16104}, WORD{16105}}) {
        SCOPED_TRACE("cursor " + std::to_string(id));
        HCURSOR cursor = LoadCursorA(module_, MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr) << "error " << GetLastError();
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon) << "not a cursor";
        EXPECT_EQ(info.xHotspot, 14u);
        EXPECT_EQ(info.yHotspot, 14u);
        EXPECT_EQ(info.hbmColor, nullptr) << "not monochrome";
        BITMAP bitmap = {};
        GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
        // The AND mask's rows, then the XOR mask's, top-down, 4 bytes a row.
        std::vector<unsigned char> bits(static_cast<std::size_t>(bitmap.bmWidthBytes) * 64);
        const bool read = bitmap.bmWidth == 32 && bitmap.bmHeight == 64 && bitmap.bmBitsPixel == 1 &&
                          GetBitmapBits(info.hbmMask, static_cast<LONG>(bits.size()), bits.data()) != 0;
        DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
        ASSERT_TRUE(read) << "not a 32 by 32 monochrome cursor";
        const auto bit = [&](int x, int y) {
            return (bits[static_cast<std::size_t>(y) * 4 + x / 8] >> (7 - x % 8)) & 1;
        };
        const auto black = [&](int x, int y) { return !bit(x, y) && !bit(x, y + 32); };
        const auto clear = [&](int x, int y) { return bit(x, y) && !bit(x, y + 32); };
        EXPECT_TRUE(black(14, 14)) << "the hot spot is not marked";
        EXPECT_TRUE(black(8, 14) && black(20, 14)) << "no horizontal arm";
        EXPECT_TRUE(black(14, 8) && black(14, 20)) << "no vertical arm";
        EXPECT_TRUE(clear(0, 0) && clear(31, 31)) << "the corners are not clear";
        EXPECT_EQ(black(20, 20), id == 16105) << "the anchor mark";
        EXPECT_EQ(clear(20, 20), id == 16104);
    }
}

}  // namespace

#endif  // _WIN32

// The panel on Windows, as a person would look it over by hand: real child windows of the host's
// panel window with the plug-in's procedures, painted in the light and the dark interface in both
// languages. Each look is saved as a PNG (in KELVANE_SCREENSHOT_DIR, else screenshots\ beside the
// test program) and checked at a few pixels whose colours the panel's drawing fixes.
#ifdef _WIN32

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "panel_fixture.h"
#include "win32_capture.h"

namespace {

// ---- Pictures ---------------------------------------------------------------------------------

void Pump() {
    for (int round = 0; round < 5; ++round, Sleep(20)) {
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
    }
}

struct Picture : win32_capture::Capture {
    // Pixels inside the rectangle that differ clearly from its first pixel: something is drawn there.
    int InkIn(const sim::PanelControlRect& rect) const {
        const std::uint32_t ground = At(rect.left + 1, rect.top + 1);
        int ink = 0;
        for (int y = std::max(rect.top, 0); y < std::min(rect.bottom, height); ++y) {
            for (int x = std::max(rect.left, 0); x < std::min(rect.right, width); ++x) {
                const std::uint32_t pixel = At(x, y);
                int difference = 0;
                for (const int shift : {0, 8, 16}) {
                    difference += std::abs(static_cast<int>((pixel >> shift & 0xFF) - (ground >> shift & 0xFF)));
                }
                if (difference > 96) ++ink;
            }
        }
        return ink;
    }
};

// The panel's window as just painted, saved as name.png.
Picture SavePanelPicture(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    return Picture{win32_capture::CaptureWindow(window, false, name)};
}

constexpr std::uint32_t Grey(unsigned level) { return level << 16 | level << 8 | level; }

std::uint32_t PixelOf(const UIColor& color) {
    const auto byte = [](double v) { return static_cast<std::uint32_t>(static_cast<unsigned char>(255 * v)); };
    return byte(color.red) << 16 | byte(color.green) << 8 | byte(color.blue);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// ---- The fixture ------------------------------------------------------------------------------

// An arch to measure: the readout shows its length.
const std::vector<AnchorRecord> kArch = {{{20, 20}, {20, 20}, {60, 120}, false},
                                         {{260, 80}, {220, 120}, {260, 80}, false}};

class PanelWindows : public PanelTest {
protected:
    HWND Panel() { return static_cast<HWND>(sim::PanelWindowOf(host)); }
    HWND Item(int id) { return GetDlgItem(Panel(), id); }

    // The whole panel with everything in use: three rows, options shown, a broken line, measuring.
    void StartFullPanel(std::uint16_t language, bool dark) {
        State().language = language;
        State().flPtCount = 3;
        State().showoption = 1;
        State().flPtIsDashLine = 1;
        State().flPtDashLengD1 = 3;
        State().flPtDashLengD2 = 1.5;
        State().flPointMode = 1;
        State().flUseFlng = 1;
        App().darkInterface = dark;
        StartPanel();
        sim::Document& document = OpenDocument();
        document.rulerUnit = sim::RulerUnit::Millimeters;
        host.Notify("AI Document Ruler Unit Changed Notifier");
        document.SelectWhole(document.AddCurve(document.LayerAt(0)->root, kArch));
        host.Notify("AI Art Selection Changed Notifier");
        Pump();
    }

    Picture Look(const std::string& name) {
        Picture picture = SavePanelPicture(Panel(), name);
        EXPECT_TRUE(picture.saved) << name << ".png was not written to " << win32_capture::ScreenshotFolder();
        return picture;
    }

    // What every look of the panel must show: its ground in the host's colour, the separator line,
    // the measurement button pressed, ink in every button and every text of a shown control.
    void ExpectWellPainted(const Picture& picture, const std::string& name) {
        const bool dark = State().isDarkInterface != 0;
        ASSERT_EQ(picture.width, 240) << name;
        EXPECT_GT(picture.Colours(), 20u) << name << " looks blank";
        EXPECT_EQ(picture.At(2, 2), PixelOf(State().panelColor)) << name << ": the panel's ground";
        EXPECT_EQ(picture.At(120, 92), dark ? Grey(0x66) : Grey(0x99)) << name << ": the separator line";
        const std::uint32_t ink = dark ? Grey(0xAA) : Grey(0x44);
        EXPECT_EQ(picture.At(10, 10), ink) << name << ": the frame of the measurement button";
        EXPECT_EQ(picture.At(12, 12), ink) << name << ": the pressed fill of the measurement button";
        EXPECT_EQ(picture.At(11, 103), picture.At(2, 2)) << name << ": the Pointer button is not pressed";
        for (int id : {kMeasureButton, kPointerButton, kHandleLineButton, kExtensionCrossingButton,
                       kAngleBisectorButton, kMinusButton}) {
            EXPECT_GT(picture.InkIn(sim::PanelControlBounds(host, id)), 20) << name << ": button " << id;
        }
        for (int id : std::initializer_list<int>{kLengthLabel, kDistance1Label, kSizeLabel, kPositionLabel,
                                                 kLineWidthLabel, kForwardBox,
                       kBackwardBox, kCreatePointersBox, kBrokenLineBox, kExtendEndpointsBox, kDistance1List,
                       kLengthReadout, 28, 34, 35}) {
            EXPECT_GT(picture.InkIn(sim::PanelControlBounds(host, id)), 8) << name << ": control " << id
                                                                          << " shows nothing";
        }
    }
};

TEST_F(PanelWindows, ControlsAreChildWindowsWithThePluginsProcedures) {
    State().language = kEnglish;
    StartPanel();
    HWND panel = Panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(ClassOf(Item(kMeasureButton)), L"Button");
    EXPECT_EQ(GetWindowLongW(Item(kMeasureButton), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    char text[16] = {};
    GetWindowTextA(Item(kAngleBisectorButton), text, sizeof text);
    EXPECT_STREQ(text, "6") << "an owner-drawn button carries its toggle index";
    EXPECT_EQ(ClassOf(Item(kLengthLabel)), L"Static");
    EXPECT_TRUE(GetWindowLongW(Item(kLengthLabel), GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(GetWindowLongW(Item(kDistance1Label), GWL_STYLE) & SS_TYPEMASK, static_cast<LONG>(SS_RIGHT));
    EXPECT_EQ(ClassOf(Item(kLengthReadout)), L"Edit");
    EXPECT_TRUE(GetWindowLongW(Item(kLengthReadout), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_EQ(ClassOf(Item(kDistance1List)), L"ComboBox");
    EXPECT_EQ(GetWindowLongW(Item(kDistance1List), GWL_STYLE) & 3, CBS_DROPDOWN);
    EXPECT_EQ(ClassOf(Item(kForwardBox)), L"Button");
    EXPECT_EQ(GetWindowTextLengthW(Item(kForwardBox)), 0) << "the label lives in the box's record";
    EXPECT_EQ(ClassOf(Item(kLengthSlider)), L"msctls_trackbar32");
    EXPECT_EQ(SendMessageW(Item(kLengthSlider), TBM_GETRANGEMIN, 0, 0), -40);
    EXPECT_EQ(SendMessageW(Item(kLengthSlider), TBM_GETRANGEMAX, 0, 0), 40);
    for (int id : {kLengthLabel, kLengthReadout, kDistance1List}) {
        EXPECT_EQ(reinterpret_cast<void*>(SendMessageW(Item(id), WM_GETFONT, 0, 0)), State().labelFont) << id;
    }

    // The editable list's own edit field, where the panel puts it.
    HWND field = FindWindowExW(Item(kDistance1List), nullptr, L"Edit", nullptr);
    ASSERT_NE(field, nullptr);
    RECT rect;
    GetWindowRect(field, &rect);
    MapWindowPoints(nullptr, Item(kDistance1List), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 1);
    EXPECT_EQ(rect.right - rect.left, 86 - 20);
    EXPECT_EQ(rect.bottom - rect.top, 18);

    const auto procedure = GetWindowLongPtrW(panel, GWLP_WNDPROC);
    EXPECT_NE(State().previousPanelProc, nullptr);
    EXPECT_NE(reinterpret_cast<void*>(procedure), State().previousPanelProc) << "the panel's procedure is ours";
    EXPECT_EQ(host.Shutdown(), kNoError);
    EXPECT_FALSE(IsWindow(panel)) << "destroyed at shut-down";
}

// Each language in each interface brightness.
class PanelLooks : public PanelWindows, public ::testing::WithParamInterface<std::pair<std::uint16_t, bool>> {};

TEST_P(PanelLooks, AreWellPainted) {
    const auto [language, dark] = GetParam();
    StartFullPanel(language, dark);
    EXPECT_EQ(sim::PanelControlText(host, kLengthReadout), "98.139 mm");
    const std::string name = std::string("panel-") + (language == kEnglish ? "en" : "ja") + (dark ? "-dark" : "-light");
    ExpectWellPainted(Look(name), name);
}

INSTANTIATE_TEST_SUITE_P(PanelWindows, PanelLooks,
                         ::testing::Values(std::pair{kEnglish, false}, std::pair{kEnglish, true},
                                           std::pair{kJapanese, false}, std::pair{kJapanese, true}));

TEST_F(PanelWindows, ABrightnessChangeRepaintsEverything) {
    StartFullPanel(kEnglish, false);
    App().darkInterface = true;
    host.Notify("AI UI Brightness Changed Notifier");
    const Picture picture = Look("panel-en-light-then-dark");
    ExpectWellPainted(picture, "panel-en-light-then-dark");
    EXPECT_EQ(picture.At(2, 2), Grey(83));
}

// Nothing measured, the options shown: the readout and the dash edits are disabled, grey; a check
// box shows its state.
TEST_F(PanelWindows, DisabledFieldsAreGreyAndCheckBoxesPaintTheirState) {
    State().language = kEnglish;
    StartPanel();
    host.ChooseFlyoutItem(PanelHandleOf(), 3);
    const Picture picture = Look("panel-en-light-nothing-measured");
    EXPECT_EQ(picture.height, 340) << "one row of three, options shown";
    EXPECT_FALSE(sim::PanelControlEnabled(host, kLengthReadout));
    for (const int id : std::initializer_list<int>{kLengthReadout, 28}) {
        const sim::PanelControlRect field = sim::PanelControlBounds(host, id);
        EXPECT_EQ(picture.At(field.left + 2, field.top + 2), Grey(0xC0)) << "disabled field " << id;
    }
    const sim::PanelControlRect box = sim::PanelControlBounds(host, kDivideSegmentBox);
    const int middle = (box.top + box.bottom) / 2;
    const int boxCentre = box.left + (box.bottom - box.top) / 2;
    EXPECT_EQ(picture.At(boxCentre, middle), PixelOf(State().panelColor)) << "unchecked: only an outline";
    sim::ClickPanelControl(host, kDivideSegmentBox);
    EXPECT_NE(Look("panel-check-box-checked").At(boxCentre - 3, middle - 4), PixelOf(State().panelColor))
        << "checked: the box is filled";
}

TEST_F(PanelWindows, OneRowWithoutOptionsCutsTheOptionsOff) {
    State().language = kEnglish;
    StartPanel();
    const Picture picture = Look("panel-en-light-one-row");
    EXPECT_EQ(picture.height, 207);
    EXPECT_GT(sim::PanelControlBounds(host, kLineWidthList).top, 200) << "below the panel's edge";
    const sim::PanelControlRect size = sim::PanelControlBounds(host, kSizeList);
    EXPECT_EQ(size.top, 130);
    EXPECT_GT(picture.InkIn(size), 8) << "the size field shows in the last row";
}

}  // namespace

#endif

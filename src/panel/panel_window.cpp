#include "panel/panel_window.h"

#include <cmath>
#include <cstring>

#include "panel/panel_events.h"
#include "panel/panel_readout.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "resource_ids.h"

ModuleHandle gPanelModule = nullptr;

namespace {

using K = PanelControlKind;

// The window the controls were built in. Shut-down puts its procedure back even when the host
// does not answer for the window: the plug-in's procedure must not outlive the state record.
PlatformWindow builtPanelWindow = nullptr;

constexpr PanelControlRow kControls[] = {
    {kMeasureButton, K::ToggleButton, 0, nullptr, nullptr, {10, 10, 43, 42}, 0, KELVANE_PNG_MEASURE},
    {kLengthLabel, K::Label, kLabelNotify, "Length:", "ｾｸﾞﾒﾝﾄ長:", {52, 8, 135, 24}, 0, 0},
    {kLengthReadout, K::Edit, 0, " ", " ", {145, 16, 231, 35}, 0, 0},
    {kExtensionCrossingButton, K::ToggleButton, 0, nullptr, nullptr, {10, 50, 43, 82}, 5,
     KELVANE_PNG_EXTENSION_CROSSING},
    {kAngleBisectorButton, K::ToggleButton, 0, nullptr, nullptr, {50, 50, 83, 82}, 6, KELVANE_PNG_ANGLE_BISECTOR},
    {kExtendEndpointsBox, K::CheckBox, 0, "Extend endpoints", "端点を延長して作成", {95, 58, 235, 74}, 0, 0},
    {kSeparatorLine, K::Separator, 0, " ", " ", {10, 91, 230, 93}, 0, 0},
    {kPointerButton, K::ToggleButton, 0, nullptr, nullptr, {10, 102, 43, 134}, 1, KELVANE_PNG_POINTER},
    {kHandleLineButton, K::ToggleButton, 0, nullptr, nullptr, {10, 142, 43, 174}, 2, KELVANE_PNG_HANDLE_LINE},
    {kPlusButton, K::ToggleButton, 0, nullptr, nullptr, {50, 105, 66, 121}, 3, KELVANE_PNG_PLUS},
    {kMinusButton, K::ToggleButton, 0, nullptr, nullptr, {50, 130, 66, 146}, 4, KELVANE_PNG_MINUS},
    {kDistance1Label, K::Label, kLabelNotifyRight, "Distance 1:", "距離 1:", {70, 103, 140, 118}, 0, 0},
    {kDistance1List, K::EditableList, 0, " ", " ", {145, 100, 231, 119}, 0, 0},
    {kDistance2Label, K::Label, kLabelNotifyRight, "2:", "2:", {70, 133, 140, 148}, 0, 0},
    {kDistance2List, K::EditableList, 0, " ", " ", {145, 130, 231, 149}, 0, 0},
    {kDistance3Label, K::Label, kLabelNotifyRight, "3:", "3:", {70, 163, 140, 178}, 0, 0},
    {kDistance3List, K::EditableList, 0, " ", " ", {145, 160, 231, 179}, 0, 0},
    {kSizeLabel, K::Label, kLabelNotifyRight, "Size:", "大きさ:", {80, 193, 140, 208}, 0, 0},
    {kSizeList, K::EditableList, 0, " ", " ", {145, 190, 231, 209}, 0, 0},
    {kPositionLabel, K::Label, kLabelRight, "Position:", "生成場所:", {80, 223, 140, 239}, 0, 0},
    {kForwardBox, K::CheckBox, 0, "Forward:", "順方向", {145, 223, 231, 239}, 0, 0},
    {kBackwardBox, K::CheckBox, 0, "Backward:", "逆方向", {145, 243, 231, 259}, 0, 0},
    {kLineWidthLabel, K::Label, kLabelNotifyRight, "Line width:", "線幅:", {80, 271, 140, 286}, 0, 0},
    {kLineWidthList, K::EditableList, 0, " ", " ", {145, 268, 231, 287}, 0, 0},
    {kCreatePointersBox, K::CheckBox, 0, "Create pointers", "ポインターを作成", {10, 297, 130, 313}, 0, 0},
    {kDivideSegmentBox, K::CheckBox, 0, "Divide segment", "セグメントを分割", {10, 317, 130, 333}, 0, 0},
    {kBrokenLineBox, K::CheckBox, 0, "Broken line", "破線", {10, 337, 100, 353}, 0, 0},
    {28, K::Edit, 0, "", "", {11, 358, 45, 377}, 0, 0},
    {29, K::Edit, 0, "", "", {48, 358, 82, 377}, 0, 0},
    {30, K::Edit, 0, "", "", {85, 358, 119, 377}, 0, 0},
    {31, K::Edit, 0, "", "", {122, 358, 156, 377}, 0, 0},
    {32, K::Edit, 0, "", "", {159, 358, 193, 377}, 0, 0},
    {33, K::Edit, 0, "", "", {196, 358, 230, 377}, 0, 0},
    {34, K::Label, kLabelCentred, "Seg.", "線分", {11, 378, 45, 393}, 0, 0},
    {35, K::Label, kLabelCentred, "Int.", "間隔", {48, 378, 82, 393}, 0, 0},
    {36, K::Label, kLabelCentred, "Seg.", "線分", {85, 378, 119, 393}, 0, 0},
    {37, K::Label, kLabelCentred, "Int.", "間隔", {122, 378, 156, 393}, 0, 0},
    {38, K::Label, kLabelCentred, "Seg.", "線分", {159, 378, 193, 393}, 0, 0},
    {39, K::Label, kLabelCentred, "Int.", "間隔", {196, 378, 230, 393}, 0, 0},
    {kLengthSlider, K::Slider, 0, "", "", {47, 25, 140, 45}, 0, 0},
};

constexpr std::size_t kControlCount = sizeof kControls / sizeof kControls[0];

constexpr int kListStringChars = 62;
constexpr int kSliderLimit = 40;
constexpr std::int32_t kThemePanelBackground = 1;  // theme component: the panel's background
constexpr std::int32_t kThemeNormalState = 0;

// Distance and size lists, then the line-width list: filled from the string table.
constexpr int kValueLists[] = {kDistance1List, kDistance2List, kDistance3List, kSizeList, kLineWidthList};

constexpr UIColor kBlack{1.0, 0.0, 0.0, 0.0};

double MinimumPanelHeight() { return gState->showoption != 0 ? 400 : 267; }

void CreateFlyoutMenu() {
    if (sPanelFlyoutMenu == nullptr || sPanelFlyoutMenu->Create(&gState->flyoutMenu) != kNoError) return;
    const bool japanese = UsesJapanese(*gState);
    sPanelFlyoutMenu->AppendItem(gState->flyoutMenu, kFlyoutSettings,
                                 japanese ? "Kelvane 設定..." : "Kelvane Settings...");
    sPanelFlyoutMenu->AppendSeparator(gState->flyoutMenu, kFlyoutSeparator);
    sPanelFlyoutMenu->AppendItem(gState->flyoutMenu, kFlyoutShowOptions,
                                 japanese ? "オプションを表示" : "Show options");
}

PanelPixelRect Scaled(const PanelPixelRect& rect) {
    return PanelPixelRect{ScaledPanelUnits(rect.left), ScaledPanelUnits(rect.top), ScaledPanelUnits(rect.right),
                          ScaledPanelUnits(rect.bottom)};
}

void FillValueLists(PlatformWindow window) {
    for (int stringId = KELVANE_STRING_LIST_VALUE_FIRST; stringId <= KELVANE_STRING_LIST_VALUE_LAST; ++stringId) {
        char text[kListStringChars + 2];
        if (!LoadPanelString(gPanelModule, stringId, text, sizeof text, kListStringChars) || text[0] == '-') continue;
        for (int list : kValueLists) AddPanelListItem(window, list, text);
    }
}

// The dash values up to the last one that is not 0; the others stay empty.
void ShowDashValues(PlatformWindow window) {
    const double dashes[6] = {gState->flPtDashLengD1, gState->flPtDashLengD2, gState->flPtDashLengD3,
                              gState->flPtDashLengD4, gState->flPtDashLengD5, gState->flPtDashLengD6};
    int shown = 0;
    for (int i = 0; i < 6; ++i) {
        if (dashes[i] != 0) shown = i + 1;
    }
    for (int i = 0; i < shown; ++i) ShowPointsInControl(window, kFirstDashEdit + i, dashes[i]);
}

void ShowControlValues(PlatformWindow window) {
    const std::uint16_t mode = gState->flPointMode;
    SetPanelControlChecked(window, kForwardBox, mode == 0 || mode == 1);
    SetPanelControlChecked(window, kBackwardBox, mode == 0 || mode == 2);
    SetPanelControlChecked(window, kCreatePointersBox, gState->flCreatePointer != 0);
    SetPanelControlChecked(window, kDivideSegmentBox, gState->flDivideSegment != 0);
    SetPanelControlChecked(window, kBrokenLineBox, gState->flPtIsDashLine != 0);
    SetPanelControlChecked(window, kExtendEndpointsBox, gState->extend_endpoints != 0);
    RefreshLengthReadouts(window);
    ShowPointsInControl(window, kLineWidthList, gState->flPtLineWidth);
    ShowDashValues(window);
}

void DeleteDrawingObject(void*& object) {
    if (object == nullptr) return;
    DeletePanelDrawingObject(object);
    object = nullptr;
}

bool SameColor(const UIColor& a, const UIColor& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

const PanelControlRow* PanelControlTable(std::size_t* count) {
    if (count != nullptr) *count = kControlCount;
    return kControls;
}

const PanelControlRow* FindPanelControlRow(int id) {
    for (const PanelControlRow& row : kControls) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

const PanelControlRow* ToggleButtonRow(int toggleIndex) {
    for (const PanelControlRow& row : kControls) {
        if (row.kind == PanelControlKind::ToggleButton && row.toggleIndex == toggleIndex) return &row;
    }
    return nullptr;
}

int ScaledPanelUnits(double v) { return static_cast<int>(v * gState->panelScale + 0.5); }

void CreatePanel(NotifierMessage* message) {
    AccessRef access = nullptr;
    if (sSPAccess != nullptr && sSPAccess->GetPluginAccess(message->d.self, &access) == kNoError) {
        sSPAccess->GetAccessModule(access, &gPanelModule);
    }
    const PanelSize minimum{kPanelWidth, MinimumPanelHeight()};
    CreateFlyoutMenu();
    if (sPanel == nullptr ||
        sPanel->Create(message->d.self, kPanelId, "Kelvane", &minimum, gState->flyoutMenu, &gState->panel) != kNoError) {
        gState->panel = nullptr;
        return;
    }
    sPanel->SetFlyoutChoiceProc(gState->panel, PanelFlyoutChoice);
    sPanel->Show(gState->panel, 1);
    PlatformWindow window = nullptr;
    if (sPanel->GetPlatformWindow(gState->panel, &window) != kNoError) window = nullptr;
    BuildPanelControls(window);
    if (sPanelFlyoutMenu != nullptr && gState->flyoutMenu != nullptr) {
        sPanelFlyoutMenu->SetItemMark(gState->flyoutMenu, kFlyoutShowOptions, gState->showoption);
    }
}

void BuildPanelControls(PlatformWindow window) {
    builtPanelWindow = window;
    gState->flPtCount = PointerRowsInUse(*gState);  // from here on the count is one the rows can show
    UpdatePanelScale(gState->panel, window);
    LoadInterfaceColors(window);
    InstallPanelWindowProc(window);

    const bool japanese = UsesJapanese(*gState);
    for (const PanelControlRow& row : kControls) {
        const PanelPixelRect rect = Scaled(row.rect);
        if (row.kind == PanelControlKind::ToggleButton) {
            // Only the measurement button keeps its pressed look: it shows whether measuring is on.
            const std::uint16_t initial = row.id == kMeasureButton ? gState->flUseFlng : 0;
            CreateToggleButton(window, rect, row.id, row.toggleIndex, initial);
        } else {
            const char* text = row.english == nullptr ? "" : japanese ? row.japanese : row.english;
            CreatePanelControl(window, text, row.id, row.kind, row.extraStyle, rect);
        }
    }

    FillValueLists(window);
    SetPanelSliderRange(window, kLengthSlider, -kSliderLimit, kSliderLimit);
    SetPanelSliderPosition(window, kLengthSlider, 0);
    ShowControlValues(window);
    ShowDistanceRows(window);

    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) EnablePanelControl(window, id, gState->flPtIsDashLine != 0);
    EnablePanelControl(window, kLengthReadout, gState->measuredLength != 0);
    EnablePanelControl(window, kLengthSlider, gState->measuredLength != 0);

    gState->panelHeight = kPanelFullHeight;
    ResizePanel(window, PanelLayoutHeight());
}

void ShowDistanceRows(PlatformWindow window) {
    const int count = gState->flPtCount;
    ShowPanelControl(window, kPlusButton, count < 3);
    ShowPanelControl(window, kMinusButton, count >= 2);
    ShowPanelControl(window, kDistance2Label, count >= 2);
    ShowPanelControl(window, kDistance2List, count >= 2);
    ShowPanelControl(window, kDistance3Label, count == 3);
    ShowPanelControl(window, kDistance3List, count == 3);
}

std::uint32_t PanelLayoutHeight() {
    const int hiddenRows = 3 - gState->flPtCount;
    return kPanelFullHeight - static_cast<std::uint32_t>(hiddenRows * static_cast<int>(kDistanceRowHeight));
}

void ResizePanel(PlatformWindow window, std::uint32_t height) {
    if (height == gState->panelHeight && height != 0) return;
    if (height == 0) height = gState->panelHeight;

    AcquireSuites(gState->savedBasicSuite);
    PanelSize size{0, 0};
    if (sPanel != nullptr && gState->panel != nullptr && sPanel->GetSize(gState->panel, &size) == kNoError) {
        size.height = static_cast<double>(height) - (gState->showoption != 0 ? 0 : kOptionsAreaHeight);
        sPanel->SetSize(gState->panel, &size);
    }
    ReleaseSuites(gState->savedBasicSuite);

    const double units = static_cast<double>(height) - static_cast<double>(gState->panelHeight);
    const int dy = static_cast<int>(std::lround(units * gState->panelScale));
    if (dy != 0) {
        for (int id = kFirstOptionControl; id <= kLastOptionControl; ++id) {
            MovePanelControlBy(window, id, dy);
            // A companion made for a control carries its id plus 300 and moves with it.
            if (PanelControlExists(window, id + 300)) MovePanelControlBy(window, id + 300, dy);
        }
    }
    gState->panelHeight = height;
}

void UpdatePanelScale(PanelHandle panel, PlatformWindow window) {
    double ratio = 0.0;
    PanelSize size{0, 0};
    if (sPanel != nullptr && panel != nullptr && sPanel->GetSize(panel, &size) == kNoError && size.width > 0) {
        ratio = PanelWindowPixelWidth(window) / size.width;
    }
    gState->panelScale = ratio;
    // A window as wide in pixels as in host units says nothing about the display: ask the system.
    if (!(ratio >= 1.01)) gState->panelScale = gState->uiScaleMax * SystemDpi() / 96.0;
}

void LoadInterfaceColors(PlatformWindow /*window*/) {
    if (gState->labelFont == nullptr) gState->labelFont = CreateLabelFont(gState->panelScale);

    const UIColor oldPanel = gState->panelColor;
    const UIColor oldEditBack = gState->editBackColor;
    std::int32_t dark = 0;
    if (sUserInterfaceTheme != nullptr) {
        sUserInterfaceTheme->IsDarkInterface(&dark);
        sUserInterfaceTheme->GetUIColor(kThemePanelBackground, kThemeNormalState, &gState->panelColor);
    }
    gState->isDarkInterface = dark != 0 ? 1 : 0;
    if (gState->isDarkInterface != 0) {
        gState->editBackColor = UIColor{1.0, 0.8, 0.8, 0.8};
        gState->labelTextColor = UIColor{1.0, 0.8, 0.8, 0.8};
    } else {
        gState->editBackColor = UIColor{1.0, 0.9, 0.9, 0.9};
        gState->labelTextColor = UIColor{1.0, 0.2, 0.2, 0.2};
    }
    gState->editTextColor = kBlack;

    if (gState->panelBrush == nullptr || !SameColor(oldPanel, gState->panelColor)) {
        DeleteDrawingObject(gState->panelBrush);
        gState->panelBrush = CreatePanelBrush(gState->panelColor);
    }
    if (gState->editBrush == nullptr || !SameColor(oldEditBack, gState->editBackColor)) {
        DeleteDrawingObject(gState->editBrush);
        gState->editBrush = CreatePanelBrush(gState->editBackColor);
    }
}

void DestroyPanel() {
    if (gState->panel != nullptr) {
        PlatformWindow window = nullptr;
        if (sPanel == nullptr || sPanel->GetPlatformWindow(gState->panel, &window) != kNoError) window = builtPanelWindow;
        if (window != nullptr) {
            RestorePanelWindowProc(window);
            DestroyPanelWindow(window);
        }
        builtPanelWindow = nullptr;
        if (sPanel != nullptr) sPanel->Destroy(gState->panel);
        gState->panel = nullptr;
        DeleteDrawingObject(gState->panelBrush);
        DeleteDrawingObject(gState->editBrush);
        DeleteDrawingObject(gState->labelFont);
    }
    if (gState->flyoutMenu != nullptr) {
        if (sPanelFlyoutMenu != nullptr) sPanelFlyoutMenu->Destroy(gState->flyoutMenu);
        gState->flyoutMenu = nullptr;
    }
}

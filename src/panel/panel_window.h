// The panel "Kelvane": the host's panel and flyout menu, the controls the plug-in builds inside the
// panel's window from one table, their scale and colours, and their teardown at shut-down.
#pragma once

#include <cstdint>

#include "host/messages.h"
#include "panel/panel_controls.h"

// Control ids of the panel.
enum PanelControlId : int {
    kMeasureButton = 1,
    kLengthLabel = 2,
    kLengthReadout = 3,
    kSeparatorLine = 4,
    kPointerButton = 5,
    kHandleLineButton = 6,
    kDistance1Label = 7,
    kPlusButton = 8,
    kDistance1List = 9,
    kDistance2Label = 10,
    kMinusButton = 11,
    kDistance2List = 12,
    kDistance3Label = 13,
    kDistance3List = 14,
    kSizeLabel = 18,
    kSizeList = 19,
    kPositionLabel = 20,
    kForwardBox = 21,
    kBackwardBox = 22,
    kCreatePointersBox = 23,
    kDivideSegmentBox = 24,
    kLineWidthLabel = 25,
    kLineWidthList = 26,
    kBrokenLineBox = 27,
    kFirstDashEdit = 28,
    kLastDashEdit = 33,
    kFirstDashLabel = 34,
    kLastDashLabel = 39,
    kLengthSlider = 40,
    kExtensionCrossingButton = 41,
    kAngleBisectorButton = 42,
    kExtendEndpointsBox = 43,
};

// The options area: these controls sit below the distance rows and move with them.
constexpr int kFirstOptionControl = 18;
constexpr int kLastOptionControl = 39;

// Flyout menu items.
enum PanelFlyoutItem : std::uint32_t {
    kFlyoutSettings = 1,
    kFlyoutSeparator = 2,
    kFlyoutShowOptions = 3,
};

constexpr const char* kPanelId = "KELVANE_INFO_PANEL";
constexpr double kPanelWidth = 240;
constexpr std::uint32_t kPanelFullHeight = 400;  // options shown, three distance rows
constexpr std::uint32_t kOptionsAreaHeight = 133;
constexpr std::uint32_t kDistanceRowHeight = 30;

// One row of the control table, in panel units.
struct PanelControlRow {
    int id;
    PanelControlKind kind;
    int extraStyle;       // labels: PanelLabelStyle
    const char* english;  // null: no text
    const char* japanese;
    PanelPixelRect rect;
    int toggleIndex;  // owner-drawn buttons
    int iconId;       // owner-drawn buttons: the PNG shown in the light interface
};

// The table, in the order the controls are made (which is also their tab order).
const PanelControlRow* PanelControlTable(std::size_t* count);
const PanelControlRow* FindPanelControlRow(int id);
// The owner-drawn button of a toggle index (0 to 6), or null.
const PanelControlRow* ToggleButtonRow(int toggleIndex);

// The module that holds the plug-in's resources, found when the panel is created.
extern ModuleHandle gPanelModule;

// Creates the flyout menu and the panel, shows it and builds its controls ("AI Application Started
// Notifier"; the suites of that message are held).
void CreatePanel(NotifierMessage* message);
void BuildPanelControls(PlatformWindow window);
// Lays the controls out for height panel units (0: the current one) and gives the panel its size.
void ResizePanel(PlatformWindow window, std::uint32_t height);
// The height the controls are laid out for with the current number of distance rows.
std::uint32_t PanelLayoutHeight();
void LoadInterfaceColors(PlatformWindow window);
void UpdatePanelScale(PanelHandle panel, PlatformWindow window);
// v scaled to pixels, rounded half up.
int ScaledPanelUnits(double v);

// Shows the plus and minus buttons and the distance rows by flPtCount.
void ShowDistanceRows(PlatformWindow window);

// Shut-down: the window procedure put back and the window destroyed, the panel, the flyout menu and
// the drawing objects destroyed, their handles cleared. Harmless when there is no panel.
void DestroyPanel();

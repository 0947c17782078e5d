#include "panel/panel_events.h"

#include <cmath>

#include "panel/panel_controls.h"
#include "panel/panel_readout.h"
#include "panel/panel_window.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"

namespace {

constexpr double kTypedLengthStep = 0.1;
constexpr std::size_t kReadoutChars = 79;
constexpr std::size_t kFieldChars = 59;

// The fields in tab order (the order they are made in).
constexpr int kTabOrder[] = {kLengthReadout, kDistance1List, kDistance2List, kDistance3List, kSizeList,
                             kLineWidthList, 28, 29, 30, 31, 32, 33};
constexpr int kTabCount = sizeof kTabOrder / sizeof kTabOrder[0];

bool ViewIsOpen() { return gState->currentView != nullptr; }

// So that clicking a panel button never leaves the keyboard in the panel.
void ApplyFocusRule(PlatformWindow window, int id, PanelNotice notice) {
    const PanelControlClass kind = PanelControlClassOf(window, id);
    const bool button = kind == PanelControlClass::Button;
    const bool listLeft = kind == PanelControlClass::ComboBox && notice == PanelNotice::LostFocus;
    if (!(button || listLeft) || !PanelControlHasFocus(window, id)) return;
    AcquireSuites(gState->savedBasicSuite);
    PlatformWindow application = nullptr;
    if (sContext != nullptr) sContext->GetPlatformAppWindow(&application);
    FocusOutsidePanel(application);
    ReleaseSuites(gState->savedBasicSuite);
}

double* RulerLengthField(int id) {
    switch (id) {
        case kDistance1List: return &gState->flPtDistance1;
        case kDistance2List: return &gState->flPtDistance2;
        case kDistance3List: return &gState->flPtDistance3;
        case kSizeList: return &gState->flPtLength;
        default: return nullptr;
    }
}

double* PointLengthField(int id) {
    switch (id) {
        case kLineWidthList: return &gState->flPtLineWidth;
        case 28: return &gState->flPtDashLengD1;
        case 29: return &gState->flPtDashLengD2;
        case 30: return &gState->flPtDashLengD3;
        case 31: return &gState->flPtDashLengD4;
        case 32: return &gState->flPtDashLengD5;
        case 33: return &gState->flPtDashLengD6;
        default: return nullptr;
    }
}

// The field a label focuses when clicked; 0 for none.
int FieldOfLabel(int id) {
    switch (id) {
        case kLengthLabel: return kLengthReadout;
        case kDistance1Label: return kDistance1List;
        case kDistance2Label: return kDistance2List;
        case kDistance3Label: return kDistance3List;
        case kSizeLabel: return kSizeList;
        case kLineWidthLabel: return kLineWidthList;
        default: return 0;
    }
}

std::uint16_t CommandOfButton(int id) {
    switch (id) {
        case kPointerButton: return kCommandPointer;
        case kHandleLineButton: return kCommandHandleLine;
        case kExtensionCrossingButton: return kCommandExtensionCrossing;
        case kAngleBisectorButton: return kCommandAngleBisector;
        default: return 0;
    }
}

void UpdatePointMode(PlatformWindow window) {
    const bool forward = IsPanelControlChecked(window, kForwardBox);
    const bool backward = IsPanelControlChecked(window, kBackwardBox);
    gState->flPointMode = forward ? (backward ? 0 : 1) : (backward ? 2 : 3);
}

void ToggleMeasurement(PlatformWindow window) {
    gState->toggleState[0] = gState->toggleState[0] != 0 ? 0 : 1;
    RepaintPanelControl(window, kMeasureButton);
    if (gState->flUseFlng == gState->toggleState[0]) return;
    gState->flUseFlng = gState->toggleState[0];
    if (gState->flUseFlng == 0) {
        gState->measuredLength = 0.0;
        gState->typedLength = 0.0;
        ShowMeasuredLength(window, 0.0);
    } else if (ViewIsOpen()) {
        PlayInsideCommand(kCommandLengthReadout);
    }
}

void ChangeDistanceRows(PlatformWindow window, int change) {
    const int count = gState->flPtCount + change;
    if (count >= 1 && count <= 3) gState->flPtCount = static_cast<std::int16_t>(count);
    ShowDistanceRows(window);
    ResizePanel(window, PanelLayoutHeight());
}

void UpdateDashLine(PlatformWindow window) {
    const std::uint16_t dashed = IsPanelControlChecked(window, kBrokenLineBox) ? 1 : 0;
    if (dashed == gState->flPtIsDashLine) return;
    gState->flPtIsDashLine = dashed;
    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) EnablePanelControl(window, id, dashed != 0);
}

bool IsTabStopField(PlatformWindow window, int id) {
    const PanelControlClass kind = PanelControlClassOf(window, id);
    return (kind == PanelControlClass::Edit || kind == PanelControlClass::ComboBox) &&
           IsPanelControlVisible(window, id) && IsPanelControlEnabled(window, id);
}

void MoveToNextField(PlatformWindow window, int id, bool backwards) {
    int start = -1;
    for (int i = 0; i < kTabCount; ++i) {
        if (kTabOrder[i] == id) start = i;
    }
    if (start < 0) return;
    const int step = backwards ? kTabCount - 1 : 1;
    for (int i = (start + step) % kTabCount; i != start; i = (i + step) % kTabCount) {
        if (IsTabStopField(window, kTabOrder[i])) {
            FocusPanelControl(window, kTabOrder[i]);
            SelectAllPanelText(window, kTabOrder[i]);
            return;
        }
    }
}

}  // namespace

void PanelCommand(PlatformWindow window, int id, PanelNotice notice) {
    ApplyFocusRule(window, id, notice);
    const bool left = notice == PanelNotice::LostFocus;

    if (id == kLengthReadout) {
        if (left) CommitTypedLength(window);
    } else if (double* field = RulerLengthField(id)) {
        if (!left) return;
        // Showing the length needs the host too: it writes the ruler unit.
        AcquireSuites(gState->savedBasicSuite);
        const double value = ReadHostLength(window, id);
        if (value > 0) {
            *field = value;
            ShowLengthInControl(window, id, value);
        }
        ReleaseSuites(gState->savedBasicSuite);
    } else if (double* field = PointLengthField(id)) {
        if (!left) return;
        const double value = ReadPointLength(window, id);
        if (value > 0) {
            *field = value;
            ShowPointsInControl(window, id, value);
        }
    } else if (id == kForwardBox || id == kBackwardBox) {
        UpdatePointMode(window);
    } else if (id == kCreatePointersBox) {
        gState->flCreatePointer = IsPanelControlChecked(window, id) ? 1 : 0;
    } else if (id == kDivideSegmentBox) {
        gState->flDivideSegment = IsPanelControlChecked(window, id) ? 1 : 0;
    } else if (id == kExtendEndpointsBox) {
        gState->extend_endpoints = IsPanelControlChecked(window, id) ? 1 : 0;
    } else if (id == kBrokenLineBox) {
        UpdateDashLine(window);
    } else if (id == kMeasureButton) {
        ToggleMeasurement(window);
    } else if (id == kLengthSlider) {
        const int position = PanelSliderPosition(window, kLengthSlider);
        if (position == gState->lengthSliderPos) return;
        gState->lengthSliderPos = position;
        if (ViewIsOpen()) PlayInsideCommand(kCommandLengthSlider);
    } else if (const std::uint16_t command = CommandOfButton(id)) {
        if (ViewIsOpen()) PlayInsideCommand(command);
    } else if (id == kPlusButton || id == kMinusButton) {
        ChangeDistanceRows(window, id == kPlusButton ? 1 : -1);
    } else if (const int target = FieldOfLabel(id)) {
        FocusPanelControl(window, target);
        SelectAllPanelText(window, target);
    }
}

void PanelSliderScrolled(PlatformWindow window) {
    const int position = PanelSliderPosition(window, kLengthSlider);
    if (position == gState->lengthSliderPos) return;
    gState->lengthSliderPos = position;
    // The slider plays without looking for a view: its command works on the saved measurement.
    PlayInsideCommand(kCommandLengthSlider);
}

bool PanelFieldKey(PlatformWindow window, int id, PanelKey key, bool shift) {
    if (key == PanelKey::Tab) {
        MoveToNextField(window, id, shift);
        return true;
    }
    // Enter: leaving the field and coming back runs its losing-focus commit.
    FocusOutsidePanel(nullptr);
    FocusPanelControl(window, id);
    SelectAllPanelText(window, id);
    return true;
}

void CommitTypedLength(PlatformWindow window) {
    AcquireSuites(gState->savedBasicSuite);
    char text[kReadoutChars + 1];
    GetPanelControlText(window, kLengthReadout, text, sizeof text, kReadoutChars);
    double value = 0.0;
    std::int32_t valid = 0;
    // A text the host cannot read is no length: it must not shrink the curves to nothing.
    const bool read = sUser != nullptr && sUser->UnitsTextToPoints(text, &value, &valid) == kNoError && valid != 0 &&
                      std::isfinite(value);
    if (read && std::fabs(gState->typedLength - value) > kTypedLengthStep) {
        gState->typedLength = value;
        // Without looking for a view, as the slider.
        PlayInsideCommand(kCommandLengthTyped);
    }
    ReleaseSuites(gState->savedBasicSuite);
}

double ReadHostLength(PlatformWindow window, int id) {
    char text[kFieldChars + 1];
    GetPanelControlText(window, id, text, sizeof text, kFieldChars);
    AcquireSuites(gState->savedBasicSuite);
    double value = 0.0;
    std::int32_t valid = 0;
    if (sUser == nullptr || sUser->UnitsTextToPoints(text, &value, &valid) != kNoError || valid == 0 ||
        !std::isfinite(value)) {
        value = 0.0;
    }
    ReleaseSuites(gState->savedBasicSuite);
    return value;
}

double ReadPointLength(PlatformWindow window, int id) {
    char text[kFieldChars + 1];
    GetPanelControlText(window, id, text, sizeof text, kFieldChars);
    AcquireSuites(gState->savedBasicSuite);
    const double value = ParseLengthText(text, kUnitPoint);
    ReleaseSuites(gState->savedBasicSuite);
    return value;
}

void PanelFlyoutChoice(PanelHandle /*panel*/, std::uint32_t item) {
    if (item == kFlyoutSettings) {
        if (ViewIsOpen()) {
            PlayInsideCommand(kCommandSettingsDialog);
        } else {
            PlatformBeep();
        }
        return;
    }
    if (item != kFlyoutShowOptions) return;
    AcquireSuites(gState->savedBasicSuite);
    gState->showoption = gState->showoption != 0 ? 0 : 1;
    if (sPanelFlyoutMenu != nullptr && gState->flyoutMenu != nullptr) {
        sPanelFlyoutMenu->SetItemMark(gState->flyoutMenu, kFlyoutShowOptions, gState->showoption);
    }
    PanelSize size{0, 0};
    if (gState->panel != nullptr && sPanel != nullptr && sPanel->GetSize(gState->panel, &size) == kNoError) {
        const double full = gState->showoption != 0 ? 400 : 267;
        size.height = full - (3 - gState->flPtCount) * static_cast<double>(kDistanceRowHeight);
        sPanel->SetSize(gState->panel, &size);
    }
    ReleaseSuites(gState->savedBasicSuite);
}

#include "panel/panel_readout.h"

#include <cstring>

#include "panel/panel_controls.h"
#include "panel/panel_window.h"
#include "shell/decimal_text.h"
#include "shell/plugin_state.h"

void ShowMeasuredLength(PlatformWindow window, double length) {
    char text[kTextFieldSize] = "";
    if (length != 0) FormatLengthText(length, text, sizeof text);
    if (std::strcmp(text, gState->readoutText) == 0) return;
    std::memcpy(gState->readoutText, text, sizeof text);
    SetPanelControlText(window, kLengthReadout, text);
    if (PanelControlHasFocus(window, kLengthReadout)) SelectAllPanelText(window, kLengthReadout);
    if (text[0] == '\0') {
        gState->measuredLength = 0.0;
        gState->typedLength = 0.0;
        gState->lengthSliderPos = 0;
        SetPanelSliderPosition(window, kLengthSlider, 0);
    }
    const bool measured = gState->measuredLength != 0;
    EnablePanelControl(window, kLengthReadout, measured);
    EnablePanelControl(window, kLengthSlider, measured);
}

void ShowLengthInControl(PlatformWindow window, int id, double length) {
    char text[kTextFieldSize];
    FormatLengthText(length, text, sizeof text);
    SetPanelControlText(window, id, text);
}

void ShowPointsInControl(PlatformWindow window, int id, double value) {
    char text[64];
    FormatDecimal(value, text, sizeof text - 3);
    std::strcat(text, " pt");
    SetPanelControlText(window, id, text);
}

void RefreshLengthReadouts(PlatformWindow window) {
    ShowLengthInControl(window, kDistance1List, gState->flPtDistance1);
    ShowLengthInControl(window, kDistance2List, gState->flPtDistance2);
    ShowLengthInControl(window, kDistance3List, gState->flPtDistance3);
    ShowLengthInControl(window, kSizeList, gState->flPtLength);
}

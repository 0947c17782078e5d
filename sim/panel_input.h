// The user at the plug-in's panel: clicks, typing, keys and the slider, sent to the controls the
// plug-in built in the panel's window, so that everything the panel does runs through the plug-in's
// own window procedures. On Windows these are real window messages to real child windows;
// natively they go through the in-memory windows of panel/memory_windows.h. Controls are named by
// their ids (panel/panel_window.h). Before the plug-in has made its panel they do nothing, and
// reading answers as for a missing control (empty, unchecked, disabled, hidden).
#pragma once

#include <string>
#include <vector>

#include "host/host_types.h"

namespace sim {

class Host;

// The window of the plug-in's panel "KELVANE_INFO_PANEL"; null when it has none.
PlatformWindow PanelWindowOf(Host& host);

enum class PanelKeyPress { Tab, ShiftTab, Enter };

// A left click: a command button, a check box, a label, a field (which takes the focus). Nothing
// on a hidden or disabled control.
void ClickPanelControl(Host& host, int id);
// Clicks into the field (an edit or an editable list), selects all of its text and types text over
// it. The focus stays in the field: its value is taken when it is left (LeavePanelField, a click
// elsewhere, Tab or Enter). Nothing on a hidden or disabled field.
void TypeIntoPanelField(Host& host, int id, const std::string& text);
// A key pressed in the field that has the focus.
void PressPanelKey(Host& host, PanelKeyPress key);
// The focus goes to the application's window, as when the user clicks on the artwork.
void LeavePanelField(Host& host);
// Drags the length slider's thumb to position; nothing when it is disabled.
void MovePanelSlider(Host& host, int position);

// ---- What the panel shows ----
std::string PanelControlText(Host& host, int id);  // in the plug-in's code page
bool PanelControlChecked(Host& host, int id);
bool PanelControlEnabled(Host& host, int id);
bool PanelControlVisible(Host& host, int id);  // the control's own visibility
int PanelFocusedControl(Host& host);           // the control with the focus; 0 when none of the panel's
bool PanelTextSelected(Host& host, int id);    // all of the field's text is selected
int PanelSliderPosition(Host& host);
std::vector<std::string> PanelListItems(Host& host, int id);
struct PanelControlRect {
    int left, top, right, bottom;  // pixels in the panel's window
};
PanelControlRect PanelControlBounds(Host& host, int id);
// How often the control was painted so far (natively; on Windows always 0).
int PanelControlPaints(Host& host, int id);

}  // namespace sim

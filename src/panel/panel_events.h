// What the panel's controls do: the commands they send the panel's window, the slider, the keys of
// the fields and the flyout menu. The window procedures of each platform turn their messages into
// these calls; everything here runs outside any host message and brackets its host calls itself.
#pragma once

#include <cstdint>

#include "host/host_types.h"

// What a control reports in a command.
enum class PanelNotice { Clicked, GotFocus, LostFocus, Changed, Other };

enum class PanelKey { Tab, Enter };

// A command from control id of the panel's window.
void PanelCommand(PlatformWindow window, int id, PanelNotice notice);
// The length slider was moved (its scroll message).
void PanelSliderScrolled(PlatformWindow window);
// A key in field id (an edit, or an editable list's edit field); true when the panel took it.
bool PanelFieldKey(PlatformWindow window, int id, PanelKey key, bool shift);

// The length readout left: a new typed length plays command 1003.
void CommitTypedLength(PlatformWindow window);
// The control's text in points, read by the host in the document's ruler units; 0 when unreadable.
double ReadHostLength(PlatformWindow window, int id);
// The control's text in points, read by ParseLengthText with points as the default unit.
double ReadPointLength(PlatformWindow window, int id);

// The flyout menu's choice callback.
void PanelFlyoutChoice(PanelHandle panel, std::uint32_t item);

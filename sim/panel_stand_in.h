// A stand-in for the plug-in's panel, used natively until the real panel exists (and by the command
// line). It stands in for the panel's buttons and fields: like them it edits fields of the plug-in's
// state record and plays the plug-in's action "KELVANE_INSIDECMD", so that the command runs inside
// "Do Action" as one undo step; but it works from the host's side, through the globals word
// (the PluginState* that the plug-in left with the host), and the host plays the action itself.
// It follows the panel's rules for when a command is issued; it does nothing before the plug-in has
// started.
#pragma once

#include <cstdint>
#include <string>

struct PluginState;

namespace sim {

class Host;

// The plug-in's state record, or null before start-up.
PluginState* PanelState(Host& host);

// A command button (Pointer 1002, Handle Line 1004, Extension Crossing 1012, Angle Bisector 1011),
// the settings item (1005) or the measurement switch (1013): sets the command id and plays the
// action, with a new parameter value for 1001 to 1005 as the panel passes one and none otherwise.
// As the panel's buttons, nothing happens without an open document. True when the action was played.
bool RunPanelCommand(Host& host, std::uint16_t commandId);

// The length slider moved to position (-40..40): when it differs from the stored one it is stored
// and command 1001 plays (the slider's scroll path plays even without a document).
bool MoveLengthSlider(Host& host, std::int32_t position);

// A length typed into the readout and committed, in points: stored and command 1003 played when it
// differs from the stored target by more than 0.1.
bool CommitTypedLength(Host& host, double points);

// The measurement switch: on measures the selection (command 1013, with a document); off clears the
// measured and typed lengths. True when command 1013 was played.
bool SetMeasurement(Host& host, bool on);

// The "Extend endpoints" check box of the extension crossing.
void SetExtendEndpoints(Host& host, bool on);

// The pointer fields and check boxes. Lengths are in points; as in the panel's fields, a length of 0
// or less is not taken (the field keeps its value), and the count stays within 1..3.
struct PointerOptions {
    bool createPointer = true;
    bool divideSegment = false;
    bool forward = true;  // both directions: mode 0; forward only 1; backward only 2; neither 3
    bool backward = true;
    int count = 1;
    double distances[3] = {141.7323, 141.7323, 141.7323};
    double size = 14.17323;
    double lineWidth = 0.1;
    bool dashed = false;
    double dashes[6] = {0, 0, 0, 0, 0, 0};
};
PointerOptions ReadPointerOptions(Host& host);  // the state's values (defaults before start-up)
void SetPointerOptions(Host& host, const PointerOptions& options);

// The handle-line settings (the settings dialog edits them). Texts longer than the state record's
// fields (255 bytes) are cut.
struct HandleLineOptions {
    std::string layer = "HANDLE LINE";
    double lineWidth = 0.5;
    std::string color;  // a swatch name; empty for black
    bool polyline = true;
    bool reverseSide = false;
};
HandleLineOptions ReadHandleLineOptions(Host& host);
void SetHandleLineOptions(Host& host, const HandleLineOptions& options);

}  // namespace sim

// The handle-line settings dialog (command 1005): the layer, stroke width, colour and options with
// which the Handle line command draws. The dialog's rules live here as plain functions over plain
// fields; the Windows dialog procedure (settings_dialog_win32.cpp) and the POSIX stand-in
// (settings_dialog_posix.cpp) only move those fields in and out of their controls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/host_types.h"

struct PluginState;

enum SettingsDialogResult : int {
    kSettingsDialogOK = 1,      // the OK button: the fields were stored
    kSettingsDialogCancel = 2,  // Cancel, Esc or the close box: nothing stored
};

// What the controls hold. Texts are in the plug-in's narrow code page, as the state record's.
struct SettingsDialogFields {
    std::vector<std::string> colors;  // list 10: the document's swatch names, in swatch order
    int selectedColor = -1;           // the chosen entry of colors; -1 for none
    std::string layer;                // field 5
    std::string width;                // field 7, as typed
    bool polyline = false;            // box 11
    bool reverseSide = false;         // box 12
};

constexpr std::size_t kLayerFieldChars = 254;   // what OK takes of field 5
constexpr std::size_t kWidthFieldChars = 79;    // what OK reads of field 7
constexpr std::size_t kColorNameBytes = 255;    // what OK takes of the chosen entry

// The dialog template of the language: Japanese for 0, English for any other value.
int SettingsDialogTemplate(std::uint16_t language);

// The number at the start of a width text (its first 79 characters): leading white space skipped,
// read up to the first character that cannot continue it, "." as decimal point; 0 when none.
double ReadLeadingNumber(const char* text);

// The names of the current document's swatches in order, empty names left out. A failing host call
// ends the walk with the names found so far (none without a document).
std::vector<std::string> DocumentSwatchNames();

// The entry to open on: the first equal to stored, else the first black one ("ブラック", "Black" or
// "black"), else the first; -1 for an empty list.
int ChooseColorEntry(const std::vector<std::string>& names, const char* stored);

// The fields the dialog opens with: the state's handle-line settings and the given swatch names.
SettingsDialogFields OpenSettingsDialogFields(const PluginState& state, std::vector<std::string> swatchNames);

// What OK does: the fields into the state's handle-line settings, each cut to its field's size.
// Without a chosen entry the colour name becomes empty.
void StoreSettingsDialogFields(PluginState& state, const SettingsDialogFields& fields);

// Runs the dialog modally over the application's main window (inside "Do Action", suites held).
// kSettingsDialogOK when it ended with OK, having stored the fields in gState; otherwise nothing is
// stored (kSettingsDialogCancel, or -1 when the dialog could not be shown).
int RunSettingsDialog();

#ifndef _WIN32
// The POSIX build has no window system to show a modal dialog in. The process that links the
// plug-in (the simulated host) stands in for the user: it is handed the template id and the fields
// the dialog opens with, may change the fields as typing would, and answers kSettingsDialogOK or
// kSettingsDialogCancel. Without an answerer the dialog is cancelled: there is no one to press OK.
using SettingsDialogAnswerer = int (*)(void* context, int templateId, SettingsDialogFields* fields);
void SetPosixSettingsDialogAnswerer(SettingsDialogAnswerer answerer, void* context);
#endif

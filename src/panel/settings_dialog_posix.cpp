// The POSIX stand-in for the settings dialog: the linking process answers in the user's place.
#include "panel/settings_dialog.h"

#include "shell/plugin_state.h"

namespace {

SettingsDialogAnswerer answerer = nullptr;
void* answererContext = nullptr;

}  // namespace

void SetPosixSettingsDialogAnswerer(SettingsDialogAnswerer newAnswerer, void* context) {
    answerer = newAnswerer;
    answererContext = context;
}

int RunSettingsDialog() {
    if (gState == nullptr) return -1;
    if (answerer == nullptr) return kSettingsDialogCancel;
    SettingsDialogFields fields = OpenSettingsDialogFields(*gState, DocumentSwatchNames());
    if (answerer(answererContext, SettingsDialogTemplate(gState->language), &fields) != kSettingsDialogOK) {
        return kSettingsDialogCancel;
    }
    StoreSettingsDialogFields(*gState, fields);
    return kSettingsDialogOK;
}

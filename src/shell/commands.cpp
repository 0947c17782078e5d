#include "shell/commands.h"

#include "commands/angle_bisector.h"
#include "commands/extension_crossing.h"
#include "commands/handle_line.h"
#include "commands/length.h"
#include "commands/pointer.h"
#include "commands/selection_length_readout.h"
#include "panel/settings_dialog.h"
#include "settings/settings_file.h"
#include "shell/command_texts.h"
#include "shell/plugin_state.h"
#include "shell/suites.h"
#include "tools/anchor_cache.h"

namespace {

constexpr std::int32_t kPlayWithoutDialog = 3;

bool TakesParameterValue(std::uint16_t id) {
    return id >= kCommandLengthSlider && id <= kCommandSettingsDialog;
}

}  // namespace

HostStatus RegisterInsideCommandAction(PluginRef self) {
    if (sActionManager == nullptr) return kSuiteNotFoundStatus;
    ActionParamTypeHandle parameterType = nullptr;
    HostStatus status = sActionManager->NewActionParamType(&parameterType);
    if (status != kNoError) return status;
    status = sActionManager->RegisterActionEvent(kInsideCommandEvent, kInsideCommandDisplayName, 1, 0, nullptr, self,
                                                 nullptr, parameterType);
    sActionManager->DeleteActionParamType(parameterType);
    return status;
}

void PlayInsideCommand(std::uint16_t id) {
    AcquireSuites(gState->savedBasicSuite);
    if (sActionManager != nullptr) {
        ActionParamValueHandle parameters = nullptr;
        if (TakesParameterValue(id) && sActionManager->NewActionParamValue(&parameters) != kNoError) {
            parameters = nullptr;
        }
        gState->commandId = id;
        sActionManager->PlayActionEvent(kInsideCommandEvent, kPlayWithoutDialog, parameters);
        if (parameters != nullptr) sActionManager->DeleteActionParamValue(parameters);
    }
    ReleaseSuites(gState->savedBasicSuite);
}

HostStatus DoInsideCommand(void* /*message*/) {
    const std::uint16_t id = gState->commandId;
    if (const UndoTexts* texts = UndoTextsFor(id, gState->language); texts != nullptr && sUndo != nullptr) {
        sUndo->SetUndoText(texts->undo, texts->redo);
    }
    if (id == kCommandLengthSlider) RunLengthCommand(id);
    if (id == kCommandLengthTyped) RunLengthCommand(id);
    if (id == kCommandPointer) RunPointerCommand();
    if (id == kCommandHandleLine) DrawHandleLines();
    if (id == kCommandSettingsDialog && RunSettingsDialog() == kSettingsDialogOK) WriteSettingsFile();
    if (id == kCommandAngleBisector) RunAngleBisector();
    if (id == kCommandExtensionCrossing) RunExtensionCrossing();
    if (id == kCommandLengthReadout) UpdateSelectionLength();
    DropAnchorCache();  // the adjust tools must not search what the command replaced
    return kNoError;
}

// The Action Manager (events the plug-in registers and the host plays back) and the Undo suite.
#include "document.h"
#include "suite_support.h"

namespace sim {

namespace {

constexpr const char* kAction = "AI Action Manager Suite";
constexpr const char* kUndo = "AI Undo Suite";

HostStatus RegisterActionEvent(const char* eventName, const char* displayName, std::int32_t version,
                               std::int32_t flags, void* callback, PluginRef plugin, void* userData,
                               ActionParamTypeHandle parameterType) {
    if (HostStatus gated = Gate(kAction, "RegisterActionEvent")) return gated;
    AppState& app = CurrentHost().App();
    if (eventName == nullptr || displayName == nullptr || plugin != CurrentHost().Self()) return kBadParameterStatus;
    const ActionParamType* type = FindRecord(app.actionParamTypes, parameterType);
    if (parameterType != nullptr && (type == nullptr || !type->alive)) return kBadParameterStatus;
    app.actionEvents.push_back(std::make_unique<ActionEvent>(
        ActionEvent{eventName, displayName, version, flags, callback, plugin, userData, parameterType}));
    return kNoError;
}

HostStatus NewActionParamType(ActionParamTypeHandle* type) {
    if (HostStatus gated = Gate(kAction, "NewActionParamType")) return gated;
    if (type == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.actionParamTypes.push_back(std::make_unique<ActionParamType>());
    *type = HandleOf(app.actionParamTypes.back().get());
    return kNoError;
}

HostStatus DeleteActionParamType(ActionParamTypeHandle type) {
    if (HostStatus gated = Gate(kAction, "DeleteActionParamType")) return gated;
    ActionParamType* record = FindRecord(CurrentHost().App().actionParamTypes, type);
    if (record == nullptr || !record->alive) return kBadParameterStatus;
    record->alive = false;
    return kNoError;
}

HostStatus NewActionParamValue(ActionParamValueHandle* value) {
    if (HostStatus gated = Gate(kAction, "NewActionParamValue")) return gated;
    if (value == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.actionParamValues.push_back(std::make_unique<ActionParamValue>());
    *value = HandleOf(app.actionParamValues.back().get());
    return kNoError;
}

HostStatus DeleteActionParamValue(ActionParamValueHandle value) {
    if (HostStatus gated = Gate(kAction, "DeleteActionParamValue")) return gated;
    ActionParamValue* record = FindRecord(CurrentHost().App().actionParamValues, value);
    if (record == nullptr || !record->alive) return kBadParameterStatus;
    record->alive = false;
    return kNoError;
}

HostStatus PlayActionEvent(const char* eventName, std::int32_t dialogStatus, ActionParamValueHandle value) {
    if (HostStatus gated = Gate(kAction, "PlayActionEvent")) return gated;
    const ActionParamValue* record = FindRecord(CurrentHost().App().actionParamValues, value);
    if (value != nullptr && (record == nullptr || !record->alive)) return kBadParameterStatus;
    return CurrentHost().PlayAction(eventName, dialogStatus, value);
}

// ---- Undo ----

HostStatus SetUndoText(const char* undoText, const char* redoText) {
    if (HostStatus gated = Gate(kUndo, "SetUndoText")) return gated;
    if (undoText == nullptr || redoText == nullptr) return kBadParameterStatus;
    Host& host = CurrentHost();
    UndoStep& step = host.Undo().Current(host.ActiveDocument());
    step.textSet = true;
    step.undoText = undoText;
    step.redoText = redoText;
    return kNoError;
}

HostStatus UndoChanges(std::int32_t count) {
    if (HostStatus gated = Gate(kUndo, "UndoChanges")) return gated;
    Host& host = CurrentHost();
    Document* document = host.ActiveDocument();
    UndoStep& step = host.Undo().Current(document);
    step.undoChangesCalls.push_back(count);
    // The step began before this document was opened: there is nothing of it to revert.
    if (document == nullptr || step.snapshot == nullptr || !document->Restore(*step.snapshot)) {
        return kNoDocumentStatus;
    }
    return kNoError;
}

HostStatus ForgetRedos() {
    if (HostStatus gated = Gate(kUndo, "ForgetRedos")) return gated;
    Host& host = CurrentHost();
    ++host.Undo().Current(host.ActiveDocument()).forgetRedosCalls;
    return kNoError;
}

}  // namespace

template <>
const ActionManagerSuite* SuiteTable<ActionManagerSuite>() {
    static const ActionManagerSuite table{RegisterActionEvent,    NewActionParamType,     DeleteActionParamType,
                                          NewActionParamValue,    DeleteActionParamValue, PlayActionEvent};
    return &table;
}

template <>
const UndoSuite* SuiteTable<UndoSuite>() {
    static const UndoSuite table{SetUndoText, UndoChanges, ForgetRedos};
    return &table;
}

}  // namespace sim

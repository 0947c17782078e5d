// What the host shows the user: alerts, scale factors, lengths in ruler units, and the theme.
#include "document.h"
#include "suite_support.h"
#include "units.h"

namespace sim {

namespace {

constexpr const char* kUser = "AI User Suite";

// Without a document the host uses points, as its preferences would.
RulerUnit CurrentRulerUnit() {
    const Document* document = CurrentHost().ActiveDocument();
    return document != nullptr ? document->rulerUnit : RulerUnit::Points;
}

HostStatus RecordAlert(const char* operation, AlertKind kind, const char* text) {
    if (HostStatus gated = Gate(kUser, operation)) return gated;
    if (text == nullptr) return kBadParameterStatus;
    CurrentHost().App().alerts.push_back(Alert{kind, text});
    return kNoError;
}

HostStatus ErrorAlert(const char* text) { return RecordAlert("ErrorAlert", AlertKind::Error, text); }

HostStatus MessageAlert(const char* text) { return RecordAlert("MessageAlert", AlertKind::Message, text); }

HostStatus ConfirmAlert(const char* text, std::int32_t cancelButton, std::int32_t defaultIsCancel,
                        std::int32_t* answer) {
    if (HostStatus gated = Gate(kUser, "ConfirmAlert")) return gated;
    if (text == nullptr || answer == nullptr) return kBadParameterStatus;
    AppState& app = CurrentHost().App();
    app.alerts.push_back(Alert{AlertKind::Confirm, text, cancelButton, defaultIsCancel});
    if (app.confirmAnswers.empty()) {
        *answer = app.confirmDefaultAnswer;
    } else {
        *answer = app.confirmAnswers.front();
        app.confirmAnswers.pop_front();
    }
    return kNoError;
}

HostStatus GetScaleFactors(double* first, double* second) {
    if (HostStatus gated = Gate(kUser, "GetScaleFactors")) return gated;
    if (first == nullptr || second == nullptr) return kBadParameterStatus;
    *first = CurrentHost().App().scaleFactors[0];
    *second = CurrentHost().App().scaleFactors[1];
    return kNoError;
}

HostStatus PointsToUnitsText(double points, std::int32_t precision, char* text, std::int32_t textSize) {
    if (HostStatus gated = Gate(kUser, "PointsToUnitsText")) return gated;
    if (text == nullptr || textSize <= 0) return kBadParameterStatus;
    CopyText(sim::PointsToUnitsText(points, CurrentRulerUnit(), precision), text, textSize);
    return kNoError;
}

HostStatus UnitsTextToPoints(const char* text, double* points, std::int32_t* valid) {
    if (HostStatus gated = Gate(kUser, "UnitsTextToPoints")) return gated;
    if (text == nullptr || points == nullptr || valid == nullptr) return kBadParameterStatus;
    *valid = sim::UnitsTextToPoints(text, CurrentRulerUnit(), points) ? 1 : 0;
    return kNoError;
}

// ---- User interface theme ----
constexpr const char* kTheme = "AI User Interface Theme Suite";

HostStatus IsDarkInterface(std::int32_t* dark) {
    if (HostStatus gated = Gate(kTheme, "IsDarkInterface")) return gated;
    if (dark == nullptr) return kBadParameterStatus;
    *dark = CurrentHost().App().darkInterface ? 1 : 0;
    return kNoError;
}

HostStatus GetUIColor(std::int32_t component, std::int32_t state, UIColor* color) {
    if (HostStatus gated = Gate(kTheme, "GetUIColor")) return gated;
    if (color == nullptr) return kBadParameterStatus;
    *color = CurrentHost().App().ThemeColor(component, state);
    return kNoError;
}

}  // namespace

template <>
const UserSuite* SuiteTable<UserSuite>() {
    static const UserSuite table{ErrorAlert,      MessageAlert,      ConfirmAlert,
                                 GetScaleFactors, PointsToUnitsText, UnitsTextToPoints};
    return &table;
}

template <>
const UIThemeSuite* SuiteTable<UIThemeSuite>() {
    static const UIThemeSuite table{IsDarkInterface, GetUIColor};
    return &table;
}

}  // namespace sim

#include "panel_stand_in.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "document.h"
#include "handles.h"
#include "host.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"

namespace sim {

namespace {

constexpr std::int32_t kPlayWithoutDialog = 3;
constexpr double kTypedLengthStep = 0.1;

bool TakesParameterValue(std::uint16_t id) {
    return id >= kCommandLengthSlider && id <= kCommandSettingsDialog;
}

// Plays the action as the panel's PlayInsideCommand does, without its check for an open view.
bool Play(Host& host, std::uint16_t commandId) {
    PluginState* state = PanelState(host);
    if (state == nullptr) return false;
    ActionParamValue* parameters = nullptr;
    AppState& app = host.App();
    if (TakesParameterValue(commandId)) {
        app.actionParamValues.push_back(std::make_unique<ActionParamValue>());
        parameters = app.actionParamValues.back().get();
    }
    state->commandId = commandId;
    host.PlayAction(kInsideCommandEvent, kPlayWithoutDialog, parameters != nullptr ? HandleOf(parameters) : nullptr);
    if (parameters != nullptr) parameters->alive = false;  // the panel deletes its value after the play
    return true;
}

void CopyText(char (&field)[kTextFieldSize], const std::string& text) {
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(kTextFieldSize - 1));
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

PluginState* PanelState(Host& host) {
    return static_cast<PluginState*>(host.Globals());
}

bool RunPanelCommand(Host& host, std::uint16_t commandId) {
    if (host.ActiveDocument() == nullptr) return false;
    return Play(host, commandId);
}

bool MoveLengthSlider(Host& host, std::int32_t position) {
    PluginState* state = PanelState(host);
    if (state == nullptr || state->lengthSliderPos == position) return false;
    state->lengthSliderPos = position;
    return Play(host, kCommandLengthSlider);
}

bool CommitTypedLength(Host& host, double points) {
    PluginState* state = PanelState(host);
    if (state == nullptr || !(std::fabs(state->typedLength - points) > kTypedLengthStep)) return false;
    state->typedLength = points;
    return Play(host, kCommandLengthTyped);
}

bool SetMeasurement(Host& host, bool on) {
    PluginState* state = PanelState(host);
    if (state == nullptr || (state->flUseFlng != 0) == on) return false;
    state->flUseFlng = on ? 1 : 0;
    if (!on) {
        state->measuredLength = 0;
        state->typedLength = 0;
        return false;
    }
    return RunPanelCommand(host, kCommandLengthReadout);
}

void SetExtendEndpoints(Host& host, bool on) {
    if (PluginState* state = PanelState(host)) state->extend_endpoints = on ? 1 : 0;
}

PointerOptions ReadPointerOptions(Host& host) {
    PointerOptions options;
    const PluginState* state = PanelState(host);
    if (state == nullptr) return options;
    options.createPointer = state->flCreatePointer != 0;
    options.divideSegment = state->flDivideSegment != 0;
    options.forward = state->flPointMode == 0 || state->flPointMode == 1;
    options.backward = state->flPointMode == 0 || state->flPointMode == 2;
    options.count = state->flPtCount;
    options.distances[0] = state->flPtDistance1;
    options.distances[1] = state->flPtDistance2;
    options.distances[2] = state->flPtDistance3;
    options.size = state->flPtLength;
    options.lineWidth = state->flPtLineWidth;
    options.dashed = state->flPtIsDashLine != 0;
    const double dashes[6] = {state->flPtDashLengD1, state->flPtDashLengD2, state->flPtDashLengD3,
                              state->flPtDashLengD4, state->flPtDashLengD5, state->flPtDashLengD6};
    for (int i = 0; i < 6; ++i) options.dashes[i] = dashes[i];
    return options;
}

void SetPointerOptions(Host& host, const PointerOptions& options) {
    PluginState* state = PanelState(host);
    if (state == nullptr) return;
    const auto take = [](double& field, double value) {
        if (value > 0) field = value;
    };
    state->flCreatePointer = options.createPointer ? 1 : 0;
    state->flDivideSegment = options.divideSegment ? 1 : 0;
    state->flPointMode = options.forward ? (options.backward ? 0 : 1) : (options.backward ? 2 : 3);
    state->flPtCount = static_cast<std::int16_t>(options.count < 1 ? 1 : options.count > 3 ? 3 : options.count);
    take(state->flPtDistance1, options.distances[0]);
    take(state->flPtDistance2, options.distances[1]);
    take(state->flPtDistance3, options.distances[2]);
    take(state->flPtLength, options.size);
    take(state->flPtLineWidth, options.lineWidth);
    state->flPtIsDashLine = options.dashed ? 1 : 0;
    double* dashes[6] = {&state->flPtDashLengD1, &state->flPtDashLengD2, &state->flPtDashLengD3,
                         &state->flPtDashLengD4, &state->flPtDashLengD5, &state->flPtDashLengD6};
    for (int i = 0; i < 6; ++i) take(*dashes[i], options.dashes[i]);
}

HandleLineOptions ReadHandleLineOptions(Host& host) {
    HandleLineOptions options;
    const PluginState* state = PanelState(host);
    if (state == nullptr) return options;
    options.layer = state->handleline_layer;
    options.lineWidth = state->handleline_line_width;
    options.color = state->handleline_line_color;
    options.polyline = state->handleline_polyline != 0;
    options.reverseSide = state->handleline_reverse_side != 0;
    return options;
}

void SetHandleLineOptions(Host& host, const HandleLineOptions& options) {
    PluginState* state = PanelState(host);
    if (state == nullptr) return;
    CopyText(state->handleline_layer, options.layer);
    state->handleline_line_width = options.lineWidth;
    CopyText(state->handleline_line_color, options.color);
    state->handleline_polyline = options.polyline ? 1 : 0;
    state->handleline_reverse_side = options.reverseSide ? 1 : 0;
}

}  // namespace sim

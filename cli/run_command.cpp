#include "run_command.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>

#include "document.h"
#include "file_io.h"
#include "gesture_commands.h"
#include "host.h"
#include "handles.h"
#include "panel/panel_window.h"
#include "panel/settings_dialog.h"
#include "options.h"
#include "panel_input.h"
#include "selection_options.h"
#include "shell/commands.h"
#include "shell/plugin_state.h"
#include "startup_report.h"
#include "svg_document.h"
#include "units.h"

namespace {

// ---- The commands ----
//
// Words after a command are its settings, as the panel's fields and boxes hold them: "name=value",
// or one value for the commands that take one. Lengths are in the document's ruler units unless
// they name a unit of their own ("5mm", "2pt"); line widths and dashes are in points unless they
// name one, as in the panel's point fields.

enum class ValueKind { Switch, RulerLength, PointLength, Count, Direction, Dashes, Text };

struct KeyRule {
    const char* key;
    ValueKind kind;
};

constexpr KeyRule kCrossKeys[] = {{"extend", ValueKind::Switch}};
constexpr KeyRule kPointerKeys[] = {
    {"create", ValueKind::Switch},  {"divide", ValueKind::Switch},    {"direction", ValueKind::Direction},
    {"count", ValueKind::Count},    {"d1", ValueKind::RulerLength},   {"d2", ValueKind::RulerLength},
    {"d3", ValueKind::RulerLength}, {"size", ValueKind::RulerLength}, {"width", ValueKind::PointLength},
    {"dash", ValueKind::Dashes},
};
constexpr KeyRule kHandleKeys[] = {{"layer", ValueKind::Text},
                                   {"width", ValueKind::PointLength},
                                   {"color", ValueKind::Text},
                                   {"polyline", ValueKind::Switch},
                                   {"reverse", ValueKind::Switch}};

bool ToPoints(const std::string& text, sim::RulerUnit unit, double* points) {
    return sim::UnitsTextToPoints(text, unit, points) && *points > 0;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) return parts;
        start = comma + 1;
    }
}

// What is wrong with value for kind; empty when it is fine. Units are checked again at run time.
std::string ValueProblem(ValueKind kind, const std::string& value) {
    double points = 0;
    switch (kind) {
        case ValueKind::Switch:
            return value == "on" || value == "off" ? "" : "on or off";
        case ValueKind::RulerLength:
        case ValueKind::PointLength:
            return ToPoints(value, sim::RulerUnit::Points, &points) ? "" : "a length above 0";
        case ValueKind::Count:
            return value == "1" || value == "2" || value == "3" ? "" : "1, 2 or 3";
        case ValueKind::Direction:
            return value == "both" || value == "forward" || value == "backward" || value == "none"
                       ? ""
                       : "both, forward, backward or none";
        case ValueKind::Dashes: {
            if (value == "off") return "";
            const std::vector<std::string> parts = SplitCommas(value);
            if (parts.size() > 6) return "off or up to six lengths separated by commas";
            for (const std::string& part : parts) {
                if (!ToPoints(part, sim::RulerUnit::Points, &points)) return "off or up to six lengths above 0";
            }
            return "";
        }
        case ValueKind::Text:
            return "";
    }
    return "";
}

template <std::size_t N>
std::string CheckKeys(const CommandRow& row, const std::vector<std::string>& arguments, const KeyRule (&keys)[N]) {
    for (const std::string& argument : arguments) {
        const std::size_t equals = argument.find('=');
        const std::string key = argument.substr(0, equals);
        const KeyRule* found = nullptr;
        for (const KeyRule& candidate : keys) {
            if (key == candidate.key) found = &candidate;
        }
        if (equals == std::string::npos || found == nullptr) {
            std::string known;
            for (const KeyRule& candidate : keys) known += std::string(known.empty() ? "" : ", ") + candidate.key + "=";
            return std::string(row.name) + ": unknown argument '" + argument + "' (" + known + ")";
        }
        if (const std::string problem = ValueProblem(found->kind, argument.substr(equals + 1)); !problem.empty()) {
            return std::string(row.name) + ": " + key + "= takes " + problem + ", not '" + argument.substr(equals + 1) +
                   "'";
        }
    }
    return {};
}

std::string NoArguments(const CommandRow& row, const std::vector<std::string>& arguments) {
    return arguments.empty() ? std::string()
                             : std::string(row.name) + " takes no arguments, not '" + arguments[0] + "'";
}

std::string CheckCross(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckKeys(row, arguments, kCrossKeys);
}

std::string CheckPointer(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckKeys(row, arguments, kPointerKeys);
}

std::string CheckHandles(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckKeys(row, arguments, kHandleKeys);
}

std::string CheckLength(const CommandRow& row, const std::vector<std::string>& arguments) {
    double points = 0;
    if (arguments.size() != 1 || !ToPoints(arguments[0], sim::RulerUnit::Points, &points)) {
        return std::string(row.name) + " takes one length above 0 (in the ruler units, or with a unit: 120mm)";
    }
    return {};
}

std::string CheckSlider(const CommandRow& row, const std::vector<std::string>& arguments) {
    std::size_t used = 0;
    int position = 0;
    try {
        if (arguments.size() == 1) position = std::stoi(arguments[0], &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (arguments.size() != 1 || used != arguments[0].size() || position < -40 || position > 40) {
        return std::string(row.name) + " takes one whole position from -40 to 40";
    }
    return {};
}

// The value of key among arguments (the last one given), or null.
const std::string* Value(const std::vector<std::string>& arguments, const std::string& key, std::string& holder) {
    const std::string* found = nullptr;
    for (const std::string& argument : arguments) {
        if (argument.compare(0, key.size() + 1, key + "=") == 0) {
            holder = argument.substr(key.size() + 1);
            found = &holder;
        }
    }
    return found;
}

// ---- Working the panel ----
// Every command works the plug-in's panel as a user would: boxes clicked to the state asked for,
// values typed into the fields and the field left (which is when the panel takes a value), then
// the command's button pressed. The panel decides what reaches the plug-in's state.

PluginState* StateOf(sim::Host& host) { return static_cast<PluginState*>(host.Globals()); }

std::size_t Plays(sim::Host& host) { return host.App().actionPlays.size(); }

void SetBox(RunContext& context, int id, bool on) {
    if (sim::PanelControlChecked(context.host, id) != on) sim::ClickPanelControl(context.host, id);
}

void TypeAndLeave(RunContext& context, int id, const std::string& text) {
    sim::TypeIntoPanelField(context.host, id, text);
    sim::LeavePanelField(context.host);
}

int DistanceRows(sim::Host& host) {
    return 1 + (sim::PanelControlVisible(host, kDistance2List) ? 1 : 0) +
           (sim::PanelControlVisible(host, kDistance3List) ? 1 : 0);
}

void SetDistanceRows(RunContext& context, int rows) {
    for (int guard = 0; guard < 3 && DistanceRows(context.host) < rows; ++guard) {
        sim::ClickPanelControl(context.host, kPlusButton);
    }
    for (int guard = 0; guard < 3 && DistanceRows(context.host) > rows; ++guard) {
        sim::ClickPanelControl(context.host, kMinusButton);
    }
}

int ButtonOf(std::uint16_t command) {
    switch (command) {
        case kCommandAngleBisector: return kAngleBisectorButton;
        case kCommandExtensionCrossing: return kExtensionCrossingButton;
        case kCommandPointer: return kPointerButton;
        case kCommandHandleLine: return kHandleLineButton;
        default: return 0;
    }
}

// A command button of the panel.
void PressButton(RunContext& context, const CommandRow& row, const std::vector<std::string>&) {
    sim::ClickPanelControl(context.host, ButtonOf(row.id));
}

// The extension crossing, after setting the "Extend endpoints" check box when asked to.
void RunCross(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments) {
    std::string value;
    if (Value(arguments, "extend", value)) SetBox(context, kExtendEndpointsBox, value == "on");
    PressButton(context, row, arguments);
}

// Why the readout and the slider hold no length: nothing was measured, or the measurement found
// no selected segment with a length.
const char* WhyNoLength(const RunContext& context) {
    const PluginState* state = StateOf(context.host);
    return state != nullptr && state->flUseFlng != 0 ? "the selected segments measure 0, select segments with a length"
                                                     : "measure first";
}

// A length typed into the readout, which the readout takes when it is left.
void RunLength(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    if (!sim::PanelControlEnabled(context.host, kLengthReadout)) {
        context.out << "  (the readout is empty and cannot be typed into: " << WhyNoLength(context) << ")\n";
        return;
    }
    const std::size_t before = Plays(context.host);
    TypeAndLeave(context, kLengthReadout, arguments[0]);
    if (Plays(context.host) == before) {
        context.out << "  (the typed length is the stored one: the readout issues no command)\n";
    }
}

void RunSlider(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    if (!sim::PanelControlEnabled(context.host, kLengthSlider)) {
        context.out << "  (the slider is disabled until a length is measured: " << WhyNoLength(context) << ")\n";
        return;
    }
    const std::size_t before = Plays(context.host);
    sim::MovePanelSlider(context.host, std::stoi(arguments[0]));
    if (Plays(context.host) == before) context.out << "  (the slider is at that position already: no command)\n";
}

void RunPointer(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments) {
    std::string value;
    if (Value(arguments, "create", value)) SetBox(context, kCreatePointersBox, value == "on");
    if (Value(arguments, "divide", value)) SetBox(context, kDivideSegmentBox, value == "on");
    if (Value(arguments, "direction", value)) {
        SetBox(context, kForwardBox, value == "both" || value == "forward");
        SetBox(context, kBackwardBox, value == "both" || value == "backward");
    }
    if (Value(arguments, "count", value)) SetDistanceRows(context, std::stoi(value));
    const char* distanceKeys[] = {"d1", "d2", "d3"};
    const int distanceFields[] = {kDistance1List, kDistance2List, kDistance3List};
    for (int i = 0; i < 3; ++i) {
        if (!Value(arguments, distanceKeys[i], value)) continue;
        if (!sim::PanelControlVisible(context.host, distanceFields[i])) {
            context.out << "  (" << distanceKeys[i] << " is not shown with " << DistanceRows(context.host)
                        << " distance rows: not set)\n";
            continue;
        }
        TypeAndLeave(context, distanceFields[i], value);
    }
    if (Value(arguments, "size", value)) TypeAndLeave(context, kSizeList, value);
    if (Value(arguments, "width", value)) TypeAndLeave(context, kLineWidthList, value);
    if (Value(arguments, "dash", value)) {
        SetBox(context, kBrokenLineBox, value != "off");
        if (value != "off") {
            const std::vector<std::string> parts = SplitCommas(value);
            for (std::size_t i = 0; i < parts.size(); ++i) {
                TypeAndLeave(context, kFirstDashEdit + static_cast<int>(i), parts[i]);
            }
        }
    }
    PressButton(context, row, arguments);
}

// The handle-line settings live in the settings dialog, opened from the panel's flyout menu; the
// host answers it as the user would, with OK.
void SetHandleLineSettings(RunContext& context, const std::vector<std::string>& arguments) {
    std::string value;
    sim::SettingsDialogAnswer answer;
    answer.result = kSettingsDialogOK;
    std::vector<std::string> notes;
    answer.edit = [&](SettingsDialogFields& fields) {
        std::string given;
        if (Value(arguments, "layer", given)) fields.layer = given;
        double points = 0;
        if (Value(arguments, "width", given) && ToPoints(given, sim::RulerUnit::Points, &points)) {
            char number[32];
            std::snprintf(number, sizeof number, "%.6g", points);
            fields.width = number;  // the dialog's field is in points
        }
        if (Value(arguments, "color", given)) {
            const auto found = std::find(fields.colors.begin(), fields.colors.end(), given);
            if (found != fields.colors.end()) {
                fields.selectedColor = static_cast<int>(found - fields.colors.begin());
            } else {
                notes.push_back("no swatch \"" + given + "\" in the document: the colour stays");
            }
        }
        if (Value(arguments, "polyline", given)) fields.polyline = given == "on";
        if (Value(arguments, "reverse", given)) fields.reverseSide = given == "on";
    };
    context.host.App().settingsDialogAnswers.push_back(answer);
    const sim::Panel* panel = context.host.App().FindPanel(kPanelId);
    if (panel != nullptr) context.host.ChooseFlyoutItem(sim::HandleOf(panel), kFlyoutSettings);
    context.host.App().settingsDialogAnswers.clear();  // an answer the dialog did not take
    for (const std::string& note : notes) context.out << "  (" << note << ")\n";
}

void RunHandles(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments) {
    if (!arguments.empty()) SetHandleLineSettings(context, arguments);
    PressButton(context, row, arguments);
}

// The measurement button switched on; when it is on already, off and on again to measure now.
void RunMeasure(RunContext& context, const CommandRow&, const std::vector<std::string>&) {
    const PluginState* state = StateOf(context.host);
    const std::uint32_t stage = state != nullptr ? state->lengthAdjustStage : 0;
    if (state != nullptr && state->flUseFlng != 0) sim::ClickPanelControl(context.host, kMeasureButton);
    sim::ClickPanelControl(context.host, kMeasureButton);
    if (stage == 1) {
        context.out << "  (right after a length change the readout only closes the change; measure again)\n";
    } else if (stage == 2) {
        context.out << "  (this ends the run of length changes: the selection it started from is back)\n";
    }
    if (state != nullptr) {
        context.out << "  measured length: "
                    << sim::PointsToUnitsText(state->measuredLength, context.document.rulerUnit, -1) << " ("
                    << state->measuredLength << " pt)\n";
    }
}

}  // namespace

const std::vector<CommandRow>& CommandTable() {
    // A row without a run function names a command the plug-in does not have yet: the word is
    // taken and refused, and the command slots in by giving the row its check and run functions.
    static const std::vector<CommandRow> table = {
        {"bisect", kCommandAngleBisector, "", "angle bisector of each pair of selected straight lines", NoArguments,
         PressButton},
        {"cross", kCommandExtensionCrossing, "[extend=on|off]",
         "extension crossing of each pair of selected straight lines (extend: \"Extend endpoints\")", CheckCross,
         RunCross},
        {"length", kCommandLengthTyped, "LENGTH",
         "new total length of the selected segments, typed into the readout (ruler units, or 120mm)", CheckLength,
         RunLength},
        {"slider", kCommandLengthSlider, "POSITION",
         "the length slider moved to POSITION (-40..40: +10 % .. -10 % of the measured length)", CheckSlider,
         RunSlider},
        {"pointer", kCommandPointer,
         "[create=on|off] [divide=on|off] [direction=both|forward|backward|none]\n"
         "          [count=1|2|3] [d1=LEN] [d2=LEN] [d3=LEN] [size=LEN] [width=LEN] [dash=off|LEN,LEN,...]",
         "pointers and/or new anchors at set distances from the selected anchors", CheckPointer, RunPointer},
        {"handles", kCommandHandleLine, "[layer=NAME] [width=LEN] [color=SWATCH] [polyline=on|off] [reverse=on|off]",
         "the handles of the selected anchors drawn as strokes", CheckHandles, RunHandles},
        {"measure", kCommandLengthReadout, "", "the length of the selected segments, as the readout shows it",
         NoArguments, RunMeasure},
        {"path-adjust", 0, "P1 P2 P3 P4",
         "Path adjust Tool: drag P1 -> P2 on the object that stays, P3 -> P4 on the one that moves; P3 lands\n"
         "      on P1 and P3 -> P4 turns onto P1 -> P2",
         CheckPathAdjust, RunPathAdjust},
        {"point-adjust", 0, "P1 P2 [CLICK]",
         "Point adjust Tool: drag P1 (object that stays) -> P2 (object that moves), then click at CLICK (else\n"
         "      P2) to choose among the four orientations; P2 lands on P1",
         CheckPointAdjust, RunPointAdjust},
        {"point-adjust2", 0, "P1 P2 P3 P4",
         "Point adjust Tool, two drags: P1 -> P2 along one path of the object that stays, P3 -> P4 from the\n"
         "      object that moves; P3 lands on P1 and the two directions meet",
         CheckPointAdjust2, RunPointAdjust2},
        {"tool", 0, "path|point EVENT...",
         "the tool selected, then mouse events: move:X,Y down:X,Y drag:X,Y up:X,Y click:X,Y", CheckToolEvents,
         RunToolEvents},
        {"restore", 0, "[yes|no]",
         "double-click on the tool: restores the recorded moves (of the selected objects, or of all),\n"
         "      answering the question with yes (default) or no",
         CheckRestore, RunRestore},
    };
    return table;
}

std::string RunUsage() {
    std::ostringstream text;
    text << "usage: kelvane run IN.svg [-o OUT.svg] [--lang ja|en|ko] [--units mm|pt|in|cm|pc|px|q]\n"
            "                  [--settings FILE] [--select ID,...] [--anchors ID:I,J,...]...\n"
            "                  COMMAND [ARGUMENT...] [COMMAND [ARGUMENT...]]...\n"
            "  Reads IN.svg into the simulated host, starts the plug-in (with FILE as the user's settings\n"
            "  file), runs the commands in order as the panel would and writes the document to OUT.svg.\n"
            "  IN.svg - reads standard input; -o - writes standard output (and the report to standard\n"
            "  error). Options take their value after a space or after '=' (--lang=en).\n"
            "  --select and --anchors replace the file's selection: whole objects by id (a layer's id:\n"
            "  everything in it), and anchors of a path by index from 0 (repeat --anchors per path).\n"
            "  Alerts and beeps go to standard error. Exit status: 0 the document changed, 1 nothing\n"
            "  changed (refused), 2 usage or input error (no file written).\n"
            "commands:\n";
    for (const CommandRow& row : CommandTable()) {
        if (row.run == nullptr) continue;
        text << "  " << row.name << (*row.arguments != '\0' ? " " : "") << row.arguments << "\n      " << row.summary
             << "\n";
    }
    text << "  Lengths are in the ruler units (--units, else the file's kv:units, else pt) unless they name\n"
            "  a unit (5mm); line widths and dashes are in points unless they name one. Settings not given\n"
            "  keep the plug-in's values (from --settings or its start values).\n"
            "  Points of the tools (X,Y) are in the drawing's own coordinates, as in the SVG file; a point\n"
            "  within 2 units of an anchor snaps onto it.\n";
    return text.str();
}

namespace {

const CommandRow* FindCommand(const std::string& name) {
    for (const CommandRow& row : CommandTable()) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

struct CommandCall {
    const CommandRow* row;
    std::vector<std::string> arguments;
};

struct RunOptions {
    std::string input;
    std::string output;
    std::string settings;
    std::optional<std::uint16_t> language;
    std::optional<sim::RulerUnit> units;
    SelectionRequest selection;
    std::vector<CommandCall> commands;
    bool help = false;
};

// Sets the option args[i] (moving i past its value); a message when it is not one or is wrong.
std::string ParseOption(const std::vector<std::string>& args, std::size_t& i, RunOptions& options) {
    const std::string name = OptionName(args[i]);
    if (name != "-o" && name != "--output" && name != "--settings" && name != "--lang" && name != "--units" &&
        name != "--select" && name != "--anchors") {
        return "unknown option '" + args[i] + "'";
    }
    std::string value;
    if (!TakeOptionValue(args, i, value)) return "the option " + name + " needs a value";
    if (name == "-o" || name == "--output") {
        options.output = value;
    } else if (name == "--settings") {
        options.settings = value;
    } else if (name == "--select") {
        return AddSelectOption(value, options.selection);
    } else if (name == "--anchors") {
        return AddAnchorsOption(value, options.selection);
    } else if (name == "--lang") {
        if (value == "ja") {
            options.language = kJapanese;
        } else if (value == "en") {
            options.language = kEnglish;
        } else if (value == "ko") {
            options.language = kKorean;
        } else {
            return "unknown language '" + value + "' (ja, en or ko)";
        }
    } else {
        sim::RulerUnit unit{};
        if (!kvsvg::ParseRulerUnit(value, &unit)) return "unknown unit '" + value + "' (mm, pt, in, cm, pc, px or q)";
        options.units = unit;
    }
    return {};
}

// False, with a message on err, for words that make no run.
bool ParseRunOptions(const std::vector<std::string>& args, RunOptions& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (IsHelpOption(word)) {
            options.help = true;
            return true;
        }
        if (IsOption(word)) {
            if (const std::string problem = ParseOption(args, i, options); !problem.empty()) {
                err << "kelvane: " << problem << "\n";
                return false;
            }
        } else if (options.input.empty()) {
            options.input = word;
        } else if (const CommandRow* row = FindCommand(word)) {
            if (row->run == nullptr) {
                err << "kelvane: the command '" << word << "' is not available in this build yet\n";
                return false;
            }
            options.commands.push_back(CommandCall{row, {}});
        } else if (!options.commands.empty()) {
            options.commands.back().arguments.push_back(word);
        } else {
            err << "kelvane: unknown command '" << word << "'\n";
            return false;
        }
    }
    if (options.input.empty()) {
        err << "kelvane: no input file\n";
        return false;
    }
    if (options.input == "-" && options.settings == "-") {
        err << "kelvane: the drawing and the settings cannot both come from standard input\n";
        return false;
    }
    for (const CommandCall& call : options.commands) {
        if (const std::string problem = call.row->check(*call.row, call.arguments); !problem.empty()) {
            err << "kelvane: " << problem << "\n";
            return false;
        }
    }
    return true;
}

// ---- Reporting what a command did ----

// The paths of a document as they were, by the order their art was made (which the report
// follows): one list of anchors for all, as drawings have many small paths.
struct PathShot {
    const sim::Art* art = nullptr;  // null: no path in the tree
    std::size_t first = 0;          // of its anchors in PathShots::anchors
    std::size_t count = 0;
    bool closed = false;
};

struct PathShots {
    std::vector<AnchorRecord> anchors;
    std::vector<PathShot> byPoolIndex;
};

// A path of the artwork: alive, in groups that are alive, down from an alive layer.
bool IsArtworkPath(const sim::Art& art) {
    if (art.type != kPathArt) return false;
    const sim::Art* top = &art;
    for (; top->parent != nullptr; top = top->parent) {
        if (!top->alive) return false;
    }
    return top->alive && top->layer != nullptr && top->layer->alive && top->layer->root == top;
}

template <typename Visit>
void ForEachPath(const sim::Document& document, const Visit& visit) {
    for (std::size_t i = 0; i < document.ArtCount(); ++i) {
        const sim::Art& art = *document.ArtAt(i);
        if (IsArtworkPath(art)) visit(art);
    }
}

PathShots PathsOf(const sim::Document& document) {
    PathShots shots;
    shots.byPoolIndex.resize(document.ArtCount());
    ForEachPath(document, [&](const sim::Art& art) {
        shots.byPoolIndex[art.poolIndex] = PathShot{&art, shots.anchors.size(), art.anchors.size(), art.closed};
        shots.anchors.insert(shots.anchors.end(), art.anchors.begin(), art.anchors.end());
    });
    return shots;
}

const PathShot* Find(const PathShots& paths, const sim::Art& art) {
    if (art.poolIndex >= paths.byPoolIndex.size()) return nullptr;
    const PathShot& shot = paths.byPoolIndex[art.poolIndex];
    return shot.art == &art ? &shot : nullptr;
}

// value * 1000 rounded as printf's "%.3f" rounds it (from the exact binary value, ties to even),
// for the values below 1e15 that a drawing has: integer arithmetic on the value's 53 bits.
bool RoundedThousandths(double magnitude, std::uint64_t& thousandths) {
    if (!(magnitude < 1e15)) return false;
    // magnitude = mantissa * 2^-shift
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const auto field = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
    if (field != 0) mantissa |= std::uint64_t{1} << 52;  // else subnormal
    const int shift = field != 0 ? 1075 - field : 1074;
    const std::uint64_t scaled = mantissa * 1000;  // below 2^63
    thousandths = 0;
    if (shift <= 0) {
        thousandths = scaled << -shift;
    } else if (shift < 64) {  // else below a half
        thousandths = scaled >> shift;
        const std::uint64_t rest = scaled - (thousandths << shift);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (thousandths & 1) != 0)) ++thousandths;
    }
    return true;
}

// "%.3f" without trailing zeros, and 0 for -0.
void AppendNumber(std::string& text, double value) {
    std::uint64_t thousandths = 0;
    if (!RoundedThousandths(std::fabs(value), thousandths)) {
        char digits[400];  // "%.3f" of the largest double
        char* end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3).ptr;
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
        text.append(digits, end);
        return;
    }
    if (value < 0 && thousandths != 0) text += '-';
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, thousandths / 1000).ptr);
    const auto fraction = static_cast<unsigned>(thousandths % 1000);
    if (fraction == 0) return;
    const char decimals[4] = {'.', static_cast<char>('0' + fraction / 100), static_cast<char>('0' + fraction / 10 % 10),
                              static_cast<char>('0' + fraction % 10)};
    std::size_t length = sizeof decimals;
    while (decimals[length - 1] == '0') --length;
    text.append(decimals, length);
}

void AppendPoint(std::string& text, const kvsvg::SvgSource& source, const RealPoint& artwork) {
    const RealPoint p = source.ToSvg(artwork);
    text += '(';
    AppendNumber(text, p.h);
    text += ", ";
    AppendNumber(text, p.v);
    text += ')';
}

void AppendOutline(std::string& text, const kvsvg::SvgSource& source, const AnchorRecord* anchors, std::size_t count,
                   bool closed) {
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += " -> ";
        AppendPoint(text, source, anchors[i].p);
    }
    if (closed) text += " (closed)";
}

std::string Describe(const kvsvg::SvgSource& source, const sim::Art* art) {
    if (source.ReadOf(art) == nullptr && source.ReadOf(art->parent) != nullptr) {
        return source.Describe(art->parent);  // a subpath of a compound path read from one element
    }
    return source.Describe(art);
}

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    return a.h == b.h && a.v == b.v;
}

// Prints new, reshaped and removed paths, each in the order its art was made; true when there was
// any.
bool ReportChanges(const PathShots& before, const sim::Document& document, const kvsvg::SvgSource& source,
                   std::ostream& out) {
    bool any = false;
    // Lines are gathered and printed a few thousand characters at a time.
    constexpr std::size_t kPrinted = 1 << 16;
    std::string text;
    const auto print = [&](std::size_t atLeast) {
        if (text.size() < atLeast) return;
        out << text;
        text.clear();
    };
    // "  new path in layer ...: " of the layer the last new path went into.
    const sim::Layer* newPathLayer = nullptr;
    std::string newPathLead;
    std::vector<bool> kept(before.byPoolIndex.size(), false);
    ForEachPath(document, [&](const sim::Art& art) {
        const PathShot* old = Find(before, art);
        const std::size_t lineStart = text.size();
        if (old == nullptr) {
            if (art.layer != newPathLayer) {
                newPathLayer = art.layer;
                newPathLead = "  new path in layer \"" + kvsvg::HostTextToUtf8(art.layer->title) + "\": ";
            }
            text += newPathLead;
            AppendOutline(text, source, art.anchors.data(), art.anchors.size(), art.closed);
            text += '\n';
        } else {
            kept[art.poolIndex] = true;
            const AnchorRecord* was = before.anchors.data() + old->first;
            if (old->count != art.anchors.size() || old->closed != art.closed) {
                text += "  " + Describe(source, &art) + " reshaped: ";
                AppendOutline(text, source, was, old->count, old->closed);
                text += "\n    now ";
                AppendOutline(text, source, art.anchors.data(), art.anchors.size(), art.closed);
                text += '\n';
            } else {
                for (std::size_t i = 0; i < art.anchors.size(); ++i) {
                    const AnchorRecord& a = was[i];
                    const AnchorRecord& b = art.anchors[i];
                    if (!SamePoint(a.p, b.p)) {
                        text += "  anchor " + std::to_string(i) + " of " + Describe(source, &art) + " moved ";
                        AppendPoint(text, source, a.p);
                        text += " -> ";
                        AppendPoint(text, source, b.p);
                        text += '\n';
                    } else if (!SamePoint(a.in, b.in) || !SamePoint(a.out, b.out)) {
                        text += "  handles of anchor " + std::to_string(i) + " of " + Describe(source, &art) +
                                " changed\n";
                    }
                }
            }
        }
        any = any || text.size() != lineStart;
        print(kPrinted);
    });
    for (const PathShot& shot : before.byPoolIndex) {
        if (shot.art == nullptr || kept[shot.art->poolIndex]) continue;
        text += "  removed " + Describe(source, shot.art) + ": ";
        AppendOutline(text, source, before.anchors.data() + shot.first, shot.count, shot.closed);
        text += '\n';
        any = true;
        print(kPrinted);
    }
    print(0);
    return any;
}

// The plug-in's alerts and beeps since the command began, on err in the plug-in's language.
void ReportFeedback(const sim::Host& host, std::size_t alertsBefore, int beepsBefore, const std::string& command,
                    std::ostream& err) {
    const std::vector<sim::Alert>& alerts = const_cast<sim::Host&>(host).App().alerts;
    for (std::size_t i = alertsBefore; i < alerts.size(); ++i) {
        err << "kelvane: " << command << ": alert: " << sim::Cp932ToUtf8(alerts[i].text) << "\n";
    }
#ifndef _WIN32
    for (int i = beepsBefore; i < host.BeepCount(); ++i) err << "kelvane: " << command << ": beep\n";
#else
    (void)beepsBefore;
#endif
}

}  // namespace

int BeepsOf(const sim::Host& host) {
#ifndef _WIN32
    return host.BeepCount();
#else
    (void)host;
    return 0;
#endif
}

int RunDocumentCommands(const std::vector<std::string>& args, std::istream& in, std::ostream& stdOut,
                        std::ostream& err) {
    RunOptions options;
    if (args.empty()) {
        err << RunUsage();
        return kRunBadInput;
    }
    if (!ParseRunOptions(args, options, err)) {
        err << "kelvane: 'kelvane help run' shows the usage\n";
        return kRunBadInput;
    }
    if (options.help) {
        stdOut << RunUsage();
        return kRunChanged;
    }
    std::string text, settings, problem;
    if (!ReadInputFile(options.input, in, text, problem) ||
        (!options.settings.empty() && !ReadInputFile(options.settings, in, settings, problem))) {
        err << "kelvane: " << problem << "\n";
        return kRunBadInput;
    }
    // With the drawing on standard output, what the commands did goes to standard error.
    const bool drawingToStdOut = !options.output.empty() && IsStandardOutput(options.output);
    std::ostream& out = drawingToStdOut ? err : stdOut;

    try {
        sim::Host host;
        sim::Document& document = host.NewDocument();
        std::unique_ptr<kvsvg::SvgSource> source;
        try {
            source = kvsvg::ReadSvg(text, document);
        } catch (const kvsvg::SvgError& error) {
            err << "kelvane: " << (options.input == "-" ? "standard input" : options.input) << " (" << text.size()
                << " bytes): " << error.what() << "\n";
            return kRunBadInput;
        }
        std::string().swap(text);  // the source keeps what the writer needs
        if (options.units) document.rulerUnit = *options.units;
        if (options.selection.given) {
            if (const std::string wrong = ApplySelection(options.selection, *source, document); !wrong.empty()) {
                err << "kelvane: " << wrong << "\n";
                return kRunBadInput;
            }
            kvsvg::TakeSelectionAsRead(document, *source);
        }

        if (!options.settings.empty() && !InstallSettingsFile(host, settings, err)) return kRunBadInput;
        if (const HostStatus started = host.Startup(); started != kNoError) {
            err << "kelvane: the plug-in did not start (status " << started << ")\n";
            return kRunBadInput;
        }
        // The language first, so that the panel is made in it.
        if (PluginState* state = StateOf(host); state != nullptr && options.language) state->language = *options.language;
        // What the application tells its plug-ins when it has started with a document open.
        host.Notify("AI Application Started Notifier");
        host.Notify("AI Document Opened Notifier");
        host.Notify("AI Document View Style Active View Changed Notifier");

        bool changed = options.commands.empty();
        std::ostringstream notes;  // what a command says, printed after what it changed
        RunContext context{host, document, notes, source.get()};
        for (const CommandCall& call : options.commands) {
            notes.str("");
            const std::size_t alertsBefore = host.App().alerts.size();
            const int beepsBefore = BeepsOf(host);
            const std::uint64_t revisionBefore = document.Revision();
            const auto pathsBefore = PathsOf(document);

            call.row->run(context, *call.row, call.arguments);
            const bool commandChanged = document.Revision() != revisionBefore;
            // The application reports the changed artwork to its plug-ins after the action.
            if (commandChanged) host.Notify("AI Art Selection Changed Notifier");

            out << call.row->name << ": " << (commandChanged ? "changed the document" : "nothing changed") << "\n";
            if (commandChanged && !ReportChanges(pathsBefore, document, *source, out)) {
                out << "  (selection or attributes only)\n";
            }
            out << notes.str();
            ReportFeedback(host, alertsBefore, beepsBefore, call.row->name, err);
            changed = changed || commandChanged;
        }

        if (host.Shutdown() != kNoError) err << "kelvane: the plug-in did not shut down cleanly\n";
        if (!options.output.empty()) {
            if (!WriteOutputFile(options.output, kvsvg::WriteSvg(document, source.get()), stdOut, problem)) {
                err << "kelvane: " << problem << "\n";
                return kRunBadInput;
            }
            if (!drawingToStdOut) out << "wrote " << options.output << "\n";
        } else if (changed && !options.commands.empty()) {
            err << "kelvane: the document changed, but nothing was written (no -o OUT.svg)\n";
        }
        return changed ? kRunChanged : kRunUnchanged;
    } catch (const std::exception& error) {
        err << "kelvane: " << error.what() << "\n";
        return kRunBadInput;
    }
}

#include "inkscape_front.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

#include "document.h"
#include "file_io.h"
#include "host.h"
#include "options.h"
#include "run_command.h"
#include "selection_options.h"
#include "shell/plugin_state.h"
#include "svg_document.h"
#include "units.h"

namespace {

// ---- Texts of this front, in the plug-in's two languages ----

struct Text {
    const char* en;
    const char* ja;
};

constexpr Text kTitleLength{"Length", "長さ"};
constexpr Text kTitlePointer{"Pointer and Divide", "ポインタと分割"};
constexpr Text kTitleHandles{"Handle Line", "ハンドルライン"};
constexpr Text kTitleBisect{"Angle Bisector", "角の二等分線"};
constexpr Text kTitleCross{"Extension Crossing", "延長交点"};
constexpr Text kTitleMeasure{"Measure", "計測"};
constexpr Text kMeasured{"length of the selected segments: ", "選択したセグメントの長さ: "};
constexpr Text kNothingMeasured{"no selected segment has a length: select both anchor points of a segment",
                                "長さのある選択セグメントがありません: セグメントの両端のアンカーポイントを選択してください"};
constexpr Text kNothingChanged{"nothing changed: select the segments or anchor points to work on",
                               "変更はありません: 対象のセグメントまたはアンカーポイントを選択してください"};
constexpr Text kBeep{"refused (beep): the selection does not fit this command",
                     "実行できません(ビープ): 選択がこのコマンドに合いません"};
constexpr Text kUnreadable{"cannot read this drawing, which is left as it was: ",
                           "この図面は読めないため、そのままにします: "};
constexpr Text kNoDash{"Broken line needs a first dash length above 0", "破線には 0 より大きい最初の線の長さが必要です"};

// ---- The commands and how their .inx parameters become kelvane's command words ----

using Params = std::map<std::string, std::string>;

struct Call {
    std::string command;  // a row of kelvane run's command table
    std::vector<std::string> arguments;
};

struct Plan {
    std::vector<Call> calls;
    bool measureOnly = false;  // the length is the result, the document stays as it was
    std::string handleColor;   // "#rrggbb" of Handle Line's colour, when not black
    std::string problem;       // a message for the user: nothing runs
};

std::string Get(const Params& params, const std::string& name, const std::string& fallback = "") {
    const auto found = params.find(name);
    return found == params.end() ? fallback : found->second;
}

// Inkscape's booleans as kelvane's switches.
std::string Switch(const Params& params, const std::string& name, bool fallback) {
    const std::string value = Get(params, name, fallback ? "true" : "false");
    return value == "true" || value == "1" ? "on" : "off";
}

// A length with the unit the .inx file offers; "document" leaves it in the ruler (document) units.
std::string WithUnit(const std::string& value, const std::string& unit) {
    return unit.empty() || unit == "document" ? value : value + unit;
}

bool ToNumber(const std::string& text, double* number) {
    char* end = nullptr;
    *number = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(*number);
}

void PlanLength(const Params& params, Plan& plan) {
    plan.calls.push_back({"measure", {}});
    // A notebook's page name may come quoted.
    std::string mode = Get(params, "mode", "total");
    if (mode.size() >= 2 && mode.front() == '"' && mode.back() == '"') mode = mode.substr(1, mode.size() - 2);
    if (mode == "scale") {
        double percent = 0;
        if (!ToNumber(Get(params, "percent", "0"), &percent) || std::fabs(percent) > 10) {
            plan.problem = "--percent takes -10 to 10";
            return;
        }
        // The slider's positions -40..40 stand for +10 % .. -10 %.
        const long position = std::lround(-percent * 4);
        if (position != 0) plan.calls.push_back({"slider", {std::to_string(position)}});
        return;
    }
    if (mode != "total") {
        plan.problem = "--mode takes total or scale, not '" + mode + "'";
        return;
    }
    plan.calls.push_back({"length", {WithUnit(Get(params, "length", "100"), Get(params, "unit"))}});
}

void PlanPointer(const Params& params, Plan& plan) {
    const std::string unit = Get(params, "unit", "mm");
    std::vector<std::string> arguments = {"create=" + Switch(params, "create", true),
                                          "divide=" + Switch(params, "divide", false)};
    for (const char* key : {"direction", "count"}) {
        if (params.count(key) != 0) arguments.push_back(std::string(key) + "=" + Get(params, key));
    }
    const int count = std::atoi(Get(params, "count", "1").c_str());
    for (int row = 1; row <= 3 && row <= count; ++row) {
        const std::string key = "d" + std::to_string(row);
        arguments.push_back(key + "=" + WithUnit(Get(params, key, "50"), unit));
    }
    arguments.push_back("size=" + WithUnit(Get(params, "size", "5"), unit));
    arguments.push_back("width=" + Get(params, "width", "0.1") + "pt");
    if (Switch(params, "dash", false) == "on") {
        // The panel's six fields: dash, gap, dash, gap, dash, gap; the first 0 ends the pattern.
        std::string dashes;
        for (int i = 1; i <= 6; ++i) {
            double length = 0;
            const std::string value = Get(params, "dash" + std::to_string(i), "0");
            if (!ToNumber(value, &length) || length <= 0) break;
            dashes += (dashes.empty() ? "" : ",") + value + "pt";
        }
        if (dashes.empty()) {
            plan.problem = "-";  // said in the user's language by the caller
            return;
        }
        arguments.push_back("dash=" + dashes);
    } else {
        arguments.push_back("dash=off");
    }
    plan.calls.push_back({"pointer", arguments});
}

// Inkscape's colour parameter: an RGBA number ("255" is opaque black), or #rrggbb.
bool ColorOf(const std::string& text, std::string* rgb) {
    if (text.size() == 7 && text[0] == '#') {
        *rgb = text;
        return true;
    }
    char* end = nullptr;
    const unsigned long long rgba = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || end != text.c_str() + text.size() || rgba > 0xffffffffULL) return false;
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06llx", rgba >> 8);
    *rgb = hex;
    return true;
}

void PlanHandles(const Params& params, Plan& plan) {
    std::vector<std::string> arguments = {"layer=" + Get(params, "layer", "HANDLE LINE"),
                                          "width=" + Get(params, "width", "0.5") + "pt",
                                          "polyline=" + Switch(params, "polyline", true),
                                          "reverse=" + Switch(params, "reverse", false)};
    std::string rgb;
    if (!ColorOf(Get(params, "color", "255"), &rgb)) {
        plan.problem = "--color takes an RGBA number or #rrggbb, not '" + Get(params, "color") + "'";
        return;
    }
    if (rgb != "#000000") plan.handleColor = rgb;  // black is the dialog's own "no swatch"
    plan.calls.push_back({"handles", arguments});
}

void PlanBisect(const Params&, Plan& plan) { plan.calls.push_back({"bisect", {}}); }

void PlanCross(const Params& params, Plan& plan) {
    plan.calls.push_back({"cross", {"extend=" + Switch(params, "extend", false)}});
}

void PlanMeasure(const Params&, Plan& plan) {
    plan.calls.push_back({"measure", {}});
    plan.measureOnly = true;
}

struct FrontCommand {
    const char* name;
    Text title;
    std::vector<std::string> parameters;  // the --names its .inx file passes
    void (*plan)(const Params&, Plan&);
};

const std::vector<FrontCommand>& FrontCommands() {
    static const std::vector<FrontCommand> commands = {
        {"length", kTitleLength, {"mode", "length", "unit", "percent"}, PlanLength},
        {"pointer",
         kTitlePointer,
         {"tab", "create", "divide", "direction", "count", "d1", "d2", "d3", "size", "unit", "width", "dash", "dash1", "dash2",
          "dash3", "dash4", "dash5", "dash6"},
         PlanPointer},
        {"handles", kTitleHandles, {"layer", "width", "color", "polyline", "reverse"}, PlanHandles},
        {"bisect", kTitleBisect, {}, PlanBisect},
        {"cross", kTitleCross, {"extend"}, PlanCross},
        {"measure", kTitleMeasure, {}, PlanMeasure},
    };
    return commands;
}

// ---- The selection Inkscape passes ----

struct Selection {
    std::vector<std::string> ids;
    std::vector<std::string> nodes;  // ID:SUBPATH:NODE
};

// The art read from the element with this id, or null.
const sim::Art* ArtOf(const kvsvg::SvgSource& source, const std::string& id) {
    for (const kvsvg::ReadArt& was : source.read) {
        if (was.art != nullptr && id == was.node.attribute("id").value()) return was.art;
    }
    return nullptr;
}

// Whether the user could select the art in the host: neither it nor what holds it is hidden or
// locked. Inkscape lets no one select such objects either, but a script's select-by-id does.
bool Selectable(const sim::Art* art) {
    for (const sim::Art* holder = art; holder != nullptr; holder = holder->parent) {
        if ((holder->attributes & (kArtHidden | kArtLocked)) != 0) return false;
    }
    return art->layer == nullptr || (art->layer->visible && art->layer->editable);
}

bool IsSelectableLayer(const kvsvg::SvgSource& source, const std::string& id) {
    for (const auto& [layer, node] : source.layers) {
        if (node && id == node.attribute("id").value()) return layer->visible && layer->editable;
    }
    return false;
}

// The node tool's nodes, when there are any, are the selection (Inkscape passes their paths as
// --id too); else every anchor of the selected objects. Ids of elements that are not artwork, or
// that are hidden or locked, are passed over. A message when a node is not in its path.
std::string SelectionRequestOf(const Selection& selection, const kvsvg::SvgSource& source, SelectionRequest& request) {
    request.given = true;
    if (selection.nodes.empty()) {
        for (const std::string& id : selection.ids) {
            const sim::Art* art = ArtOf(source, id);
            if (art != nullptr ? Selectable(art) : IsSelectableLayer(source, id)) request.objects.push_back(id);
        }
        return {};
    }
    std::map<std::string, std::vector<long>> anchors;
    for (const std::string& node : selection.nodes) {
        const std::size_t second = node.rfind(':');
        const std::size_t first = second == std::string::npos || second == 0 ? std::string::npos : node.rfind(':', second - 1);
        char* end = nullptr;
        const long subpath = first == std::string::npos ? -1 : std::strtol(node.c_str() + first + 1, &end, 10);
        const bool subpathRead = first != std::string::npos && end == node.c_str() + second;
        const long index = second == std::string::npos ? -1 : std::strtol(node.c_str() + second + 1, &end, 10);
        if (!subpathRead || *end != '\0' || second + 1 == node.size() || subpath < 0 || index < 0) {
            return "--selected-nodes takes ID:SUBPATH:NODE, not '" + node + "'";
        }
        const std::string id = node.substr(0, first);
        const sim::Art* art = ArtOf(source, id);
        if (art == nullptr || !Selectable(art)) continue;
        // Subpaths of a compound path are counted in turn, as kelvane's anchor indices are.
        std::vector<const sim::Art*> paths;
        if (art->type == kCompoundPathArt) {
            for (const sim::Art* child : art->Children()) paths.push_back(child);
        } else {
            paths.push_back(art);
        }
        if (static_cast<std::size_t>(subpath) >= paths.size() ||
            static_cast<std::size_t>(index) >= paths[subpath]->anchors.size()) {
            return "#" + id + " has no node " + std::to_string(index) + " in subpath " + std::to_string(subpath);
        }
        long offset = 0;
        for (long i = 0; i < subpath; ++i) offset += static_cast<long>(paths[i]->anchors.size());
        anchors[id].push_back(offset + index);
    }
    for (auto& [id, indices] : anchors) request.anchors.emplace_back(id, indices);
    return {};
}

const char* Say(const Text& text, std::uint16_t language) { return language == kJapanese ? text.ja : text.en; }

struct Parsed {
    const FrontCommand* command = nullptr;
    Params params;
    Selection selection;
    std::string input;
};

// False, with a message on err, for words that make no run.
bool Parse(const std::vector<std::string>& args, Parsed& parsed, std::ostream& err) {
    for (const FrontCommand& command : FrontCommands()) {
        if (!args.empty() && args[0] == command.name) parsed.command = &command;
    }
    if (parsed.command == nullptr) {
        err << "kelvane: " << (args.empty() ? "no command" : "unknown command '" + args[0] + "'") << "\n";
        return false;
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!IsOption(word)) {
            if (!parsed.input.empty()) {
                err << "kelvane: one document only, not '" << parsed.input << "' and '" << word << "'\n";
                return false;
            }
            parsed.input = word;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        if (word.rfind("--", 0) != 0 || equals == std::string::npos) {
            err << "kelvane: options are --name=value, not '" << word << "'\n";
            return false;
        }
        const std::string value = word.substr(equals + 1);
        if (name == "id") {
            parsed.selection.ids.push_back(value);
        } else if (name == "selected-nodes") {
            parsed.selection.nodes.push_back(value);
        } else if (std::find(parsed.command->parameters.begin(), parsed.command->parameters.end(), name) !=
                   parsed.command->parameters.end()) {
            parsed.params[name] = value;
        } else {
            err << "kelvane: " << parsed.command->name << " has no parameter --" << name << "\n";
            return false;
        }
    }
    if (parsed.input.empty()) {
        err << "kelvane: no document\n";
        return false;
    }
    return true;
}

const CommandRow* RowOf(const std::string& name) {
    for (const CommandRow& row : CommandTable()) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

std::uint16_t EnvironmentLanguage() {
    return InkscapeLanguage(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                            std::getenv("LANG"));
}

// Runs plan on the document read from bytes; writes the document on out and the user's messages
// on err.
void RunPlan(const Parsed& parsed, const Plan& plan, const std::string& bytes, std::uint16_t language,
             std::ostream& out, std::ostream& err) {
    const std::string title = std::string("Kelvane ") + Say(parsed.command->title, language) + ": ";
    sim::Host host;
    sim::Document& document = host.NewDocument();
    std::unique_ptr<kvsvg::SvgSource> source;
    try {
        source = kvsvg::ReadSvg(bytes, document);
    } catch (const kvsvg::SvgError& error) {
        err << title << Say(kUnreadable, language) << error.what() << "\n";
        out << bytes;
        return;
    }
    // What the file says, given back as it was: the commands' selection and Inkscape's settings
    // are not the drawing's.
    sim::Layer* const readCurrent = document.CurrentLayer();
    const sim::RulerUnit readUnit = document.rulerUnit;
    SelectionRequest request;
    if (const std::string problem = SelectionRequestOf(parsed.selection, *source, request); !problem.empty()) {
        err << title << problem << "\n";
        out << bytes;
        return;
    }
    if (const std::string problem = ApplySelection(request, *source, document); !problem.empty()) {
        err << title << problem << "\n";
        out << bytes;
        return;
    }
    const std::size_t swatches = document.Swatches().size();
    std::vector<std::string> handleArguments;
    if (!plan.handleColor.empty()) {
        // The settings dialog picks a swatch by name: one of this colour for the command's while.
        Color color{};
        kvsvg::ParseColor(plan.handleColor, &color);
        document.AddSwatch("Kelvane handle line", color);
        handleArguments.push_back("color=Kelvane handle line");
    }

    if (host.Startup() != kNoError) {
        err << title << "the plug-in did not start\n";
        out << bytes;
        return;
    }
    auto* state = static_cast<PluginState*>(host.Globals());
    if (state != nullptr) state->language = language;
    host.Notify("AI Application Started Notifier");
    host.Notify("AI Document Opened Notifier");
    host.Notify("AI Document View Style Active View Changed Notifier");

    bool changed = false;
    bool heard = false;  // the plug-in said something: an alert or a beep
    std::ostringstream notes;
    RunContext context{host, document, notes, source.get()};
    for (const Call& call : plan.calls) {
        const CommandRow* row = RowOf(call.command);
        std::vector<std::string> arguments = call.arguments;
        if (call.command == "handles") arguments.insert(arguments.end(), handleArguments.begin(), handleArguments.end());
        const std::size_t alerts = host.App().alerts.size();
        const int beeps = BeepsOf(host);
        const std::uint64_t revision = document.Revision();
        row->run(context, *row, arguments);
        if (document.Revision() != revision) {
            changed = true;
            host.Notify("AI Art Selection Changed Notifier");
        }
        for (std::size_t i = alerts; i < host.App().alerts.size(); ++i) {
            err << title << sim::Cp932ToUtf8(host.App().alerts[i].text) << "\n";
            heard = true;
        }
        if (BeepsOf(host) != beeps) {
            err << title << Say(kBeep, language) << "\n";
            heard = true;
        }
        if (heard) break;  // a refused step ends the command, as the user would stop there
    }
    const double measured = state != nullptr ? state->measuredLength : 0;
    host.Shutdown();

    if (plan.measureOnly && !heard) {
        if (measured > 0) {
            err << title << Say(kMeasured, language) << sim::PointsToUnitsText(measured, document.rulerUnit, -1)
                << "\n";
        } else {
            err << title << Say(kNothingMeasured, language) << "\n";
        }
    } else if (!changed && !heard) {
        err << title << Say(kNothingChanged, language) << "\n";
    }
    if (!changed || plan.measureOnly) {
        out << bytes;
        return;
    }
    document.Swatches().resize(std::min(document.Swatches().size(), swatches));
    ApplySelection(SelectionRequest{}, *source, document);
    if (readCurrent != nullptr && readCurrent->alive) document.SetCurrentLayer(readCurrent);
    document.rulerUnit = readUnit;
    try {
        out << kvsvg::WriteSvg(document, source.get());
    } catch (const kvsvg::SvgError& error) {
        err << title << error.what() << "\n";
        out << bytes;
    }
}

}  // namespace

std::uint16_t InkscapeLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {language, lcAll, lcMessages, lang}) {
        if (value != nullptr && *value != '\0') return std::string(value).rfind("ja", 0) == 0 ? kJapanese : kEnglish;
    }
    return kEnglish;
}

std::string InkscapeUsage() {
    std::string text =
        "usage: kelvane inkscape COMMAND [--id=ID]... [--selected-nodes=ID:SUBPATH:NODE]... [--NAME=VALUE]... FILE\n"
        "  What Kelvane's Inkscape extensions run: the selected objects (every anchor of their paths) or\n"
        "  nodes, the extension's parameters, the document (- reads standard input). The document goes to\n"
        "  standard output (as it was when nothing changed), messages to standard error.\n"
        "commands and parameters:\n";
    for (const FrontCommand& command : FrontCommands()) {
        text += std::string("  ") + command.name;
        for (const std::string& parameter : command.parameters) text += " --" + parameter + "=";
        text += "\n";
    }
    return text;
}

int InkscapeMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (!args.empty() && IsHelpOption(args[0])) {
        out << InkscapeUsage();
        return 0;
    }
    Parsed parsed;
    if (!Parse(args, parsed, err)) {
        err << InkscapeUsage();
        return 2;
    }
    const std::uint16_t language = EnvironmentLanguage();
    Plan plan;
    parsed.command->plan(parsed.params, plan);
    if (plan.problem == "-") plan.problem = Say(kNoDash, language);
    for (const Call& call : plan.calls) {
        const CommandRow* row = RowOf(call.command);
        if (const std::string problem = row->check(*row, call.arguments); plan.problem.empty() && !problem.empty()) {
            plan.problem = problem;
        }
    }
    std::string bytes, problem;
    if (!ReadInputFile(parsed.input, in, bytes, problem)) {
        err << "kelvane: " << problem << "\n";
        return 2;
    }
    if (!plan.problem.empty()) {
        err << "Kelvane " << Say(parsed.command->title, language) << ": " << plan.problem << "\n";
        out << bytes;
        return 0;
    }
    try {
        RunPlan(parsed, plan, bytes, language, out, err);
    } catch (const std::exception& error) {
        err << "kelvane: " << error.what() << "\n";
        out << bytes;
    }
    return 0;
}

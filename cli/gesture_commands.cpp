#include "gesture_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <ostream>
#include <sstream>
#include <vector>

#include "document.h"
#include "host.h"
#include "shell/plugin_state.h"
#include "svg_document.h"
#include "tools/path_adjust_tag.h"

namespace {

// A point of the drawing as "X,Y" in SVG user units (y downwards).
bool ParsePoint(const std::string& text, RealPoint* point) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    double x = 0, y = 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto first = std::from_chars(begin, begin + comma, x);
    const auto second = std::from_chars(begin + comma + 1, end, y);
    if (first.ec != std::errc() || first.ptr != begin + comma || second.ec != std::errc() || second.ptr != end) {
        return false;
    }
    *point = RealPoint{x, y};
    return true;
}

std::string CheckPoints(const CommandRow& row, const std::vector<std::string>& arguments, std::size_t least,
                        std::size_t most, const char* what) {
    RealPoint ignored{};
    bool fine = arguments.size() >= least && arguments.size() <= most;
    for (const std::string& argument : arguments) fine = fine && ParsePoint(argument, &ignored);
    return fine ? std::string() : std::string(row.name) + " takes " + what + " (X,Y in the drawing's coordinates)";
}

// The point of the drawing as artwork coordinates, through the file's user unit.
RealPoint ToArtwork(const RunContext& context, const RealPoint& svg) {
    return context.source != nullptr ? context.source->ToArtwork(svg) : RealPoint{svg.h, -svg.v};
}

std::vector<RealPoint> Points(const RunContext& context, const std::vector<std::string>& arguments) {
    std::vector<RealPoint> points;
    for (const std::string& argument : arguments) {
        RealPoint point{};
        ParsePoint(argument, &point);
        points.push_back(ToArtwork(context, point));
    }
    return points;
}

// The top-level objects of every layer, in order: the objects that carry adjust records.
std::vector<const sim::Art*> TopLevelObjects(const sim::Document& document) {
    std::vector<const sim::Art*> objects;
    for (int i = 0; i < document.LayerCount(); ++i) {
        for (const sim::Art* art : document.LayerAt(i)->root->Children()) objects.push_back(art);
    }
    return objects;
}

// The records of every art, to tell what a gesture recorded or restored.
std::map<const sim::Art*, std::string> Records(const sim::Document& document) {
    std::map<const sim::Art*, std::string> records;
    for (const sim::Art* art : TopLevelObjects(document)) {
        const auto found = art->tags.find(kPathAdjustTagName);
        if (found != art->tags.end()) records[art] = found->second.value;
    }
    return records;
}

// The mouse of the host's user, on one of the plug-in's tools.
struct Mouse {
    RunContext& context;
    ToolHandle tool;

    void Send(const char* selector, const RealPoint& at) { context.host.SendTool(selector, tool, at); }
    void MoveTo(const RealPoint& at) { Send("AI Track Cursor", at); }
    void Press(const RealPoint& at) { Send("AI Mouse Down", at); }
    void DragTo(const RealPoint& at) { Send("AI Mouse Drag", at); }
    void Release(const RealPoint& at) { Send("AI Mouse Up", at); }
    void Drag(const RealPoint& from, const RealPoint& to) {
        MoveTo(from);
        Press(from);
        DragTo(to);
        Release(to);
    }
    void Click(const RealPoint& at) {
        MoveTo(at);
        Press(at);
        Release(at);
    }
};

// Selects the tool (which starts a new gesture) and hands out its mouse; prints what the gesture
// recorded or restored when it is done.
class Gesture {
public:
    Gesture(RunContext& context, bool pathAdjust) : context_(context), before_(Records(context.document)) {
        const auto* state = static_cast<const PluginState*>(context.host.Globals());
        tool_ = state == nullptr ? nullptr : pathAdjust ? state->pathAdjustTool : state->pointAdjustTool;
        context.host.SendTool("AI Select", tool_);
    }
    ~Gesture() {
        const auto after = Records(context_.document);
        for (const auto& [art, record] : after) {
            const auto old = before_.find(art);
            if (old == before_.end() || old->second != record) {
                context_.out << "  " << Describe(art) << " records its move: " << kPathAdjustTagName << " = " << record
                             << "\n";
            }
        }
        for (const auto& [art, record] : before_) {
            if (after.count(art) == 0) context_.out << "  " << Describe(art) << " restored; its record removed\n";
        }
    }
    Gesture(const Gesture&) = delete;
    Gesture& operator=(const Gesture&) = delete;

    Mouse mouse() { return Mouse{context_, tool_}; }

private:
    std::string Describe(const sim::Art* art) const {
        return context_.source != nullptr ? context_.source->Describe(art) : std::string("an object");
    }

    RunContext& context_;
    ToolHandle tool_ = nullptr;
    std::map<const sim::Art*, std::string> before_;
};

}  // namespace

std::string CheckPathAdjust(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckPoints(row, arguments, 4, 4, "four points: P1 P2 P3 P4");
}

void RunPathAdjust(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    const std::vector<RealPoint> p = Points(context, arguments);
    Gesture gesture(context, true);
    Mouse mouse = gesture.mouse();
    mouse.Drag(p[0], p[1]);
    mouse.Drag(p[2], p[3]);
}

std::string CheckPointAdjust(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckPoints(row, arguments, 2, 3, "two or three points: P1 P2 [CLICK]");
}

void RunPointAdjust(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    const std::vector<RealPoint> p = Points(context, arguments);
    Gesture gesture(context, false);
    Mouse mouse = gesture.mouse();
    mouse.Drag(p[0], p[1]);
    mouse.Click(p.size() > 2 ? p[2] : p[1]);
}

std::string CheckPointAdjust2(const CommandRow& row, const std::vector<std::string>& arguments) {
    return CheckPoints(row, arguments, 4, 4, "four points: P1 P2 P3 P4");
}

void RunPointAdjust2(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    const std::vector<RealPoint> p = Points(context, arguments);
    Gesture gesture(context, false);
    Mouse mouse = gesture.mouse();
    mouse.Drag(p[0], p[1]);
    mouse.Drag(p[2], p[3]);
}

namespace {

constexpr const char* kEvents[] = {"move", "down", "drag", "up", "click"};

}  // namespace

std::string CheckToolEvents(const CommandRow& row, const std::vector<std::string>& arguments) {
    const std::string usage = std::string(row.name) + " takes path or point, then events move:X,Y down:X,Y drag:X,Y up:X,Y click:X,Y";
    if (arguments.empty() || (arguments[0] != "path" && arguments[0] != "point")) return usage;
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        const std::size_t colon = arguments[k].find(':');
        RealPoint ignored{};
        bool known = false;
        for (const char* event : kEvents) known = known || arguments[k].compare(0, colon, event) == 0;
        if (colon == std::string::npos || !known || !ParsePoint(arguments[k].substr(colon + 1), &ignored)) {
            return usage + ", not '" + arguments[k] + "'";
        }
    }
    return {};
}

void RunToolEvents(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    Gesture gesture(context, arguments[0] == "path");
    Mouse mouse = gesture.mouse();
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        const std::size_t colon = arguments[k].find(':');
        const std::string event = arguments[k].substr(0, colon);
        RealPoint at{};
        ParsePoint(arguments[k].substr(colon + 1), &at);
        at = ToArtwork(context, at);
        if (event == "move") mouse.MoveTo(at);
        if (event == "down") mouse.Press(at);
        if (event == "drag") mouse.DragTo(at);
        if (event == "up") mouse.Release(at);
        if (event == "click") mouse.Click(at);
    }
}

std::string CheckRestore(const CommandRow& row, const std::vector<std::string>& arguments) {
    if (arguments.empty() || (arguments.size() == 1 && (arguments[0] == "yes" || arguments[0] == "no"))) return {};
    return std::string(row.name) + " takes yes or no: the answer to the question, yes when not given";
}

namespace {

// The reference length the restore measures: from the first anchor of the object's paths (guides
// left out) to the anchor farthest from it; -1 without anchors.
void MeasureReferenceLength(const sim::Art* art, const RealPoint*& first, double& length) {
    if (art->type == kPathArt && !art->guide) {
        for (const AnchorRecord& anchor : art->anchors) {
            if (first == nullptr) {
                first = &anchor.p;
                length = 0;
            } else {
                length = std::max(length, std::hypot(anchor.p.h - first->h, anchor.p.v - first->v));
            }
        }
    }
    for (const sim::Art* child : art->Children()) MeasureReferenceLength(child, first, length);
}

// Why the restore passed over a top-level object that still carries its record: the plug-in
// says nothing, so that a user can tell a broken record from a reshaped object.
std::string WhyRecordStays(const sim::Art* art, const sim::Tag& tag, bool selectedOnly) {
    if (selectedOnly && !art->Selected()) return "it is not selected";
    if (tag.type != kPathAdjustTagType || tag.value.empty()) return "its record is not a text of fields";
    const PathAdjustTag record = ParsePathAdjustTag(tag.value.c_str(), tag.value.size());
    if (record.tokens < 5) return "its record has fewer than five fields";
    if (!PathAdjustTagIsFinite(record)) return "a number of its record is too large for a double";
    const RealPoint* first = nullptr;
    double length = -1;
    MeasureReferenceLength(art, first, length);
    if (record.length > 0 && (length == 0 || std::fabs(length - record.length) >= 0.1)) {
        std::ostringstream why;
        why << "its shape no longer matches its record (reference length " << length << ", recorded "
            << record.length << "): reshaped or scaled since";
        return why.str();
    }
    return "the host did not move it";
}

void ExplainKeptRecords(RunContext& context, bool selectedOnly) {
    for (const sim::Art* art : TopLevelObjects(context.document)) {
        const auto found = art->tags.find(kPathAdjustTagName);
        if (found == art->tags.end()) continue;
        context.out << "  " << (context.source != nullptr ? context.source->Describe(art) : "an object")
                    << " keeps its record: " << WhyRecordStays(art, found->second, selectedOnly) << "\n";
    }
}

bool AnyTopLevelObjectSelected(const sim::Document& document) {
    const std::vector<const sim::Art*> objects = TopLevelObjects(document);
    return std::any_of(objects.begin(), objects.end(), [](const sim::Art* art) { return art->Selected(); });
}

}  // namespace

void RunRestore(RunContext& context, const CommandRow&, const std::vector<std::string>& arguments) {
    const bool yes = arguments.empty() || arguments[0] == "yes";
    context.host.App().confirmAnswers.push_back(yes ? 1 : 0);
    const bool selectedOnly = AnyTopLevelObjectSelected(context.document);
    Gesture gesture(context, true);
    context.host.SendTool("AI Edit Options", gesture.mouse().tool);
    context.out << "  answered " << (yes ? "yes" : "no") << " to the question\n";
    if (yes) ExplainKeptRecords(context, selectedOnly);
}

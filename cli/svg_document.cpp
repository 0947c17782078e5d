#include "svg_document.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>

#include "host.h"
#include "svg_path_data.h"
#include "svg_splice.h"

namespace kvsvg {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr const char* kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";
constexpr const char* kSodipodiNamespace = "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd";

// The prefixes written for the namespaces this program reads ("" is the default namespace).
struct KnownNamespace {
    const char* uri;
    const char* prefix;
};
constexpr KnownNamespace kKnownNamespaces[] = {
    {kSvgNamespace, ""},
    {kKelvaneNamespace, "kv"},
    {kInkscapeNamespace, "inkscape"},
    {kSodipodiNamespace, "sodipodi"},
};

// The deepest nesting of elements read, the root being 1.
constexpr int kMaxNesting = 256;

// The host's whole canvas, for a file that gives no page size.
constexpr RealRect kCanvas{-8191, 8191, 8191, -8191};

constexpr const char* kGeometryAttributes[] = {"d",  "x", "y",  "width", "height", "rx", "ry",     "cx",
                                               "cy", "r", "x1", "y1",    "x2",     "y2", "points", "pathLength"};

Color GrayOrRgb(double red, double green, double blue) {
    Color color{};
    if (red == green && green == blue) {
        color.kind = kGrayColor;
        color.gray = 1.0 - red;
    } else {
        color.kind = kThreeColor;
    }
    color.red = red;
    color.green = green;
    color.blue = blue;
    return color;
}

struct NamedColor {
    const char* name;
    unsigned rgb;
};
constexpr NamedColor kNamedColors[] = {
    {"black", 0x000000},    {"white", 0xffffff},    {"red", 0xff0000},       {"green", 0x008000},
    {"blue", 0x0000ff},     {"yellow", 0xffff00},   {"cyan", 0x00ffff},      {"aqua", 0x00ffff},
    {"magenta", 0xff00ff},  {"fuchsia", 0xff00ff},  {"gray", 0x808080},      {"grey", 0x808080},
    {"silver", 0xc0c0c0},   {"maroon", 0x800000},   {"olive", 0x808000},     {"lime", 0x00ff00},
    {"teal", 0x008080},     {"navy", 0x000080},     {"purple", 0x800080},    {"orange", 0xffa500},
    {"darkgray", 0xa9a9a9}, {"darkgrey", 0xa9a9a9}, {"lightgray", 0xd3d3d3}, {"lightgrey", 0xd3d3d3},
    {"brown", 0xa52a2a},    {"pink", 0xffc0cb},     {"gold", 0xffd700},      {"steelblue", 0x4682b4},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// A whole text as one number (no unit), or nothing.
std::optional<double> WholeNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Numbers separated by whitespace and/or commas.
bool NumberList(std::string_view text, std::vector<double>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ',')) ++i;
        if (i >= text.size()) break;
        std::size_t j = i;
        while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && text[j] != ',') ++j;
        const std::optional<double> value = WholeNumber(text.substr(i, j - i));
        if (!value) return false;
        out.push_back(*value);
        i = j;
    }
    return true;
}

// A length in points: a number, optionally with an absolute CSS unit; a bare number is in
// bareUnit points (a CSS pixel is 0.75 pt).
std::optional<double> PointLength(std::string_view text, double bareUnit) {
    text = Trim(text);
    struct Unit {
        const char* suffix;
        double points;
    };
    static constexpr Unit kUnits[] = {{"px", 0.75},        {"pt", 1.0},          {"pc", 12.0},
                                      {"mm", 72.0 / 25.4}, {"cm", 72.0 / 2.54},  {"in", 72.0},
                                      {"q", 72.0 / 101.6}, {"Q", 72.0 / 101.6}};
    for (const Unit& unit : kUnits) {
        const std::size_t n = std::strlen(unit.suffix);
        if (text.size() > n && text.substr(text.size() - n) == unit.suffix) {
            const std::optional<double> value = WholeNumber(text.substr(0, text.size() - n));
            if (!value || !std::isfinite(*value * unit.points)) return std::nullopt;
            return *value * unit.points;
        }
    }
    const std::optional<double> value = WholeNumber(text);
    if (!value || !std::isfinite(*value * bareUnit)) return std::nullopt;
    return *value * bareUnit;
}

// A length in user units (CSS pixels: 96 an inch).
std::optional<double> Length(std::string_view text) {
    const std::optional<double> points = PointLength(text, 0.75);
    if (!points) return std::nullopt;
    const std::optional<double> bare = WholeNumber(text);
    return bare ? bare : std::optional<double>(*points / 0.75);
}

bool ParseHexColor(std::string_view hex, Color* color) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (char c : hex) {
        if (digit(c) < 0) return false;
    }
    int r = 0, g = 0, b = 0;
    if (hex.size() == 3) {
        r = digit(hex[0]) * 17;
        g = digit(hex[1]) * 17;
        b = digit(hex[2]) * 17;
    } else if (hex.size() == 6) {
        r = digit(hex[0]) * 16 + digit(hex[1]);
        g = digit(hex[2]) * 16 + digit(hex[3]);
        b = digit(hex[4]) * 16 + digit(hex[5]);
    } else {
        return false;
    }
    *color = GrayOrRgb(r / 255.0, g / 255.0, b / 255.0);
    return true;
}

bool ParseRgbFunction(std::string_view inside, Color* color) {
    double channels[3];
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        const std::size_t comma = inside.find(',', i);
        std::string_view part =
            Trim(inside.substr(i, comma == std::string_view::npos ? std::string_view::npos : comma - i));
        double scale = 1.0 / 255.0;
        if (!part.empty() && part.back() == '%') {
            part.remove_suffix(1);
            scale = 1.0 / 100.0;
        }
        const std::optional<double> value = WholeNumber(part);
        if (!value) return false;
        channels[count++] = std::clamp(*value * scale, 0.0, 1.0);
        if (comma == std::string_view::npos) break;
        i = comma + 1;
    }
    if (count != 3 || inside.find(',', i) != std::string_view::npos) return false;
    *color = GrayOrRgb(channels[0], channels[1], channels[2]);
    return true;
}

void ColorToRgb(const Color& color, double rgb[3]) {
    switch (color.kind) {
        case kGrayColor:
            rgb[0] = rgb[1] = rgb[2] = 1.0 - color.gray;
            return;
        case kFourColor:
            rgb[0] = (1 - color.c) * (1 - color.k);
            rgb[1] = (1 - color.m) * (1 - color.k);
            rgb[2] = (1 - color.y) * (1 - color.k);
            return;
        default:
            rgb[0] = color.red;
            rgb[1] = color.green;
            rgb[2] = color.blue;
            return;
    }
}

bool ParseBool(std::string_view text, bool* value) {
    const std::string lower = Lower(Trim(text));
    if (lower == "true" || lower == "1") {
        *value = true;
        return true;
    }
    if (lower == "false" || lower == "0") {
        *value = false;
        return true;
    }
    return false;
}

std::size_t CountCharacters(const pugi::xml_node& node) {
    std::size_t count = 0;
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            for (const char* c = child.value(); *c != '\0'; ++c) {
                if ((static_cast<unsigned char>(*c) & 0xC0) != 0x80) ++count;
            }
        } else if (child.type() == pugi::node_element) {
            count += CountCharacters(child);
        }
    }
    return count;
}

// ---- Style properties ----

struct Paint {
    enum Kind { None, Rgb, CurrentColor } kind = None;
    Color color{};
};

struct Properties {
    Paint fill{Paint::Rgb, GrayOrRgb(0, 0, 0)};
    Paint stroke{};
    double strokeWidth = 1;
    std::vector<double> dashes;
    double dashOffset = 0;
    double miterLimit = 4;
    Color color = GrayOrRgb(0, 0, 0);
    double fontSize = 16;
};

// Declarations of a style attribute, in order.
std::vector<std::pair<std::string, std::string>> StyleDeclarations(std::string_view style) {
    std::vector<std::pair<std::string, std::string>> declarations;
    std::size_t i = 0;
    while (i <= style.size()) {
        const std::size_t end = std::min(style.find(';', i), style.size());
        const std::string_view declaration = style.substr(i, end - i);
        const std::size_t colon = declaration.find(':');
        if (colon != std::string_view::npos) {
            std::string_view value = Trim(declaration.substr(colon + 1));
            const std::size_t important = value.find("!important");
            if (important != std::string_view::npos) value = Trim(value.substr(0, important));
            declarations.emplace_back(Lower(Trim(declaration.substr(0, colon))), std::string(value));
        }
        i = end + 1;
    }
    return declarations;
}

std::string JoinDeclarations(const std::vector<std::pair<std::string, std::string>>& declarations) {
    std::string style;
    for (const auto& [name, value] : declarations) {
        if (!style.empty()) style += ";";
        style += name + ":" + value;
    }
    return style;
}


// What the reader puts into the document must be finite: the writer could not write it otherwise.
bool Finite(const RealPoint& p) {
    return std::isfinite(p.h) && std::isfinite(p.v);
}
bool Finite(const RealRect& r) {
    return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}
bool Finite(const Affine& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.e) && std::isfinite(m.f);
}
// The host keeps dashes in single precision.
bool FitsFloat(double value) {
    return std::fabs(value) <= std::numeric_limits<float>::max();
}

// ---- Building shapes in their own coordinates ----

// Anchors of one closed or open outline; arcs are quarter ellipses given by their corner point.
class OutlineBuilder {
public:
    void To(const RealPoint& p) {
        if (!anchors_.empty() && anchors_.back().p.h == p.h && anchors_.back().p.v == p.v) return;
        anchors_.push_back(AnchorRecord{p, p, p, true});
    }
    // A quarter arc from the last anchor to end, whose tangents meet at corner.
    void QuarterArc(const RealPoint& corner, const RealPoint& end) {
        AnchorRecord& from = anchors_.back();
        from.out = RealPoint{from.p.h + kQuarterArcHandle * (corner.h - from.p.h),
                             from.p.v + kQuarterArcHandle * (corner.v - from.p.v)};
        anchors_.push_back(AnchorRecord{
            end,
            RealPoint{end.h + kQuarterArcHandle * (corner.h - end.h), end.v + kQuarterArcHandle * (corner.v - end.v)},
            end, true});
    }
    Subpath Closed() {
        if (anchors_.size() > 1 && ClosesOnStart(anchors_.back().p, anchors_.front().p)) {
            anchors_.front().in = anchors_.back().in;
            anchors_.pop_back();
        }
        for (AnchorRecord& anchor : anchors_) anchor.corner = IsCornerAnchor(anchor);
        return Subpath{anchors_, true};
    }

private:
    std::vector<AnchorRecord> anchors_;
};

Subpath Ellipse(double cx, double cy, double rx, double ry) {
    OutlineBuilder outline;
    outline.To({cx + rx, cy});
    outline.QuarterArc({cx + rx, cy + ry}, {cx, cy + ry});
    outline.QuarterArc({cx - rx, cy + ry}, {cx - rx, cy});
    outline.QuarterArc({cx - rx, cy - ry}, {cx, cy - ry});
    outline.QuarterArc({cx + rx, cy - ry}, {cx + rx, cy});
    return outline.Closed();
}

Subpath Rectangle(double x, double y, double w, double h, double rx, double ry) {
    OutlineBuilder outline;
    if (rx <= 0 || ry <= 0) {
        outline.To({x, y});
        outline.To({x + w, y});
        outline.To({x + w, y + h});
        outline.To({x, y + h});
        return outline.Closed();
    }
    outline.To({x + rx, y});
    outline.To({x + w - rx, y});
    outline.QuarterArc({x + w, y}, {x + w, y + ry});
    outline.To({x + w, y + h - ry});
    outline.QuarterArc({x + w, y + h}, {x + w - rx, y + h});
    outline.To({x + rx, y + h});
    outline.QuarterArc({x, y + h}, {x, y + h - ry});
    outline.To({x, y + ry});
    outline.QuarterArc({x, y}, {x + rx, y});
    return outline.Closed();
}

// The selection states of every anchor of a path or compound path, in order.
std::vector<std::int16_t> SelectionStates(const sim::Art& art) {
    std::vector<std::int16_t> states;
    if (art.type == kPathArt) states = art.selection;
    for (const sim::Art* child = art.firstChild; art.type == kCompoundPathArt && child; child = child->next) {
        if (child->alive && child->type == kPathArt) states.insert(states.end(), child->selection.begin(), child->selection.end());
    }
    return states;
}

// ---- Reading ----

enum class Kind { Group, Shape, Text, Image, Kept, Swatch, Tag, Unsupported };

Kind KindOf(const std::string& name) {
    static constexpr const char* kShapes[] = {"path", "rect", "circle", "ellipse", "line", "polyline", "polygon"};
    if (name == "g") return Kind::Group;
    if (name == "text") return Kind::Text;
    if (name == "image") return Kind::Image;
    if (name == "kv:swatch") return Kind::Swatch;
    if (name == "kv:tag") return Kind::Tag;
    for (const char* shape : kShapes) {
        if (name == shape) return Kind::Shape;
    }
    // Everything else is kept as it is and passed over: elements Kelvane does not draw with (use,
    // switch, a, nested svg, flowRoot...) and those of other vocabularies. Unknown ones of ours are
    // a fault, so that a misspelt attribute element is not silently passed over.
    return name.rfind("kv:", 0) == 0 ? Kind::Unsupported : Kind::Kept;
}

struct Context {
    Affine transform;
    Properties properties;
    bool selected = false;
};

class Reader {
public:
    Reader(SvgSource& source, sim::Document& document) : source_(source), document_(document) {}

    void Run() {
        pugi::xml_node root = source_.xml.document_element();
        ReadNamespaces(root);
        if (Name(root) != "svg") {
            throw SvgError("not an SVG file: the root element is <" + std::string(root.name()) + ">, not <svg>");
        }
        CheckStructure(root);
        if (document_.LayerCount() != 1 || document_.LayerAt(0)->root->firstChild != nullptr) {
            throw SvgError("an SVG file is read into a new, empty document only");
        }
        ReadPage(root);
        Context context;
        context.transform = source_.base;
        ApplyProperties(root, context.properties);

        // A drawing that marks its layers (Inkscape's) has those as layers, and its other top-level
        // groups are art; elsewhere every top-level group is a layer. Runs of loose elements between
        // layers get a layer each. Layers inside layers are groups of their top-level layer.
        struct LayerSource {
            pugi::xml_node group;
            std::vector<pugi::xml_node> loose;
        };
        bool marksLayers = false;
        for (pugi::xml_node child : root.children()) marksLayers = marksLayers || IsMarkedLayer(child);
        std::vector<LayerSource> sources;
        document_.Swatches().clear();
        for (pugi::xml_node child : root.children()) {
            if (child.type() != pugi::node_element) continue;
            switch (KindOf(Name(child))) {
                case Kind::Group:
                    if (!marksLayers || IsMarkedLayer(child)) {
                        sources.push_back(LayerSource{child, {}});
                        break;
                    }
                    [[fallthrough]];
                case Kind::Shape:
                case Kind::Text:
                case Kind::Image:
                    if (sources.empty() || sources.back().group) sources.push_back(LayerSource{});
                    sources.back().loose.push_back(child);
                    break;
                case Kind::Swatch:
                    ReadSwatch(child);
                    break;
                case Kind::Kept:
                    break;
                case Kind::Tag:
                    Fail(child, "a tag belongs inside the element it tags");
                case Kind::Unsupported:
                    Unsupported(child);
            }
        }
        if (sources.empty()) {
            // The host's one layer stands for the file's root, where new art then goes.
            source_.layers[document_.LayerAt(0)] = pugi::xml_node();
            RememberLayers(document_.LayerAt(0));
            return;
        }

        // The host's first layer is the top one: the last group of the file.
        std::vector<sim::Layer*> layers(sources.size());
        layers.back() = document_.LayerAt(0);
        for (std::size_t j = sources.size() - 1; j-- > 0;) layers[j] = document_.AddLayer("");
        sim::Layer* marked = nullptr;
        sim::Layer* named = nullptr;  // the namedview's current layer, or the layer holding it
        const std::string namedId = CurrentLayerId(root);
        for (std::size_t j = 0; j < sources.size(); ++j) {
            sim::Layer* layer = layers[j];
            layer->title = "Layer " + std::to_string(j + 1);
            source_.layers[layer] = sources[j].group;
            layerFrames_[layer] = context.transform;
            if (!sources[j].group) {
                for (auto element = sources[j].loose.rbegin(); element != sources[j].loose.rend(); ++element) {
                    ReadElement(*element, layer->root, context);
                }
                continue;
            }
            const pugi::xml_node group = sources[j].group;
            if (const std::string label = Attribute(group, "inkscape:label"); !label.empty()) {
                layer->title = label;
            } else if (const std::string id = group.attribute("id").value(); !id.empty()) {
                layer->title = id;
            }
            layer->visible = !OwnDisplayNone(group) && !OwnVisibilityHidden(group);
            layer->editable = !Locked(group);
            if (BoolAttribute(group, "kv:current").value_or(false)) marked = layer;
            if (!namedId.empty() && Holds(group, namedId)) named = layer;
            const Context layerContext = Derive(group, context);
            layerFrames_[layer] = layerContext.transform;
            ReadChildren(group, layer->root, layerContext);
        }
        sim::Layer* const unmarked = named != nullptr ? named : document_.LayerAt(0);
        document_.SetCurrentLayer(marked != nullptr ? marked : unmarked);
        RememberLayers(unmarked);
    }

private:
    bool IsMarkedLayer(const pugi::xml_node& node) const {
        return node.type() == pugi::node_element && KindOf(Name(node)) == Kind::Group &&
               Attribute(node, "inkscape:groupmode") == "layer";
    }

    std::string CurrentLayerId(const pugi::xml_node& root) const {
        for (pugi::xml_node child : root.children()) {
            if (child.type() == pugi::node_element && Name(child) == "sodipodi:namedview") {
                return Attribute(child, "inkscape:current-layer");
            }
        }
        return {};
    }

    static bool Holds(const pugi::xml_node& node, const std::string& id) {
        if (id == node.attribute("id").value()) return true;
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element && Holds(child, id)) return true;
        }
        return false;
    }

    // unmarked: the layer a reader takes as current when no layer is marked so.
    void RememberLayers(const sim::Layer* unmarked) {
        source_.unmarkedCurrent = unmarked;
        for (int i = 0; i < document_.LayerCount(); ++i) {
            const sim::Layer* layer = document_.LayerAt(i);
            const auto inner = layerFrames_.find(layer);
            source_.readLayers[layer] = SvgSource::ReadLayer{layer->title, layer->visible, layer->editable,
                                                             inner != layerFrames_.end() ? inner->second : source_.base};
        }
        source_.readCurrent = document_.CurrentLayer();
    }

    // What art read from node looks like now, for the writer to compare with at the end.
    void Remember(const pugi::xml_node& node, const sim::Art* art, const Affine& outer, const Affine& inner) {
        if (source_.read.size() <= art->poolIndex) source_.read.resize(art->poolIndex + 1);
        ReadArt& read = source_.read[art->poolIndex];
        read.art = art;
        read.node = node;
        read.container = art->parent;
        read.outer = outer;
        read.inner = inner;
        read.attributes = art->attributes;
        read.style = art->style;
        read.tags = art->tags;
        read.matrix = art->matrix;
        read.selected = art->Selected();
        read.states = SelectionStates(*art);
        if (art->type == kPathArt) {
            read.paths.push_back(art->anchors);
            read.closed.push_back(art->closed);
        }
        for (const sim::Art* child = art->firstChild; art->type == kCompoundPathArt && child; child = child->next) {
            read.paths.push_back(child->anchors);
            read.closed.push_back(child->closed);
        }
    }

    // ---- Names and attributes ----

    void ReadNamespaces(const pugi::xml_node& root) {
        for (pugi::xml_attribute attribute : root.attributes()) {
            const std::string name = attribute.name();
            if (name != "xmlns" && name.rfind("xmlns:", 0) != 0) continue;
            const std::string prefix = name == "xmlns" ? "" : name.substr(6);
            const std::string uri = attribute.value();
            for (const KnownNamespace& known : kKnownNamespaces) {
                if (uri == known.uri) {
                    source_.prefixRenames[prefix] = known.prefix;
                } else if (prefix == known.prefix && !prefix.empty()) {
                    Fail(root, "the prefix '" + prefix + "' is bound to " + uri + ", not to " + known.uri);
                }
            }
        }
    }

    std::string Name(const pugi::xml_node& node) const { return source_.Canonical(node.name()); }

    // Before anything is read, on every element, without recursion:
    //  - reading and writing recurse into nested elements, so nesting is held to kMaxNesting, far
    //    beyond what drawings use, before it could exhaust the stack;
    //  - XML allows an attribute once per element, and pugixml does not check it: the reader would
    //    take the first and the writer copy both, so a file would not read back as it was written.
    void CheckStructure(const pugi::xml_node& root) const {
        std::vector<std::pair<pugi::xml_node, int>> pending{{root, 1}};
        std::set<std::string> names;
        while (!pending.empty()) {
            const auto [node, depth] = pending.back();
            pending.pop_back();
            if (depth > kMaxNesting) {
                Fail(node, "elements are nested more than " + std::to_string(kMaxNesting) + " deep");
            }
            names.clear();
            for (pugi::xml_attribute attribute : node.attributes()) {
                if (!names.insert(source_.Canonical(attribute.name())).second) {
                    Fail(node, std::string("the attribute ") + attribute.name() + " is given twice");
                }
            }
            for (pugi::xml_node child : node.children()) {
                if (child.type() == pugi::node_element) pending.emplace_back(child, depth + 1);
            }
        }
    }

    pugi::xml_attribute Find(const pugi::xml_node& node, std::string_view canonicalName) const {
        if (canonicalName.find(':') == std::string_view::npos) {
            return node.attribute(std::string(canonicalName).c_str());
        }
        for (const pugi::xml_attribute& attribute : NamespacedAttributes(node)) {
            if (source_.HasCanonicalName(attribute.name(), canonicalName)) return attribute;
        }
        return {};
    }

    // The attributes of node that can be in a namespace: the prefixed ones, and the others too when
    // the file's default namespace is one with a prefix. Kept for the element last asked about,
    // which is asked for several of them in a row.
    const std::vector<pugi::xml_attribute>& NamespacedAttributes(const pugi::xml_node& node) const {
        if (node == namespacedOf_) return namespaced_;
        const auto unprefixed = source_.prefixRenames.find(std::string_view{});
        const bool all = unprefixed != source_.prefixRenames.end() && !unprefixed->second.empty();
        namespaced_.clear();
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (all || std::strchr(attribute.name(), ':') != nullptr) namespaced_.push_back(attribute);
        }
        namespacedOf_ = node;
        return namespaced_;
    }

    std::string Attribute(const pugi::xml_node& node, std::string_view canonicalName) const {
        return Find(node, canonicalName).value();
    }

    std::optional<bool> BoolAttribute(const pugi::xml_node& node, std::string_view canonicalName) const {
        const pugi::xml_attribute attribute = Find(node, canonicalName);
        if (!attribute) return std::nullopt;
        bool value = false;
        if (!ParseBool(attribute.value(), &value)) {
            Fail(node, std::string("the attribute ") + std::string(canonicalName) + "=\"" + attribute.value() +
                           "\" is neither true nor false");
        }
        return value;
    }

    double LengthAttribute(const pugi::xml_node& node, const char* name, double fallback) const {
        const pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute) return fallback;
        const std::optional<double> value = Length(attribute.value());
        if (!value) Fail(node, std::string("the attribute ") + name + "=\"" + attribute.value() + "\" is not a length");
        return *value;
    }

    [[noreturn]] void Fail(const pugi::xml_node& node, const std::string& message) const {
        const int line = source_.LineOf(node);
        std::string where = line > 0 ? "line " + std::to_string(line) + ": " : "";
        where += "<" + std::string(node.name()) + ">";
        if (const char* id = node.attribute("id").value(); *id != '\0') where += " id=\"" + std::string(id) + "\"";
        throw SvgError(where + ": " + message);
    }

    [[noreturn]] void Unsupported(const pugi::xml_node& node) const {
        Fail(node, "this element is not supported (paths, basic shapes, groups, text and images are)");
    }

    // ---- Page ----

    // The user unit is what width and height make of the viewBox (a CSS pixel without them, or
    // when they are relative); coordinates in the host stay points.
    void ReadPage(const pugi::xml_node& root) {
        constexpr double kPointsPerPixel = 0.75;
        const auto size = [&](const char* name) -> std::optional<double> {
            const pugi::xml_attribute attribute = root.attribute(name);
            const std::string_view value = Trim(attribute.value());
            if (!attribute || value.empty() || value.back() == '%' || Lower(value) == "auto") return std::nullopt;
            const std::optional<double> length = PointLength(value, kPointsPerPixel);
            if (!length) Fail(root, std::string("the attribute ") + name + "=\"" + attribute.value() + "\" is not a length");
            return length;
        };
        const std::optional<double> width = size("width"), height = size("height");
        double unitX = kPointsPerPixel, unitY = kPointsPerPixel;  // points per user unit
        std::vector<double> box;
        if (const pugi::xml_attribute viewBox = root.attribute("viewBox")) {
            if (!NumberList(viewBox.value(), box) || box.size() != 4 || box[2] <= 0 || box[3] <= 0) {
                Fail(root, std::string("the viewBox \"") + viewBox.value() + "\" is not four numbers x y width height");
            }
            if (width && *width > 0) unitX = *width / box[2];
            if (height && *height > 0) unitY = *height / box[3];
            if (!(width && *width > 0)) unitX = unitY;
            if (!(height && *height > 0)) unitY = unitX;
            // Unless told to stretch, the viewBox keeps its proportions and fits inside.
            if (Trim(root.attribute("preserveAspectRatio").value()).rfind("none", 0) != 0) {
                unitX = unitY = std::min(unitX, unitY);
            }
        }
        source_.base = Affine{unitX, 0, 0, -unitY, 0, 0};
        if (!Finite(source_.base) || source_.base.a <= 0 || source_.base.d >= 0) Fail(root, "the page's scale is out of range");

        RealRect area = kCanvas;
        if (!box.empty()) {
            const RealPoint topLeft = Apply(source_.base, {box[0], box[1]});
            const RealPoint bottomRight = Apply(source_.base, {box[0] + box[2], box[1] + box[3]});
            area = RealRect{topLeft.h, topLeft.v, bottomRight.h, bottomRight.v};
            // A size lost beside its origin, or an edge beyond a double's range, could not be written.
            if (!(area.right > area.left) || !(area.top > area.bottom) || !Finite(area)) {
                Fail(root, std::string("the viewBox \"") + root.attribute("viewBox").value() + "\" is out of range");
            }
        } else if (width && height) {
            if (*width <= 0 || *height <= 0) Fail(root, "the page has no size");
            area = RealRect{0, 0, *width, -*height};
            if (!Finite(area)) Fail(root, "the page's size is out of range");
        }
        document_.drawingArea = RealRect{area.left, area.top == 0 ? 0.0 : area.top, area.right, area.bottom};
        sim::DocumentView& view = *document_.Views().front();
        view.zoom = 1.0;
        view.origin = RealPoint{area.left, area.top};
        // The view's size in pixels at zoom 1, held at what a window's size can be.
        const auto pixels = [](double extent) {
            return static_cast<std::int32_t>(std::min(std::ceil(extent), static_cast<double>(INT32_MAX)));
        };
        view.width = pixels(area.right - area.left);
        view.height = pixels(area.top - area.bottom);
        ReadRulerUnit(root);
    }

    // The ruler unit is the document's display unit: kv:units (the host's own units), else Inkscape's
    // document units, else the unit of the page's width, else pixels. The host's pixel is a point,
    // as the plug-in reads it, so a drawing in CSS pixels (0.75 pt) is shown in points rather than
    // in a pixel that would mislabel every length.
    void ReadRulerUnit(const pugi::xml_node& root) {
        if (const pugi::xml_attribute units = Find(root, "kv:units")) {
            if (!ParseRulerUnit(units.value(), &document_.rulerUnit)) {
                Fail(root, std::string("unknown ruler unit kv:units=\"") + units.value() +
                               "\" (in, cm, pt, pc, mm, px or q)");
            }
            return;
        }
        document_.rulerUnit = DisplayUnit(root);
        if (document_.rulerUnit == sim::RulerUnit::Pixels) document_.rulerUnit = sim::RulerUnit::Points;
    }

    sim::RulerUnit DisplayUnit(const pugi::xml_node& root) {
        sim::RulerUnit unit = sim::RulerUnit::Pixels;
        for (pugi::xml_node child : root.children()) {
            if (child.type() != pugi::node_element || Name(child) != "sodipodi:namedview") continue;
            if (ParseRulerUnit(Attribute(child, "inkscape:document-units"), &unit)) return unit;
        }
        std::string_view width = Trim(root.attribute("width").value());
        std::size_t digits = width.size();
        while (digits > 0 && std::isalpha(static_cast<unsigned char>(width[digits - 1]))) --digits;
        if (digits < width.size()) ParseRulerUnit(width.substr(digits), &unit);
        return unit;
    }

    // A swatch is grey or RGB by its colour unless kind says cmyk (with cmyk="c m y k", 0 to 1)
    // or spot (a custom colour: color is its appearance, tint 0 to 1).
    void ReadSwatch(const pugi::xml_node& node) {
        const pugi::xml_attribute name = node.attribute("name");
        if (!name) Fail(node, "a swatch needs a name");
        const std::string kind = node.attribute("kind").value();
        Color color{};
        if (kind == "cmyk") {
            std::vector<double> cmyk;
            if (!NumberList(node.attribute("cmyk").value(), cmyk) || cmyk.size() != 4) {
                Fail(node, "a cmyk swatch needs cmyk=\"c m y k\"");
            }
            color.kind = kFourColor;
            color.c = cmyk[0];
            color.m = cmyk[1];
            color.y = cmyk[2];
            color.k = cmyk[3];
        } else if (!ParseColor(node.attribute("color").value(), &color)) {
            Fail(node, std::string("the swatch colour \"") + node.attribute("color").value() + "\" is not a colour");
        } else if (kind == "spot") {
            color.kind = kCustomColor;
            color.tint = 1;
            if (const pugi::xml_attribute tint = node.attribute("tint")) {
                const std::optional<double> value = WholeNumber(tint.value());
                if (!value) Fail(node, "the tint is not a number");
                color.tint = *value;
            }
        } else if (kind == "rgb") {
            color.kind = kThreeColor;
        } else if (kind == "gray") {
            if (color.kind != kGrayColor) Fail(node, "a gray swatch needs a grey colour");
        } else if (!kind.empty()) {
            Fail(node, "unknown swatch kind \"" + kind + "\" (gray, rgb, cmyk or spot)");
        }
        document_.AddSwatch(name.value(), color);
    }

    // ---- Properties and transforms ----

    bool OwnDisplayNone(const pugi::xml_node& node) const {
        std::string display = node.attribute("display").value();
        for (const auto& [name, value] : StyleDeclarations(node.attribute("style").value())) {
            if (name == "display") display = value;
        }
        return Trim(display) == "none";
    }

    bool OwnVisibilityHidden(const pugi::xml_node& node) const {
        std::string visibility = node.attribute("visibility").value();
        for (const auto& [name, value] : StyleDeclarations(node.attribute("style").value())) {
            if (name == "visibility") visibility = value;
        }
        const std::string_view trimmed = Trim(visibility);
        return trimmed == "hidden" || trimmed == "collapse";
    }

    bool Locked(const pugi::xml_node& node) const {
        return BoolAttribute(node, "kv:locked").value_or(false) ||
               BoolAttribute(node, "sodipodi:insensitive").value_or(false);
    }

    Paint ReadPaint(const pugi::xml_node& node, const char* property, std::string_view text, const Paint& inherited) {
        std::string_view value = Trim(text);
        if (value == "inherit") return inherited;
        if (value.rfind("url(", 0) == 0) {
            // Gradients and patterns have no place in the host's path style: their fallback is used.
            const std::size_t close = value.find(')');
            if (close == std::string_view::npos) {
                Fail(node, std::string("malformed ") + property + " \"" + std::string(text) + "\"");
            }
            value = Trim(value.substr(close + 1));
            if (value.empty()) return Paint{};
        }
        if (value == "none" || value == "transparent") return Paint{};
        if (value == "currentColor") return Paint{Paint::CurrentColor, {}};
        Paint paint{Paint::Rgb, {}};
        if (!ParseColor(value, &paint.color)) {
            Fail(node, std::string("the ") + property + " \"" + std::string(text) + "\" is not a colour");
        }
        return paint;
    }

    void ApplyProperty(const pugi::xml_node& node, const std::string& name, const std::string& value,
                       Properties& properties) {
        const std::string_view trimmed = Trim(value);
        if (trimmed == "inherit") return;  // the inherited value is already in place
        if (name == "fill") {
            properties.fill = ReadPaint(node, "fill", value, properties.fill);
        } else if (name == "stroke") {
            properties.stroke = ReadPaint(node, "stroke", value, properties.stroke);
        } else if (name == "color") {
            Paint paint = ReadPaint(node, "color", value, Paint{Paint::Rgb, properties.color});
            if (paint.kind == Paint::Rgb) properties.color = paint.color;
        } else if (name == "stroke-width") {
            const std::optional<double> width = Length(value);
            if (!width || *width < 0) Fail(node, "the stroke-width \"" + value + "\" is not a length of 0 or more");
            properties.strokeWidth = *width;
        } else if (name == "stroke-dasharray") {
            properties.dashes.clear();
            if (trimmed == "none") return;
            std::vector<double> numbers;
            bool valid = true;
            std::string_view rest = trimmed;
            while (!rest.empty() && valid) {
                const std::size_t end = rest.find_first_of(", \t\n\r");
                const std::string_view item = rest.substr(0, end);
                if (!item.empty()) {
                    const std::optional<double> length = Length(item);
                    valid = length.has_value() && *length >= 0;
                    if (valid) numbers.push_back(*length);
                }
                rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
            }
            if (!valid || numbers.empty()) {
                Fail(node, "the stroke-dasharray \"" + value + "\" is not a list of lengths");
            }
            if (numbers.size() % 2 == 1) numbers.insert(numbers.end(), numbers.begin(), numbers.end());
            if (numbers.size() > static_cast<std::size_t>(kMaxDashes)) {
                Fail(node, "the stroke-dasharray \"" + value + "\" has more than " + std::to_string(kMaxDashes) +
                               " entries (the host keeps six)");
            }
            double sum = 0;
            for (double number : numbers) sum += number;
            if (sum > 0) properties.dashes = numbers;
        } else if (name == "stroke-dashoffset") {
            const std::optional<double> offset = Length(value);
            if (!offset) Fail(node, "the stroke-dashoffset \"" + value + "\" is not a length");
            properties.dashOffset = *offset;
        } else if (name == "stroke-miterlimit") {
            const std::optional<double> limit = WholeNumber(value);
            if (!limit || *limit < 1) {
                Fail(node, "the stroke-miterlimit \"" + value + "\" is not a number of 1 or more");
            }
            properties.miterLimit = *limit;
        } else if (name == "font-size") {
            if (const std::optional<double> size = Length(value); size && *size > 0) properties.fontSize = *size;
        }
    }

    // Presentation attributes first, then the style attribute, which wins.
    void ApplyProperties(const pugi::xml_node& node, Properties& properties) {
        static constexpr const char* kRead[] = {
            "color",    "fill", "stroke", "stroke-width", "stroke-dasharray", "stroke-dashoffset", "stroke-miterlimit",
            "font-size"};
        for (const char* name : kRead) {
            if (const pugi::xml_attribute attribute = node.attribute(name)) {
                ApplyProperty(node, name, attribute.value(), properties);
            }
        }
        for (const auto& [name, value] : StyleDeclarations(node.attribute("style").value())) {
            ApplyProperty(node, name, value, properties);
        }
    }

    Affine ReadTransform(const pugi::xml_node& node) const {
        Affine result;
        const std::string text = node.attribute("transform").value();
        std::size_t i = 0;
        while (true) {
            while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ',')) ++i;
            if (i >= text.size()) break;
            const std::size_t open = text.find('(', i);
            const std::size_t close = open == std::string::npos ? std::string::npos : text.find(')', open);
            if (close == std::string::npos) Fail(node, "malformed transform \"" + text + "\"");
            const std::string name(Trim(std::string_view(text).substr(i, open - i)));
            std::vector<double> v;
            if (!NumberList(std::string_view(text).substr(open + 1, close - open - 1), v)) {
                Fail(node, "malformed transform \"" + text + "\"");
            }
            const auto wrongCount = [&]() {
                Fail(node, "wrong number of values for " + name + " in \"" + text + "\"");
            };
            Affine m;
            if (name == "matrix") {
                if (v.size() != 6) wrongCount();
                m = Affine{v[0], v[1], v[2], v[3], v[4], v[5]};
            } else if (name == "translate") {
                if (v.empty() || v.size() > 2) wrongCount();
                m.e = v[0];
                m.f = v.size() == 2 ? v[1] : 0;
            } else if (name == "scale") {
                if (v.empty() || v.size() > 2) wrongCount();
                m.a = v[0];
                m.d = v.size() == 2 ? v[1] : v[0];
            } else if (name == "rotate") {
                if (v.size() != 1 && v.size() != 3) wrongCount();
                const double angle = v[0] * kPi / 180;
                const Affine turn{std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 0, 0};
                if (v.size() == 3) {
                    m = Affine{1, 0, 0, 1, v[1], v[2]} * turn * Affine{1, 0, 0, 1, -v[1], -v[2]};
                } else {
                    m = turn;
                }
            } else if (name == "skewX" || name == "skewY") {
                if (v.size() != 1) wrongCount();
                const double t = std::tan(v[0] * kPi / 180);
                if (name == "skewX") {
                    m.c = t;
                } else {
                    m.b = t;
                }
            } else {
                Fail(node, "unknown transform \"" + name + "\"");
            }
            result = result * m;
            i = close + 1;
        }
        return result;
    }

    Context Derive(const pugi::xml_node& node, const Context& parent) {
        Context context = parent;
        context.transform = parent.transform * ReadTransform(node);
        if (!Finite(context.transform)) Fail(node, "the transform, with those around it, is out of range");
        ApplyProperties(node, context.properties);
        return context;
    }

    PathStyle StyleOf(const pugi::xml_node& node, const Properties& properties, const Affine& transform) const {
        // Widths and dashes scale with the element's transform (by its mean scale).
        const double scale = std::sqrt(std::fabs(transform.a * transform.d - transform.b * transform.c));
        const auto colorOf = [&](const Paint& paint) {
            return paint.kind == Paint::CurrentColor ? properties.color : paint.color;
        };
        PathStyle style{};
        style.fillPaint = properties.fill.kind != Paint::None;
        if (style.fillPaint) style.fill.color = colorOf(properties.fill);
        style.strokePaint = properties.stroke.kind != Paint::None;
        if (style.strokePaint) style.stroke.color = colorOf(properties.stroke);
        style.stroke.width = properties.strokeWidth * scale;
        if (!std::isfinite(style.stroke.width)) Fail(node, "the stroke width is out of range");
        style.stroke.miterLimit = properties.miterLimit;
        style.stroke.dashCount = static_cast<std::int16_t>(properties.dashes.size());
        for (std::size_t i = 0; i < properties.dashes.size(); ++i) {
            if (!FitsFloat(properties.dashes[i] * scale)) Fail(node, "a dash length is out of range");
            style.stroke.dashes[i] = static_cast<float>(properties.dashes[i] * scale);
        }
        if (!FitsFloat(properties.dashOffset * scale)) Fail(node, "the dash offset is out of range");
        style.stroke.dashOffset = static_cast<float>(properties.dashOffset * scale);
        return style;
    }

    // ---- Elements ----

    void ReadChildren(const pugi::xml_node& parent, sim::Art* container, const Context& context) {
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node child : parent.children()) {
            if (child.type() == pugi::node_element) children.push_back(child);
        }
        // SVG paints later elements on top; the host lists the front-most child first.
        for (auto child = children.rbegin(); child != children.rend(); ++child) ReadElement(*child, container, context);
        if (container->parent == nullptr) return;  // a layer, which nothing moves
        for (const pugi::xml_node& child : children) {
            if (KindOf(Name(child)) != Kind::Kept) continue;
            try {
                source_.passedOver.push_back(SvgSource::PassedOver{child, container, ReadTransform(child)});
            } catch (const SvgError&) {
                // A transform no renderer can read stays as it is, and so does its element.
            }
        }
    }

    void ReadElement(const pugi::xml_node& node, sim::Art* container, const Context& parent) {
        const std::string name = Name(node);
        switch (KindOf(name)) {
            case Kind::Kept:
            case Kind::Tag:
                return;  // gathered by ReadChildren and ReadTags
            case Kind::Swatch:
                Fail(node, "swatches belong directly inside the <svg> element");
            case Kind::Unsupported:
                Unsupported(node);
            case Kind::Group: {
                const Context context = Derive(node, parent);
                sim::Art* group = document_.AddGroup(container);
                ReadCommon(node, group, context.selected, parent.transform, context.transform);
                Context inner = context;
                inner.selected = group->Selected();
                ReadChildren(node, group, inner);
                return;
            }
            case Kind::Shape:
                ReadShape(node, name, container, parent, Derive(node, parent));
                return;
            case Kind::Text:
                ReadText(node, container, parent, Derive(node, parent));
                return;
            case Kind::Image:
                ReadImage(node, container, parent, Derive(node, parent));
                return;
        }
    }

    // Selection of an object without anchors, locks, visibility and tags.
    void ReadCommon(const pugi::xml_node& node, sim::Art* art, bool inheritedSelected, const Affine& outer,
                    const Affine& inner) {
        if (Find(node, "kv:anchors")) Fail(node, "kv:anchors belongs on paths and shapes only");
        if (BoolAttribute(node, "kv:selected").value_or(inheritedSelected)) art->attributes |= kArtSelected;
        ReadLockAndVisibility(node, art);
        ReadTags(node, art);
        Remember(node, art, outer, inner);
    }

    void ReadLockAndVisibility(const pugi::xml_node& node, sim::Art* art) {
        if (Locked(node)) art->attributes |= kArtLocked;
        if (OwnDisplayNone(node) || OwnVisibilityHidden(node)) art->attributes |= kArtHidden;
    }

    void ReadTags(const pugi::xml_node& node, sim::Art* art) {
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element || Name(child) != "kv:tag") continue;
            const std::string tagName = child.attribute("name").value();
            if (tagName.empty()) Fail(child, "a tag needs a name");
            const pugi::xml_attribute type = child.attribute("type");
            art->tags[tagName] = sim::Tag{type ? type.value() : "string", child.text().get()};
        }
    }

    std::vector<Subpath> ShapeOutlines(const pugi::xml_node& node, const std::string& name) {
        const auto length = [&](const char* attribute) { return LengthAttribute(node, attribute, 0); };
        const auto nonNegative = [&](const char* attribute) {
            const double value = length(attribute);
            if (value < 0) Fail(node, std::string("the ") + attribute + " must not be negative");
            return value;
        };
        std::string data;
        if (name == "path") {
            data = node.attribute("d").value();
        } else if (name == "line") {
            data = "M " + FormatNumber(length("x1")) + " " + FormatNumber(length("y1")) + " L " +
                   FormatNumber(length("x2")) + " " + FormatNumber(length("y2"));
        } else if (name == "polyline" || name == "polygon") {
            std::vector<double> points;
            if (!NumberList(node.attribute("points").value(), points) || points.size() % 2 != 0) {
                Fail(node, "the points are not a list of coordinate pairs");
            }
            for (std::size_t i = 0; i < points.size(); i += 2) {
                data += (i == 0 ? "M " : " L ") + FormatNumber(points[i]) + " " + FormatNumber(points[i + 1]);
            }
            if (name == "polygon" && !data.empty()) data += " Z";
        } else if (name == "rect") {
            const double w = nonNegative("width"), h = nonNegative("height");
            const bool hasRx = node.attribute("rx"), hasRy = node.attribute("ry");
            double rx = hasRx ? nonNegative("rx") : 0, ry = hasRy ? nonNegative("ry") : 0;
            if (!hasRx) rx = ry;
            if (!hasRy) ry = rx;
            return {Rectangle(length("x"), length("y"), w, h, std::min(rx, w / 2), std::min(ry, h / 2))};
        } else if (name == "circle") {
            const double r = nonNegative("r");
            return {Ellipse(length("cx"), length("cy"), r, r)};
        } else if (name == "ellipse") {
            return {Ellipse(length("cx"), length("cy"), nonNegative("rx"), nonNegative("ry"))};
        }
        try {
            return ParsePathData(data);
        } catch (const PathDataError& error) {
            Fail(node, std::string("bad path data: ") + error.what());
        }
    }

    void ReadShape(const pugi::xml_node& node, const std::string& name, sim::Art* container, const Context& parent,
                   const Context& context) {
        std::vector<Subpath> outlines = ShapeOutlines(node, name);
        if (outlines.empty()) Fail(node, "the shape has no outline (empty path data or points)");
        for (const Subpath& outline : outlines) {
            if (outline.anchors.size() > sim::kMaxPathAnchors) {
                Fail(node, (outlines.size() > 1 ? "a subpath has " : "the path has ") +
                               std::to_string(outline.anchors.size()) + " anchors; the host holds at most " +
                               std::to_string(sim::kMaxPathAnchors) + " in one path");
            }
        }
        for (Subpath& outline : outlines) {
            for (AnchorRecord& anchor : outline.anchors) {
                anchor.p = Apply(context.transform, anchor.p);
                anchor.in = Apply(context.transform, anchor.in);
                anchor.out = Apply(context.transform, anchor.out);
                if (!Finite(anchor.p) || !Finite(anchor.in) || !Finite(anchor.out)) {
                    Fail(node, "the shape's coordinates are out of range");
                }
            }
        }
        const PathStyle style = StyleOf(node, context.properties, context.transform);

        sim::Art* art = nullptr;
        std::vector<sim::Art*> paths;
        if (outlines.size() == 1) {
            art = document_.AddCurve(container, outlines[0].anchors, outlines[0].closed);
            paths.push_back(art);
        } else {
            art = document_.AddCompoundPath(container);
            for (const Subpath& outline : outlines) {
                paths.push_back(document_.AddCurve(art, outline.anchors, outline.closed));
            }
        }
        std::size_t anchorCount = 0;
        for (const Subpath& outline : outlines) anchorCount += outline.anchors.size();
        std::vector<std::int16_t> states;
        if (const pugi::xml_attribute anchors = Find(node, "kv:anchors")) {
            std::vector<double> values;
            if (!NumberList(anchors.value(), values)) Fail(node, "kv:anchors is not a list of numbers");
            for (double value : values) {
                if (value != std::floor(value) || value < 0 || value > 4) {
                    Fail(node, "an anchor selection state is 0 to 4, not " + FormatNumber(value));
                }
                states.push_back(static_cast<std::int16_t>(value));
            }
            if (states.size() != anchorCount) {
                Fail(node, "kv:anchors gives " + std::to_string(states.size()) + " states for " +
                               std::to_string(anchorCount) + " anchors");
            }
        }
        const bool anyState = std::any_of(states.begin(), states.end(), [](std::int16_t s) { return s != 0; });
        const bool selected = BoolAttribute(node, "kv:selected").value_or(states.empty() ? context.selected : anyState);
        if (states.empty()) states.assign(anchorCount, selected ? kAnchorPointSelected : kAnchorNotSelected);
        const bool guide = BoolAttribute(node, "kv:guide").value_or(false);

        art->style = style;  // a compound path's paths share its style
        std::size_t next = 0;
        for (sim::Art* path : paths) {
            path->guide = guide;
            for (std::int16_t& state : path->selection) state = states[next++];
            if (selected) path->attributes |= kArtSelected;
        }
        if (selected) art->attributes |= kArtSelected;
        ReadLockAndVisibility(node, art);
        ReadTags(node, art);
        Remember(node, art, parent.transform, context.transform);
    }

    void ReadText(const pugi::xml_node& node, sim::Art* container, const Context& parent, const Context& context) {
        std::vector<double> xs, ys;
        NumberList(node.attribute("x").value(), xs);
        NumberList(node.attribute("y").value(), ys);
        const RealPoint origin{xs.empty() ? 0 : xs[0], ys.empty() ? 0 : ys[0]};
        // The frame is estimated from the font size and the number of characters.
        const std::size_t characters = CountCharacters(node);
        const double size = context.properties.fontSize;
        const RealRect frame = FrameOf(context.transform, origin.h, origin.v - 0.8 * size,
                                       origin.h + 0.6 * size * static_cast<double>(characters), origin.v + 0.2 * size);
        const RealPoint anchor = Apply(context.transform, origin);
        if (!Finite(frame) || !Finite(anchor)) Fail(node, "the text's position or size is out of range");
        sim::Art* art = document_.AddPointText(container, anchor, frame);
        ReadCommon(node, art, context.selected, parent.transform, context.transform);
    }

    void ReadImage(const pugi::xml_node& node, sim::Art* container, const Context& parent, const Context& context) {
        const double x = LengthAttribute(node, "x", 0), y = LengthAttribute(node, "y", 0);
        const double w = LengthAttribute(node, "width", 0), h = LengthAttribute(node, "height", 0);
        if (w < 0 || h < 0) Fail(node, "an image has no negative size");
        const RealRect frame = FrameOf(context.transform, x, y, x + w, y + h);
        if (!Finite(frame)) Fail(node, "the image's position or size is out of range");
        sim::Art* art = document_.AddPlacedArt(container, frame);
        ReadCommon(node, art, context.selected, parent.transform, context.transform);
    }

    // The artwork bounds of an SVG rectangle under transform.
    static RealRect FrameOf(const Affine& transform, double x0, double y0, double x1, double y1) {
        const RealPoint corners[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        RealRect frame{0, 0, 0, 0};
        bool first = true;
        for (const RealPoint& corner : corners) {
            const RealPoint p = Apply(transform, corner);
            if (first) {
                frame = RealRect{p.h, p.v, p.h, p.v};
                first = false;
            }
            frame.left = std::min(frame.left, p.h);
            frame.right = std::max(frame.right, p.h);
            frame.top = std::max(frame.top, p.v);
            frame.bottom = std::min(frame.bottom, p.v);
        }
        return frame;
    }

    SvgSource& source_;
    sim::Document& document_;
    std::map<const sim::Layer*, Affine> layerFrames_;
    mutable pugi::xml_node namespacedOf_;
    mutable std::vector<pugi::xml_attribute> namespaced_;
};

// ---- Writing ----

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    return a.h == b.h && a.v == b.v;
}

bool SameAnchors(const std::vector<AnchorRecord>& a, const std::vector<AnchorRecord>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const AnchorRecord& x, const AnchorRecord& y) {
               return SamePoint(x.p, y.p) && SamePoint(x.in, y.in) && SamePoint(x.out, y.out);
           });
}

bool Straight(const AnchorRecord& anchor) {
    return SamePoint(anchor.in, anchor.p) && SamePoint(anchor.out, anchor.p);
}

// Whether b is a within a millionth of a millionth of the outline's size: what the shape's own
// attributes give back once written.
bool NearlySame(const std::vector<AnchorRecord>& a, const std::vector<AnchorRecord>& b) {
    if (a.size() != b.size()) return false;
    double extent = 0;
    for (const AnchorRecord& anchor : a) extent = std::max({extent, std::fabs(anchor.p.h), std::fabs(anchor.p.v)});
    const double tolerance = 1e-12 * std::max(extent, 1.0);
    const auto near = [&](const RealPoint& p, const RealPoint& q) {
        return std::fabs(p.h - q.h) <= tolerance && std::fabs(p.v - q.v) <= tolerance;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!near(a[i].p, b[i].p) || !near(a[i].in, b[i].in) || !near(a[i].out, b[i].out)) return false;
    }
    return true;
}

// The attributes that keep a shape element what it is for outlines (in its own coordinates); none
// when only a path can draw them.
std::optional<std::vector<std::pair<std::string, std::string>>> ShapeAttributes(const std::string& shape,
                                                                                const std::vector<Subpath>& outlines) {
    using Attributes = std::vector<std::pair<std::string, std::string>>;
    if (outlines.size() != 1) return std::nullopt;
    const Subpath& outline = outlines[0];
    const std::vector<AnchorRecord>& a = outline.anchors;
    const bool straight = std::all_of(a.begin(), a.end(), Straight);
    const auto n = [](double value) { return FormatNumber(value); };
    if (shape == "line") {
        if (outline.closed || a.size() != 2 || !straight) return std::nullopt;
        return Attributes{{"x1", n(a[0].p.h)}, {"y1", n(a[0].p.v)}, {"x2", n(a[1].p.h)}, {"y2", n(a[1].p.v)}};
    }
    if (shape == "polyline" || shape == "polygon") {
        if (outline.closed != (shape == "polygon") || !straight) return std::nullopt;
        std::string points;
        for (const AnchorRecord& anchor : a) points += (points.empty() ? "" : " ") + n(anchor.p.h) + "," + n(anchor.p.v);
        return Attributes{{"points", points}};
    }
    if (shape == "rect" && a.size() == 4) {
        if (!outline.closed || !straight) return std::nullopt;
        const double x = a[0].p.h, y = a[0].p.v, w = a[1].p.h - x, h = a[2].p.v - y;
        if (!(w > 0) || !(h > 0) || !NearlySame(a, Rectangle(x, y, w, h, 0, 0).anchors)) return std::nullopt;
        return Attributes{{"x", n(x)}, {"y", n(y)}, {"width", n(w)}, {"height", n(h)}};
    }
    if (shape == "rect" && a.size() == 8) {
        // Rounded: it starts after the top-left corner's arc and runs clockwise in SVG's y-down space.
        if (!outline.closed) return std::nullopt;
        const double x = a[7].p.h, y = a[0].p.v, w = a[2].p.h - x, h = a[4].p.v - y;
        const double rx = a[0].p.h - x, ry = a[7].p.v - y;
        if (!(rx > 0) || !(ry > 0) || !(w >= 2 * rx) || !(h >= 2 * ry) ||
            !NearlySame(a, Rectangle(x, y, w, h, rx, ry).anchors)) {
            return std::nullopt;
        }
        return Attributes{{"x", n(x)}, {"y", n(y)}, {"width", n(w)}, {"height", n(h)}, {"rx", n(rx)}, {"ry", n(ry)}};
    }
    if (shape == "circle" || shape == "ellipse") {
        if (!outline.closed || a.size() != 4) return std::nullopt;
        const double cx = (a[0].p.h + a[2].p.h) / 2, cy = (a[1].p.v + a[3].p.v) / 2;
        const double rx = a[0].p.h - cx, ry = a[1].p.v - cy;
        if (!(rx > 0) || !(ry > 0) || !NearlySame(a, Ellipse(cx, cy, rx, ry).anchors)) return std::nullopt;
        if (shape == "ellipse") return Attributes{{"cx", n(cx)}, {"cy", n(cy)}, {"rx", n(rx)}, {"ry", n(ry)}};
        if (std::fabs(rx - ry) > 1e-12 * std::max(rx, ry)) return std::nullopt;
        return Attributes{{"cx", n(cx)}, {"cy", n(cy)}, {"r", n(rx)}};
    }
    return std::nullopt;
}

std::string MatrixText(const Affine& m) {
    return "matrix(" + FormatNumber(m.a) + " " + FormatNumber(m.b) + " " + FormatNumber(m.c) + " " +
           FormatNumber(m.d) + " " + FormatNumber(m.e) + " " + FormatNumber(m.f) + ")";
}

Affine AffineOf(const RealMatrix& m) {
    return Affine{m.a, m.b, m.c, m.d, m.tx, m.ty};
}

double MeanScale(const Affine& m) {
    return std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
}

// A value rounded to 1..16 significant digits, as "%.*g" prints it and strtod reads it back. The
// value's first 18 or 19 digits are worked out once, exactly, from its 53 bits (with whether
// anything follows them), and each rounding is then integer arithmetic and one correctly rounded
// product or quotient; values too large or too small for that go through to_chars.
class DigitRounding {
public:
    __extension__ using Wide = unsigned __int128;  // GCC's, on 64-bit targets

    explicit DigitRounding(double value) : value_(value) {
        const double magnitude = std::fabs(value);
        if (!(magnitude >= 1e-6 && magnitude < 1e15)) return;
        std::uint64_t bits = 0;
        std::memcpy(&bits, &magnitude, sizeof bits);  // normal: the range above has no subnormals
        const int exponent = static_cast<int>(bits >> 52) - 1022;                    // as frexp gives it
        const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
        const int shift = 53 - exponent;  // magnitude = mantissa / 2^shift
        // The decimal exponent of the magnitude, or one less.
        const int decimal = static_cast<int>(std::floor((exponent - 1) * 0.30102999566398120));
        scale_ = 17 - decimal;  // mantissa * 10^scale_ / 2^shift has 18 or 19 digits before the point
        const Wide scaled = Wide{mantissa} * kPowers5[scale_];
        const int twos = shift - scale_;  // mantissa * 5^scale_ / 2^twos
        if (twos <= 0) {
            digits_ = static_cast<std::uint64_t>(scaled << -twos);
        } else {
            digits_ = static_cast<std::uint64_t>(scaled >> twos);
            more_ = (scaled & ((Wide{1} << twos) - 1)) != 0;
        }
        count_ = digits_ >= kPowers10[18] ? 19 : 18;
        negative_ = value < 0;
        lastDigit_ = 1 / kPowers[scale_] * (1 - 0x1p-40);  // rounded down, as ErrorAt needs
        ready_ = true;
    }

    double At(int digits) const {
        if (!ready_) return Slow(digits);
        const int dropped = count_ - digits;
        const std::uint64_t unit = kPowers10[dropped];
        std::uint64_t kept = digits_ / unit;
        const std::uint64_t rest = digits_ % unit;
        const std::uint64_t half = unit / 2;
        if (rest > half || (rest == half && (more_ || (kept & 1) != 0))) ++kept;
        const int power = dropped - scale_;
        if (power < -22 || power > 22 || kept > (std::uint64_t{1} << 53)) return Slow(digits);
        // Both exact, so one correctly rounded operation gives what strtod gives.
        const auto m = static_cast<double>(kept);
        const double magnitude = power >= 0 ? m * kPowers[power] : m / kPowers[-power];
        return negative_ ? -magnitude : magnitude;
    }

    // At most how far At(digits) lies from the value, before the rounding to a double; 0 where the
    // digits are not known. It never grows with more digits.
    double ErrorAt(int digits) const {
        if (!ready_) return 0;
        const std::uint64_t unit = kPowers10[count_ - digits];
        const std::uint64_t rest = digits_ % unit;
        const std::uint64_t up = unit - rest - (more_ ? 1 : 0);  // whole units of the last digit kept
        return static_cast<double>(std::min(rest, up)) * lastDigit_;
    }

private:
    // to_chars rounds from the exact value and breaks exact ties to even, as printf does.
    double Slow(int digits) const {
        char text[48];
        const auto printed =
            std::to_chars(text, text + sizeof text, value_, std::chars_format::scientific, digits - 1);
        double read = value_;
        std::from_chars(text, printed.ptr, read);
        return read;
    }

    static constexpr std::uint64_t kPowers10[] = {1,
                                                  10,
                                                  100,
                                                  1000,
                                                  10000,
                                                  100000,
                                                  1000000,
                                                  10000000,
                                                  100000000,
                                                  1000000000,
                                                  10000000000,
                                                  100000000000,
                                                  1000000000000,
                                                  10000000000000,
                                                  100000000000000,
                                                  1000000000000000,
                                                  10000000000000000,
                                                  100000000000000000,
                                                  1000000000000000000};
    static constexpr std::uint64_t kPowers5[] = {
        1ull, 5ull, 25ull, 125ull, 625ull, 3125ull, 15625ull, 78125ull, 390625ull, 1953125ull, 9765625ull,
        48828125ull, 244140625ull, 1220703125ull, 6103515625ull, 30517578125ull, 152587890625ull,
        762939453125ull, 3814697265625ull, 19073486328125ull, 95367431640625ull, 476837158203125ull,
        2384185791015625ull, 11920928955078125ull, 59604644775390625ull};  // up to 5^24, for 1e-6
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                         1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17,
                                         1e18, 1e19, 1e20, 1e21, 1e22, 1e23, 1e24};  // exact up to 1e22
    double value_;
    bool ready_ = false, negative_ = false, more_ = false;
    std::uint64_t digits_ = 0;  // the first digits of the magnitude; more_: a non-zero remainder follows
    int count_ = 0;             // how many
    int scale_ = 0;             // digits_ = the magnitude * 10^scale_, truncated
    double lastDigit_ = 0;      // the value of one unit of digits_' last digit, rounded down
};


// The fewest digits for which a rounding of exact can map onto target through x -> scale * x + offset
// (with the roundings of that map): a rounding further from exact than the slack below moves the image
// off target. ErrorAt never grows with more digits, so the first that may do is found by halving;
// 17 when none may.
int FewestPossibleDigits(const DigitRounding& rounding, double exact, double target, double scale, double offset) {
    const double image = std::fabs(scale * exact);
    const double slack =
        std::fabs(scale * exact + offset - target) + 0x1p-48 * (std::fabs(target) + 6 * image + std::fabs(offset));
    int low = 1;
    int high = 17;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (std::fabs(scale) * rounding.ErrorAt(middle) > slack) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Splices what the document changed since it was read into the input's text.
class Writer {
public:
    Writer(const sim::Document& document, const SvgSource& source)
        : document_(document), source_(source), text_(source.text) {
        for (const auto& [prefix, canonical] : source_.prefixRenames) written_.emplace(canonical, prefix);
        const pugi::xml_node root = source_.xml.document_element();
        rootTag_ = ReadStartTag(text_, source_.StartOf(root));
        const std::size_t colon = rootTag_.name.find(':');
        svgPrefix_ = colon == std::string::npos ? "" : rootTag_.name.substr(0, colon + 1);
        unit_ = "  ";
        for (pugi::xml_node child : root.children()) {
            if (child.type() != pugi::node_element) continue;
            const std::string space = LeadingSpace(text_, source_.StartOf(child));
            const std::size_t newline = space.rfind('\n');
            if (newline != std::string::npos && newline + 1 < space.size()) unit_ = space.substr(newline + 1);
            break;
        }
    }

    std::string Run() {
        for (const ReadArt& was : source_.read) {
            if (was.art != nullptr) WriteRead(*was.art, was);
        }
        MovePassedOver();
        WriteLayers();
        for (int i = 0; i < document_.LayerCount(); ++i) {
            const sim::Layer* layer = document_.LayerAt(i);
            if (!layer->alive) continue;
            const auto group = source_.layers.find(layer);
            if (group == source_.layers.end()) {
                InsertLayer(i);
            } else {
                const pugi::xml_node parent = group->second ? group->second : source_.xml.document_element();
                WriteNewChildren(*layer->root, parent, source_.readLayers.at(layer).inner);
            }
        }
        DeclareNamespaces();
        if (splice_.Empty()) return source_.Input();
        return Encode(splice_.Apply(text_));
    }

private:
    // ---- Names ----

    // A name of ours ("kv:selected") with the prefix the input binds its namespace to; a prefix it
    // does not bind is declared on the root.
    std::string Written(const std::string& canonical) {
        const std::size_t colon = canonical.find(':');
        if (colon == std::string::npos) return canonical;
        const std::string prefix = canonical.substr(0, colon);
        const auto found = written_.find(prefix);
        if (found != written_.end()) {
            return found->second.empty() ? canonical.substr(colon + 1) : found->second + canonical.substr(colon);
        }
        undeclared_.insert(prefix);
        return canonical;
    }

    void DeclareNamespaces() {
        for (const std::string& prefix : undeclared_) {
            for (const KnownNamespace& known : kKnownNamespaces) {
                if (prefix == known.prefix && rootTag_.Find("xmlns:" + prefix) == nullptr) {
                    splice_.Insert(rootTag_.attributesEnd, " xmlns:" + prefix + "=\"" + known.uri + "\"");
                }
            }
        }
    }

    // ---- Elements as they stand in the text ----

    StartTag TagOf(const pugi::xml_node& node) const { return ReadStartTag(text_, source_.StartOf(node)); }

    void RemoveElement(const pugi::xml_node& node) {
        const StartTag tag = TagOf(node);
        const std::string space = LeadingSpace(text_, tag.start);
        const std::size_t end = ElementEnd(text_, tag);
        splice_.Remove(tag.start - space.size(), end - tag.start + space.size());
    }

    // The changes to one element's start tag and content, made together at the end.
    class ElementEdit {
    public:
        ElementEdit(Writer& writer, const pugi::xml_node& node) : writer_(writer), node_(node) {}

        // Read when first asked for: most elements of a drawing are left as they are.
        const StartTag& Tag() const {
            if (!tag_) tag_ = writer_.TagOf(node_);
            return *tag_;
        }
        const AttributeSpan* Find(const std::string& canonical) const {
            for (const AttributeSpan& span : Tag().attributes) {
                if (writer_.source_.HasCanonicalName(span.name, canonical)) return &span;
            }
            return nullptr;
        }
        void Set(const std::string& canonical, const std::string& value) { attributes_[canonical] = value; }
        void Drop(const std::string& canonical) {
            if (Find(canonical) != nullptr) attributes_[canonical] = std::nullopt;
        }
        void Rename(const std::string& name) { name_ = name; }
        std::vector<std::pair<std::string, std::string>>& Style() {
            if (!style_) style_ = StyleDeclarations(node_.attribute("style").value());
            return *style_;
        }
        void Append(std::string child) { children_.push_back(std::move(child)); }

        void Commit() {
            if (attributes_.empty() && name_.empty() && children_.empty() && !style_) return;
            Splice& splice = writer_.splice_;
            const StartTag& tag = Tag();
            if (style_) {
                const std::string style = JoinDeclarations(*style_);
                if (style != JoinDeclarations(StyleDeclarations(node_.attribute("style").value()))) {
                    if (style.empty()) {
                        Drop("style");
                    } else {
                        Set("style", style);
                    }
                }
            }
            for (const auto& [canonical, value] : attributes_) {
                const AttributeSpan* span = Find(canonical);
                if (span != nullptr && value) {
                    const std::string text = EscapeAttribute(*value);
                    if (text != writer_.text_.substr(span->valueStart, span->valueEnd - span->valueStart)) {
                        splice.Replace(span->valueStart, span->valueEnd - span->valueStart, text);
                    }
                } else if (span != nullptr) {
                    std::size_t from = span->start;
                    while (from > tag.nameEnd && std::isspace(static_cast<unsigned char>(writer_.text_[from - 1]))) --from;
                    splice.Remove(from, span->end - from);
                } else if (value) {
                    splice.Insert(tag.attributesEnd, " " + writer_.Written(canonical) + "=\"" + EscapeAttribute(*value) + "\"");
                }
            }
            const std::string name = name_.empty() ? tag.name : name_;
            if (!name_.empty()) splice.Replace(tag.start + 1, tag.nameEnd - tag.start - 1, name);
            if (!children_.empty()) {
                const std::string space = LeadingSpace(writer_.text_, tag.start);
                const std::string inner = writer_.ChildSpace(node_);
                std::string text;
                for (const std::string& child : children_) text += inner + child;
                if (tag.empty) {
                    splice.Replace(tag.close, tag.end - tag.close, ">" + text + space + "</" + name + ">");
                    return;
                }
                std::size_t at = EndTagStart(writer_.text_, tag);
                while (at > tag.end && std::isspace(static_cast<unsigned char>(writer_.text_[at - 1]))) --at;
                splice.Insert(at, text);
            }
            if (!name_.empty() && !tag.empty) {
                splice.Replace(EndTagStart(writer_.text_, tag) + 2, tag.name.size(), name);
            }
        }

    private:
        Writer& writer_;
        pugi::xml_node node_;
        mutable std::optional<StartTag> tag_;
        std::map<std::string, std::optional<std::string>> attributes_;
        std::optional<std::vector<std::pair<std::string, std::string>>> style_;
        std::string name_;
        std::vector<std::string> children_;
    };

    // The white space before a child of node: as before its first child element, else one step
    // further in than node (nothing in a file written on one line).
    std::string ChildSpace(const pugi::xml_node& node) const {
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element) return LeadingSpace(text_, source_.StartOf(child));
        }
        const std::string space = LeadingSpace(text_, source_.StartOf(node));
        if (space.find('\n') != std::string::npos) return space + unit_;
        return node == source_.xml.document_element() ? "\n" + unit_ : space;
    }

    // ---- Art read from the input ----

    bool InTree(const sim::Art* art) const {
        for (; art != nullptr; art = art->parent) {
            if (!art->alive) return false;
            if (art->parent == nullptr) return art->layer != nullptr && art->layer->alive && art->layer->root == art;
        }
        return false;
    }

    bool Kept(const sim::Art* art) const {
        const ReadArt* was = source_.ReadOf(art);
        return was != nullptr && InTree(art) && was->container == art->parent;
    }

    // What the plug-in passed over moves as the group it is in moved as a whole.
    void MovePassedOver() {
        if (source_.passedOver.empty()) return;
        // Each group's move, from the moves of it and of the groups around it, in the order made.
        std::map<const sim::Art*, std::vector<const sim::Art*>> groupsUnder;
        std::map<const sim::Art*, Affine> moves;
        for (const SvgSource::PassedOver& element : source_.passedOver) {
            if (!moves.emplace(element.group, Affine{}).second) continue;
            for (const sim::Art* art = element.group; art != nullptr; art = art->parent) {
                groupsUnder[art].push_back(element.group);
            }
        }
        for (const sim::TransformCall& call : document_.Transforms()) {
            const auto under = groupsUnder.find(call.art);
            if (under == groupsUnder.end()) continue;
            for (const sim::Art* group : under->second) moves[group] = AffineOf(call.matrix) * moves[group];
        }
        for (const SvgSource::PassedOver& element : source_.passedOver) {
            const Affine& move = moves[element.group];
            if (!Kept(element.group) || IsIdentity(move)) continue;
            const Affine& frame = source_.ReadAt(element.group).inner;
            const Affine local = Inverse(frame, *element.group, "the transforms above it") * move * frame;
            ElementEdit edit(*this, element.node);
            edit.Set("transform", MatrixText(local * element.transform));
            edit.Commit();
        }
    }

    void WriteRead(const sim::Art& art, const ReadArt& was) {
        if (!Kept(&art)) {
            RemoveElement(was.node);
            return;
        }
        ElementEdit edit(*this, was.node);
        if (art.type == kPathArt || art.type == kCompoundPathArt) {
            WriteGeometry(art, was, edit);
            WriteStyle(art, was, edit);
        } else if ((art.type == kTextFrameArt || art.type == kPlacedArt) && !SameMatrix(art.matrix, was.matrix)) {
            // E' = outer^-1 * move * outer * E, where outer * E is the element's whole map.
            const Affine move = AffineOf(art.matrix) * Inverse(AffineOf(was.matrix), art, "its former placement");
            edit.Set("transform", MatrixText(Inverse(was.outer, art, "the transforms around it") * move * was.inner));
        }
        WriteSelection(art, was, edit);
        WriteLockAndVisibility(art, was, edit);
        WriteTags(art, was, was.node, edit);
        edit.Commit();
    }

    static bool SameMatrix(const RealMatrix& a, const RealMatrix& b) {
        return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.tx == b.tx && a.ty == b.ty;
    }

    Affine Inverse(const Affine& m, const sim::Art& art, const char* what) const {
        Affine inverse;
        if (!Invert(m, &inverse)) {
            throw SvgError(source_.Describe(&art) + " changed, but " + what +
                           " cannot be undone (a transform without an inverse, such as scale(0)): its new "
                           "coordinates cannot be written in its own coordinate system");
        }
        return inverse;
    }

    static std::vector<const sim::Art*> PathsOf(const sim::Art& art) {
        std::vector<const sim::Art*> paths;
        if (art.type == kPathArt) paths.push_back(&art);
        for (const sim::Art* child = art.firstChild; art.type == kCompoundPathArt && child; child = child->next) {
            if (child->alive && child->type == kPathArt) paths.push_back(child);
        }
        return paths;
    }

    // The point of the element's coordinates (frame maps them to artwork) for an artwork point: of
    // those that frame takes exactly onto it, the one with the fewest digits, so that an anchor
    // that did not move keeps its numbers (150, not 150.00000000000003); else the inverse's.
    static RealPoint ToElement(const RealPoint& artwork, const Affine& frame, const Affine& inverse) {
        // Under no transform the point is its own shortest form (and -0 reads as 0, as Apply gives).
        if (IsIdentity(frame)) return RealPoint{artwork.h + 0.0, artwork.v + 0.0};
        const RealPoint exact = Apply(inverse, artwork);
        const DigitRounding h(exact.h), v(exact.v);
        int first = 1;
        if (frame.b == 0 && frame.c == 0) {  // each coordinate maps on its own
            first = std::max(FewestPossibleDigits(h, exact.h, artwork.h, frame.a, frame.e),
                             FewestPossibleDigits(v, exact.v, artwork.v, frame.d, frame.f));
        }
        for (int digits = first; digits < 17; ++digits) {
            const RealPoint candidate{h.At(digits), v.At(digits)};
            const RealPoint back = Apply(frame, candidate);
            if (back.h == artwork.h && back.v == artwork.v) return candidate;
        }
        return exact;
    }

    // The outlines of a path or compound path in the coordinates that frame maps to artwork.
    static std::vector<Subpath> Outlines(const sim::Art& art, const Affine& frame, const Affine& inverse) {
        std::vector<Subpath> outlines;
        for (const sim::Art* path : PathsOf(art)) {
            Subpath outline{path->anchors, path->closed};
            for (AnchorRecord& anchor : outline.anchors) {
                // A retracted handle is its anchor: worked out once (most of a drawing's anchors).
                const RealPoint p = ToElement(anchor.p, frame, inverse);
                anchor.in = SamePoint(anchor.in, anchor.p) ? p : ToElement(anchor.in, frame, inverse);
                anchor.out = SamePoint(anchor.out, anchor.p) ? p : ToElement(anchor.out, frame, inverse);
                anchor.p = p;
            }
            outlines.push_back(std::move(outline));
        }
        return outlines;
    }

    void WriteGeometry(const sim::Art& art, const ReadArt& was, ElementEdit& edit) {
        const std::vector<const sim::Art*> paths = PathsOf(art);
        bool same = paths.size() == was.paths.size();
        for (std::size_t i = 0; same && i < paths.size(); ++i) {
            same = paths[i]->closed == was.closed[i] && SameAnchors(paths[i]->anchors, was.paths[i]);
        }
        if (same) return;
        const std::vector<Subpath> outlines =
            Outlines(art, was.inner, Inverse(was.inner, art, "the transforms above it"));
        // What Inkscape would make the outline again from (an arc's or a star's parameters, a path
        // effect's source) and its node types no longer describe it.
        for (const char* derived : {"sodipodi:type", "sodipodi:nodetypes", "inkscape:original-d", "inkscape:path-effect"}) {
            edit.Drop(derived);
        }
        const std::string shape = source_.Canonical(edit.Tag().name);
        const std::string local = shape.substr(shape.find(':') + 1);
        if (const auto attributes = ShapeAttributes(local, outlines)) {
            for (const auto& [name, value] : *attributes) {
                // A coordinate that did not move keeps its text (and its absence, which is 0); a
                // radius left out stands for the other one.
                const AttributeSpan* span = edit.Find(name);
                if ((name == "rx" || name == "ry") && span == nullptr && edit.Find(name == "rx" ? "ry" : "rx")) continue;
                const std::optional<double> before =
                    span != nullptr ? Length(text_.substr(span->valueStart, span->valueEnd - span->valueStart)) : 0.0;
                if (name != "points" && before && before == WholeNumber(value)) continue;
                edit.Set(name, value);
            }
            return;
        }
        if (local != "path") {
            const std::size_t colon = edit.Tag().name.find(':');
            edit.Rename((colon == std::string::npos ? "" : edit.Tag().name.substr(0, colon + 1)) + "path");
            for (const char* geometry : kGeometryAttributes) {
                if (std::string_view(geometry) != "pathLength") edit.Drop(geometry);
            }
        }
        edit.Set("d", FormatPathData(outlines));
    }

    // Paint the plug-in changed is written as attributes, which the style attribute no longer overrides.
    void WriteStyle(const sim::Art& art, const ReadArt& was, ElementEdit& edit) {
        const PathStyle& read = *was.style;
        if (std::memcmp(&*art.style, &read, sizeof read) == 0) return;
        const std::vector<std::pair<std::string, std::string>> now = StyleAttributes(*art.style, was.inner);
        const std::vector<std::pair<std::string, std::string>> before = StyleAttributes(read, was.inner);
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] == before[i]) continue;
            edit.Set(now[i].first, now[i].second);
            auto& style = edit.Style();
            style.erase(std::remove_if(style.begin(), style.end(), [&](const auto& d) { return d.first == now[i].first; }),
                        style.end());
        }
    }

    // A path style as presentation attributes in the coordinates of an element whose map is frame.
    static std::vector<std::pair<std::string, std::string>> StyleAttributes(const PathStyle& style, const Affine& frame) {
        const double scale = MeanScale(frame) > 0 ? MeanScale(frame) : 1;
        std::string dashes;
        const int dashCount = std::clamp<int>(style.stroke.dashCount, 0, kMaxDashes);
        for (int i = 0; i < dashCount; ++i) dashes += (i == 0 ? "" : " ") + FormatNumber(style.stroke.dashes[i] / scale);
        return {{"fill", style.fillPaint ? FormatColor(style.fill.color) : "none"},
                {"stroke", style.strokePaint ? FormatColor(style.stroke.color) : "none"},
                {"stroke-width", FormatNumber(style.stroke.width / scale)},
                {"stroke-miterlimit", FormatNumber(style.stroke.miterLimit)},
                {"stroke-dasharray", dashes.empty() ? "none" : dashes},
                {"stroke-dashoffset", FormatNumber(style.stroke.dashOffset / scale)}};
    }

    // The style attributes of new art; the plug-in gives most of its new art one style, whose text
    // is kept.
    const std::string& StyleText(const PathStyle& style, const Affine& frame) {
        const double scale = MeanScale(frame);
        if (std::memcmp(&style, &lastStyle_, sizeof style) != 0 || scale != lastScale_ || lastStyleText_.empty()) {
            lastStyleText_.clear();
            for (const auto& [name, value] : StyleAttributes(style, frame)) {
                lastStyleText_ += " " + name + "=\"" + value + "\"";
            }
            std::memcpy(&lastStyle_, &style, sizeof style);
            lastScale_ = scale;
        }
        return lastStyleText_;
    }

    // Selection as the reader takes it: kv:selected, else any selected anchor of kv:anchors, else
    // the enclosing group's; kv:anchors, else every anchor as the object is.
    void WriteSelection(const sim::Art& art, const ReadArt& was, ElementEdit& edit) {
        const std::vector<std::int16_t> states = SelectionStates(art);
        if (art.Selected() == was.selected && states == was.states) return;
        const bool inherited = art.parent != nullptr && art.parent->parent != nullptr && art.parent->Selected();
        const bool hasAnchors = art.type == kPathArt || art.type == kCompoundPathArt;

        std::optional<bool> ownSelected;
        if (const AttributeSpan* span = edit.Find("kv:selected")) {
            bool value = false;
            if (ParseBool(text_.substr(span->valueStart, span->valueEnd - span->valueStart), &value)) ownSelected = value;
        }
        std::vector<std::int16_t> ownStates;
        bool statesGiven = false;
        if (const AttributeSpan* span = edit.Find("kv:anchors")) {
            std::vector<double> values;
            statesGiven = NumberList(text_.substr(span->valueStart, span->valueEnd - span->valueStart), values);
            for (double value : values) ownStates.push_back(static_cast<std::int16_t>(value));
        }
        const bool anyOwn = std::any_of(ownStates.begin(), ownStates.end(), [](std::int16_t s) { return s != 0; });
        const bool readSelected = ownSelected.value_or(statesGiven ? anyOwn : inherited);
        if (!statesGiven) ownStates.assign(states.size(), readSelected ? kAnchorPointSelected : kAnchorNotSelected);
        if (readSelected == art.Selected() && (!hasAnchors || ownStates == states)) return;

        edit.Drop("kv:selected");
        edit.Drop("kv:anchors");
        for (const auto& [name, value] : SelectionMarks(art, states, inherited)) edit.Set(name, value);
    }

    // Only what the reader would not work out by itself.
    static std::vector<std::pair<std::string, std::string>> SelectionMarks(const sim::Art& art,
                                                                          const std::vector<std::int16_t>& states,
                                                                          bool inherited) {
        std::vector<std::pair<std::string, std::string>> marks;
        const bool selected = art.Selected();
        const bool anyState = std::any_of(states.begin(), states.end(), [](std::int16_t s) { return s != 0; });
        const std::int16_t usual = selected ? kAnchorPointSelected : kAnchorNotSelected;
        const bool writeStates = std::any_of(states.begin(), states.end(), [&](std::int16_t s) { return s != usual; });
        if (selected != (writeStates ? anyState : inherited)) marks.emplace_back("kv:selected", selected ? "true" : "false");
        if (writeStates) {
            std::string text;
            for (std::int16_t state : states) text += (text.empty() ? "" : " ") + std::to_string(state);
            marks.emplace_back("kv:anchors", text);
        }
        return marks;
    }

    void WriteLockAndVisibility(const sim::Art& art, const ReadArt& was, ElementEdit& edit) {
        const std::int32_t changed = (art.attributes ^ was.attributes) & (kArtHidden | kArtLocked);
        if ((changed & kArtHidden) != 0) {
            auto& style = edit.Style();
            style.erase(std::remove_if(style.begin(), style.end(),
                                       [](const auto& d) { return d.first == "display" || d.first == "visibility"; }),
                        style.end());
            edit.Drop("visibility");
            if ((art.attributes & kArtHidden) != 0) {
                edit.Set("display", "none");
            } else {
                edit.Drop("display");
            }
        }
        if ((changed & kArtLocked) != 0) {
            edit.Drop("kv:locked");
            if ((art.attributes & kArtLocked) != 0) {
                edit.Set("sodipodi:insensitive", "true");
            } else {
                edit.Drop("sodipodi:insensitive");
            }
        }
    }

    std::string TagElement(const std::string& name, const sim::Tag& tag) {
        const std::string element = Written("kv:tag");
        return "<" + element + " name=\"" + EscapeAttribute(HostTextToUtf8(name)) + "\" type=\"" +
               EscapeAttribute(HostTextToUtf8(tag.type)) + "\">" + EscapeText(HostTextToUtf8(tag.value)) + "</" +
               element + ">";
    }

    void WriteTags(const sim::Art& art, const ReadArt& was, const pugi::xml_node& node, ElementEdit& edit) {
        const auto same = [](const std::map<std::string, sim::Tag>& a, const std::map<std::string, sim::Tag>& b) {
            return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
                       return x.first == y.first && x.second.type == y.second.type && x.second.value == y.second.value;
                   });
        };
        if (same(art.tags, was.tags)) return;
        std::set<std::string> written;
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element || !source_.HasCanonicalName(child.name(), "kv:tag")) continue;
            const std::string name = child.attribute("name").value();
            const auto now = art.tags.find(name);
            const auto before = was.tags.find(name);
            if (now == art.tags.end()) {
                RemoveElement(child);
            } else if (before == was.tags.end() || before->second.type != now->second.type ||
                       before->second.value != now->second.value || written.count(name) != 0) {
                const StartTag tag = TagOf(child);
                if (written.count(name) != 0) {
                    RemoveElement(child);
                } else {
                    splice_.Replace(tag.start, ElementEnd(text_, tag) - tag.start, TagElement(name, now->second));
                }
            }
            written.insert(name);
        }
        for (const auto& [name, tag] : art.tags) {
            if (written.count(name) == 0) edit.Append(TagElement(name, tag));
        }
    }

    // ---- Layers ----

    void WriteLayers() {
        // The reader takes the layer marked current, else the one it took unmarked (or the top one).
        const sim::Layer* unmarked = source_.unmarkedCurrent;
        for (int i = 0; i < document_.LayerCount() && (unmarked == nullptr || !unmarked->alive); ++i) {
            unmarked = document_.LayerAt(i);
        }
        const bool currentChanged = source_.readCurrent != document_.CurrentLayer();

        for (const auto& [layer, group] : source_.layers) {
            if (!group) continue;
            if (!layer->alive) {
                RemoveElement(group);
                continue;
            }
            const SvgSource::ReadLayer& was = source_.readLayers.at(layer);
            ElementEdit edit(*this, group);
            if (layer->title != was.title) edit.Set("inkscape:label", HostTextToUtf8(layer->title));
            if (layer->visible != was.visible) {
                auto& style = edit.Style();
                style.erase(std::remove_if(style.begin(), style.end(),
                                           [](const auto& d) { return d.first == "display" || d.first == "visibility"; }),
                            style.end());
                edit.Drop("visibility");
                if (layer->visible) {
                    edit.Drop("display");
                } else {
                    edit.Set("display", "none");
                }
            }
            if (layer->editable != was.editable) {
                edit.Drop("kv:locked");
                if (layer->editable) {
                    edit.Drop("sodipodi:insensitive");
                } else {
                    edit.Set("sodipodi:insensitive", "true");
                }
            }
            if (currentChanged) {
                edit.Drop("kv:current");
                if (layer == document_.CurrentLayer() && layer != unmarked) edit.Set("kv:current", "true");
            }
            edit.Commit();
        }
    }


    // The first and last elements of a layer in the file, when it has any.
    std::pair<std::optional<std::size_t>, std::optional<std::size_t>> LayerExtent(const sim::Layer* layer) const {
        const auto group = source_.layers.find(layer);
        if (group == source_.layers.end()) return {};
        if (group->second) {
            const StartTag tag = TagOf(group->second);
            return {tag.start, ElementEnd(text_, tag)};
        }
        std::optional<std::size_t> first, last;
        for (const sim::Art* art = layer->root->lastChild; art != nullptr && !first; art = art->prior) {
            if (Kept(art)) first = source_.StartOf(source_.ReadAt(art).node);
        }
        for (const sim::Art* art = layer->root->firstChild; art != nullptr && !last; art = art->next) {
            if (Kept(art)) last = ElementEnd(text_, TagOf(source_.ReadAt(art).node));
        }
        return {first, last};
    }

    void InsertLayer(int index) {
        const sim::Layer* layer = document_.LayerAt(index);
        const pugi::xml_node root = source_.xml.document_element();
        // Above it in the host is after it in the file.
        for (int above = index - 1; above >= 0; --above) {
            if (const auto extent = LayerExtent(document_.LayerAt(above)); extent.first) {
                const std::string space = LeadingSpace(text_, *extent.first);
                splice_.Insert(*extent.first, LayerElement(*layer, space, {}, space));
                return;
            }
        }
        for (int below = index + 1; below < document_.LayerCount(); ++below) {
            if (const auto extent = LayerExtent(document_.LayerAt(below)); extent.second) {
                const std::string space = LeadingSpace(text_, TagOf(LastElement(root)).start);
                splice_.Insert(*extent.second, LayerElement(*layer, space, space, {}));
                return;
            }
        }
        AppendTo(root, [&](const std::string& space, std::string_view lead, std::string_view trail) {
            return LayerElement(*layer, space, lead, trail);
        });
    }

    // Remembered: every new art of a container that kept none of its own goes after the same one.
    pugi::xml_node LastElement(const pugi::xml_node& node) {
        const auto known = lastElements_.find(node.internal_object());
        if (known != lastElements_.end()) return pugi::xml_node(known->second);
        pugi::xml_node last;
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element) last = child;
        }
        if (!last) last = node;
        lastElements_.emplace(node.internal_object(), last.internal_object());
        return last;
    }

    // ElementEnd, remembered for the elements that new art goes after: their start tags, which may
    // hold a long path, are read once.
    std::size_t EndOf(const pugi::xml_node& node) {
        const std::size_t start = source_.StartOf(node);
        const auto known = ends_.find(start);
        if (known != ends_.end()) return known->second;
        return ends_.emplace(start, ElementEnd(text_, TagOf(node))).first->second;
    }

    // Puts what make gives (for the white space before it, with lead before and trail after it) after
    // the last child of parent.
    template <typename Make>
    void AppendTo(const pugi::xml_node& parent, Make make) {
        const StartTag tag = TagOf(parent);
        const std::string space = ChildSpace(parent);
        if (const pugi::xml_node last = LastElement(parent); last != parent) {
            splice_.Insert(EndOf(last), make(space, space, {}));
            return;
        }
        const std::string outer = LeadingSpace(text_, tag.start);
        const std::string closing = parent == source_.xml.document_element() && outer.empty() ? "\n" : outer;
        if (tag.empty) {
            splice_.Replace(tag.close, tag.end - tag.close, make(space, ">" + space, closing + "</" + tag.name + ">"));
            return;
        }
        std::size_t at = EndTagStart(text_, tag);
        while (at > tag.end && std::isspace(static_cast<unsigned char>(text_[at - 1]))) --at;
        splice_.Insert(at, make(space, space, {}));
    }

    // ---- New art ----

    void WriteNewChildren(const sim::Art& container, const pugi::xml_node& parent, const Affine& frame) {
        // File order: the back-most child first. The kept neighbours of each child are found in one
        // pass each way, not by a walk from every new child.
        std::vector<const sim::Art*> children;
        std::vector<bool> kept;
        for (const sim::Art* child = container.lastChild; child != nullptr; child = child->prior) {
            children.push_back(child);
            kept.push_back(Kept(child));
        }
        const std::size_t none = children.size();
        std::vector<std::size_t> front(children.size(), none);  // the nearest kept one in front
        for (std::size_t i = children.size(), nearest = none; i-- > 0;) {
            front[i] = nearest;
            if (kept[i]) nearest = i;
        }
        std::size_t back = none;  // the nearest kept one behind
        for (std::size_t i = 0; i < children.size(); ++i) {
            const sim::Art* child = children[i];
            if (kept[i]) {
                back = i;
                if (child->type == kGroupArt) {
                    const ReadArt& was = source_.ReadAt(child);
                    WriteNewChildren(*child, was.node, was.inner);
                }
                continue;
            }
            if (!child->alive) continue;
            InsertArt(*child, front[i] == none ? nullptr : children[front[i]], back == none ? nullptr : children[back],
                      parent, frame);
        }
    }

    // Before the nearest element in front of it, else after the nearest behind it, else last.
    void InsertArt(const sim::Art& art, const sim::Art* front, const sim::Art* back, const pugi::xml_node& parent,
                   const Affine& frame) {
        if (front != nullptr) {
            const std::size_t at = source_.StartOf(source_.ReadAt(front).node);
            const std::string space = LeadingSpace(text_, at);
            splice_.Insert(at, Around({}, ArtElement(art, frame, space), space));
            return;
        }
        if (back != nullptr) {
            const pugi::xml_node node = source_.ReadAt(back).node;
            const std::string space = LeadingSpace(text_, source_.StartOf(node));
            splice_.Insert(EndOf(node), Around(space, ArtElement(art, frame, space), {}));
            return;
        }
        AppendTo(parent, [&](const std::string& space, std::string_view lead, std::string_view trail) {
            return Around(lead, ArtElement(art, frame, space), trail);
        });
    }

    std::string Inner(const std::string& space) const {
        return space.find('\n') != std::string::npos ? space + unit_ : space;
    }

    // The new layer's element, with lead before it and trail after it in the same text.
    std::string LayerElement(const sim::Layer& layer, const std::string& space, std::string_view lead,
                             std::string_view trail) {
        std::string attributes = " " + Written("inkscape:groupmode") + "=\"layer\" " + Written("inkscape:label") + "=\"" +
                                 EscapeAttribute(HostTextToUtf8(layer.title)) + "\"";
        if (!layer.visible) attributes += " display=\"none\"";
        if (!layer.editable) attributes += " " + Written("sodipodi:insensitive") + "=\"true\"";
        if (&layer == document_.CurrentLayer() && document_.LayerAt(0) != &layer) {
            attributes += " " + Written("kv:current") + "=\"true\"";
        }
        // Its children go straight into the element's text, which can be most of the drawing.
        std::string text(lead);
        text.append("<").append(svgPrefix_).append("g").append(attributes).append(">");
        const std::size_t opened = text.size();
        for (const sim::Art* child = layer.root->lastChild; child != nullptr; child = child->prior) {
            if (child->alive) text.append(Inner(space)).append(ArtElement(*child, source_.base, Inner(space)));
        }
        if (text.size() == opened) return Around(lead, Element("g", attributes, {}, space), trail);
        return text.append(space).append("</").append(svgPrefix_).append("g>").append(trail);
    }

    // New text is built at its exact size, or in a buffer it already has: a drawing may get many new
    // elements, or one large new layer, and each is kept until the splice.
    static std::string Around(std::string_view lead, std::string text, std::string_view trail) {
        if (text.capacity() < lead.size() + text.size() + trail.size()) {
            std::string joined;
            joined.reserve(lead.size() + text.size() + trail.size());
            return joined.append(lead).append(text).append(trail);
        }
        text.insert(0, lead);
        return text.append(trail);
    }

    std::string Element(const std::string& name, const std::string& attributes, const std::string& children,
                        const std::string& space) const {
        const std::string element = svgPrefix_ + name;
        std::string text;
        if (children.empty()) {
            text.reserve(element.size() + attributes.size() + 3);
            return text.append("<").append(element).append(attributes).append("/>");
        }
        text.reserve(2 * element.size() + attributes.size() + children.size() + space.size() + 5);
        return text.append("<").append(element).append(attributes).append(">").append(children).append(space).append(
            "</").append(element).append(">");
    }

    std::string Marks(const sim::Art& art, const std::vector<std::int16_t>& states) {
        const bool inherited = art.parent != nullptr && art.parent->parent != nullptr && art.parent->Selected();
        std::string text;
        for (const auto& [name, value] : SelectionMarks(art, states, inherited)) {
            text += " " + Written(name) + "=\"" + value + "\"";
        }
        if ((art.attributes & kArtHidden) != 0) text += " display=\"none\"";
        if ((art.attributes & kArtLocked) != 0) text += " " + Written("sodipodi:insensitive") + "=\"true\"";
        return text;
    }

    std::string TagElements(const sim::Art& art, const std::string& space) {
        std::string text;
        for (const auto& [name, tag] : art.tags) text += Inner(space) + TagElement(name, tag);
        return text;
    }

    // New art as an element of its own, in the coordinates of its parent, whose map is frame.
    std::string ArtElement(const sim::Art& art, const Affine& frame, const std::string& space) {
        if (art.type == kGroupArt) {
            std::string children = TagElements(art, space);
            for (const sim::Art* child = art.lastChild; child != nullptr; child = child->prior) {
                if (child->alive) children += Inner(space) + ArtElement(*child, frame, Inner(space));
            }
            return Element("g", Marks(art, {}), children, space);
        }
        if (art.type != kPathArt && art.type != kCompoundPathArt) return {};  // the plug-in makes no others
        Affine inverse;
        if (!Invert(frame, &inverse)) {
            throw SvgError("a new path cannot be written in its layer's coordinate system: a transform above it "
                           "has no inverse (such as scale(0))");
        }
        const std::vector<Subpath> outlines = Outlines(art, frame, inverse);
        if (outlines.empty()) return {};
        std::string attributes = " d=\"" + FormatPathData(outlines) + "\"";
        attributes += StyleText(*art.style, frame);
        attributes += Marks(art, SelectionStates(art));
        if (PathsOf(art).front()->guide) attributes += " " + Written("kv:guide") + "=\"true\"";
        return Element("path", attributes, TagElements(art, space), space);
    }

    // ---- Encoding ----

    // Whether every character of UTF-8 text has a byte of its own in encoding: below U+0080 for
    // US-ASCII, below U+0100 (lead bytes up to 0xC3) for ISO-8859-1.
    static bool Fits(const std::string& text, TextEncoding encoding) {
        const unsigned limit = encoding == TextEncoding::Ascii ? 0x80 : 0xC4;
        return std::none_of(text.begin(), text.end(), [&](char c) { return static_cast<unsigned char>(c) >= limit; });
    }

    std::string Encode(std::string text) {
        if (source_.encoding == TextEncoding::Utf8) return text;  // moved, not copied: it can be large
        if (Fits(text, source_.encoding)) {
            std::string bytes;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto c = static_cast<unsigned char>(text[i]);
                if (c < 0x80) {
                    bytes += static_cast<char>(c);
                } else {
                    bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
                }
            }
            return bytes;
        }
        // The declaration names the encoding the file is now in.
        const std::size_t end = text_.find("?>");
        const std::size_t key = text_.find("encoding", 0);
        const std::size_t quote = key == std::string::npos ? key : text_.find_first_of("\"'", key);
        if (text_.compare(0, 5, "<?xml") == 0 && quote != std::string::npos && quote < end) {
            const std::size_t close = text_.find(text_[quote], quote + 1);
            splice_.Replace(quote + 1, close - quote - 1, "UTF-8");
        }
        return splice_.Apply(text_);
    }

    const sim::Document& document_;
    const SvgSource& source_;
    const std::string& text_;
    Splice splice_;
    StartTag rootTag_;
    std::string svgPrefix_;  // of the input's SVG elements, with its colon
    std::string unit_;       // one step of indentation
    std::multimap<std::string, std::string> written_;  // our prefixes to those of the input
    std::set<std::string> undeclared_;
    std::unordered_map<pugi::xml_node_struct*, pugi::xml_node_struct*> lastElements_;
    std::unordered_map<std::size_t, std::size_t> ends_;
    PathStyle lastStyle_{};  // of lastStyleText_
    double lastScale_ = 0;
    std::string lastStyleText_;
};

}  // namespace

Affine operator*(const Affine& m, const Affine& n) {
    return Affine{m.a * n.a + m.c * n.b, m.b * n.a + m.d * n.b,       m.a * n.c + m.c * n.d,
                  m.b * n.c + m.d * n.d, m.a * n.e + m.c * n.f + m.e, m.b * n.e + m.d * n.f + m.f};
}

RealPoint Apply(const Affine& m, const RealPoint& p) {
    return RealPoint{m.a * p.h + m.c * p.v + m.e, m.b * p.h + m.d * p.v + m.f};
}

bool IsIdentity(const Affine& m) {
    return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1 && m.e == 0 && m.f == 0;
}

std::string HostTextToUtf8(const std::string& bytes) {
    return FirstBadUtf8(bytes) == std::string::npos ? bytes : sim::Cp932ToUtf8(bytes);
}

std::string SvgSource::Canonical(std::string_view name) const {
    const std::size_t colon = name.find(':');
    const std::string_view prefix = colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
    const auto found = prefixRenames.find(prefix);
    if (found == prefixRenames.end() || found->second == prefix) return std::string(name);
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    return found->second.empty() ? std::string(local) : found->second + ":" + std::string(local);
}

bool SvgSource::HasCanonicalName(std::string_view name, std::string_view canonical) const {
    // Both end in the same local name: most names are told apart here, without a lookup.
    const std::string_view canonicalLocal = canonical.substr(canonical.find(':') + 1);
    if (name.size() < canonicalLocal.size() || name.substr(name.size() - canonicalLocal.size()) != canonicalLocal) {
        return false;
    }
    const std::size_t colon = name.find(':');
    const std::string_view prefix = colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon);
    const auto found = prefixRenames.find(prefix);
    if (found == prefixRenames.end() || found->second == prefix) return name == canonical;
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    if (found->second.empty()) return local == canonical;
    const std::string_view written = found->second;
    return canonical.size() == written.size() + 1 + local.size() && canonical.substr(0, written.size()) == written &&
           canonical[written.size()] == ':' && canonical.substr(written.size() + 1) == local;
}

int SvgSource::LineOf(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    if (offset < 0 || static_cast<std::size_t>(offset) > text.size()) return 0;
    if (newlines.empty()) {
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
            newlines.push_back(at);
        }
        newlines.push_back(std::string::npos);  // marks the list as made, past every offset
    }
    const auto before = std::lower_bound(newlines.begin(), newlines.end(), static_cast<std::size_t>(offset));
    return 1 + static_cast<int>(before - newlines.begin());
}

const ReadArt* SvgSource::ReadOf(const sim::Art* art) const {
    if (art == nullptr || art->poolIndex >= read.size()) return nullptr;
    const ReadArt& was = read[art->poolIndex];
    return was.art == art ? &was : nullptr;
}

const ReadArt& SvgSource::ReadAt(const sim::Art* art) const {
    const ReadArt* was = ReadOf(art);
    if (was == nullptr) throw std::out_of_range("an art not read from an element");
    return *was;
}

std::string SvgSource::Describe(const sim::Art* art) const {
    const ReadArt* was = ReadOf(art);
    if (was == nullptr) return art != nullptr && art->type == kGroupArt ? "a new group" : "a new path";
    if (const char* id = was->node.attribute("id").value(); *id != '\0') return std::string("#") + id;
    const int line = LineOf(was->node);
    return "<" + Canonical(was->node.name()) + ">" + (line > 0 ? " on line " + std::to_string(line) : "");
}

std::unique_ptr<SvgSource> ReadSvg(const std::string& bytes, sim::Document& document) {
    auto source = std::make_unique<SvgSource>();
    DecodedText decoded = DecodeSvgBytes(bytes);
    if (decoded.text != bytes) source->bytes = bytes;  // a UTF-8 file is kept once
    source->text = std::move(decoded.text);
    source->encoding = decoded.encoding;
    source->encodingName = decoded.declaredName;
    const std::string& text = source->text;
    const pugi::xml_parse_result parsed =
        source->xml.load_buffer(text.data(), text.size(),
                                pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype | pugi::parse_pi |
                                    pugi::parse_comments,
                                pugi::encoding_utf8);
    if (!parsed) {
        const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
        throw SvgError(Position(text, offset) + ": malformed XML: " + parsed.description());
    }
    const pugi::xml_node root = source->xml.document_element();
    if (!root) throw SvgError("the file holds no XML element");
    // Offsets count from the start of the text; the parser may have skipped a byte order mark.
    const std::string name = std::string("<") + root.name();
    for (std::ptrdiff_t shift : {0, 3}) {
        const std::ptrdiff_t at = root.offset_debug() - 1 + shift;
        if (at >= 0 && text.compare(static_cast<std::size_t>(at), name.size(), name) == 0) {
            source->offsetShift = shift - 1;
            break;
        }
    }
    Reader(*source, document).Run();
    return source;
}

std::string WriteSvg(const sim::Document& document, const SvgSource* source) {
    if (source != nullptr) return Writer(document, *source).Run();
    // A document of no file: an empty drawing of its size, in points, that everything is added to.
    const RealRect& area = document.drawingArea;
    const std::string width = FormatNumber(area.right - area.left), height = FormatNumber(area.top - area.bottom);
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg";
    for (const KnownNamespace& known : kKnownNamespaces) {
        text += std::string(" xmlns") + (*known.prefix != '\0' ? ":" : "") + known.prefix + "=\"" + known.uri + "\"";
    }
    text += " width=\"" + width + "pt\" height=\"" + height + "pt\" viewBox=\"" + FormatNumber(area.left) + " " +
            FormatNumber(area.top == 0 ? 0.0 : -area.top) + " " + width + " " + height + "\"/>\n";
    SvgSource empty;
    empty.bytes = empty.text = text;
    empty.xml.load_string(text.c_str(), pugi::parse_default | pugi::parse_declaration);
    empty.offsetShift = -1;
    empty.base = Affine{1, 0, 0, -1, 0, 0};
    for (const KnownNamespace& known : kKnownNamespaces) empty.prefixRenames[known.prefix] = known.prefix;
    return Writer(document, empty).Run();
}

void TakeSelectionAsRead(const sim::Document&, SvgSource& source) {
    for (ReadArt& was : source.read) {
        if (was.art == nullptr) continue;
        was.selected = was.art->Selected();
        was.states = SelectionStates(*was.art);
    }
}

bool Invert(const Affine& m, Affine* inverse) {
    const double determinant = m.a * m.d - m.b * m.c;
    if (determinant == 0 || !std::isfinite(determinant)) return false;
    const Affine result{m.d / determinant,
                        -m.b / determinant,
                        -m.c / determinant,
                        m.a / determinant,
                        (m.c * m.f - m.d * m.e) / determinant,
                        (m.b * m.e - m.a * m.f) / determinant};
    if (!Finite(result)) return false;
    *inverse = result;
    return true;
}

RealPoint SvgSource::ToSvg(const RealPoint& artwork) const {
    Affine inverse;
    return Invert(base, &inverse) ? Apply(inverse, artwork) : artwork;
}

std::size_t SvgSource::StartOf(const pugi::xml_node& node) const {
    return static_cast<std::size_t>(node.offset_debug() + offsetShift);
}

bool ParseRulerUnit(std::string_view name, sim::RulerUnit* unit) {
    struct Name {
        const char* text;
        sim::RulerUnit unit;
    };
    static constexpr Name kNames[] = {
        {"in", sim::RulerUnit::Inches}, {"cm", sim::RulerUnit::Centimeters}, {"pt", sim::RulerUnit::Points},
        {"pc", sim::RulerUnit::Picas},  {"mm", sim::RulerUnit::Millimeters}, {"px", sim::RulerUnit::Pixels},
        {"q", sim::RulerUnit::Q}};
    const std::string lower = Lower(Trim(name));
    for (const Name& known : kNames) {
        if (lower == known.text) {
            *unit = known.unit;
            return true;
        }
    }
    return false;
}

const char* RulerUnitName(sim::RulerUnit unit) {
    switch (unit) {
        case sim::RulerUnit::Inches:
            return "in";
        case sim::RulerUnit::Centimeters:
            return "cm";
        case sim::RulerUnit::Points:
            return "pt";
        case sim::RulerUnit::Picas:
            return "pc";
        case sim::RulerUnit::Millimeters:
            return "mm";
        case sim::RulerUnit::Pixels:
            return "px";
        case sim::RulerUnit::Q:
            return "q";
    }
    return "pt";
}

std::string FormatColor(const Color& color) {
    if (color.kind == kNoColor) return "none";
    double rgb[3];
    ColorToRgb(color, rgb);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (double channel : rgb) {
        const int value = static_cast<int>(std::lround(std::clamp(channel, 0.0, 1.0) * 255));
        text += kDigits[value / 16];
        text += kDigits[value % 16];
    }
    return text;
}

bool ParseColor(std::string_view text, Color* color) {
    text = Trim(text);
    if (!text.empty() && text.front() == '#') return ParseHexColor(text.substr(1), color);
    const std::string lower = Lower(text);
    if (lower.rfind("rgb(", 0) == 0 && lower.back() == ')') {
        return ParseRgbFunction(std::string_view(lower).substr(4, lower.size() - 5), color);
    }
    for (const NamedColor& named : kNamedColors) {
        if (lower == named.name) {
            *color = GrayOrRgb(((named.rgb >> 16) & 0xff) / 255.0, ((named.rgb >> 8) & 0xff) / 255.0,
                               (named.rgb & 0xff) / 255.0);
            return true;
        }
    }
    return false;
}

}  // namespace kvsvg

#include "svg_document.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <sstream>

#include "host.h"
#include "svg_path_data.h"

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

constexpr const char* kStyleProperties[] = {
    "fill", "stroke", "stroke-width", "stroke-dasharray", "stroke-dashoffset", "stroke-miterlimit"};
constexpr const char* kGeometryAttributes[] = {"d",  "x", "y",  "width", "height", "rx", "ry",     "cx",
                                               "cy", "r", "x1", "y1",    "x2",     "y2", "points", "pathLength"};
// Attributes that the writer sets from the document, never copied from the input.
constexpr const char* kManagedAttributes[] = {
    "transform", "display",  "sodipodi:insensitive", "kv:selected",    "kv:anchors",
    "kv:locked", "kv:guide", "kv:current",           "inkscape:label", "inkscape:groupmode"};

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

// A length in user units: a number, optionally with an absolute CSS unit (96 user units an inch).
std::optional<double> Length(std::string_view text) {
    text = Trim(text);
    struct Unit {
        const char* suffix;
        double userUnits;
    };
    static constexpr Unit kUnits[] = {{"px", 1.0},         {"pt", 96.0 / 72.0}, {"pc", 16.0},
                                      {"mm", 96.0 / 25.4}, {"cm", 96.0 / 2.54}, {"in", 96.0}};
    for (const Unit& unit : kUnits) {
        const std::size_t n = std::strlen(unit.suffix);
        if (text.size() > n && text.substr(text.size() - n) == unit.suffix) {
            const std::optional<double> value = WholeNumber(text.substr(0, text.size() - n));
            if (!value || !std::isfinite(*value * unit.userUnits)) return std::nullopt;
            return *value * unit.userUnits;
        }
    }
    return WholeNumber(text);
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

bool IsStyleProperty(std::string_view name) {
    for (const char* property : kStyleProperties) {
        if (name == property) return true;
    }
    return false;
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

// ---- Reading ----

enum class Kind { Group, Shape, Text, Image, Kept, Swatch, Tag, Unsupported };

Kind KindOf(const std::string& name) {
    static constexpr const char* kShapes[] = {"path", "rect", "circle", "ellipse", "line", "polyline", "polygon"};
    static constexpr const char* kKept[] = {"defs",   "title",          "desc",           "metadata", "style",
                                            "script", "linearGradient", "radialGradient", "pattern",  "clipPath",
                                            "mask",   "marker",         "symbol",         "filter"};
    if (name == "g") return Kind::Group;
    if (name == "text") return Kind::Text;
    if (name == "image") return Kind::Image;
    if (name == "kv:swatch") return Kind::Swatch;
    if (name == "kv:tag") return Kind::Tag;
    for (const char* shape : kShapes) {
        if (name == shape) return Kind::Shape;
    }
    for (const char* kept : kKept) {
        if (name == kept) return Kind::Kept;
    }
    // Elements of other vocabularies (editor settings and the like) are kept; unknown ones of ours
    // are a fault, so that a misspelt attribute element is not silently passed over.
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos && name.compare(0, colon, "kv") != 0) return Kind::Kept;
    return Kind::Unsupported;
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
        ApplyProperties(root, context.properties);

        // Top-level groups are layers; runs of loose elements between them get a layer each.
        struct LayerSource {
            pugi::xml_node group;
            std::vector<pugi::xml_node> loose;
        };
        std::vector<LayerSource> sources;
        document_.Swatches().clear();
        for (pugi::xml_node child : root.children()) {
            if (child.type() != pugi::node_element) continue;
            switch (KindOf(Name(child))) {
                case Kind::Group:
                    sources.push_back(LayerSource{child, {}});
                    break;
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
                    source_.kept[nullptr].push_back(child);
                    break;
                case Kind::Tag:
                    Fail(child, "a tag belongs inside the element it tags");
                case Kind::Unsupported:
                    Unsupported(child);
            }
        }
        if (sources.empty()) return;

        // The host's first layer is the top one: the last group of the file.
        std::vector<sim::Layer*> layers(sources.size());
        layers.back() = document_.LayerAt(0);
        for (std::size_t j = sources.size() - 1; j-- > 0;) layers[j] = document_.AddLayer("");
        sim::Layer* current = nullptr;
        for (std::size_t j = 0; j < sources.size(); ++j) {
            sim::Layer* layer = layers[j];
            layer->title = "Layer " + std::to_string(j + 1);
            source_.layers[layer] = sources[j].group;
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
            if (BoolAttribute(group, "kv:current").value_or(false)) current = layer;
            const Context layerContext = Derive(group, context);
            ReadChildren(group, layer->root, layerContext);
        }
        if (current != nullptr) document_.SetCurrentLayer(current);
    }

private:
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
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (source_.Canonical(attribute.name()) == canonicalName) return attribute;
        }
        return {};
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

    void ReadPage(const pugi::xml_node& root) {
        RealRect area = kCanvas;
        if (const pugi::xml_attribute viewBox = root.attribute("viewBox")) {
            std::vector<double> box;
            if (!NumberList(viewBox.value(), box) || box.size() != 4 || box[2] <= 0 || box[3] <= 0) {
                Fail(root, std::string("the viewBox \"") + viewBox.value() + "\" is not four numbers x y width height");
            }
            area = RealRect{box[0], -box[1], box[0] + box[2], -(box[1] + box[3])};
            // A size lost beside its origin, or an edge beyond a double's range, could not be written.
            if (!(area.right > area.left) || !(area.top > area.bottom) || !std::isfinite(area.right) ||
                !std::isfinite(area.bottom)) {
                Fail(root, std::string("the viewBox \"") + viewBox.value() + "\" is out of range");
            }
        } else if (root.attribute("width") && root.attribute("height")) {
            const double width = LengthAttribute(root, "width", 0);
            const double height = LengthAttribute(root, "height", 0);
            if (width <= 0 || height <= 0) Fail(root, "the page has no size");
            area = RealRect{0, 0, width, -height};
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
        if (const pugi::xml_attribute units = Find(root, "kv:units")) {
            if (!ParseRulerUnit(units.value(), &document_.rulerUnit)) {
                Fail(root, std::string("unknown ruler unit kv:units=\"") + units.value() +
                               "\" (in, cm, pt, pc, mm, px or q)");
            }
        }
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
        for (const pugi::xml_node& child : children) {
            if (KindOf(Name(child)) == Kind::Kept) source_.kept[container].push_back(child);
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
                ReadCommon(node, group, context.selected);
                Context inner = context;
                inner.selected = group->Selected();
                ReadChildren(node, group, inner);
                return;
            }
            case Kind::Shape:
                ReadShape(node, name, container, Derive(node, parent));
                return;
            case Kind::Text:
                ReadText(node, container, Derive(node, parent));
                return;
            case Kind::Image:
                ReadImage(node, container, Derive(node, parent));
                return;
        }
    }

    // Selection of an object without anchors, locks, visibility and tags.
    void ReadCommon(const pugi::xml_node& node, sim::Art* art, bool inheritedSelected) {
        source_.elements[art] = node;
        if (Find(node, "kv:anchors")) Fail(node, "kv:anchors belongs on paths and shapes only");
        if (BoolAttribute(node, "kv:selected").value_or(inheritedSelected)) art->attributes |= kArtSelected;
        ReadLockAndVisibility(node, art);
        ReadTags(node, art);
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

    void ReadShape(const pugi::xml_node& node, const std::string& name, sim::Art* container, const Context& context) {
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
                anchor.p = ToArtwork(Apply(context.transform, anchor.p));
                anchor.in = ToArtwork(Apply(context.transform, anchor.in));
                anchor.out = ToArtwork(Apply(context.transform, anchor.out));
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
        source_.elements[art] = node;

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
        // Titles, descriptions and the like inside a shape go back into the path written for it.
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element && Name(child) != "kv:tag") source_.kept[art].push_back(child);
        }
    }

    void ReadText(const pugi::xml_node& node, sim::Art* container, const Context& context) {
        std::vector<double> xs, ys;
        NumberList(node.attribute("x").value(), xs);
        NumberList(node.attribute("y").value(), ys);
        const RealPoint origin{xs.empty() ? 0 : xs[0], ys.empty() ? 0 : ys[0]};
        // The frame is estimated from the font size and the number of characters.
        const std::size_t characters = CountCharacters(node);
        const double size = context.properties.fontSize;
        const RealRect frame = FrameOf(context.transform, origin.h, origin.v - 0.8 * size,
                                       origin.h + 0.6 * size * static_cast<double>(characters), origin.v + 0.2 * size);
        const RealPoint anchor = ToArtwork(Apply(context.transform, origin));
        if (!Finite(frame) || !Finite(anchor)) Fail(node, "the text's position or size is out of range");
        sim::Art* art = document_.AddPointText(container, anchor, frame);
        ReadCommon(node, art, context.selected);
        source_.placements[art] = context.transform;
    }

    void ReadImage(const pugi::xml_node& node, sim::Art* container, const Context& context) {
        const double x = LengthAttribute(node, "x", 0), y = LengthAttribute(node, "y", 0);
        const double w = LengthAttribute(node, "width", 0), h = LengthAttribute(node, "height", 0);
        if (w < 0 || h < 0) Fail(node, "an image has no negative size");
        const RealRect frame = FrameOf(context.transform, x, y, x + w, y + h);
        if (!Finite(frame)) Fail(node, "the image's position or size is out of range");
        sim::Art* art = document_.AddPlacedArt(container, frame);
        ReadCommon(node, art, context.selected);
        source_.placements[art] = context.transform;
    }

    // The artwork bounds of an SVG rectangle under transform.
    static RealRect FrameOf(const Affine& transform, double x0, double y0, double x1, double y1) {
        const RealPoint corners[] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        RealRect frame{0, 0, 0, 0};
        bool first = true;
        for (const RealPoint& corner : corners) {
            const RealPoint p = ToArtwork(Apply(transform, corner));
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
};

// ---- Writing ----

class Writer {
public:
    Writer(const sim::Document& document, const SvgSource* source) : document_(document), source_(source) {}

    std::string Run() {
        pugi::xml_document out;
        pugi::xml_node declaration = out.append_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("encoding") = "UTF-8";
        pugi::xml_node root = out.append_child("svg");
        for (const KnownNamespace& known : kKnownNamespaces) {
            const std::string name = *known.prefix == '\0' ? "xmlns" : std::string("xmlns:") + known.prefix;
            root.append_attribute(name.c_str()) = known.uri;
        }
        const pugi::xml_node input = source_ != nullptr ? source_->xml.document_element() : pugi::xml_node();
        for (pugi::xml_attribute attribute : input.attributes()) {
            const std::string name = attribute.name();
            if (name == "xmlns" || name == "viewBox" || Canonical(name) == "kv:units") continue;
            if (name.rfind("xmlns:", 0) == 0 && IsKnownNamespace(attribute.value())) continue;
            root.append_attribute(Canonical(name).c_str()) = attribute.value();
        }
        const RealRect& area = document_.drawingArea;
        root.append_attribute("viewBox") =
            (FormatNumber(area.left) + " " + FormatNumber(area.top == 0 ? 0.0 : -area.top) + " " +
             FormatNumber(area.right - area.left) + " " + FormatNumber(area.top - area.bottom))
                .c_str();
        root.append_attribute("kv:units") = RulerUnitName(document_.rulerUnit);

        WriteKept(nullptr, root);
        for (const auto& swatch : const_cast<sim::Document&>(document_).Swatches()) WriteSwatch(*swatch, root);
        for (int i = document_.LayerCount() - 1; i >= 0; --i) {
            const sim::Layer* layer = document_.LayerAt(i);
            if (layer != nullptr && layer->alive) WriteLayer(*layer, root);
        }

        std::ostringstream text;
        out.save(text, "  ", pugi::format_indent, pugi::encoding_utf8);
        if (source_ == nullptr || source_->encoding == TextEncoding::Utf8 || !Fits(text.str(), source_->encoding)) {
            return text.str();
        }
        declaration.attribute("encoding") = source_->encodingName.c_str();
        std::ostringstream encoded;
        out.save(encoded, "  ", pugi::format_indent,
                 source_->encoding == TextEncoding::Latin1 ? pugi::encoding_latin1 : pugi::encoding_utf8);
        return encoded.str();
    }

private:
    std::string Canonical(const std::string& name) const {
        return source_ != nullptr ? source_->Canonical(name) : name;
    }

    // Whether every character of UTF-8 text has a byte of its own in encoding: below U+0080 for
    // US-ASCII, below U+0100 (lead bytes up to 0xC3) for ISO-8859-1.
    static bool Fits(const std::string& text, TextEncoding encoding) {
        const unsigned limit = encoding == TextEncoding::Ascii ? 0x80 : 0xC4;
        return std::none_of(text.begin(), text.end(), [&](char c) { return static_cast<unsigned char>(c) >= limit; });
    }

    static bool IsKnownNamespace(const std::string& uri) {
        for (const KnownNamespace& known : kKnownNamespaces) {
            if (uri == known.uri) return true;
        }
        return false;
    }

    pugi::xml_node Original(const sim::Art* art) const {
        if (source_ == nullptr) return {};
        const auto found = source_->elements.find(art);
        return found == source_->elements.end() ? pugi::xml_node() : found->second;
    }

    // A deep copy of an input element's children, names written with this program's prefixes.
    void CopyTree(const pugi::xml_node& from, pugi::xml_node to) const {
        for (pugi::xml_node child : from.children()) {
            if (child.type() == pugi::node_element) {
                if (Canonical(child.name()) == "kv:tag") continue;  // tags are written from the art
                pugi::xml_node copy = to.append_child(Canonical(child.name()).c_str());
                for (pugi::xml_attribute attribute : child.attributes()) {
                    copy.append_attribute(Canonical(attribute.name()).c_str()) = attribute.value();
                }
                CopyTree(child, copy);
            } else {
                to.append_copy(child);
            }
        }
        KeepTextInline(to);
    }

    // Indenting would put white space into text with elements inside (text and its spans):
    // empty text at both ends of such an element keeps the writer from indenting there.
    static void KeepTextInline(pugi::xml_node node) {
        bool text = false;
        for (pugi::xml_node child : node.children()) text = text || child.type() == pugi::node_pcdata;
        if (!text) return;
        if (node.first_child().type() == pugi::node_element) node.prepend_child(pugi::node_pcdata);
        if (node.last_child().type() == pugi::node_element) node.append_child(pugi::node_pcdata);
    }

    void WriteKept(const sim::Art* owner, pugi::xml_node to) const {
        if (source_ == nullptr) return;
        const auto found = source_->kept.find(owner);
        if (found == source_->kept.end()) return;
        for (const pugi::xml_node& node : found->second) {
            pugi::xml_node copy = to.append_child(Canonical(node.name()).c_str());
            for (pugi::xml_attribute attribute : node.attributes()) {
                copy.append_attribute(Canonical(attribute.name()).c_str()) = attribute.value();
            }
            CopyTree(node, copy);
        }
    }

    // The attributes of an input element that the document does not decide.
    void CopyAttributes(const pugi::xml_node& from, pugi::xml_node to, bool shape) const {
        for (pugi::xml_attribute attribute : from.attributes()) {
            const std::string name = Canonical(attribute.name());
            bool skip = false;
            for (const char* managed : kManagedAttributes) skip = skip || name == managed;
            if (shape) {
                for (const char* geometry : kGeometryAttributes) skip = skip || name == geometry;
                skip = skip || IsStyleProperty(name);
            }
            // Declarations of the namespaces written on the root are not repeated.
            skip = skip || ((name == "xmlns" || name.rfind("xmlns:", 0) == 0) && IsKnownNamespace(attribute.value()));
            if (skip) continue;
            if (name == "style") {
                std::vector<std::pair<std::string, std::string>> kept;
                for (auto& declaration : StyleDeclarations(attribute.value())) {
                    if (declaration.first == "display" || (shape && IsStyleProperty(declaration.first))) continue;
                    kept.push_back(declaration);
                }
                if (!kept.empty()) to.append_attribute("style") = JoinDeclarations(kept).c_str();
                continue;
            }
            to.append_attribute(name.c_str()) = attribute.value();
        }
    }

    static void WriteLockAndVisibility(const sim::Art& art, pugi::xml_node node) {
        if ((art.attributes & kArtHidden) != 0) node.append_attribute("display") = "none";
        if ((art.attributes & kArtLocked) != 0) node.append_attribute("sodipodi:insensitive") = "true";
    }

    static void WriteTags(const sim::Art& art, pugi::xml_node node) {
        for (const auto& [name, tag] : art.tags) {
            pugi::xml_node element = node.append_child("kv:tag");
            element.append_attribute("name") = HostTextToUtf8(name).c_str();
            element.append_attribute("type") = HostTextToUtf8(tag.type).c_str();
            element.text() = HostTextToUtf8(tag.value).c_str();
        }
    }

    static void WriteSwatch(const sim::Swatch& swatch, pugi::xml_node parent) {
        pugi::xml_node node = parent.append_child("kv:swatch");
        node.append_attribute("name") = HostTextToUtf8(swatch.name).c_str();
        const Color& color = swatch.color;
        node.append_attribute("color") = FormatColor(color).c_str();
        Color plain{};
        ParseColor(FormatColor(color), &plain);
        switch (color.kind) {
            case kFourColor:
                node.append_attribute("kind") = "cmyk";
                node.append_attribute("cmyk") = (FormatNumber(color.c) + " " + FormatNumber(color.m) + " " +
                                                 FormatNumber(color.y) + " " + FormatNumber(color.k))
                                                    .c_str();
                break;
            case kCustomColor:
                node.append_attribute("kind") = "spot";
                if (color.tint != 1) node.append_attribute("tint") = FormatNumber(color.tint).c_str();
                break;
            case kThreeColor:
                if (plain.kind != kThreeColor) node.append_attribute("kind") = "rgb";
                break;
            default:
                break;
        }
    }

    void WriteLayer(const sim::Layer& layer, pugi::xml_node parent) const {
        pugi::xml_node group = parent.append_child("g");
        if (source_ != nullptr) {
            const auto found = source_->layers.find(&layer);
            if (found != source_->layers.end() && found->second) CopyAttributes(found->second, group, false);
        }
        group.prepend_attribute("inkscape:label") = HostTextToUtf8(layer.title).c_str();
        group.prepend_attribute("inkscape:groupmode") = "layer";
        if (!layer.visible) group.append_attribute("display") = "none";
        if (!layer.editable) group.append_attribute("sodipodi:insensitive") = "true";
        // The reader takes the top layer as the current one unless told otherwise.
        if (document_.CurrentLayer() == &layer && document_.LayerAt(0) != &layer) {
            group.append_attribute("kv:current") = "true";
        }
        WriteKept(layer.root, group);
        WriteChildren(*layer.root, group, false);
    }

    void WriteChildren(const sim::Art& container, pugi::xml_node node, bool selected) const {
        for (const sim::Art* child = container.lastChild; child != nullptr; child = child->prior) {
            if (child->alive) WriteArt(*child, node, selected);
        }
    }

    void WriteArt(const sim::Art& art, pugi::xml_node parent, bool inheritedSelected) const {
        switch (art.type) {
            case kGroupArt: {
                pugi::xml_node group = parent.append_child("g");
                if (const pugi::xml_node original = Original(&art)) CopyAttributes(original, group, false);
                if (art.Selected() != inheritedSelected) group.append_attribute("kv:selected") = art.Selected();
                WriteLockAndVisibility(art, group);
                WriteKept(&art, group);
                WriteTags(art, group);
                WriteChildren(art, group, art.Selected());
                return;
            }
            case kPathArt:
            case kCompoundPathArt:
                WritePath(art, parent, inheritedSelected);
                return;
            case kTextFrameArt:
            case kPlacedArt:
                WritePlaced(art, parent, inheritedSelected);
                return;
            default:
                return;
        }
    }

    void WritePath(const sim::Art& art, pugi::xml_node parent, bool inheritedSelected) const {
        std::vector<const sim::Art*> paths;
        if (art.type == kPathArt) {
            paths.push_back(&art);
        } else {
            for (const sim::Art* child = art.firstChild; child != nullptr; child = child->next) {
                if (child->alive && child->type == kPathArt) paths.push_back(child);
            }
            if (paths.empty()) return;
        }
        pugi::xml_node node = parent.append_child("path");
        if (const pugi::xml_node original = Original(&art)) CopyAttributes(original, node, true);

        std::vector<Subpath> outlines;
        std::vector<std::int16_t> states;
        for (const sim::Art* path : paths) {
            Subpath outline{path->anchors, path->closed};
            for (AnchorRecord& anchor : outline.anchors) {
                anchor.p = ToSvg(anchor.p);
                anchor.in = ToSvg(anchor.in);
                anchor.out = ToSvg(anchor.out);
            }
            outlines.push_back(std::move(outline));
            states.insert(states.end(), path->selection.begin(), path->selection.end());
        }
        node.append_attribute("d") = FormatPathData(outlines).c_str();

        const PathStyle& style = art.style;
        node.append_attribute("fill") = style.fillPaint ? FormatColor(style.fill.color).c_str() : "none";
        node.append_attribute("stroke") = style.strokePaint ? FormatColor(style.stroke.color).c_str() : "none";
        node.append_attribute("stroke-width") = FormatNumber(style.stroke.width).c_str();
        node.append_attribute("stroke-miterlimit") = FormatNumber(style.stroke.miterLimit).c_str();
        std::string dashes;
        const int dashCount = std::clamp<int>(style.stroke.dashCount, 0, kMaxDashes);
        for (int i = 0; i < dashCount; ++i) dashes += (i == 0 ? "" : " ") + FormatNumber(style.stroke.dashes[i]);
        node.append_attribute("stroke-dasharray") = dashes.empty() ? "none" : dashes.c_str();
        node.append_attribute("stroke-dashoffset") = FormatNumber(style.stroke.dashOffset).c_str();

        // Only what the reader would not work out by itself is written (see ReadShape).
        const bool selected = art.Selected();
        const bool anyState = std::any_of(states.begin(), states.end(), [](std::int16_t s) { return s != 0; });
        const std::int16_t usual = selected ? kAnchorPointSelected : kAnchorNotSelected;
        const bool writeStates = std::any_of(states.begin(), states.end(), [&](std::int16_t s) { return s != usual; });
        if (selected != (writeStates ? anyState : inheritedSelected)) node.append_attribute("kv:selected") = selected;
        if (writeStates) {
            std::string text;
            for (std::int16_t state : states) text += (text.empty() ? "" : " ") + std::to_string(state);
            node.append_attribute("kv:anchors") = text.c_str();
        }
        if (paths.front()->guide) node.append_attribute("kv:guide") = "true";
        WriteLockAndVisibility(art, node);
        WriteKept(&art, node);
        WriteTags(art, node);
    }

    // Text and images are written as they were read, moved (turned, scaled) as their art was.
    void WritePlaced(const sim::Art& art, pugi::xml_node parent, bool inheritedSelected) const {
        const pugi::xml_node original = Original(&art);
        if (!original || source_->placements.count(&art) == 0) return;
        const Affine& placement = source_->placements.at(&art);
        pugi::xml_node node = parent.append_child(Canonical(original.name()).c_str());
        CopyAttributes(original, node, false);
        WriteTags(art, node);  // first, so that the text that follows stays as it was
        CopyTree(original, node);
        // The art's moves in SVG coordinates (y downwards): flipped into artwork, moved, flipped back.
        const RealMatrix& m = art.matrix;
        const Affine moved = Affine{m.a, -m.b, -m.c, m.d, m.tx, -m.ty} * placement;
        if (!IsIdentity(moved)) {
            node.append_attribute("transform") =
                ("matrix(" + FormatNumber(moved.a) + " " + FormatNumber(moved.b) + " " + FormatNumber(moved.c) + " " +
                 FormatNumber(moved.d) + " " + FormatNumber(moved.e) + " " + FormatNumber(moved.f) + ")")
                    .c_str();
        }
        if (art.Selected() != inheritedSelected) node.append_attribute("kv:selected") = art.Selected();
        WriteLockAndVisibility(art, node);
    }

    const sim::Document& document_;
    const SvgSource* source_;
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
    const std::string prefix(colon == std::string_view::npos ? std::string_view{} : name.substr(0, colon));
    const auto found = prefixRenames.find(prefix);
    if (found == prefixRenames.end() || found->second == prefix) return std::string(name);
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    return found->second.empty() ? std::string(local) : found->second + ":" + std::string(local);
}

int SvgSource::LineOf(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    if (offset < 0 || static_cast<std::size_t>(offset) > text.size()) return 0;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

std::string SvgSource::Describe(const sim::Art* art) const {
    const auto found = elements.find(art);
    if (found == elements.end()) {
        return art != nullptr && art->type == kGroupArt ? "a new group" : "a new path";
    }
    if (const char* id = found->second.attribute("id").value(); *id != '\0') return std::string("#") + id;
    const int line = LineOf(found->second);
    return "<" + Canonical(found->second.name()) + ">" + (line > 0 ? " on line " + std::to_string(line) : "");
}

std::unique_ptr<SvgSource> ReadSvg(const std::string& bytes, sim::Document& document) {
    auto source = std::make_unique<SvgSource>();
    DecodedText decoded = DecodeSvgBytes(bytes);
    source->text = std::move(decoded.text);
    source->encoding = decoded.encoding;
    source->encodingName = decoded.declaredName;
    const std::string& text = source->text;
    const pugi::xml_parse_result parsed =
        source->xml.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
        throw SvgError(Position(text, offset) + ": malformed XML: " + parsed.description());
    }
    if (!source->xml.document_element()) throw SvgError("the file holds no XML element");
    Reader(*source, document).Run();
    return source;
}

std::string WriteSvg(const sim::Document& document, const SvgSource* source) {
    return Writer(document, source).Run();
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

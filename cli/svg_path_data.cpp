#include "svg_path_data.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace kvsvg {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Closing points closer than this are one point: relative data rarely lands exactly on its start.
constexpr double kClosingTolerance = 1e-9;

bool IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string Quoted(char c) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
        return "a non-printing character";
    }
    return std::string("'") + c + "'";
}

RealPoint Add(const RealPoint& a, const RealPoint& b) {
    return RealPoint{a.h + b.h, a.v + b.v};
}
RealPoint Sub(const RealPoint& a, const RealPoint& b) {
    return RealPoint{a.h - b.h, a.v - b.v};
}
RealPoint Scale(const RealPoint& a, double s) {
    return RealPoint{a.h * s, a.v * s};
}
RealPoint Reflect(const RealPoint& control, const RealPoint& about) {
    return Sub(Scale(about, 2), control);
}

AnchorRecord CornerAt(const RealPoint& p) {
    return AnchorRecord{p, p, p, true};
}

class Parser {
public:
    explicit Parser(std::string_view data) : s_(data) {}

    std::vector<Subpath> Run() {
        SkipWhitespace();
        if (AtEnd()) return {};
        if (s_[i_] != 'M' && s_[i_] != 'm') Fail("path data must begin with a moveto (M or m), not " + Quoted(s_[i_]));
        while (!AtEnd()) {
            const std::size_t commandAt = i_;
            const char command = s_[i_++];
            if (std::strchr("MmLlHhVvCcSsQqTtAaZz", command) == nullptr) {
                i_ = commandAt;
                Fail("unknown path command " + Quoted(command));
            }
            SkipWhitespace();
            if (command == 'Z' || command == 'z') {
                Close();
                if (AtNumber()) Fail("a closepath (Z) takes no numbers");
                continue;
            }
            if (!AtNumber()) Fail(std::string("the command '") + command + "' needs numbers");
            bool first = true;
            do {
                Execute(command, first);
                first = false;
            } while (SeparatorBeforeNumber());
        }
        FinishSubpath(true);
        return std::move(subpaths_);
    }

private:
    [[noreturn]] void Fail(const std::string& message) const {
        throw PathDataError(message + " at offset " + std::to_string(i_), i_);
    }

    bool AtEnd() const { return i_ >= s_.size(); }
    void SkipWhitespace() {
        while (!AtEnd() && IsWhitespace(s_[i_])) ++i_;
    }
    bool AtNumber() const {
        if (AtEnd()) return false;
        const char c = s_[i_];
        return IsDigit(c) || c == '.' || c == '-' || c == '+';
    }

    // After a number: whitespace and at most one comma. True when another number follows; a comma
    // with no number after it is a fault.
    bool SeparatorBeforeNumber() {
        SkipWhitespace();
        bool comma = false;
        if (!AtEnd() && s_[i_] == ',') {
            comma = true;
            ++i_;
            SkipWhitespace();
        }
        if (AtNumber()) return true;
        if (comma) Fail("a comma must be followed by a number");
        return false;
    }

    // Between the numbers of one command: optional separators, then a number must come.
    void BeforeNextNumber() {
        if (!SeparatorBeforeNumber()) {
            if (AtEnd()) Fail("the path data ends in the middle of a command");
            Fail("expected a number, found " + Quoted(s_[i_]));
        }
    }

    double Number() {
        const std::size_t start = i_;
        std::size_t j = i_;
        if (j < s_.size() && (s_[j] == '+' || s_[j] == '-')) ++j;
        const std::size_t digitsAt = j;
        while (j < s_.size() && IsDigit(s_[j])) ++j;
        bool digits = j > digitsAt;
        if (j < s_.size() && s_[j] == '.') {
            ++j;
            const std::size_t fractionAt = j;
            while (j < s_.size() && IsDigit(s_[j])) ++j;
            digits = digits || j > fractionAt;
        }
        if (!digits) Fail("malformed number");
        if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
            std::size_t k = j + 1;
            if (k < s_.size() && (s_[k] == '+' || s_[k] == '-')) ++k;
            const std::size_t exponentAt = k;
            while (k < s_.size() && IsDigit(s_[k])) ++k;
            if (k == exponentAt) {
                i_ = j;
                Fail("malformed exponent");
            }
            j = k;
        }
        const std::size_t textAt = s_[start] == '+' ? start + 1 : start;
        double value = 0;
        const auto result = std::from_chars(s_.data() + textAt, s_.data() + j, value);
        if (result.ec != std::errc() || !std::isfinite(value)) Fail("number out of range");
        i_ = j;
        return value;
    }

    // Arc flags are one character each and need no separator ("a1 1 0 01 5 5").
    bool Flag() {
        if (AtEnd() || (s_[i_] != '0' && s_[i_] != '1')) Fail("an arc flag must be 0 or 1");
        return s_[i_++] == '1';
    }

    RealPoint Pair(bool relative) {
        const double x = Number();
        BeforeNextNumber();
        const double y = Number();
        return relative ? RealPoint{current_.h + x, current_.v + y} : RealPoint{x, y};
    }

    void Execute(char command, bool first) {
        const bool relative = command >= 'a';
        switch (command) {
            case 'M':
            case 'm':
                if (first) {
                    MoveTo(Pair(relative));
                } else {
                    LineTo(Pair(relative));  // further pairs of a moveto are linetos
                }
                return;
            case 'L':
            case 'l':
                LineTo(Pair(relative));
                return;
            case 'H':
            case 'h': {
                const double x = Number();
                LineTo(RealPoint{relative ? current_.h + x : x, current_.v});
                return;
            }
            case 'V':
            case 'v': {
                const double y = Number();
                LineTo(RealPoint{current_.h, relative ? current_.v + y : y});
                return;
            }
            case 'C':
            case 'c': {
                const RealPoint c1 = Pair(relative);
                BeforeNextNumber();
                const RealPoint c2 = Pair(relative);
                BeforeNextNumber();
                CubicTo(c1, c2, Pair(relative));
                return;
            }
            case 'S':
            case 's': {
                const RealPoint c1 = lastCubicControl_ ? Reflect(*lastCubicControl_, current_) : current_;
                const RealPoint c2 = Pair(relative);
                BeforeNextNumber();
                CubicTo(c1, c2, Pair(relative));
                return;
            }
            case 'Q':
            case 'q': {
                const RealPoint q = Pair(relative);
                BeforeNextNumber();
                QuadraticTo(q, Pair(relative));
                return;
            }
            case 'T':
            case 't': {
                const RealPoint q = lastQuadraticControl_ ? Reflect(*lastQuadraticControl_, current_) : current_;
                QuadraticTo(q, Pair(relative));
                return;
            }
            case 'A':
            case 'a': {
                const double rx = Number();
                BeforeNextNumber();
                const double ry = Number();
                BeforeNextNumber();
                const double rotation = Number();
                SeparatorBeforeFlag();
                const bool largeArc = Flag();
                SeparatorBeforeFlag();
                const bool sweep = Flag();
                BeforeNextNumber();
                ArcTo(rx, ry, rotation, largeArc, sweep, Pair(relative));
                return;
            }
            default:
                Fail("unknown path command");
        }
    }

    void SeparatorBeforeFlag() {
        SkipWhitespace();
        if (!AtEnd() && s_[i_] == ',') {
            ++i_;
            SkipWhitespace();
        }
    }

    // ---- Building subpaths ----

    Subpath& Drawing() {
        if (!open_) {  // drawing after a closepath starts a new subpath at the closed one's start
            subpaths_.push_back(Subpath{{CornerAt(start_)}, false});
            open_ = true;
        }
        return subpaths_.back();
    }

    void FinishSubpath(bool atEnd) {
        // A subpath that only moved draws nothing: it is dropped, unless it is all there is.
        if (!open_) return;
        open_ = false;
        Subpath& last = subpaths_.back();
        if (last.anchors.size() == 1 && !last.closed && (!atEnd || subpaths_.size() > 1)) subpaths_.pop_back();
    }

    // Relative steps, reflections and arcs can leave a double's range even when every number read
    // is in it; such a point could not be written back.
    void CheckInRange(const RealPoint& p) const {
        if (!std::isfinite(p.h) || !std::isfinite(p.v)) Fail("a point of the path is out of range");
    }

    void MoveTo(const RealPoint& p) {
        CheckInRange(p);
        FinishSubpath(false);
        subpaths_.push_back(Subpath{{CornerAt(p)}, false});
        open_ = true;
        start_ = current_ = p;
        lastCubicControl_.reset();
        lastQuadraticControl_.reset();
    }

    void LineTo(const RealPoint& p) {
        CheckInRange(p);
        Drawing().anchors.push_back(CornerAt(p));
        current_ = p;
        lastCubicControl_.reset();
        lastQuadraticControl_.reset();
    }

    void CubicTo(const RealPoint& c1, const RealPoint& c2, const RealPoint& p) {
        CheckInRange(c1);
        CheckInRange(c2);
        CheckInRange(p);
        Subpath& subpath = Drawing();
        subpath.anchors.back().out = c1;
        subpath.anchors.push_back(AnchorRecord{p, c2, p, true});
        current_ = p;
        lastCubicControl_ = c2;
        lastQuadraticControl_.reset();
    }

    void QuadraticTo(const RealPoint& q, const RealPoint& p) {
        const RealPoint p0 = current_;
        CubicTo(Add(p0, Scale(Sub(q, p0), 2.0 / 3.0)), Add(p, Scale(Sub(q, p), 2.0 / 3.0)), p);
        lastCubicControl_.reset();
        lastQuadraticControl_ = q;
    }

    // Elliptical arc by the endpoint-to-centre conversion of the SVG implementation notes, in
    // pieces of at most a quarter turn, each with handles of 4/3 * tan(angle / 4).
    void ArcTo(double rx, double ry, double rotationDegrees, bool largeArc, bool sweep, const RealPoint& p) {
        const RealPoint p0 = current_;
        lastQuadraticControl_.reset();
        if (p0.h == p.h && p0.v == p.v) {  // no arc between equal end points
            lastCubicControl_.reset();
            return;
        }
        rx = std::fabs(rx);
        ry = std::fabs(ry);
        if (rx == 0 || ry == 0) {
            LineTo(p);
            return;
        }
        const double phi = std::fmod(rotationDegrees, 360.0) * kPi / 180.0;
        const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
        // Halved before subtracting and adding: end points near a double's limit do not overflow.
        const double dx = p0.h / 2 - p.h / 2, dy = p0.v / 2 - p.v / 2;
        const double x1 = cosPhi * dx + sinPhi * dy;
        const double y1 = -sinPhi * dx + cosPhi * dy;
        // The centre is worked out in units of the radii (u is the half chord in them), where no
        // square or product leaves a double's range, however large the coordinates are.
        double ux = x1 / rx, uy = y1 / ry;
        const double reach = std::hypot(ux, uy);
        if (!(reach > 0) || !std::isfinite(reach)) Fail("the arc's radii and end points are out of range");
        if (reach > 1) {  // radii too small to span the end points grow until they just do
            rx *= reach;
            ry *= reach;
            ux /= reach;
            uy /= reach;
        }
        const double u = std::min(reach, 1.0);
        double coefficient = std::sqrt(std::max(0.0, (1 - u) * (1 + u))) / u;
        if (largeArc == sweep) coefficient = -coefficient;
        const double cx1 = coefficient * rx * uy;
        const double cy1 = -coefficient * ry * ux;
        const double cx = cosPhi * cx1 - sinPhi * cy1 + (p0.h / 2 + p.h / 2);
        const double cy = sinPhi * cx1 + cosPhi * cy1 + (p0.v / 2 + p.v / 2);

        const auto angle = [](double ax, double ay, double bx, double by) {
            return std::atan2(ax * by - ay * bx, ax * bx + ay * by);
        };
        // (x1 - cx1) / rx and (y1 - cy1) / ry, and the same for the other end point.
        const double startX = ux - coefficient * uy, startY = uy + coefficient * ux;
        const double endX = -ux - coefficient * uy, endY = -uy + coefficient * ux;
        const double theta1 = angle(1, 0, startX, startY);
        double delta = angle(startX, startY, endX, endY);
        if (!std::isfinite(delta)) Fail("the arc's radii and end points are out of range");
        if (!sweep && delta > 0) delta -= 2 * kPi;
        if (sweep && delta < 0) delta += 2 * kPi;

        const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-7)));
        const double step = delta / pieces;
        const double k = 4.0 / 3.0 * std::tan(step / 4);
        const auto point = [&](double t) {
            return RealPoint{cx + rx * cosPhi * std::cos(t) - ry * sinPhi * std::sin(t),
                             cy + rx * sinPhi * std::cos(t) + ry * cosPhi * std::sin(t)};
        };
        const auto tangent = [&](double t) {
            return RealPoint{-rx * cosPhi * std::sin(t) - ry * sinPhi * std::cos(t),
                             -rx * sinPhi * std::sin(t) + ry * cosPhi * std::cos(t)};
        };
        RealPoint from = p0;
        for (int j = 0; j < pieces; ++j) {
            const double t1 = theta1 + j * step;
            const double t2 = t1 + step;
            const RealPoint to = j == pieces - 1 ? p : point(t2);
            CubicTo(Add(from, Scale(tangent(t1), k)), Sub(to, Scale(tangent(t2), k)), to);
            from = to;
        }
        lastCubicControl_.reset();
    }

    void Close() {
        if (open_) {
            Subpath& subpath = subpaths_.back();
            if (subpath.anchors.size() >= 2 && ClosesOnStart(subpath.anchors.back().p, subpath.anchors.front().p)) {
                subpath.anchors.front().in = subpath.anchors.back().in;
                subpath.anchors.pop_back();
            }
            subpath.closed = true;
            open_ = false;
        }
        current_ = start_;
        lastCubicControl_.reset();
        lastQuadraticControl_.reset();
    }

    std::string_view s_;
    std::size_t i_ = 0;
    std::vector<Subpath> subpaths_;
    bool open_ = false;  // the last subpath takes further segments
    RealPoint current_{0, 0};
    RealPoint start_{0, 0};
    std::optional<RealPoint> lastCubicControl_;
    std::optional<RealPoint> lastQuadraticControl_;
};

bool SamePoint(const RealPoint& a, const RealPoint& b) {
    return a.h == b.h && a.v == b.v;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr double kFewestDigitsLimit = 1e15;  // up to 15 digits, only one decimal reads back to a double
constexpr std::size_t kNumberText = 32;       // room for any double's shortest text

int DigitCount(std::uint64_t n) {
    int count = 1;
    while (n >= 10) {
        n /= 10;
        ++count;
    }
    return count;
}

// What std::to_chars writes for value, found the quick way for the short decimals drawings are made
// of: the fewest decimal places whose digits read back to value exactly, when those are at most 15
// digits and plain notation is no longer than scientific (to_chars takes the shorter, plain on a
// tie). Returns the end of the text, or null to leave value to to_chars.
char* ShortFixed(double value, char (&text)[kNumberText]) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-5 && magnitude < kFewestDigitsLimit)) return nullptr;
    // The digits that read back at so many places, if any, are the nearest whole number: below 1e15
    // the roundings of value and of the product stay far under a half. Digits that read back at some
    // places do at every further place, so the fewest are found by halving.
    const auto readsBack = [magnitude](int places) {
        return std::nearbyint(magnitude * kPowersOfTen[places]) / kPowersOfTen[places] == magnitude;
    };
    int most = 15;
    while (magnitude * kPowersOfTen[most] >= kFewestDigitsLimit) --most;
    constexpr int kFirstTried = 3;  // a drawing's numbers mostly have a few places: tried in turn
    const int firstTries = std::min(kFirstTried, most);
    int places = 0;
    while (places < firstTries && !readsBack(places)) ++places;
    if (places == firstTries) {
        if (!readsBack(most)) return nullptr;
        int fewer = places - 1;  // too few
        places = most;
        while (places - fewer > 1) {
            const int middle = (fewer + places) / 2;
            (readsBack(middle) ? places : fewer) = middle;
        }
    }

    const auto whole = static_cast<std::uint64_t>(std::nearbyint(magnitude * kPowersOfTen[places]));
    const int written = DigitCount(whole);
    int significant = written;  // of the scientific form: without a whole number's trailing zeros
    if (places == 0) {
        for (std::uint64_t rest = whole; rest % 10 == 0; rest /= 10) --significant;
    }
    const int plain = places == 0 ? written : std::max(written, places + 1) + 1;
    const int scientific = (significant == 1 ? 1 : significant + 1) + 4;  // "d.ddde-05"
    if (plain > scientific) return nullptr;

    char* at = text;
    if (value < 0) *at++ = '-';
    if (places == 0) return std::to_chars(at, std::end(text), whole).ptr;
    const auto unit = static_cast<std::uint64_t>(kPowersOfTen[places]);
    at = std::to_chars(at, std::end(text), whole / unit).ptr;
    *at++ = '.';
    std::uint64_t fraction = whole % unit;
    for (int i = places - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + fraction % 10);
        fraction /= 10;
    }
    return at + places;
}

bool Straight(const AnchorRecord& from, const AnchorRecord& to) {
    return SamePoint(from.out, from.p) && SamePoint(to.in, to.p);
}

void AppendPoint(std::string& out, const RealPoint& p) {
    out += ' ';
    AppendNumber(out, p.h);
    out += ' ';
    AppendNumber(out, p.v);
}

void AppendSegment(std::string& out, const AnchorRecord& from, const AnchorRecord& to) {
    if (Straight(from, to)) {
        out += " L";
    } else {
        out += " C";
        AppendPoint(out, from.out);
        AppendPoint(out, to.in);
    }
    AppendPoint(out, to.p);
}

}  // namespace

std::vector<Subpath> ParsePathData(std::string_view data) {
    Parser parser(data);
    std::vector<Subpath> subpaths = parser.Run();
    for (Subpath& subpath : subpaths) {
        for (AnchorRecord& anchor : subpath.anchors) anchor.corner = IsCornerAnchor(anchor);
    }
    return subpaths;
}

std::string FormatPathData(const std::vector<Subpath>& subpaths) {
    std::string out;
    for (const Subpath& subpath : subpaths) {
        if (subpath.anchors.empty()) continue;
        if (!out.empty()) out += ' ';
        out += 'M';
        AppendPoint(out, subpath.anchors.front().p);
        for (std::size_t i = 1; i < subpath.anchors.size(); ++i) {
            AppendSegment(out, subpath.anchors[i - 1], subpath.anchors[i]);
        }
        if (!subpath.closed) continue;
        const AnchorRecord& first = subpath.anchors.front();
        const AnchorRecord& last = subpath.anchors.back();
        // The closing segment is drawn out when Z alone would not read back to it: when it is
        // curved, or when the last anchor lies on the first (the reader would merge the two).
        const bool lastOnStart = subpath.anchors.size() >= 2 && ClosesOnStart(last.p, first.p);
        if (!Straight(last, first) || lastOnStart) AppendSegment(out, last, first);
        out += " Z";
    }
    return out;
}

std::string FormatNumber(double value) {
    std::string text;
    AppendNumber(text, value);
    return text;
}

void AppendNumber(std::string& out, double value) {
    if (value == 0) {
        out += '0';
        return;
    }
    char text[kNumberText];
    char* end = ShortFixed(value, text);
    if (end == nullptr) end = std::to_chars(std::begin(text), std::end(text), value).ptr;
    out.append(text, end);
}

std::string FormatNumber(float value) {
    if (value == 0) return "0";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool ClosesOnStart(const RealPoint& last, const RealPoint& start) {
    return std::fabs(last.h - start.h) <= kClosingTolerance && std::fabs(last.v - start.v) <= kClosingTolerance;
}

bool IsCornerAnchor(const AnchorRecord& anchor) {
    const RealPoint in = Sub(anchor.in, anchor.p);
    const RealPoint out = Sub(anchor.out, anchor.p);
    const double inLength = std::hypot(in.h, in.v);
    const double outLength = std::hypot(out.h, out.v);
    if (inLength == 0 || outLength == 0) return true;
    const double cross = (in.h * out.v - in.v * out.h) / (inLength * outLength);
    const double dot = in.h * out.h + in.v * out.v;
    return !(std::fabs(cross) < 1e-6 && dot < 0);
}

}  // namespace kvsvg

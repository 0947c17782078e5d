#include "units.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {

struct UnitName {
    const char* text;
    RulerUnit unit;
};

constexpr UnitName kUnitNames[] = {
    {"inch", RulerUnit::Inches}, {"in", RulerUnit::Inches},      {"\"", RulerUnit::Inches},
    {"cm", RulerUnit::Centimeters}, {"mm", RulerUnit::Millimeters}, {"pt", RulerUnit::Points},
    {"pc", RulerUnit::Picas},    {"px", RulerUnit::Pixels},      {"H", RulerUnit::Q},
    {"Q", RulerUnit::Q},         {"q", RulerUnit::Q},
};

const char* Suffix(RulerUnit unit) {
    switch (unit) {
        case RulerUnit::Inches: return "in";
        case RulerUnit::Centimeters: return "cm";
        case RulerUnit::Points: return "pt";
        case RulerUnit::Picas: return "pc";
        case RulerUnit::Millimeters: return "mm";
        case RulerUnit::Pixels: return "px";
        case RulerUnit::Q: return "H";
    }
    return "pt";
}

// value with at most decimals decimals, trailing zeros and a trailing point dropped, no "-0".
std::string Number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string number = text;
    if (number.find('.') != std::string::npos) {
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.') number.pop_back();
    }
    if (number == "-0") number = "0";
    return number;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Reads a plain decimal number (sign, digits, point) at the start of text; the rest is left in rest.
bool ReadNumber(const std::string& text, double* value, std::string* rest) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    *value = std::strtod(text.substr(0, i).c_str(), nullptr);
    *rest = Trimmed(text.substr(i));
    return true;
}

// "2p6", "2p", "p6", "-1p3": picas and points.
bool ReadPicas(const std::string& text, double* points) {
    const std::size_t p = text.find('p');
    if (p == std::string::npos) return false;
    const std::string picasText = Trimmed(text.substr(0, p));
    const std::string pointsText = Trimmed(text.substr(p + 1));
    if (picasText.empty() && pointsText.empty()) return false;
    double picas = 0;
    double extra = 0;
    std::string rest;
    if (!picasText.empty() && picasText != "-" && (!ReadNumber(picasText, &picas, &rest) || !rest.empty())) {
        return false;
    }
    if (!pointsText.empty() && (!ReadNumber(pointsText, &extra, &rest) || !rest.empty())) return false;
    const bool negative = !picasText.empty() && picasText[0] == '-';
    *points = picas * 12 + (negative ? -std::fabs(extra) : extra);
    return true;
}

}  // namespace

double PointsPerUnit(RulerUnit unit) {
    switch (unit) {
        case RulerUnit::Inches: return 72.0;
        case RulerUnit::Centimeters: return 72.0 / 2.54;
        case RulerUnit::Points: return 1.0;
        case RulerUnit::Picas: return 12.0;
        case RulerUnit::Millimeters: return 72.0 / 25.4;
        case RulerUnit::Pixels: return 1.0;  // the host's pixel is a point, as the plug-in's own unit table has it
        case RulerUnit::Q: return 72.0 / 25.4 / 4.0;
    }
    return 1.0;
}

std::string PointsToUnitsText(double points, RulerUnit unit, int precision) {
    const int decimals = precision < 0 ? 3 : precision;
    if (unit == RulerUnit::Picas) {
        const double magnitude = std::fabs(points);
        const double scale = std::pow(10.0, decimals);
        double picas = std::floor(magnitude / 12.0);
        double rest = std::round((magnitude - picas * 12.0) * scale) / scale;
        if (rest >= 12.0) {  // rounding carried into the next pica
            picas += 1;
            rest = 0;
        }
        const std::string sign = points < 0 && (picas > 0 || rest > 0) ? "-" : "";
        return sign + Number(picas, 0) + "p" + Number(rest, decimals);
    }
    return Number(points / PointsPerUnit(unit), decimals) + " " + Suffix(unit);
}

bool UnitsTextToPoints(const std::string& text, RulerUnit unit, double* points) {
    const std::string typed = Trimmed(text);
    double value = 0;
    std::string rest;
    if (ReadNumber(typed, &value, &rest)) {
        if (rest.empty()) {
            *points = value * PointsPerUnit(unit);
            return true;
        }
        for (const UnitName& name : kUnitNames) {
            if (rest == name.text) {
                *points = value * PointsPerUnit(name.unit);
                return true;
            }
        }
    }
    return ReadPicas(typed, points);
}

}  // namespace sim

#include "svg_encoding.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "svg_document.h"

namespace kvsvg {

namespace {

struct EncodingName {
    const char* name;
    TextEncoding encoding;
};
constexpr EncodingName kEncodingNames[] = {
    {"utf-8", TextEncoding::Utf8},         {"utf8", TextEncoding::Utf8},        {"iso-8859-1", TextEncoding::Latin1},
    {"iso8859-1", TextEncoding::Latin1},   {"iso_8859-1", TextEncoding::Latin1}, {"latin1", TextEncoding::Latin1},
    {"latin-1", TextEncoding::Latin1},     {"l1", TextEncoding::Latin1},        {"us-ascii", TextEncoding::Ascii},
    {"ascii", TextEncoding::Ascii},
};

bool StartsWith(const std::string& text, const char* prefix, std::size_t length) {
    return text.size() >= length && text.compare(0, length, prefix, length) == 0;
}

// The value of encoding="..." in the XML declaration at the start of text; empty when none.
std::string DeclaredEncoding(const std::string& text, std::size_t start) {
    if (text.compare(start, 5, "<?xml") != 0) return {};
    const std::size_t end = text.find("?>", start);
    const std::size_t key = text.find("encoding", start);
    if (end == std::string::npos || key == std::string::npos || key > end) return {};
    const std::size_t quote = text.find_first_of("\"'", key);
    const std::size_t close = quote == std::string::npos ? std::string::npos : text.find(text[quote], quote + 1);
    if (close == std::string::npos || close > end) return {};
    return text.substr(quote + 1, close - quote - 1);
}

// Bytes of length n (2..4) led by lead: the ranges of the second byte that keep the sequence
// well-formed (no overlong forms, no surrogates, nothing beyond U+10FFFF).
bool WellFormed(const unsigned char* s, std::size_t n) {
    const unsigned char lead = s[0], second = s[1];
    if (second < 0x80 || second > 0xBF) return false;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second > 0x8F)) {
        return false;
    }
    return std::all_of(s + 2, s + n, [](unsigned char c) { return c >= 0x80 && c <= 0xBF; });
}

std::size_t FirstNonAscii(const std::string& text) {
    const auto found = std::find_if(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
    return static_cast<std::size_t>(found - text.begin());
}

}  // namespace

std::size_t FirstBadUtf8(const std::string& text) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t i = 0;
    while (i < text.size()) {
        // Runs of ASCII, most of a drawing, eight bytes at a time.
        std::uint64_t eight = 0;
        if (i + sizeof eight <= text.size()) {
            std::memcpy(&eight, bytes + i, sizeof eight);
            if ((eight & kHighBits) == 0) {
                i += sizeof eight;
                continue;
            }
        }
        const unsigned char lead = bytes[i];
        const std::size_t n = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                           : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (n == 0 || i + n > text.size() || (n > 1 && !WellFormed(bytes + i, n))) return i;
        i += n;
    }
    return std::string::npos;
}

std::string Position(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const auto begin = text.begin(), at = text.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto lineStart = std::find(std::make_reverse_iterator(at), text.rend(), '\n').base();
    const auto column = 1 + std::count_if(lineStart, at, [](char c) { return (c & 0xC0) != 0x80; });
    return "line " + std::to_string(1 + std::count(begin, at, '\n')) + ", column " + std::to_string(column);
}

DecodedText DecodeSvgBytes(const std::string& bytes) {
    if (StartsWith(bytes, "\x1f\x8b", 2)) {
        throw SvgError("gzip-compressed data (an .svgz file): unpack it first, as with gunzip -S .svgz");
    }
    if (StartsWith(bytes, "\xff\xfe", 2) || StartsWith(bytes, "\xfe\xff", 2) || StartsWith(bytes, "\0\0\xfe\xff", 4) ||
        StartsWith(bytes, "<\0", 2) || StartsWith(bytes, "\0<", 2)) {
        throw SvgError("UTF-16 or UTF-32 text: save it as UTF-8, as with iconv -t UTF-8");
    }
    DecodedText decoded;
    decoded.declaredName = DeclaredEncoding(bytes, StartsWith(bytes, "\xef\xbb\xbf", 3) ? 3 : 0);
    std::string lower = decoded.declaredName;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto known = std::find_if(std::begin(kEncodingNames), std::end(kEncodingNames),
                                    [&](const EncodingName& entry) { return lower == entry.name; });
    if (!lower.empty() && known == std::end(kEncodingNames)) {
        throw SvgError("the XML declaration names the encoding " + decoded.declaredName +
                       ", which kelvane does not read (UTF-8, ISO-8859-1 or US-ASCII): convert the file to UTF-8");
    }
    decoded.encoding = lower.empty() ? TextEncoding::Utf8 : known->encoding;
    if (decoded.encoding == TextEncoding::Latin1) {
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                decoded.text += c;
            } else {
                decoded.text += static_cast<char>(0xC0 | (byte >> 6));
                decoded.text += static_cast<char>(0x80 | (byte & 0x3F));
            }
        }
        return decoded;
    }
    const std::size_t bad =
        decoded.encoding == TextEncoding::Ascii ? FirstNonAscii(bytes) : FirstBadUtf8(bytes);
    if (bad < bytes.size()) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02x", static_cast<unsigned char>(bytes[bad]));
        throw SvgError(Position(bytes, bad) + ": the byte " + byte + " is not " +
                       (decoded.encoding == TextEncoding::Ascii ? "US-ASCII" : "UTF-8") +
                       (decoded.declaredName.empty() ? " (a file without an encoding in its XML declaration is UTF-8)"
                                                     : ", the encoding the file declares"));
    }
    decoded.text = bytes;
    return decoded;
}

}  // namespace kvsvg

// The bytes of an SVG file and the UTF-8 text the reader and the writer work with. A file in
// ISO-8859-1 or US-ASCII (as its XML declaration says) is read as UTF-8 and written back in its own
// encoding when every character fits; what cannot be read is refused with the reason.
#pragma once

#include <cstddef>
#include <string>

namespace kvsvg {

enum class TextEncoding { Utf8, Latin1, Ascii };

struct DecodedText {
    std::string text;  // UTF-8
    TextEncoding encoding = TextEncoding::Utf8;
    std::string declaredName;  // the encoding as the XML declaration names it; empty when it names none
};

// Throws SvgError for gzip-compressed data (.svgz), UTF-16 or UTF-32, an encoding other than UTF-8,
// ISO-8859-1 or US-ASCII, and a byte not of the encoding (with its line and column).
DecodedText DecodeSvgBytes(const std::string& bytes);

// The offset of the first byte of text that is not part of well-formed UTF-8; npos when none is.
std::size_t FirstBadUtf8(const std::string& text);

// "line L, column C" of offset in UTF-8 text; columns count characters from 1.
std::string Position(const std::string& text, std::size_t offset);

}  // namespace kvsvg

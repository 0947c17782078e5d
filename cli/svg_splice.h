// Changes made to the text of an XML file in place: the start tags and extents of its elements as
// they stand in the text, and a list of replacements spliced into it, so that whatever no
// replacement covers is written back byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kvsvg {

struct AttributeSpan {
    std::string name;
    std::size_t start = 0;       // of the name
    std::size_t valueStart = 0;  // inside the quotes
    std::size_t valueEnd = 0;
    std::size_t end = 0;  // past the closing quote
};

struct StartTag {
    std::size_t start = 0;  // the '<'
    std::string name;
    std::size_t nameEnd = 0;
    std::size_t attributesEnd = 0;  // past the last attribute (or the name): where new ones go
    std::size_t close = 0;          // the "/>" or ">"
    std::size_t end = 0;            // past it
    bool empty = false;             // "<x/>"
    std::vector<AttributeSpan> attributes;

    const AttributeSpan* Find(std::string_view attribute) const;
};

// The start tag whose '<' is at start in well-formed XML text.
StartTag ReadStartTag(const std::string& text, std::size_t start);

// Past the end of the element whose start tag is tag: its "/>" or its end tag.
std::size_t ElementEnd(const std::string& text, const StartTag& tag);

// Where the end tag of a non-empty element begins.
std::size_t EndTagStart(const std::string& text, const StartTag& tag);

// The white space just before offset, back to the end of the previous markup: the separator that
// puts an element on its own line, indented like its neighbours ("" when there is none).
std::string LeadingSpace(const std::string& text, std::size_t offset);

// Text for an attribute value in double quotes, and for character data.
std::string EscapeAttribute(std::string_view value);
std::string EscapeText(std::string_view value);

class Splice {
public:
    void Replace(std::size_t offset, std::size_t length, std::string with);
    void Insert(std::size_t offset, std::string text) { Replace(offset, 0, std::move(text)); }
    void Remove(std::size_t offset, std::size_t length) { Replace(offset, length, {}); }
    bool Empty() const { return edits_.empty(); }
    // text with every replacement made; replacements inside a removed range are dropped, insertions
    // at one offset keep the order in which they were made and go before a replacement there.
    // Throws std::logic_error on overlaps.
    std::string Apply(const std::string& text) const;

private:
    struct Edit {
        std::size_t offset, length;
        std::string text;
        std::size_t order;
    };
    std::vector<Edit> edits_;
};

}  // namespace kvsvg

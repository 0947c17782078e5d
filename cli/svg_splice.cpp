#include "svg_splice.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kvsvg {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Past the markup that begins at offset ('<'), for anything but an element's start tag.
std::size_t SkipMarkup(const std::string& text, std::size_t offset) {
    const auto past = [&](const char* terminator) {
        const std::size_t found = text.find(terminator, offset);
        return found == std::string::npos ? text.size() : found + std::strlen(terminator);
    };
    if (text.compare(offset, 4, "<!--") == 0) return past("-->");
    if (text.compare(offset, 9, "<![CDATA[") == 0) return past("]]>");
    if (text.compare(offset, 2, "<?") == 0) return past("?>");
    return past(">");  // an end tag
}

}  // namespace

const AttributeSpan* StartTag::Find(std::string_view attribute) const {
    for (const AttributeSpan& span : attributes) {
        if (span.name == attribute) return &span;
    }
    return nullptr;
}

StartTag ReadStartTag(const std::string& text, std::size_t start) {
    StartTag tag;
    tag.start = start;
    std::size_t i = start + 1;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '/' && text[i] != '>') ++i;
    tag.name = text.substr(start + 1, i - start - 1);
    tag.nameEnd = tag.attributesEnd = i;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i >= text.size()) break;
        if (text[i] == '>' || text[i] == '/') {
            tag.close = i;
            tag.empty = text[i] == '/';
            tag.end = std::min(text.size(), i + (tag.empty ? 2 : 1));
            return tag;
        }
        AttributeSpan span;
        span.start = i;
        while (i < text.size() && text[i] != '=' && !IsSpace(text[i])) ++i;
        span.name = text.substr(span.start, i - span.start);
        while (i < text.size() && text[i] != '"' && text[i] != '\'') ++i;
        if (i >= text.size()) break;
        const char quote = text[i];
        span.valueStart = i + 1;
        span.valueEnd = text.find(quote, span.valueStart);
        if (span.valueEnd == std::string::npos) break;
        span.end = i = span.valueEnd + 1;
        tag.attributesEnd = span.end;
        tag.attributes.push_back(std::move(span));
    }
    throw std::logic_error("unterminated start tag");
}

std::size_t ElementEnd(const std::string& text, const StartTag& tag) {
    if (tag.empty) return tag.end;
    int depth = 1;
    std::size_t i = tag.end;
    while (true) {
        i = text.find('<', i);
        if (i == std::string::npos) throw std::logic_error("unterminated element");
        if (text.compare(i, 2, "</") == 0) {
            i = SkipMarkup(text, i);
            if (--depth == 0) return i;
        } else if (text.compare(i, 2, "<!") == 0 || text.compare(i, 2, "<?") == 0) {
            i = SkipMarkup(text, i);
        } else {
            const StartTag inner = ReadStartTag(text, i);
            if (!inner.empty) ++depth;
            i = inner.end;
        }
    }
}

std::size_t EndTagStart(const std::string& text, const StartTag& tag) {
    const std::size_t end = ElementEnd(text, tag);
    return text.rfind("</", end);
}

std::string LeadingSpace(const std::string& text, std::size_t offset) {
    std::size_t begin = offset;
    while (begin > 0 && IsSpace(text[begin - 1])) --begin;
    if (begin > 0 && text[begin - 1] != '>') return {};  // text, not only layout
    return text.substr(begin, offset - begin);
}

namespace {

// value with the characters in special replaced by their references; runs of other characters are
// copied whole (path data is long and has none).
template <typename Reference>
std::string Escape(std::string_view value, std::string_view special, Reference reference) {
    bool isSpecial[256] = {};
    for (char c : special) isSpecial[static_cast<unsigned char>(c)] = true;
    std::string out;
    out.reserve(value.size());
    std::size_t from = 0;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (!isSpecial[static_cast<unsigned char>(value[at])]) continue;
        out.append(value, from, at - from);
        out += reference(value[at]);
        from = at + 1;
    }
    out.append(value, from, std::string_view::npos);
    return out;
}

}  // namespace

std::string EscapeAttribute(std::string_view value) {
    return Escape(value, std::string_view("&<\"\n\t\r"), [](char c) -> const char* {
        switch (c) {
            case '&': return "&amp;";
            case '<': return "&lt;";
            case '"': return "&quot;";
            case '\n': return "&#10;";
            case '\t': return "&#9;";
            default: return "&#13;";
        }
    });
}

std::string EscapeText(std::string_view value) {
    return Escape(value, "&<>", [](char c) -> const char* {
        switch (c) {
            case '&': return "&amp;";
            case '<': return "&lt;";
            default: return "&gt;";
        }
    });
}

void Splice::Replace(std::size_t offset, std::size_t length, std::string with) {
    edits_.push_back(Edit{offset, length, std::move(with), edits_.size()});
}

std::string Splice::Apply(const std::string& text) const {
    std::vector<const Edit*> sorted;
    for (const Edit& edit : edits_) sorted.push_back(&edit);
    // At one offset, insertions go before what is replaced or removed there.
    std::stable_sort(sorted.begin(), sorted.end(), [](const Edit* a, const Edit* b) {
        if (a->offset != b->offset) return a->offset < b->offset;
        if ((a->length == 0) != (b->length == 0)) return a->length == 0;
        return a->order < b->order;
    });
    std::size_t most = text.size();
    for (const Edit& edit : edits_) most += edit.text.size();
    std::string out;
    out.reserve(most);  // once: a drawing's new elements can be many times its text
    std::size_t position = 0;
    for (const Edit* edit : sorted) {
        if (edit->offset < position) {
            if (edit->offset + edit->length <= position) continue;  // inside what was removed
            throw std::logic_error("overlapping changes to the text");
        }
        out.append(text, position, edit->offset - position);
        out += edit->text;
        position = edit->offset + edit->length;
    }
    out.append(text, std::min(position, text.size()), std::string::npos);
    return out;
}

}  // namespace kvsvg

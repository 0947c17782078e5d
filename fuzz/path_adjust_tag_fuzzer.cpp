// Feeds arbitrary bytes to the reader of the adjust records ("Path_adjust_matrix"). Beyond crashes
// and sanitizer reports it checks that the reader counts exactly the commas it may read, leaves the
// fields it does not reach at their empty values, and that a record written from what it read reads
// back to the same fields: writing is a fixed point after one round.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "shell/decimal_text.h"
#include "tools/path_adjust_tag.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool Finite(const PathAdjustTag& tag) {
    const double fields[10] = {tag.matrix.a, tag.matrix.b, tag.matrix.c, tag.matrix.d, tag.matrix.tx,
                               tag.matrix.ty, tag.first.h, tag.first.v, tag.angle,  tag.length};
    for (double field : fields) {
        if (!std::isfinite(field)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const PathAdjustTag tag = ParsePathAdjustTag(text, size);

    std::size_t readable = 0;
    while (readable < size && readable < kPathAdjustTagReadLimit && text[readable] != '\0') ++readable;
    int commas = 0;
    for (std::size_t i = 0; i < readable; ++i) commas += text[i] == ',' ? 1 : 0;
    Check(tag.tokens == commas);
    if (tag.tokens < 6) Check(tag.matrix.ty == 0);
    if (tag.tokens < 10) Check(tag.length == 0);
    if (tag.tokens < 1) Check(tag.matrix.a == 1);

    // A number read alone is what the reader put in the first field.
    const char* comma = static_cast<const char*>(std::memchr(text, ',', readable));
    if (comma != nullptr) {
        const double first = ReadDecimalNumber(text, comma);
        Check(first == tag.matrix.a || (std::isnan(first) && std::isnan(tag.matrix.a)));
    }

    if (!Finite(tag)) return 0;  // "inf" is written but not read back: no fixed point to check
    char once[512];
    char twice[512];
    const int length = FormatPathAdjustTag(once, sizeof once, tag.matrix, tag.first, tag.angle, tag.length);
    Check(length > 0 && static_cast<std::size_t>(length) < sizeof once);
    const PathAdjustTag back = ParsePathAdjustTag(once, std::strlen(once));
    Check(back.tokens == 10 || std::strlen(once) > kPathAdjustTagReadLimit);
    FormatPathAdjustTag(twice, sizeof twice, back.matrix, back.first, back.angle, back.length);
    if (back.tokens == 10) Check(std::strcmp(once, twice) == 0);
    return 0;
}

// Shift-JIS as UTF-8 natively, through iconv. A file of its own: the SVG reader's fuzzer needs it
// without the rest of the host's platform side.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

#include "host.h"

namespace sim {

std::string Cp932ToUtf8(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
    std::vector<char> input(bytes.begin(), bytes.end());
    std::string output;
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        output.append(buffer, out);
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Bytes that are not Shift-JIS show as U+FFFD, so that a comparison fails visibly.
            output += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return output;
}

}  // namespace sim

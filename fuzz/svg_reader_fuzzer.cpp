// Feeds arbitrary bytes to kelvane's SVG reader as a file read into a new document of the simulated
// host. Beyond crashes and sanitizer reports it checks that a file the reader takes is written as
// one it takes again, and that writing that second document gives the same text (writing is
// stable). A refusal must be an SvgError: any other exception escapes and counts as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "document.h"
#include "svg_document.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    sim::Document first;
    std::unique_ptr<kvsvg::SvgSource> source;
    try {
        source = kvsvg::ReadSvg(text, first);
    } catch (const kvsvg::SvgError&) {
        return 0;
    }
    const std::string written = kvsvg::WriteSvg(first, source.get());

    sim::Document second;
    std::unique_ptr<kvsvg::SvgSource> sourceAgain;
    try {
        sourceAgain = kvsvg::ReadSvg(written, second);
    } catch (const kvsvg::SvgError& error) {
        Fail(error.what(), written);
    }
    const std::string again = kvsvg::WriteSvg(second, sourceAgain.get());
    if (again != written) Fail("writing is not stable", written + "\n----\n" + again);
    return 0;
}

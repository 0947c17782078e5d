// Feeds arbitrary bytes to the settings parser. Beyond crashes and sanitizer reports it checks that
// text fields stay zero-terminated, that the language is one of the three, and that what the writer
// makes of the result settles: written, read back and written again, it changes at most once.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "settings/settings_file.h"
#include "shell/plugin_state.h"

namespace {

constexpr std::size_t kWrittenLines = 26;

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

bool Terminated(const char (&field)[kTextFieldSize]) { return std::memchr(field, '\0', sizeof field) != nullptr; }

void CheckWrittenText(const std::string& text) {
    std::size_t lines = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        Check(end != std::string::npos);
        Check(end + 2 - start <= 255);  // fits the writer's 256-byte line buffer
        Check(text.find('\n', start) == end + 1);
        ++lines;
        start = end + 2;
    }
    Check(lines == kWrittenLines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Static: the record is a few kilobytes and the fuzzer calls this millions of times.
    static PluginState state;
    static PluginState back;
    SetStartValues(state, nullptr, 1.0);
    ApplySettingsText(state, reinterpret_cast<const char*>(data), size);

    Check(Terminated(state.handleline_layer));
    Check(Terminated(state.handleline_line_color));
    Check(state.language <= kKorean);

    const std::string text = FormatSettingsText(state);
    CheckWrittenText(text);

    // A number beyond a double's range reads as infinite and is written "inf", which is no number
    // and reads back as 0: a second round settles every text.
    const auto rewritten = [](const std::string& written) {
        SetStartValues(back, nullptr, 1.0);
        ApplySettingsText(back, written.data(), written.size());
        return FormatSettingsText(back);
    };
    const std::string again = rewritten(text);
    Check(again == text || rewritten(again) == again);
    return 0;
}

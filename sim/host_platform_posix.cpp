// Native host: a private temporary documents folder per host, counted beeps, no windows.
#include <iconv.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "host.h"
#include "host_platform.h"
#include "platform/platform.h"

namespace sim {

namespace {

void AddBeep(void* context) { ++*static_cast<int*>(context); }

}  // namespace

std::string PrepareDocumentsFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "kelvane-sim-XXXXXX";
    std::string pattern = base.string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a documents folder " + pattern);
    SetPosixDocumentsFolder(pattern.c_str());
    return pattern;
}

void RemoveDocumentsFolder(const std::string& folder) {
    SetPosixDocumentsFolder(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void CountBeeps(int* counter) {
    if (counter == nullptr) {
        SetPosixBeepHandler(nullptr, nullptr);
    } else {
        SetPosixBeepHandler(AddBeep, counter);
    }
}

PlatformWindow CreateAppWindow() { return nullptr; }
PlatformWindow CreatePanelWindow(PlatformWindow /*parent*/, const PanelSize& /*size*/) { return nullptr; }
void ShowPanelWindow(PlatformWindow /*window*/, bool /*show*/) {}
void ResizePanelWindow(PlatformWindow /*window*/, const PanelSize& /*size*/) {}
void DestroyHostWindow(PlatformWindow /*window*/) {}

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

// kelvane: loads the plug-in into the simulated host and works with it as a user would.
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "host.h"
#include "startup_report.h"

namespace {

constexpr const char* kUsage =
    "usage: kelvane startup [--settings FILE] [--out FILE]\n"
    "  Starts the plug-in in the simulated host (with FILE as the user's settings file), shows what it\n"
    "  registered and the settings it read, shuts it down and shows the settings file it wrote\n"
    "  (copied to --out FILE when given).\n";

bool ParseStartupOptions(int argc, char** argv, StartupReportOptions& options) {
    for (int i = 2; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--settings") == 0 && hasValue) {
            options.settingsIn = argv[++i];
        } else if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            options.settingsOut = argv[++i];
        } else {
            std::cerr << "kelvane: unknown or incomplete option '" << argv[i] << "'\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "startup") != 0) {
        std::cerr << kUsage;
        return 2;
    }
    StartupReportOptions options;
    if (!ParseStartupOptions(argc, argv, options)) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        sim::Host host;
        return RunStartupReport(host, options, std::cout, std::cerr) ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "kelvane: " << error.what() << "\n";
        return 1;
    }
}

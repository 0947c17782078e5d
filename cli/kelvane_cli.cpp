#include "kelvane_cli.h"

#include <exception>
#include <ostream>

#include "host.h"
#include "run_command.h"
#include "startup_report.h"

namespace {

constexpr const char* kStartupUsage =
    "usage: kelvane startup [--settings FILE] [--out FILE]\n"
    "  Starts the plug-in in the simulated host (with FILE as the user's settings file), shows what it\n"
    "  registered and the settings it read, shuts it down and shows the settings file it wrote\n"
    "  (copied to --out FILE when given).\n";

void PrintUsage(std::ostream& stream) {
    stream << kStartupUsage << RunUsage();
}

bool ParseStartupOptions(const std::vector<std::string>& args, StartupReportOptions& options, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--settings" && hasValue) {
            options.settingsIn = args[++i];
        } else if (args[i] == "--out" && hasValue) {
            options.settingsOut = args[++i];
        } else {
            err << "kelvane: unknown or incomplete option '" << args[i] << "'\n";
            return false;
        }
    }
    return true;
}

int Startup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    StartupReportOptions options;
    if (!ParseStartupOptions(args, options, err)) {
        err << kStartupUsage;
        return 2;
    }
    try {
        sim::Host host;
        return RunStartupReport(host, options, out, err) ? 0 : 1;
    } catch (const std::exception& error) {
        err << "kelvane: " << error.what() << "\n";
        return 1;
    }
}

}  // namespace

int KelvaneMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintUsage(err);
        return 2;
    }
    if (args[0] == "startup") return Startup(args, out, err);
    if (args[0] == "run") return RunDocumentCommands(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(out);
        return 0;
    }
    err << "kelvane: unknown subcommand '" << args[0] << "'\n";
    PrintUsage(err);
    return 2;
}

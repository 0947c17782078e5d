#include "kelvane_cli.h"

#include <exception>
#include <memory>
#include <ostream>

#include "file_io.h"
#include "host.h"
#include "inkscape_front.h"
#include "options.h"
#include "run_command.h"
#include "shell/plugin_state.h"
#include "startup_report.h"

namespace {

constexpr const char* kStartupUsage =
    "usage: kelvane startup [--settings FILE] [--out FILE]\n"
    "  Starts the plug-in in the simulated host (with FILE as the user's settings file; - reads it\n"
    "  from standard input), shows what it registered and the settings it read, shuts it down and\n"
    "  shows the settings file it wrote (copied to --out FILE when given; - writes it to standard\n"
    "  output and the report to standard error).\n";

constexpr const char* kMainUsage =
    "usage: kelvane startup|run|inkscape ... (kelvane help startup|run|inkscape, or -h after any)\n"
    "       kelvane --version\n";

void PrintUsage(std::ostream& stream) {
    stream << kMainUsage << kStartupUsage << RunUsage() << InkscapeUsage();
}

// What the plug-in's about box shows: its name and version, from its own start values.
void PrintVersion(std::ostream& out) {
    const auto state = std::make_unique<PluginState>();
    SetStartValues(*state, nullptr, 1.0);
    out << "kelvane: " << state->productName << " " << state->versionText << "\n";
}

int Startup(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    std::string settingsIn, settingsOut;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string name = OptionName(args[i]);
        if (IsHelpOption(args[i])) {
            out << kStartupUsage;
            return 0;
        }
        std::string* value = name == "--settings" ? &settingsIn : name == "--out" ? &settingsOut : nullptr;
        if (value == nullptr || !TakeOptionValue(args, i, *value)) {
            err << "kelvane: " << (value == nullptr ? "unknown option '" + args[i] + "'" : "the option " + name + " needs a value")
                << "\n" << kStartupUsage;
            return 2;
        }
    }
    StartupReportOptions options;
    options.settingsName = settingsIn;
    std::string problem;
    if (!settingsIn.empty() && !ReadInputFile(settingsIn, in, options.settingsText, problem)) {
        err << "kelvane: " << problem << "\n";
        return 2;
    }
    try {
        sim::Host host;
        std::string written;
        const bool toStdOut = !settingsOut.empty() && IsStandardOutput(settingsOut);
        if (!RunStartupReport(host, options, toStdOut ? err : out, err, written)) return 1;
        if (!settingsOut.empty() && !WriteOutputFile(settingsOut, written, out, problem)) {
            err << "kelvane: " << problem << "\n";
            return 2;
        }
        return 0;
    } catch (const std::exception& error) {
        err << "kelvane: " << error.what() << "\n";
        return 1;
    }
}

int Help(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 2) {
        PrintUsage(out);
        return 0;
    }
    if (args[1] == "run") {
        out << RunUsage();
    } else if (args[1] == "startup") {
        out << kStartupUsage;
    } else if (args[1] == "inkscape") {
        out << InkscapeUsage();
    } else {
        err << "kelvane: no help on '" << args[1] << "' (startup, run or inkscape)\n";
        return 2;
    }
    return 0;
}

}  // namespace

int KelvaneMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintUsage(err);
        return 2;
    }
    if (args[0] == "startup") return Startup(args, in, out, err);
    if (args[0] == "run") return RunDocumentCommands(std::vector<std::string>(args.begin() + 1, args.end()), in, out, err);
    if (args[0] == "inkscape") return InkscapeMain(std::vector<std::string>(args.begin() + 1, args.end()), in, out, err);
    // An Inkscape extension names its command in a hidden parameter, which Inkscape passes among
    // the others: --inkscape=COMMAND is `kelvane inkscape COMMAND`.
    for (auto word = args.begin(); word != args.end(); ++word) {
        if (word->rfind("--inkscape=", 0) != 0) continue;
        std::vector<std::string> rest{word->substr(11)};
        rest.insert(rest.end(), args.begin(), word);
        rest.insert(rest.end(), word + 1, args.end());
        return InkscapeMain(rest, in, out, err);
    }
    if (args[0] == "help" || IsHelpOption(args[0])) return Help(args, out, err);
    if (args[0] == "--version") {
        PrintVersion(out);
        return 0;
    }
    err << "kelvane: unknown subcommand '" << args[0] << "'\n";
    PrintUsage(err);
    return 2;
}

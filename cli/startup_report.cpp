#include "startup_report.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>

#include "file_io.h"
#include "host.h"

std::string SettingsFilePath(const sim::Host& host) {
    return host.DocumentsFolder() + "/Adobe/Illustrator/Prefs/Kelvane.ini";
}

bool InstallSettingsFile(const sim::Host& host, const std::string& text, std::ostream& err) {
    const std::filesystem::path path = SettingsFilePath(host);
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    if (std::string problem; !WriteWholeFile(path.string(), text, problem)) {
        err << "kelvane: cannot place the settings file: " << problem << "\n";
        return false;
    }
    return true;
}

namespace {

// Shows the text of a settings file with its line ends made visible.
void PrintSettingsText(const std::string& text, std::ostream& out) {
    for (char c : text) {
        if (c == '\r') {
            out << "\\r";
        } else {
            out << c;
        }
    }
}

void PrintRegistrations(const sim::AppState& app, std::ostream& out) {
    out << "plug-in options: 0x" << std::hex << app.pluginOptions << std::dec << "\n";
    out << "tools:\n";
    for (const auto& tool : app.tools) {
        out << "  \"" << tool->name << "\" (number " << tool->number << ", icons " << tool->lightIconId << "/"
            << tool->darkIconId << ", group " << tool->sameGroupAs << ", options " << tool->options << ")\n";
    }
    out << "notifiers:\n";
    for (const auto& notifier : app.notifiers) {
        out << "  \"" << notifier->name << "\" for \"" << notifier->type << "\"\n";
    }
    out << "menu items:\n";
    for (const auto& item : app.menuItems) {
        out << "  \"" << item->text << "\" (key \"" << item->key << "\") in \"" << item->group << "\"\n";
    }
    out << "actions:\n";
    for (const auto& event : app.actionEvents) {
        out << "  \"" << event->name << "\" (\"" << event->displayName << "\", version " << event->version << ")\n";
    }
    out << "annotators:\n";
    for (const auto& annotator : app.annotators) {
        out << "  \"" << annotator->name << "\" (" << (annotator->active ? "on" : "off") << ")\n";
    }
}

// The key = value pairs of a settings file as a reader sees them at a glance: blanks, tabs and
// quotes dropped, the first "=" splitting key from value; comments and empty lines left out.
std::map<std::string, std::string> SettingsValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line.erase(std::remove_if(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\r' || c == '\t' || c == '"'; }),
                   line.end());
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == '\'' || equals == std::string::npos) continue;
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

// The values the plug-in did not keep as the file gave them: a number too large, a count the
// panel cannot show, a word it does not know. The plug-in itself says nothing of them.
void PrintValuesNotKept(const std::string& read, const std::string& written, std::ostream& out) {
    const std::map<std::string, std::string> kept = SettingsValues(written);
    bool any = false;
    for (const auto& [key, value] : SettingsValues(read)) {
        const auto found = kept.find(key);
        if (found == kept.end() || found->second == value) continue;
        if (!any) out << "== values kept otherwise than the file gives them\n";
        any = true;
        out << "  " << key << " = " << value << " is kept as " << found->second << "\n";
    }
}

}  // namespace

bool RunStartupReport(sim::Host& host, const StartupReportOptions& options, std::ostream& out, std::ostream& err,
                      std::string& written) {
    if (!options.settingsName.empty() && !InstallSettingsFile(host, options.settingsText, err)) return false;

    const HostStatus started = host.Startup();
    if (started != kNoError) {
        err << "kelvane: the plug-in did not start (status " << started << ")\n";
        return false;
    }
    out << "== registered\n";
    PrintRegistrations(host.App(), out);
    if (options.settingsName.empty()) {
        out << "== settings file read at start-up: none, start values in use\n";
    } else {
        out << "== settings file read at start-up (" << options.settingsName << ")\n";
        PrintSettingsText(options.settingsText, out);
    }

    // What the application tells its plug-ins once it has started: the panel is made.
    host.Notify("AI Application Started Notifier");
    if (host.Shutdown() != kNoError) {
        err << "kelvane: the plug-in did not shut down cleanly\n";
        return false;
    }
    if (std::string problem; !ReadWholeFile(SettingsFilePath(host), written, problem)) {
        err << "kelvane: the plug-in wrote no settings file (" << problem << ")\n";
        return false;
    }
    out << "== settings file written at shut-down (" << written.size() << " bytes)\n";
    PrintSettingsText(written, out);
    if (!options.settingsName.empty()) PrintValuesNotKept(options.settingsText, written, out);
    out << "== left behind: " << (host.OutstandingBlocks() == 0 ? "no host memory" : "host memory blocks")
        << ", suites " << (host.SuitesBalanced() ? "all released" : "NOT all released") << "\n";
    return true;
}

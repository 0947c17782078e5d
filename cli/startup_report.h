// What the plug-in did when the simulated host started it: its registrations and its settings.
#pragma once

#include <iosfwd>
#include <string>

namespace sim {
class Host;
}

struct StartupReportOptions {
    std::string settingsName;  // the settings file given as the user's, as named; empty for none
    std::string settingsText;  // its text
};

// Where the plug-in looks for the user's settings file in host's documents folder.
std::string SettingsFilePath(const sim::Host& host);

// Lays text there as the user's settings file; false, with a message on err, when it cannot.
bool InstallSettingsFile(const sim::Host& host, const std::string& text, std::ostream& err);

// Starts the plug-in in host, prints what it registered and the settings it holds, shuts it down
// and prints the settings file it wrote, which written receives. Returns false, with a message on
// err, when a step fails.
bool RunStartupReport(sim::Host& host, const StartupReportOptions& options, std::ostream& out, std::ostream& err,
                      std::string& written);

// The settings file: key-value text lines in the host's preferences folder in the user's documents.
#pragma once

#include <cstddef>
#include <string>

struct PluginState;

constexpr std::size_t kPrefsPathSize = 260;

// Fills buffer (kPrefsPathSize bytes) with "<documents>\Adobe\Illustrator", creating both folders;
// empty, and nothing created, when there is no documents folder.
void GetPrefsFolder(char* buffer);

// Reads the settings file into gState; fields whose keys are missing keep their values.
void ReadSettingsFile();

// Writes every setting of gState, replacing the file; a file that cannot be created is skipped.
void WriteSettingsFile();

// Applies the text of a settings file to state (the parsing half of ReadSettingsFile).
void ApplySettingsText(PluginState& state, const char* text, std::size_t size);

// The whole text WriteSettingsFile writes for state, CR LF line ends included.
std::string FormatSettingsText(const PluginState& state);

// Whole files in and out; the output of a run is written so that no half file is ever left.
#pragma once

#include <string>

bool ReadWholeFile(const std::string& path, std::string& text);

// Writes text to path at once (for files that may be left half written, such as copies of settings).
bool WriteWholeFile(const std::string& path, const std::string& text);

// Writes text to a new temporary file beside path and renames it over path: path then holds either
// its old content (or nothing) or all of text. False, with a message in error, when it failed.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);

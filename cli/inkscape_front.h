// `kelvane inkscape COMMAND`: the program that Kelvane's Inkscape extensions (inkscape/*.inx) run.
// Inkscape passes the selected objects as --id=ID, the nodes selected with its node tool as
// --selected-nodes=ID:SUBPATH:NODE, each parameter of the .inx file as --name=value and the document's
// file last; it reads the new document from standard output and shows standard error to the user.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// args: the words after "inkscape". Writes the document on out (the input's bytes as they were when
// nothing changed) and what the user is to read on err. Returns 0 when the document was written
// (changed or not), 2 for a usage error (nothing written).
int InkscapeMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// The plug-in's language for Inkscape's interface language, as gettext looks it up: the first set
// of LANGUAGE, LC_ALL, LC_MESSAGES and LANG; Japanese when it starts with "ja", else English.
std::uint16_t InkscapeLanguage(const char* language, const char* lcAll, const char* lcMessages, const char* lang);

// The usage text of `kelvane inkscape`.
std::string InkscapeUsage();

// Options of kelvane's subcommands: "--name value" or "--name=value", a short one as "-o value".
#pragma once

#include <string>
#include <vector>

// Whether word is an option rather than an argument: a negative number ("-20", "-.5") or "-"
// (standard input or output) is not one.
bool IsOption(const std::string& word);

bool IsHelpOption(const std::string& word);  // -h or --help

// The option's name: "--lang" of "--lang" and of "--lang=en".
std::string OptionName(const std::string& word);

// The value of the option args[i]: what follows "=" in the word, else the next word, which i then
// moves on to. False when there is none.
bool TakeOptionValue(const std::vector<std::string>& args, std::size_t& i, std::string& value);

// `kelvane run`: reads an SVG file into the simulated host's document, starts the plug-in, runs
// commands on the document as the panel's buttons and fields would, and writes the document back.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace sim {
class Document;
class Host;
}  // namespace sim
namespace kvsvg {
struct SvgSource;
}  // namespace kvsvg

// What a command of the table works with while it runs.
struct RunContext {
    sim::Host& host;
    sim::Document& document;
    std::ostream& out;  // for what a command reports besides the changes (a measured length)
    const kvsvg::SvgSource* source = nullptr;  // what the document was read from, to name its objects
};

// Exit statuses of `kelvane run`.
constexpr int kRunChanged = 0;    // some command changed the document (or no command was asked for, or help)
constexpr int kRunUnchanged = 1;  // every command was refused or changed nothing
constexpr int kRunBadInput = 2;   // usage, input or output error; no output file was written

// One row of the command table: a word on the command line and the panel command it stands for.
struct CommandRow {
    const char* name;
    std::uint16_t id;
    const char* arguments;  // for the usage text
    const char* summary;
    // Checks the words after the command before anything runs; an empty text means they are fine.
    std::string (*check)(const CommandRow& row, const std::vector<std::string>& arguments);
    // Sets what the panel's fields would have set and plays the command. Null while the plug-in
    // does not have the command yet.
    void (*run)(RunContext& context, const CommandRow& row, const std::vector<std::string>& arguments);
};

const std::vector<CommandRow>& CommandTable();

// How many times the plug-in has beeped in this host (the simulated host counts them natively).
int BeepsOf(const sim::Host& host);

// args: the words after "run"; in is read for a file named "-". Prints what each command changed on
// out (on err when the drawing goes to out), and the plug-in's alerts and beeps (in its language)
// and any fault on err. Returns one of the statuses above.
int RunDocumentCommands(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                        std::ostream& err);

// The usage text of `kelvane run`, with the commands of the table.
std::string RunUsage();

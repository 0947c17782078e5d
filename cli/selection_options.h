// The selection given on kelvane's command line, in place of the file's kv:selected and kv:anchors:
// --select ID,... selects whole objects (a layer's id: everything in it) and --anchors ID:I,J,...
// selects anchors of a path by index (a compound path's subpaths in turn, as kv:anchors counts).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sim {
class Document;
}
namespace kvsvg {
struct SvgSource;
}

struct SelectionRequest {
    bool given = false;
    std::vector<std::string> objects;
    std::vector<std::pair<std::string, std::vector<long>>> anchors;
};

// Adds the value of --select or --anchors to request; a message when it is malformed.
std::string AddSelectOption(const std::string& value, SelectionRequest& request);
std::string AddAnchorsOption(const std::string& value, SelectionRequest& request);

// Deselects everything in document and selects what request names; a message (and a selection
// to be dropped) when it names an id the file does not have or an anchor its path does not have.
std::string ApplySelection(const SelectionRequest& request, const kvsvg::SvgSource& source, sim::Document& document);

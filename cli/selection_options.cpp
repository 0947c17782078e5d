#include "selection_options.h"

#include <algorithm>
#include <charconv>

#include "document.h"
#include "svg_document.h"

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
        parts.push_back(text.substr(start, comma - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

void Deselect(sim::Art* art) {
    for (; art != nullptr; art = art->next) {
        art->attributes &= ~kArtSelected;
        std::fill(art->selection.begin(), art->selection.end(), static_cast<std::int16_t>(kAnchorNotSelected));
        Deselect(art->firstChild);
    }
}

// The art read from the element with this id, or the layer's group for a layer's id; null if none.
sim::Art* FindById(const kvsvg::SvgSource& source, const std::string& id) {
    for (const kvsvg::ReadArt& was : source.read) {
        if (was.art != nullptr && id == was.node.attribute("id").value()) return const_cast<sim::Art*>(was.art);
    }
    for (const auto& [layer, node] : source.layers) {
        if (node && id == node.attribute("id").value()) return layer->root;
    }
    return nullptr;
}

std::string SelectAnchors(sim::Document& document, sim::Art* art, const std::string& id,
                          const std::vector<long>& indices) {
    std::vector<sim::Art*> paths;
    if (art->type == kPathArt) paths.push_back(art);
    if (art->type == kCompoundPathArt) paths = art->Children();
    std::size_t count = 0;
    for (const sim::Art* path : paths) count += path->anchors.size();
    if (paths.empty()) return "--anchors: #" + id + " is not a path";
    for (long index : indices) {
        if (static_cast<std::size_t>(index) >= count) {
            return "--anchors: #" + id + " has " + std::to_string(count) + " anchors, none with the index " +
                   std::to_string(index);
        }
        std::size_t within = static_cast<std::size_t>(index);
        auto path = paths.begin();
        while (within >= (*path)->anchors.size()) within -= (*path++)->anchors.size();
        document.SelectAnchors(*path, {static_cast<int>(within)});
    }
    // As the reader takes kv:anchors: every subpath of a compound path with a selected anchor is selected.
    for (sim::Art* path : paths) path->attributes |= kArtSelected;
    art->attributes |= kArtSelected;
    return {};
}

}  // namespace

std::string AddSelectOption(const std::string& value, SelectionRequest& request) {
    request.given = true;
    for (const std::string& id : SplitCommas(value)) {
        if (id.empty()) return "--select takes ids separated by commas, not '" + value + "'";
        request.objects.push_back(id);
    }
    return {};
}

std::string AddAnchorsOption(const std::string& value, SelectionRequest& request) {
    request.given = true;
    const std::size_t colon = value.rfind(':');
    const std::string problem = "--anchors takes ID:I,J,... (anchor indices from 0), not '" + value + "'";
    if (colon == std::string::npos || colon == 0) return problem;
    std::vector<long> indices;
    for (const std::string& part : SplitCommas(value.substr(colon + 1))) {
        long index = -1;
        const auto result = std::from_chars(part.data(), part.data() + part.size(), index);
        if (part.empty() || result.ec != std::errc() || result.ptr != part.data() + part.size() || index < 0) {
            return problem;
        }
        indices.push_back(index);
    }
    request.anchors.emplace_back(value.substr(0, colon), indices);
    return {};
}

std::string ApplySelection(const SelectionRequest& request, const kvsvg::SvgSource& source, sim::Document& document) {
    for (int i = 0; i < document.LayerCount(); ++i) Deselect(document.LayerAt(i)->root->firstChild);
    for (const std::string& id : request.objects) {
        sim::Art* art = FindById(source, id);
        if (art == nullptr) return "--select: the file has no element with the id '" + id + "'";
        if (art->parent == nullptr) {
            for (sim::Art* child : art->Children()) document.SelectWhole(child);  // a layer
        } else {
            document.SelectWhole(art);
        }
    }
    for (const auto& [id, indices] : request.anchors) {
        sim::Art* art = FindById(source, id);
        if (art == nullptr) return "--anchors: the file has no element with the id '" + id + "'";
        if (const std::string problem = SelectAnchors(document, art, id, indices); !problem.empty()) return problem;
    }
    document.Touch();
    return {};
}

#include "commands/saved_selection.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "commands/document_walk.h"
#include "shell/growing_array.h"
#include "shell/suites.h"

SavedSelection gSavedSelection = {nullptr, 0, 0};

namespace {

// Where each saved object's entries begin and how many follow, so that every question the commands
// ask of a large saved selection is answered without reading the whole list.
struct EntryRun {
    std::int32_t first;
    std::int32_t count;
};
std::unordered_map<ArtHandle, EntryRun> gRuns;

}  // namespace

void FreeSavedSelection() {
    std::free(gSavedSelection.entries);
    gSavedSelection = SavedSelection{nullptr, 0, 0};
    gRuns = std::unordered_map<ArtHandle, EntryRun>();
}

namespace {

bool DocumentIsOpen() {
    DocumentViewHandle view = nullptr;
    return sDocumentView != nullptr && sDocumentView->GetNthDocumentView(0, &view) == kNoError && view != nullptr;
}

HostStatus Append(ArtHandle art, std::int16_t index, std::int16_t selection) {
    SavedSelection& saved = gSavedSelection;
    if (!RoomForOneMore(saved.entries, saved.count, saved.capacity, 64)) return kOutOfMemoryStatus;
    // An object's entries are appended one after another, so only its first run is ever asked about.
    const auto run = gRuns.try_emplace(art, EntryRun{saved.count, 0}).first;
    if (run->second.first + run->second.count == saved.count) ++run->second.count;
    saved.entries[saved.count++] =
        SavedSelectionEntry{art, static_cast<std::uint16_t>(index), static_cast<std::uint16_t>(selection)};
    return kNoError;
}

const SavedSelectionEntry* FindEntry(ArtHandle art) {
    const auto run = gRuns.find(art);
    return run == gRuns.end() ? nullptr : &gSavedSelection.entries[run->second.first];
}

std::uint16_t SavedValue(ArtHandle art, std::int16_t index) {
    const auto run = gRuns.find(art);
    if (run == gRuns.end()) return kAnchorNotSelected;
    const SavedSelectionEntry* begin = gSavedSelection.entries + run->second.first;
    const SavedSelectionEntry* end = begin + run->second.count;
    const auto wanted = static_cast<std::uint16_t>(index);
    const SavedSelectionEntry* entry = std::lower_bound(
        begin, end, wanted, [](const SavedSelectionEntry& e, std::uint16_t i) { return e.segmentIndex < i; });
    if (entry == end || entry->segmentIndex != wanted) return kAnchorNotSelected;
    return entry->selection;
}

HostStatus SaveObject(ArtHandle art, std::int16_t type, void* /*context*/) {
    std::int32_t attributes = 0;
    if (HostStatus status = sArt->GetArtUserAttr(art, kArtSelected, &attributes)) return status;
    if ((attributes & kArtSelected) == 0) return kNoError;
    if (type != kPathArt) return Append(art, 0, kAnchorNotSelected);

    std::int16_t count = 0;
    if (HostStatus status = sPath->GetPathSegmentCount(art, &count)) return status;
    for (std::int16_t i = 0; i < count; ++i) {
        std::int16_t selection = kAnchorNotSelected;
        if (HostStatus status = sPath->GetPathSegmentSelected(art, i, &selection)) return status;
        if (selection == kAnchorNotSelected) continue;
        if (HostStatus status = Append(art, i, selection)) return status;
    }
    return kNoError;
}

// A group's selection follows from its children's, so only paths and other objects are set.
HostStatus RestoreObject(ArtHandle art, std::int16_t type, void* /*context*/) {
    if (type == kGroupArt) return kNoError;
    if (type == kPathArt) {
        std::int16_t count = 0;
        if (HostStatus status = sPath->GetPathSegmentCount(art, &count)) return status;
        for (std::int16_t i = 0; i < count; ++i) {
            const auto selection = static_cast<std::int16_t>(SavedValue(art, i));
            if (HostStatus status = sPath->SetPathSegmentSelected(art, i, selection)) return status;
        }
        return kNoError;
    }
    return sArt->SetArtUserAttr(art, kArtSelected, FindEntry(art) != nullptr ? kArtSelected : 0);
}

// Every object of the document, given to visit (an ArtObjectVisit).
HostStatus WalkObjects(ArtHandle layerArt, void* visit) {
    return WalkArtObjects(layerArt, *static_cast<ArtObjectVisit*>(visit), nullptr);
}

}  // namespace

void SaveSelection() {
    FreeSavedSelection();
    if (!DocumentIsOpen()) return;
    if (sLayer == nullptr || sArt == nullptr || sPath == nullptr) return;
    // What was gathered before a failure is kept: the run then works on that part of the selection.
    ArtObjectVisit save = SaveObject;
    ForEachLayerArt(WalkObjects, &save);
}

void RestoreSelection() {
    if (!DocumentIsOpen()) return;
    if (!SelectionIsSaved()) return;
    if (sLayer != nullptr && sArt != nullptr && sPath != nullptr) {
        ArtObjectVisit restore = RestoreObject;
        ForEachLayerArt(WalkObjects, &restore);
    }
    // Freed whatever the walk met, so that a later run starts from a fresh selection.
    FreeSavedSelection();
}

HostStatus AskArtSelected(ArtHandle art, bool& selected) {
    selected = false;
    if (SelectionIsSaved()) {
        selected = FindEntry(art) != nullptr;
        return kNoError;
    }
    if (sArt == nullptr) return kSuiteNotFoundStatus;
    std::int32_t attributes = 0;
    if (HostStatus status = sArt->GetArtUserAttr(art, kArtSelected, &attributes)) return status;
    selected = (attributes & kArtSelected) != 0;
    return kNoError;
}

HostStatus AskSegmentSelection(ArtHandle art, std::int16_t index, std::uint16_t& selection) {
    selection = kAnchorNotSelected;
    if (SelectionIsSaved()) {
        selection = SavedValue(art, index);
        return kNoError;
    }
    if (sPath == nullptr) return kSuiteNotFoundStatus;
    std::int16_t value = kAnchorNotSelected;
    if (HostStatus status = sPath->GetPathSegmentSelected(art, index, &value)) return status;
    selection = static_cast<std::uint16_t>(value);
    return kNoError;
}

bool IsArtSelected(ArtHandle art) {
    bool selected = false;
    return AskArtSelected(art, selected) == kNoError && selected;
}

std::uint16_t GetSegmentSelection(ArtHandle art, std::int16_t index) {
    std::uint16_t selection = kAnchorNotSelected;
    if (AskSegmentSelection(art, index, selection) != kNoError) return kAnchorNotSelected;
    return selection;
}

// The selection as it was when a run of Length changes began. While it is kept, it and not the
// document answers the Length command's selection questions, so every step of the run works on the
// same segments whatever the host reports in between; the selection length readout puts it back.
#pragma once

#include <cstdint>

#include "host/host_types.h"

struct SavedSelectionEntry {
    ArtHandle art;
    std::uint16_t segmentIndex;  // 0 for an object that is not a path
    std::uint16_t selection;     // the anchor's selection value; unused for other objects
};

// Absent (null, count 0) when no selection is saved. Entries are in walk order; those of one path
// are together, by ascending anchor index.
struct SavedSelection {
    SavedSelectionEntry* entries;
    std::int32_t count;
    std::int32_t capacity;
};

extern SavedSelection gSavedSelection;

inline bool SelectionIsSaved() { return gSavedSelection.entries != nullptr; }

// Drops any earlier list and records the selected objects and the selected anchors of selected
// paths (compound paths as one object); the list stays absent when no document is open.
void SaveSelection();

// Puts the saved selection back on the document and frees the list; without an open document
// nothing happens and the list stays.
void RestoreSelection();

// Drops the list without touching the document (the plug-in is shutting down).
void FreeSavedSelection();

// The saved selection's answer while it exists, else the host's.
bool IsArtSelected(ArtHandle art);
std::uint16_t GetSegmentSelection(ArtHandle art, std::int16_t index);

// The same questions with the host's status, for walks that end at the first failing call.
HostStatus AskArtSelected(ArtHandle art, bool& selected);
HostStatus AskSegmentSelection(ArtHandle art, std::int16_t index, std::uint16_t& selection);

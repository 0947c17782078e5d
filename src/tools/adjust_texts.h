// Texts of the adjust tools and the restore command, in both languages.
#pragma once

#include <cstdint>

#include "shell/command_texts.h"

// The word removed from a tool's name before it goes into the undo texts ("Tool" in English).
const char* AdjustToolWord(std::uint16_t language);
// printf formats of the undo and redo texts of an adjust, around the shortened tool name.
UndoTexts AdjustUndoFormats(std::uint16_t language);

// The question before a restore: of the selected objects, or of all of them.
const char* RestoreConfirmText(std::uint16_t language, bool selectedOnly);
UndoTexts RestoreUndoTexts(std::uint16_t language);

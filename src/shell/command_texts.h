// Undo and redo texts of the document-changing commands, in both languages.
#pragma once

#include <cstdint>

struct UndoTexts {
    const char* undo;
    const char* redo;
};

// The pair for a command in the given language, or null for commands that make no undo step.
const UndoTexts* UndoTextsFor(std::uint16_t commandId, std::uint16_t language);

// Compiled to code page 932, so the Japanese literals below reach the host as Shift-JIS bytes.
#include "shell/command_texts.h"

#include "shell/commands.h"
#include "shell/plugin_state.h"

static_assert(sizeof("レ") == 3, "this file must be compiled with -fexec-charset=CP932");

namespace {

struct CommandTexts {
    std::uint16_t commandId;
    UndoTexts english;
    UndoTexts japanese;
};

constexpr UndoTexts kLengthEnglish{"Undo Length", "Redo Length"};
constexpr UndoTexts kLengthJapanese{"レングスの取り消し", "レングスのやり直し"};

constexpr CommandTexts kCommandTexts[] = {
    {kCommandLengthSlider, kLengthEnglish, kLengthJapanese},
    {kCommandLengthTyped, kLengthEnglish, kLengthJapanese},
    {kCommandPointer, {"Undo Pointer", "Redo Pointer"}, {"ポインターの取り消し", "ポインターのやり直し"}},
    {kCommandHandleLine,
     {"Undo Handle Line", "Redo Handle Line"},
     {"ハンドルラインの取り消し", "ハンドルラインのやり直し"}},
    {kCommandAngleBisector,
     {"Undo Angle Bisector", "Redo Angle Bisector"},
     {"角の二等分線の取り消し", "角の二等分線のやり直し"}},
    {kCommandExtensionCrossing,
     {"Undo Extension Crossing", "Redo Extension Crossing"},
     {"延長交差の取り消し", "延長交差のやり直し"}},
};

}  // namespace

const UndoTexts* UndoTextsFor(std::uint16_t commandId, std::uint16_t language) {
    for (const CommandTexts& row : kCommandTexts) {
        if (row.commandId == commandId) return language == kJapanese ? &row.japanese : &row.english;
    }
    return nullptr;
}

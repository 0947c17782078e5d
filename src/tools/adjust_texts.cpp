// Compiled to code page 932, so the Japanese literals below reach the host as Shift-JIS bytes.
#include "tools/adjust_texts.h"

#include "shell/plugin_state.h"

static_assert(sizeof("ツ") == 3, "this file must be compiled with -fexec-charset=CP932");

const char* AdjustToolWord(std::uint16_t language) { return language == kJapanese ? "ツール" : "Tool"; }

UndoTexts AdjustUndoFormats(std::uint16_t language) {
    return language == kJapanese ? UndoTexts{"%s の取り消し", "%s のやり直し"} : UndoTexts{"Undo %s", "Redo %s"};
}

const char* RestoreConfirmText(std::uint16_t language, bool selectedOnly) {
    if (language == kJapanese) {
        return selectedOnly ? "選択したオブジェクトの PathAdjust を元に戻します。\rよろしいですか？"
                            : "全てのオブジェクトの PathAdjust を元に戻します。\rよろしいですか？";
    }
    return selectedOnly ? "Restore PathAdjust of selected objects." : "Restore PathAdjust of all objects.";
}

UndoTexts RestoreUndoTexts(std::uint16_t language) {
    return language == kJapanese ? UndoTexts{"PathAdjust を元に戻す の取り消し", "PathAdjust を元に戻す のやり直し"}
                                 : UndoTexts{"Undo Restore PathAdjust", "Redo Restore PathAdjust"};
}

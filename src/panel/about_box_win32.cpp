// The about box on Windows: dialog KELVANE_DIALOG_ABOUT from the plug-in's resources.
#include "panel/about_box.h"

#include <windows.h>

#include "panel/dialog_owner.h"
#include "resource_ids.h"
#include "shell/plugin_state.h"

namespace {

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG: {
            // The template's caption and line are placeholders; the state record holds the texts.
            char line[2 * sizeof gState->productName];
            FormatAboutLine(line, sizeof line, gState->productName, gState->versionText);
            SetWindowTextA(dialog, gState->productName);
            SetDlgItemTextA(dialog, KELVANE_ABOUT_TEXT, line);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HostStatus ShowAboutBox() {
    if (gState == nullptr) return kNoError;
    // The wide call keeps the template's texts in UTF-16 whatever the system's code page.
    DialogBoxParamW(static_cast<HINSTANCE>(DialogResourceModule()), MAKEINTRESOURCEW(KELVANE_DIALOG_ABOUT),
                    static_cast<HWND>(DialogOwnerWindow()), AboutBoxProc, 0);
    return kNoError;
}

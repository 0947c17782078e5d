// The settings dialog on Windows: template 16279 (English) or 16179 (Japanese) from the plug-in's
// resources, run modally over the application's main window.
#include "panel/settings_dialog.h"

#include <windows.h>

#include <vector>

#include "panel/dialog_owner.h"
#include "resource_ids.h"
#include "shell/plugin_state.h"

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

namespace {

// Centred on the owner (the screen when there is none), above every other window, and shown.
void PlaceOverOwner(HWND dialog) {
    RECT owner;
    HWND ownerWindow = GetWindow(dialog, GW_OWNER);
    if (ownerWindow == nullptr || !GetWindowRect(ownerWindow, &owner)) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    }
    RECT own;
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int x = (owner.left + owner.right) / 2 - width / 2;
    const int y = (owner.top + owner.bottom) / 2 - height / 2;
    SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

// The controls take the state's narrow texts through the ANSI messages, which the system converts
// from the code page the state record's texts are in.
void FillControls(HWND dialog, const SettingsDialogFields& fields) {
    HWND list = GetDlgItem(dialog, KELVANE_SETTINGS_COLOR);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : fields.colors) {
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(fields.selectedColor), 0);
    SetDlgItemTextA(dialog, KELVANE_SETTINGS_LAYER, fields.layer.c_str());
    SetDlgItemTextA(dialog, KELVANE_SETTINGS_WIDTH, fields.width.c_str());
    CheckDlgButton(dialog, KELVANE_SETTINGS_POLYLINE, fields.polyline ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, KELVANE_SETTINGS_REVERSE_SIDE, fields.reverseSide ? BST_CHECKED : BST_UNCHECKED);
}

std::string ControlText(HWND dialog, int id, std::size_t limit) {
    std::vector<char> text(limit + 1, '\0');
    GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()));
    return text.data();
}

// Only the chosen entry matters: it is the one entry of the list that OK reads.
SettingsDialogFields ReadControls(HWND dialog) {
    SettingsDialogFields fields;
    HWND list = GetDlgItem(dialog, KELVANE_SETTINGS_COLOR);
    const LRESULT chosen = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (chosen != CB_ERR) {
        const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(chosen), 0);
        if (length != CB_ERR) {
            std::vector<char> name(static_cast<std::size_t>(length) + 1, '\0');
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(chosen), reinterpret_cast<LPARAM>(name.data()));
            fields.colors.emplace_back(name.data());
            fields.selectedColor = 0;
        }
    }
    fields.layer = ControlText(dialog, KELVANE_SETTINGS_LAYER, kLayerFieldChars);
    fields.width = ControlText(dialog, KELVANE_SETTINGS_WIDTH, kWidthFieldChars);
    fields.polyline = IsDlgButtonChecked(dialog, KELVANE_SETTINGS_POLYLINE) == BST_CHECKED;
    fields.reverseSide = IsDlgButtonChecked(dialog, KELVANE_SETTINGS_REVERSE_SIDE) == BST_CHECKED;
    return fields;
}

}  // namespace

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            PlaceOverOwner(dialog);
            FillControls(dialog, OpenSettingsDialogFields(*gState, DocumentSwatchNames()));
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    StoreSettingsDialogFields(*gState, ReadControls(dialog));
                    EndDialog(dialog, kSettingsDialogOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, kSettingsDialogCancel);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

int RunSettingsDialog() {
    if (gState == nullptr) return -1;
    // The wide call keeps the templates' texts in UTF-16, so the Japanese labels show on a system
    // of any code page.
    const INT_PTR result = DialogBoxParamW(static_cast<HINSTANCE>(DialogResourceModule()),
                                           MAKEINTRESOURCEW(SettingsDialogTemplate(gState->language)),
                                           static_cast<HWND>(DialogOwnerWindow()), SettingsDialogProc, 0);
    if (result == kSettingsDialogOK) return kSettingsDialogOK;
    return result == kSettingsDialogCancel ? kSettingsDialogCancel : -1;
}

// Native host: a private temporary documents folder per host, counted beeps, no windows.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "host.h"
#include "host_platform.h"
#include "panel/about_box.h"
#include "panel/memory_windows.h"
#include "panel/settings_dialog.h"
#include "platform/platform.h"

namespace sim {

namespace {

void AddBeep(void* context) { ++*static_cast<int*>(context); }

void KeepCursor(void* context, int cursorId) { *static_cast<int*>(context) = cursorId; }

void RecordAboutBox(void* context, const char* title, const char* line) {
    static_cast<AppState*>(context)->aboutBoxes.push_back({title, line});
}

int AnswerSettingsDialog(void* context, int templateId, SettingsDialogFields* fields) {
    AppState& app = *static_cast<AppState*>(context);
    app.settingsDialogs.push_back({templateId, *fields});
    if (app.settingsDialogAnswers.empty()) return kSettingsDialogCancel;
    const SettingsDialogAnswer answer = app.settingsDialogAnswers.front();
    app.settingsDialogAnswers.pop_front();
    if (answer.edit) answer.edit(*fields);
    return answer.result;
}

}  // namespace

std::string PrepareDocumentsFolder() {
    const std::filesystem::path base = std::filesystem::temp_directory_path() / "kelvane-sim-XXXXXX";
    std::string pattern = base.string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a documents folder " + pattern);
    SetPosixDocumentsFolder(pattern.c_str());
    return pattern;
}

void RemoveDocumentsFolder(const std::string& folder) {
    SetPosixDocumentsFolder(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void CountBeeps(int* counter) {
    if (counter == nullptr) {
        SetPosixBeepHandler(nullptr, nullptr);
    } else {
        SetPosixBeepHandler(AddBeep, counter);
    }
}

void AnswerDialogs(AppState* app) {
    SetPosixAboutBoxHandler(app != nullptr ? RecordAboutBox : nullptr, app);
    SetPosixSettingsDialogAnswerer(app != nullptr ? AnswerSettingsDialog : nullptr, app);
}

void RecordCursors(int* cursor) {
    if (cursor == nullptr) {
        SetPosixCursorHandler(nullptr, nullptr);
    } else {
        SetPosixCursorHandler(KeepCursor, cursor);
    }
}

int ShownCursor(ModuleHandle /*module*/, const int* /*ids*/, int /*count*/) { return 0; }
void ClearShownCursor() {}

PlatformWindow CreateAppWindow() { return nullptr; }

// Natively a panel's window is an in-memory window (panel/memory_windows.h), hidden until shown.
PlatformWindow CreatePanelWindow(PlatformWindow /*parent*/, const PanelSize& size) {
    MemoryWindow* window = CreateMemoryWindow(nullptr, MemoryClass::Window, 0, "", 0, 0,
                                              static_cast<int>(size.width + 0.5), static_cast<int>(size.height + 0.5));
    window->visible = false;
    return window;
}

void ShowPanelWindow(PlatformWindow window, bool show) {
    auto* memory = static_cast<MemoryWindow*>(window);
    if (IsMemoryWindowAlive(memory)) memory->visible = show;
}

void ResizePanelWindow(PlatformWindow window, const PanelSize& size) {
    auto* memory = static_cast<MemoryWindow*>(window);
    if (!IsMemoryWindowAlive(memory)) return;
    memory->width = static_cast<int>(size.width + 0.5);
    memory->height = static_cast<int>(size.height + 0.5);
}

void DestroyHostWindow(PlatformWindow window) { DestroyMemoryWindow(static_cast<MemoryWindow*>(window)); }

}  // namespace sim

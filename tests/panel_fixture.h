// The plug-in started, its panel made at application start, and the user's hands on the panel's
// controls (sim/panel_input.h): the same tests run natively on the in-memory windows and on
// Windows on real child windows.
#pragma once

#include <string>

#include "handles.h"
#include "panel/panel_window.h"
#include "panel_input.h"
#include "plugin_fixture.h"
#include "shell/commands.h"

class PanelTest : public PluginTest {
protected:
    // Set up the state the panel is built from before calling this.
    void StartPanel() {
        host.Notify("AI Application Started Notifier");
        ASSERT_NE(sim::PanelWindowOf(host), nullptr) << "the panel is made at application start";
    }

    void SetUp() override { StartPlugin(); }

    sim::Document& OpenDocument() {
        sim::Document& document = host.NewDocument();
        host.Notify("AI Document Opened Notifier");
        return document;
    }

    void CloseDocument() {
        host.CloseDocument();
        host.Notify("AI Document Closed Notifier");
    }

    const sim::Panel& HostPanel() { return *App().FindPanel(kPanelId); }
    PanelHandle PanelHandleOf() { return sim::HandleOf(App().FindPanel(kPanelId)); }

    void Click(int id) { sim::ClickPanelControl(host, id); }
    void Type(int id, const std::string& text) { sim::TypeIntoPanelField(host, id, text); }
    void TypeAndLeave(int id, const std::string& text) {
        Type(id, text);
        sim::LeavePanelField(host);
    }
    std::string Text(int id) { return sim::PanelControlText(host, id); }
    bool Checked(int id) { return sim::PanelControlChecked(host, id); }
    bool Enabled(int id) { return sim::PanelControlEnabled(host, id); }
    bool Visible(int id) { return sim::PanelControlVisible(host, id); }
    int Top(int id) { return sim::PanelControlBounds(host, id).top; }
    std::size_t Plays() { return App().actionPlays.size(); }

    // The command of the last play, when exactly one more play happened since before.
    ::testing::AssertionResult PlayedOnce(std::size_t before, std::uint16_t command) {
        if (Plays() != before + 1) return ::testing::AssertionFailure() << Plays() - before << " plays instead of one";
        if (State().commandId != command) return ::testing::AssertionFailure() << "command " << State().commandId;
        return ::testing::AssertionSuccess();
    }

    // A selected path of two anchors (a straight segment) of the given length, in a new document.
    sim::Art* SelectedLine(sim::Document& document, double length) {
        sim::Art* line = document.AddPath(document.LayerAt(0)->root, {{0, 0}, {length, 0}});
        document.SelectWhole(line);
        return line;
    }
};

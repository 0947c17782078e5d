// The handle-line settings dialog (command 1005): the dialog's rules as plain functions, and the
// whole command through the simulated host, which answers the dialog in the user's place (natively
// through the plug-in's POSIX stand-in, on Windows by working the real dialog's controls).
// tests/settings_dialog_win32_test.cpp looks at the Windows dialogs themselves.
#include <cstring>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include "panel/settings_dialog.h"
#include "plugin_fixture.h"
#include "settings/settings_file.h"
#include "shell/commands.h"

namespace {

// "ブラック", the black swatch of a Japanese document, in Shift-JIS as the host names it.
const std::string kJapaneseBlack = "\x83\x75\x83\x89\x83\x62\x83\x4e";

// ---- The dialog's rules ---------------------------------------------------------------------

// The width is read as the decimal text is, from the first 79 characters.
TEST(SettingsDialogRules, TheWidthAndTheColourEntry) {
    const std::string spaces(78, ' ');
    // A negative width is stored as read: no range check.
    const std::pair<std::string, double> cases[] = {{"2.5mm", 2.5}, {"  \t3", 3}, {"-1.25", -1.25}, {"1,5", 1},
                                                    {"- 2", 0}, {spaces + "7", 7}, {spaces + " 7", 0},
                                                    {spaces + "12", 1}};
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ReadLeadingNumber(text.c_str()), value) << text;
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(nullptr), 0.0);

    // The colour entry: the stored name, the first of equal names; else the black swatch (English or
    // Japanese), else the first.
    const std::vector<std::string> names = {"White", "Black", "CMYK Red", "CMYK Red", "RGB Blue"};
    EXPECT_EQ(ChooseColorEntry(names, "RGB Blue"), 4);
    EXPECT_EQ(ChooseColorEntry(names, "CMYK Red"), 2);
    EXPECT_EQ(ChooseColorEntry(names, "cmyk red"), 1) << "names compare exactly";
    EXPECT_EQ(ChooseColorEntry({"White", "black", "Black"}, ""), 1);
    EXPECT_EQ(ChooseColorEntry({"White", kJapaneseBlack, "Black"}, "Gone"), 1);
    EXPECT_EQ(ChooseColorEntry({"White", "BLACK", "Blackish"}, nullptr), 0);
    EXPECT_EQ(ChooseColorEntry({}, "Black"), -1) << "an empty list has no selection";
}

// ---- Command 1005 through the simulated host --------------------------------------------------

class SettingsDialogCommand : public DocumentTest {
protected:
    HostStatus RunDialog() {
        State().commandId = kCommandSettingsDialog;
        return host.PlayAction("KELVANE_INSIDECMD", 3, nullptr);
    }

    void Answer(int result, std::function<void(SettingsDialogFields&)> edit = nullptr) {
        App().settingsDialogAnswers.push_back({result, std::move(edit)});
    }
};

// Opened with the state and the document's swatches; OK stores the fields and writes the file at
// once, Cancel after editing everything stores nothing.
TEST_F(SettingsDialogCommand, OpensWithTheStateOkStoresTheFieldsAndCancelNothing) {
    host.ActiveDocument()->AddSwatch("", Color{});  // a swatch without a name is not offered
    host.ActiveDocument()->AddSwatch("Handles", Color{});
    std::strcpy(State().handleline_layer, "Construction");
    State().handleline_line_width = 0.25;
    State().handleline_reverse_side = 1;
    ASSERT_FALSE(std::ifstream(SettingsPath()).good()) << "no settings file yet";
    Answer(kSettingsDialogOK, [](SettingsDialogFields& fields) {
        fields.layer = "Handles";
        fields.width = "2.5mm";
        fields.selectedColor = 2;  // "CMYK Red"
        fields.polyline = false;
        fields.reverseSide = false;
    });
    ASSERT_EQ(RunDialog(), kNoError);
    ASSERT_EQ(App().settingsDialogs.size(), 1u);
    const SettingsDialogFields& opened = App().settingsDialogs[0].opened;
    EXPECT_EQ(opened.colors,
              (std::vector<std::string>{"White", "Black", "CMYK Red", "RGB Blue", "Spot Green", "Handles"}));
    EXPECT_EQ(opened.selectedColor, 1) << "no stored colour: the black swatch";
    EXPECT_EQ(opened.layer, "Construction");
    EXPECT_EQ(opened.width, "0.25");
    EXPECT_TRUE(opened.polyline);
    EXPECT_TRUE(opened.reverseSide);

    EXPECT_STREQ(State().handleline_layer, "Handles");
    EXPECT_DOUBLE_EQ(State().handleline_line_width, 2.5);
    EXPECT_STREQ(State().handleline_line_color, "CMYK Red");
    EXPECT_EQ(State().handleline_polyline, 0);
    EXPECT_EQ(State().handleline_reverse_side, 0);
    EXPECT_EQ(ReadSettingsFileText(), FormatSettingsText(State()));

    // Texts are cut to their fields; an empty width stores 0.
    StoreSettingsDialogFields(State(), {{std::string(300, 'c')}, 0, std::string(300, 'l'), "", true, false});
    EXPECT_EQ(std::string(State().handleline_line_color), std::string(255, 'c'));
    EXPECT_EQ(std::string(State().handleline_layer), std::string(254, 'l'));
    EXPECT_DOUBLE_EQ(State().handleline_line_width, 0.0);

    // An OK without changes still writes the file, with every setting; Cancel must leave it as it is.
    State().flPtLength = 20;  // a panel value not yet saved
    Answer(kSettingsDialogOK);
    ASSERT_EQ(RunDialog(), kNoError);
    EXPECT_EQ(std::string(State().handleline_line_color), "Black") << "OK takes the entry the list opened on";
    const std::string fileBefore = ReadSettingsFileText();
    EXPECT_EQ(fileBefore, FormatSettingsText(State()));
    EXPECT_NE(fileBefore.find("flPtLength = 20\r\n"), std::string::npos);
    State().flPtLength = 30;  // not saved until an OK or shut-down

    const std::string before = FormatSettingsText(State());
    Answer(kSettingsDialogCancel, [](SettingsDialogFields& fields) {
        fields.layer = "Other";
        fields.width = "9";
        fields.selectedColor = 0;
        fields.polyline = !fields.polyline;
        fields.reverseSide = !fields.reverseSide;
    });
    ASSERT_EQ(RunDialog(), kNoError);
    EXPECT_EQ(App().settingsDialogs.size(), 3u);
    EXPECT_EQ(FormatSettingsText(State()), before);
    EXPECT_EQ(ReadSettingsFileText(), fileBefore);
}

// No document: no swatches, and OK stores an empty colour; a failing swatch walk or no swatch suite
// empties the list and the rest of the dialog works.
TEST_F(SettingsDialogCommand, WithoutSwatchesTheListIsEmpty) {
    std::strcpy(State().handleline_line_color, "Black");
    host.Gate().FailOperation("AI Swatch List Suite", "GetSwatchName", kNotFoundStatus);
    ASSERT_EQ(RunDialog(), kNoError);
    host.Gate().ClearFailures();
    host.RefuseSuite("AI Swatch List Suite");
    Answer(kSettingsDialogOK, [](SettingsDialogFields& fields) { fields.width = "1"; });
    ASSERT_EQ(RunDialog(), kNoError);
    host.ServeSuite("AI Swatch List Suite");
    host.CloseDocument();
    Answer(kSettingsDialogOK);
    ASSERT_EQ(RunDialog(), kNoError);
    ASSERT_EQ(App().settingsDialogs.size(), 3u);
    for (const auto& dialog : App().settingsDialogs) {
        EXPECT_TRUE(dialog.opened.colors.empty());
        EXPECT_EQ(dialog.opened.selectedColor, -1);
    }
    EXPECT_DOUBLE_EQ(State().handleline_line_width, 1.0);
    EXPECT_STREQ(State().handleline_line_color, "");
    EXPECT_TRUE(host.SuitesBalanced());
}

}  // namespace

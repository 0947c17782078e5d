// What the panel's controls do when the user works them: the command buttons, the measurement
// button, the slider, the length readout, the distance and point fields, the check boxes, the
// distance rows, the labels, the keys of the fields and the flyout menu.
#include <cmath>
#include <tuple>

#include "panel_fixture.h"

namespace {

class PanelEventsTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        State().language = kEnglish;
        StartPanel();
    }

    // A document with a selected straight segment of length points, measured by the panel.
    void MeasuredDocument(double length) {
        SelectedLine(OpenDocument(), length);
        Click(kMeasureButton);
    }
};

// Without a document the buttons and the settings item play nothing (the item beeps); measuring is
// only switched on.
TEST_F(PanelEventsTest, CommandButtonsAndTheSettingsItemPlayOnlyWithADocument) {
    const std::pair<int, std::uint16_t> buttons[] = {
        {kPointerButton, kCommandPointer}, {kHandleLineButton, kCommandHandleLine},
        {kExtensionCrossingButton, kCommandExtensionCrossing}, {kAngleBisectorButton, kCommandAngleBisector}};
    for (const auto& button : buttons) Click(button.first);
    host.ChooseFlyoutItem(PanelHandleOf(), 1);
    Click(kMeasureButton);
    EXPECT_EQ(Plays(), 0u) << "no document, no view";
    EXPECT_EQ(State().flUseFlng, 1);
#ifndef _WIN32
    EXPECT_EQ(host.BeepCount(), 1) << "the settings item beeps";
#endif
    OpenDocument();
    for (const auto& [button, command] : buttons) {
        const std::size_t before = Plays();
        Click(button);
        EXPECT_TRUE(PlayedOnce(before, command)) << button;
        EXPECT_EQ(sim::PanelFocusedControl(host), 0) << "a button leaves the keyboard to the application";
    }
    host.ChooseFlyoutItem(PanelHandleOf(), 1);
    EXPECT_TRUE(PlayedOnce(4, kCommandSettingsDialog));
    EXPECT_NE(App().actionPlays.back().parameters, nullptr);
    EXPECT_EQ(App().LiveActionParamValues(), 0u);
    CloseDocument();
    Click(kPointerButton);
    EXPECT_EQ(Plays(), 5u) << "closing the last document stops the buttons";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PanelEventsTest, TheMeasurementButtonMeasuresAndClears) {
    SelectedLine(OpenDocument(), 72);
    std::size_t before = Plays();
    Click(kMeasureButton);
    EXPECT_TRUE(PlayedOnce(before, kCommandLengthReadout));
    EXPECT_TRUE(State().flUseFlng == 1 && State().toggleState[0] == 1) << "measuring, the button down";
    EXPECT_EQ(State().measuredLength, 72);
    EXPECT_EQ(Text(kLengthReadout), "72 pt");
    EXPECT_TRUE(Enabled(kLengthReadout) && Enabled(kLengthSlider));

    // The slider plays its command once per position and shows the target; the measured text stays.
    before = Plays();
    sim::MovePanelSlider(host, -40);
    sim::MovePanelSlider(host, -40);
    EXPECT_TRUE(PlayedOnce(before, kCommandLengthSlider));
    EXPECT_EQ(Text(kLengthReadout), "79.2 pt") << "the target, 10 % longer";
    EXPECT_STREQ(State().readoutText, "72 pt");
    EXPECT_EQ(sim::PanelSliderPosition(host), -40);
    before = Plays();
    Click(kMeasureButton);
    EXPECT_EQ(Plays(), before) << "switching off plays nothing";
    EXPECT_TRUE(State().flUseFlng == 0 && State().toggleState[0] == 0) << "not measuring, the button up";
    EXPECT_TRUE(State().measuredLength == 0 && State().typedLength == 0 && State().lengthSliderPos == 0)
        << State().measuredLength << " " << State().typedLength << " " << State().lengthSliderPos;
    EXPECT_EQ(sim::PanelSliderPosition(host), 0);
    EXPECT_EQ(Text(kLengthReadout), "");
    EXPECT_FALSE(Enabled(kLengthReadout) || Enabled(kLengthSlider));
}

// Leaving the readout or pressing Enter in it commits a typed length (Enter keeps the field, its text
// selected); a length within 0.1 of the stored one or one the host cannot read plays nothing.
TEST_F(PanelEventsTest, ATypedLengthIsCommittedWhenTheReadoutIsLeft) {
    MeasuredDocument(100);
    std::size_t before = Plays();
    Type(kLengthReadout, "100.1");
    EXPECT_EQ(Plays(), before) << "nothing before the field is left";
    sim::LeavePanelField(host);
    EXPECT_EQ(Plays(), before) << "within 0.1 of the stored length";
    TypeAndLeave(kLengthReadout, "120");
    EXPECT_TRUE(PlayedOnce(before, kCommandLengthTyped));
    EXPECT_EQ(State().typedLength, 120);
    before = Plays();
    TypeAndLeave(kLengthReadout, "no length");
    EXPECT_EQ(Plays(), before) << "a text the host cannot read";

    Type(kLengthReadout, "150");
    sim::PressPanelKey(host, sim::PanelKeyPress::Enter);
    EXPECT_TRUE(PlayedOnce(before, kCommandLengthTyped));
    EXPECT_EQ(sim::PanelFocusedControl(host), kLengthReadout);
    EXPECT_TRUE(sim::PanelTextSelected(host, kLengthReadout));
    Type(kDistance1List, "12");
    sim::PressPanelKey(host, sim::PanelKeyPress::Enter);
    EXPECT_EQ(State().flPtDistance1, 12);
    EXPECT_EQ(Text(kDistance1List), "12 pt");

    CloseDocument();
    before = Plays();
    TypeAndLeave(kLengthReadout, "2in");
    EXPECT_TRUE(PlayedOnce(before, kCommandLengthTyped)) << "the readout plays without a view";
    EXPECT_EQ(State().typedLength, 144);
}

// A field left after typing: distances are read in the ruler unit and stored in points, point
// fields (line width and dashes) take their own unit else points; a length of zero or none leaves
// the field as typed and the value as it was.
TEST_F(PanelEventsTest, FieldsStoreWhatIsTypedInPoints) {
    sim::Document& document = OpenDocument();
    Click(kBrokenLineBox);
    ASSERT_TRUE(Enabled(28));
    const std::tuple<int, sim::RulerUnit, const char*, double PluginState::*, double, const char*> cases[] = {
        {kDistance1List, sim::RulerUnit::Millimeters, "20", &PluginState::flPtDistance1, 56.692913, "20 mm"},
        {kSizeList, sim::RulerUnit::Millimeters, "1 cm", &PluginState::flPtLength, 28.346457, "10 mm"},
        {kDistance1List, sim::RulerUnit::Points, "5mm", &PluginState::flPtDistance1, 14.173228, "14.173 pt"},
        {kLineWidthList, sim::RulerUnit::Millimeters, "0.5", &PluginState::flPtLineWidth, 0.5, "0.5 pt"},
        {28, sim::RulerUnit::Millimeters, "2mm", &PluginState::flPtDashLengD1, 5.6692913, "5.66929 pt"},
        {29, sim::RulerUnit::Millimeters, "1in", &PluginState::flPtDashLengD2, 72, "72 pt"},
        {33, sim::RulerUnit::Millimeters, "3", &PluginState::flPtDashLengD6, 3, "3 pt"},
        {kDistance1List, sim::RulerUnit::Points, "0", &PluginState::flPtDistance1, 14.173228, "0"},
        {kDistance1List, sim::RulerUnit::Points, "abc", &PluginState::flPtDistance1, 14.173228, "abc"},
        {kLineWidthList, sim::RulerUnit::Points, "abc", &PluginState::flPtLineWidth, 0.5, "abc"},
    };
    for (const auto& [field, ruler, typed, value, points, shown] : cases) {
        document.rulerUnit = ruler;
        TypeAndLeave(field, typed);
        EXPECT_NEAR(State().*value, points, 1e-6) << typed;
        EXPECT_EQ(Text(field), shown) << typed;
    }
}

TEST_F(PanelEventsTest, CheckBoxesSetTheirOptionsAndRowsResizeThePanel) {
    const std::pair<int, std::uint16_t> directions[] = {{kBackwardBox, 1}, {kForwardBox, 3}, {kBackwardBox, 2},
                                                        {kForwardBox, 0}};  // forward only, neither, backward only
    for (const auto& [box, mode] : directions) {
        Click(box);
        EXPECT_EQ(State().flPointMode, mode) << box;
    }
    EXPECT_TRUE(Checked(kForwardBox) && Checked(kBackwardBox));
    Click(kCreatePointersBox);
    EXPECT_EQ(State().flCreatePointer, 0);
    Click(kDivideSegmentBox);
    EXPECT_EQ(State().flDivideSegment, 1);
    Click(kExtendEndpointsBox);
    EXPECT_EQ(State().extend_endpoints, 1);
    EXPECT_TRUE(Checked(kExtendEndpointsBox));
    Click(kExtendEndpointsBox);
    EXPECT_EQ(State().extend_endpoints, 0);

    Click(kBrokenLineBox);
    EXPECT_EQ(State().flPtIsDashLine, 1);
    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) EXPECT_TRUE(Enabled(id)) << id;
    Click(kBrokenLineBox);
    EXPECT_EQ(State().flPtIsDashLine, 0);
    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(sim::PanelFocusedControl(host), 0) << "a check box does not take the keyboard";

    // Plus and minus add and remove distance rows, Show options the options area: the panel resizes.
    const int sizeTop = Top(kSizeList);
    const double height = HostPanel().size.height;
    Click(kPlusButton);
    EXPECT_EQ(State().flPtCount, 2);
    EXPECT_TRUE(Visible(kMinusButton) && Visible(kDistance2List) && Visible(kDistance2Label));
    EXPECT_FALSE(Visible(kDistance3List));
    EXPECT_EQ(Top(kSizeList), sizeTop + 30);
    EXPECT_EQ(HostPanel().size.height, height + 30);
    Click(kPlusButton);
    EXPECT_EQ(State().flPtCount, 3);
    EXPECT_FALSE(Visible(kPlusButton)) << "three rows at most";
    EXPECT_EQ(Top(kSizeList), sizeTop + 60);
    EXPECT_EQ(HostPanel().size.height, 267);

    Click(kMinusButton);
    Click(kMinusButton);
    EXPECT_EQ(State().flPtCount, 1);
    EXPECT_FALSE(Visible(kMinusButton));
    EXPECT_EQ(Top(kSizeList), sizeTop);
    EXPECT_EQ(Top(kLineWidthList), 208);

    // Show options resizes the panel without moving controls; the separator item does nothing.
    host.ChooseFlyoutItem(PanelHandleOf(), 3);
    EXPECT_EQ(State().showoption, 1);
    EXPECT_TRUE(HostPanel().flyout->items[2].checked);
    EXPECT_EQ(HostPanel().size.height, 340) << "400 less the two hidden rows";
    EXPECT_EQ(Top(kSizeList), sizeTop);
    host.ChooseFlyoutItem(PanelHandleOf(), 3);
    EXPECT_EQ(State().showoption, 0);
    EXPECT_FALSE(HostPanel().flyout->items[2].checked);
    EXPECT_EQ(HostPanel().size.height, 207);
    host.ChooseFlyoutItem(PanelHandleOf(), 2);
    EXPECT_EQ(State().showoption, 0);
    EXPECT_TRUE(host.SuitesBalanced());
}

// Labels focus their fields; Tab and Shift+Tab skip hidden and disabled fields, select the next
// field's text and take the value of the field left.
TEST_F(PanelEventsTest, LabelsAndTabMoveTheFocus) {
    Click(kDistance1Label);
    EXPECT_EQ(sim::PanelFocusedControl(host), kDistance1List);
    EXPECT_TRUE(sim::PanelTextSelected(host, kDistance1List));
    Click(kLineWidthLabel);
    EXPECT_EQ(sim::PanelFocusedControl(host), kLineWidthList);
    Click(kPositionLabel);
    EXPECT_EQ(sim::PanelFocusedControl(host), kLineWidthList) << "a label without a field";

    MeasuredDocument(50);
    Click(kLengthReadout);
    ASSERT_EQ(sim::PanelFocusedControl(host), kLengthReadout);
    const int forward[] = {kDistance1List, kSizeList, kLineWidthList, kLengthReadout};
    for (int expected : forward) {
        sim::PressPanelKey(host, sim::PanelKeyPress::Tab);
        EXPECT_EQ(sim::PanelFocusedControl(host), expected);
        EXPECT_TRUE(sim::PanelTextSelected(host, expected)) << expected;
    }
    sim::PressPanelKey(host, sim::PanelKeyPress::ShiftTab);
    EXPECT_EQ(sim::PanelFocusedControl(host), kLineWidthList);
    Type(kSizeList, "7");
    sim::PressPanelKey(host, sim::PanelKeyPress::Tab);
    EXPECT_EQ(State().flPtLength, 7);
    EXPECT_EQ(sim::PanelFocusedControl(host), kLineWidthList);
}

}  // namespace

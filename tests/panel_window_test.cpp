// The panel as the plug-in builds it at application start: the host's panel and flyout menu, the
// controls with their texts, values and layout, the distance rows and options area, and its colours.
// The host's menu messages and notifications: the palette item shows and hides the panel, the
// document notifications keep the current view, selection changes refresh the live length, the
// ruler unit reaches the panel. Natively on the in-memory windows, on Windows on the real child windows.
#include <cstdlib>
#include <utility>

#include "panel_fixture.h"

namespace {

// Japanese, the start value, and a light interface.
TEST_F(PanelTest, TextsAreInTheLanguageAndColoursFollowTheBrightness) {
    StartPanel();
    EXPECT_EQ(sim::Cp932ToUtf8(Text(kLengthLabel)), "ｾｸﾞﾒﾝﾄ長:");
    EXPECT_EQ(sim::Cp932ToUtf8(Text(kDistance1Label)), "距離 1:");
    EXPECT_EQ(sim::Cp932ToUtf8(HostPanel().flyout->items[0].text), "Kelvane 設定...");
    EXPECT_EQ(sim::Cp932ToUtf8(HostPanel().flyout->items[2].text), "オプションを表示");
    EXPECT_EQ(Text(kDistance2Label), "2:");
    EXPECT_EQ(sim::Cp932ToUtf8(Text(34)), "線分");
    EXPECT_EQ(sim::Cp932ToUtf8(Text(35)), "間隔");
    EXPECT_EQ(State().isDarkInterface, 0);
    EXPECT_NEAR(State().panelColor.red, 240.0 / 255, 1e-12);
    EXPECT_EQ(State().labelTextColor.green, 0.2);
    void* font = State().labelFont;
    App().darkInterface = true;
    host.Gate().FailOperation("AI Panel Suite", "GetPlatformWindow", kOutOfMemoryStatus);
    host.Notify("AI UI Brightness Changed Notifier");
    host.Gate().ClearFailures();
    EXPECT_EQ(State().isDarkInterface, 0) << "without its window the panel is left as it is";
    host.Notify("AI UI Brightness Changed Notifier");
    EXPECT_EQ(State().isDarkInterface, 1);
    EXPECT_NEAR(State().panelColor.red, 83.0 / 255, 1e-12);
    EXPECT_EQ(State().editBackColor.red, 0.8);
    EXPECT_EQ(State().labelTextColor.red, 0.8);
    EXPECT_EQ(State().labelFont, font) << "the font is made once";
}

// Made when the application has started, with the start values, its options hidden.
TEST_F(PanelTest, ControlsShowTheStartValues) {
    EXPECT_EQ(App().FindPanel(kPanelId), nullptr) << "not at start-up";
    State().language = kEnglish;
    StartPanel();
    const sim::Panel& panel = HostPanel();
    EXPECT_EQ(panel.title, "Kelvane");
    EXPECT_EQ(panel.minimumSize.width, 240);
    EXPECT_EQ(panel.minimumSize.height, 267) << "options hidden";
    EXPECT_EQ(panel.size.height, 207) << "340 less the hidden options area";
    EXPECT_TRUE(panel.shown);
    ASSERT_EQ(panel.flyout->items.size(), 3u);
    EXPECT_EQ(panel.flyout->items[0].text, "Kelvane Settings...");
    EXPECT_TRUE(panel.flyout->items[1].separator);
    EXPECT_EQ(panel.flyout->items[2].text, "Show options");
    EXPECT_FALSE(panel.flyout->items[2].checked);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(Text(kDistance1List), "141.732 pt") << "50 mm, in the points of the host without a document";
    EXPECT_EQ(Text(kSizeList), "14.173 pt");
    EXPECT_EQ(Text(kLineWidthList), "0.1 pt");
    EXPECT_TRUE(Checked(kForwardBox) && Checked(kBackwardBox)) << "both directions";
    EXPECT_TRUE(Checked(kCreatePointersBox));
    for (int box : {kDivideSegmentBox, kBrokenLineBox, kExtendEndpointsBox}) EXPECT_FALSE(Checked(box)) << box;
    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) {
        EXPECT_EQ(Text(id), "") << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_FALSE(Enabled(kLengthReadout)) << "nothing measured";
    EXPECT_FALSE(Enabled(kLengthSlider));
    EXPECT_EQ(sim::PanelSliderPosition(host), 0);
    const std::vector<std::string> values{".25", ".5", "1", "5", "10", "20", "50", "100"};
    for (int list : {kDistance1List, kDistance2List, kDistance3List, kSizeList, kLineWidthList}) {
        EXPECT_EQ(sim::PanelListItems(host, list), values) << list;
    }
    EXPECT_EQ(Text(kPositionLabel), "Position:");
}

TEST_F(PanelTest, ThreeRowsShowEveryRowAndTheOptions) {
    State().flPtCount = 3;
    State().showoption = 1;
    StartPanel();
    EXPECT_TRUE(Visible(kDistance2List) && Visible(kDistance3List) && Visible(kDistance3Label));
    EXPECT_EQ(HostPanel().minimumSize.height, 400);
    EXPECT_EQ(HostPanel().size.height, 400);
    EXPECT_TRUE(HostPanel().flyout->items[2].checked) << "Show options";
    // As the eye meets it: each label ends just before the field it names, on the same row.
    const std::pair<int, int> rows[] = {{kDistance1Label, kDistance1List}, {kDistance2Label, kDistance2List},
                                        {kDistance3Label, kDistance3List}, {kSizeLabel, kSizeList},
                                        {kPositionLabel, kForwardBox},     {kLineWidthLabel, kLineWidthList}};
    for (const auto& [label, field] : rows) {
        const sim::PanelControlRect name = sim::PanelControlBounds(host, label);
        const sim::PanelControlRect value = sim::PanelControlBounds(host, field);
        EXPECT_EQ(value.left - name.right, 5) << "label " << label;
        EXPECT_LE(std::abs(name.top + name.bottom - value.top - value.bottom), 8) << "label " << label;
    }
}

// The count of rows from the settings file: one or three as it says, else kept within 1..3. The
// options area moves up by 60 units with the two hidden rows; plus and minus answer.
class PanelRowCountTest : public PanelTest, public ::testing::WithParamInterface<std::int16_t> {};

TEST_P(PanelRowCountTest, IsKeptToTheRowsThereAre) {
    State().flPtCount = GetParam();
    StartPanel();
    const std::int16_t kept = GetParam() >= 3 ? 3 : 1;
    EXPECT_EQ(State().flPtCount, kept);
    EXPECT_EQ(Top(kSizeList), kept == 3 ? 190 : 130);
    EXPECT_EQ(HostPanel().size.height, kept == 3 ? 267 : 207);
    EXPECT_EQ(Visible(kPlusButton), kept < 3);
    EXPECT_EQ(Visible(kMinusButton), kept > 1);
    Click(kept < 3 ? kPlusButton : kMinusButton);
    EXPECT_EQ(State().flPtCount, 2);
}

INSTANTIATE_TEST_SUITE_P(FromTheSettingsFile, PanelRowCountTest, ::testing::Values(1, 3, 5, 0, -1));

// Distances in the ruler unit; line widths and dashes in points, the dashes up to the last set one.
TEST_F(PanelTest, FieldsShowTheirUnitsAndDashesUpToTheLastSetOne) {
    host.NewDocument().rulerUnit = sim::RulerUnit::Millimeters;
    State().flPtDistance2 = 30;
    State().flPtDashLengD3 = 2.5;
    State().flPtIsDashLine = 1;
    StartPanel();
    EXPECT_EQ(Text(kDistance1List), "50 mm");
    EXPECT_EQ(Text(kDistance2List), "10.583 mm");
    EXPECT_EQ(Text(kSizeList), "5 mm");
    EXPECT_EQ(Text(kLineWidthList), "0.1 pt");
    const char* const shown[] = {"0 pt", "0 pt", "2.5 pt", "", "", ""};
    for (int id = kFirstDashEdit; id <= kLastDashEdit; ++id) EXPECT_EQ(Text(id), shown[id - kFirstDashEdit]) << id;
    EXPECT_TRUE(Enabled(28) && Enabled(33));
    EXPECT_TRUE(Checked(kBrokenLineBox));
}

// ---- Menu messages and notifications ----

class NotificationTest : public PanelTest {
protected:
    MenuItemHandle PaletteItem() { return State().paletteMenuItem; }
    const sim::MenuItem* PaletteRecord() { return App().FindMenuItem("AI-PLOTVEX Info Group"); }
};

TEST_F(NotificationTest, ThePaletteItemShowsAndHidesThePanel) {
    EXPECT_EQ(host.MenuGo(PaletteItem()), kNoError) << "no panel yet: nothing to show";
    EXPECT_EQ(host.MenuUpdate(PaletteItem()), kNoError);
    EXPECT_FALSE(PaletteRecord()->checked);

    StartPanel();
    ASSERT_TRUE(HostPanel().shown);
    EXPECT_EQ(host.MenuUpdate(PaletteItem()), kNoError);
    EXPECT_TRUE(PaletteRecord()->checked);
    EXPECT_EQ(host.MenuGo(PaletteItem()), kNoError);
    EXPECT_FALSE(HostPanel().shown);
    EXPECT_EQ(host.MenuUpdate(State().aboutMenuItem), kNoError) << "any item updates the palette item";
    EXPECT_FALSE(PaletteRecord()->checked);
    EXPECT_EQ(host.MenuGo(PaletteItem()), kNoError);
    EXPECT_TRUE(HostPanel().shown);
    EXPECT_TRUE(App().alerts.empty());
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(NotificationTest, DocumentNotificationsKeepTheFirstView) {
    host.NewDocument();
    host.Notify("AI Document Opened Notifier");
    EXPECT_EQ(State().currentView, nullptr) << "without the panel only the application start counts";
    StartPanel();
    sim::Document& first = host.NewDocument();
    host.Notify("AI Document New Notifier");
    EXPECT_EQ(State().currentView, sim::HandleOf(first.View(0)));
    host.CloseDocument();
    host.CloseDocument();
    host.Notify("AI Document Closed Notifier");
    EXPECT_EQ(State().currentView, nullptr) << "no document left";
    EXPECT_TRUE(App().alerts.empty()) << "the refused view is no error";
}

TEST_F(NotificationTest, SelectionChangesMeasureWhileThePanelIsShownAndMeasuring) {
    StartPanel();
    SelectedLine(OpenDocument(), 30);
    host.Notify("AI Art Selection Changed Notifier");
    EXPECT_EQ(State().measuredLength, 0) << "measuring is off";
    State().flUseFlng = 1;
    host.MenuGo(PaletteItem());  // hidden
    host.Notify("AI Art Selection Changed Notifier");
    EXPECT_EQ(State().measuredLength, 0) << "the panel is hidden";
    host.MenuGo(PaletteItem());
    State().notifierGuard = 1;  // as while a measurement from this notifier runs
    host.Notify("AI Art Selection Changed Notifier");
    EXPECT_EQ(State().measuredLength, 0) << "a change during the measurement is its own";

    State().notifierGuard = 0;
    const std::size_t plays = Plays();
    host.Notify("AI Art Selection Changed Notifier");
    EXPECT_EQ(State().measuredLength, 30);
    EXPECT_EQ(Text(kLengthReadout), "30 pt");
    EXPECT_EQ(Plays(), plays) << "no action: no undo step";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(NotificationTest, ARulerUnitChangeRewritesTheDistancesOfAShownPanel) {
    sim::Document& document = host.NewDocument();
    StartPanel();
    host.Notify("AI Document Opened Notifier");
    EXPECT_EQ(Text(kDistance1List), "141.732 pt");
    document.rulerUnit = sim::RulerUnit::Millimeters;
    host.MenuGo(PaletteItem());
    host.Notify("AI Document Ruler Unit Changed Notifier");
    EXPECT_EQ(Text(kDistance1List), "141.732 pt") << "hidden";
    host.MenuGo(PaletteItem());
    host.Notify("AI Document Ruler Unit Changed Notifier");
    EXPECT_EQ(Text(kDistance1List), "50 mm");
    EXPECT_EQ(Text(kDistance2List), "50 mm");
    EXPECT_EQ(Text(kSizeList), "5 mm");
    EXPECT_EQ(Text(kLineWidthList), "0.1 pt") << "not a distance";
}

}  // namespace

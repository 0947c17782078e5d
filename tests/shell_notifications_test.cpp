// The host's menu messages and notifications: the palette item shows and hides the panel, the
// document notifications keep the current view, selection changes refresh the live length, the
// ruler unit reaches the panel.
#include "panel_fixture.h"

namespace {

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

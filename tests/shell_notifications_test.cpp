// The host's menu messages and notifications: the palette item shows and hides the panel, the
// document notifications keep the current view, selection changes refresh the live length, the
// ruler unit and the interface brightness reach the panel.
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
    StartPanel();
    EXPECT_EQ(State().currentView, nullptr);
    sim::Document& first = host.NewDocument();
    host.Notify("AI Document New Notifier");
    EXPECT_EQ(State().currentView, sim::HandleOf(first.View(0)));

    sim::Document& second = host.NewDocument();
    host.Notify("AI Document Opened Notifier");
    EXPECT_EQ(State().currentView, sim::HandleOf(second.View(0)));

    host.CloseDocument();
    host.Notify("AI Document Closed Notifier");
    EXPECT_EQ(State().currentView, nullptr) << "no document left";
    EXPECT_TRUE(App().alerts.empty()) << "the refused view is no error";
}

TEST_F(NotificationTest, WithoutThePanelOnlyTheApplicationStartCounts) {
    host.NewDocument();
    host.Notify("AI Document Opened Notifier");
    EXPECT_EQ(State().currentView, nullptr);
    EXPECT_EQ(State().savedBasicSuite, nullptr);
}

TEST_F(NotificationTest, SelectionChangesMeasureWhileThePanelIsShownAndMeasuring) {
    StartPanel();
    sim::Document& document = OpenDocument();
    SelectedLine(document, 30);
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
    EXPECT_EQ(sim::PanelControlText(host, kLengthReadout), "30 pt");
    EXPECT_EQ(State().notifierGuard, 0);
    EXPECT_EQ(Plays(), plays) << "no action: no undo step";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(NotificationTest, ARulerUnitChangeRewritesTheDistancesOfAShownPanel) {
    sim::Document& document = host.NewDocument();
    StartPanel();
    host.Notify("AI Document Opened Notifier");
    EXPECT_EQ(sim::PanelControlText(host, kDistance1List), "141.732 pt");
    document.rulerUnit = sim::RulerUnit::Millimeters;
    host.MenuGo(PaletteItem());
    host.Notify("AI Document Ruler Unit Changed Notifier");
    EXPECT_EQ(sim::PanelControlText(host, kDistance1List), "141.732 pt") << "hidden";
    host.MenuGo(PaletteItem());
    host.Notify("AI Document Ruler Unit Changed Notifier");
    EXPECT_EQ(sim::PanelControlText(host, kDistance1List), "50 mm");
    EXPECT_EQ(sim::PanelControlText(host, kDistance2List), "50 mm");
    EXPECT_EQ(sim::PanelControlText(host, kSizeList), "5 mm");
    EXPECT_EQ(sim::PanelControlText(host, kLineWidthList), "0.1 pt") << "not a distance";
}

TEST_F(NotificationTest, OtherNotificationsChangeNothing) {
    StartPanel();
    sim::Document& document = OpenDocument();
    SelectedLine(document, 30);
    State().flUseFlng = 1;
    const DocumentViewHandle view = State().currentView;
    host.CloseDocument();
    for (const char* type : {"AI Art Objects Changed Notifier", "AI Document View Style Active View Changed Notifier",
                             "AI Application Deactivated Notifier"}) {
        EXPECT_EQ(host.Notify(type), kNoError) << type;
    }
    EXPECT_EQ(State().currentView, view);
    EXPECT_EQ(State().measuredLength, 0);
    EXPECT_EQ(HostPanel().minimumSize.height, 267);
    EXPECT_EQ(App().panels.size(), 1u) << "the panel is made once";
}

}  // namespace

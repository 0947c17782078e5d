// The panel stand-in: it plays the plug-in's action as the panel's buttons and fields do, and only
// when they would.
#include "document.h"
#include "panel_stand_in.h"
#include "plugin_fixture.h"
#include "shell/commands.h"

namespace {

class PanelStandInTest : public PluginTest {
protected:
    void SetUp() override { StartPlugin(); }
};

TEST_F(PanelStandInTest, ButtonsPlayTheActionWithTheParameterValueThePanelPasses) {
    EXPECT_FALSE(sim::RunPanelCommand(host, kCommandAngleBisector)) << "no document: the buttons do nothing";
    EXPECT_TRUE(App().actionPlays.empty());

    host.NewDocument();
    State().language = kEnglish;
    ASSERT_TRUE(sim::RunPanelCommand(host, kCommandAngleBisector));
    ASSERT_TRUE(sim::RunPanelCommand(host, kCommandHandleLine));
    ASSERT_EQ(App().actionPlays.size(), 2u);
    EXPECT_EQ(App().actionPlays[0].eventName, "KELVANE_INSIDECMD");
    EXPECT_EQ(App().actionPlays[0].dialogStatus, 3);
    EXPECT_EQ(App().actionPlays[0].parameters, nullptr);
    EXPECT_NE(App().actionPlays[1].parameters, nullptr) << "1001 to 1005 get a parameter value";
    EXPECT_EQ(App().LiveActionParamValues(), 0u) << "and it is deleted after the play";
    EXPECT_EQ(State().commandId, kCommandHandleLine);
    EXPECT_EQ(host.Undo().Last()->undoText, "Undo Handle Line");
}

TEST_F(PanelStandInTest, FieldsIssueTheirCommandOnlyWhenTheValueChanges) {
    State().typedLength = 100;
    EXPECT_FALSE(sim::CommitTypedLength(host, 100.1)) << "within 0.1 of the stored length";
    EXPECT_TRUE(sim::CommitTypedLength(host, 100.2)) << "the typed length plays without a document";
    EXPECT_EQ(State().typedLength, 100.2);

    EXPECT_FALSE(sim::MoveLengthSlider(host, State().lengthSliderPos));
    EXPECT_TRUE(sim::MoveLengthSlider(host, -20));
    EXPECT_EQ(State().lengthSliderPos, -20);
    EXPECT_EQ(App().actionPlays.size(), 2u);

    sim::PointerOptions options;
    options.forward = false;
    options.count = 7;
    options.distances[1] = 0;  // not taken, as the field refuses it
    options.distances[2] = 20;
    sim::SetPointerOptions(host, options);
    EXPECT_EQ(State().flPointMode, 2);
    EXPECT_EQ(State().flPtCount, 3);
    EXPECT_EQ(State().flPtDistance2, 141.7323);
    EXPECT_EQ(State().flPtDistance3, 20);

    sim::HandleLineOptions handles;
    handles.layer = std::string(300, 'x');
    sim::SetHandleLineOptions(host, handles);
    EXPECT_EQ(std::string(State().handleline_layer), std::string(255, 'x')) << "cut to the field";
}

}  // namespace

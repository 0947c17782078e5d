// The panel's layout as the keyboard and the eye meet it: Tab walks every shown field in the order
// they stand, and each label ends just before the field it names, on the same row. Natively on the
// in-memory windows, on Windows on the real child windows.
#include <cstdlib>
#include <utility>

#include "panel_fixture.h"

namespace {

class PanelLayout : public PanelTest {};

TEST_F(PanelLayout, TabWalksEveryShownFieldInOrder) {
    State().flPtCount = 3;
    State().showoption = 1;
    State().flPtIsDashLine = 1;
    StartPanel();
    SelectedLine(OpenDocument(), 50);
    Click(kMeasureButton);
    Click(kLengthReadout);
    const int order[] = {kDistance1List, kDistance2List, kDistance3List, kSizeList, kLineWidthList, 28, 29, 30, 31,
                         32, 33, kLengthReadout};
    for (const int expected : order) {
        sim::PressPanelKey(host, sim::PanelKeyPress::Tab);
        EXPECT_EQ(sim::PanelFocusedControl(host), expected);
    }
}

TEST_F(PanelLayout, EachLabelEndsJustBeforeItsFieldOnTheSameRow) {
    State().flPtCount = 3;
    StartPanel();
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

}  // namespace

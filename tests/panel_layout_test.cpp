// The panel's layout as the eye meets it: each label ends just before the field it names, on the same
// row. Natively on the in-memory windows, on Windows on the real child windows.
#include <cstdlib>
#include <utility>

#include "panel_fixture.h"

namespace {

class PanelLayout : public PanelTest {};

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

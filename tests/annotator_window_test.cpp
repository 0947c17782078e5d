// The Point adjust preview as the Windows host paints it in its view window: the moved outline in
// the annotator's blue-green over the grey artwork. With KELVANE_SCREENSHOT set to a file name the
// test also writes a screenshot of the window there (PNG). Natively there is no window: skipped.
#include <cmath>
#include <cstdlib>

#include "adjust_fixture.h"
#include "view_window.h"

namespace {

class AnnotatorWindowTest : public AdjustTest {
protected:
    void TearDown() override { sim::CloseViewWindow(); }
};

TEST_F(AnnotatorWindowTest, ThePreviewIsPaintedOverTheArtwork) {
#ifndef _WIN32
    GTEST_SKIP() << "the view window is the Windows host's";
#else
    // Within the view, which shows the artwork from (0, 792) to (800, 192).
    Rectangle(100, 400, 100, 50);
    Rectangle(300, 600, 40, 20);
    Select(PointTool());
    DragFromTo({200, 400}, {300, 600});
    Move({215, 370});  // the orientation that turns the rectangle down along the fixed one's right side
    ASSERT_EQ(Phase(), 4);
    App().drawCalls.clear();
    ASSERT_EQ(host.AnnotationDraw(State().annotator), kNoError);
    ASSERT_NE(sim::ShowViewWindow(*doc, App().drawCalls), nullptr);

    // The preview stands on the fixed rectangle's corner (200, 400), turned a quarter down: its sides
    // run along view column 200 from row 392 to 432 and along row 432 to column 220. The fixed
    // rectangle's bottom side is grey, and the middle of nowhere white.
    const auto channel = static_cast<std::uint32_t>(std::lround(0xC000 / 65535.0 * 255));
    const std::uint32_t guide = channel << 16 | channel << 8;  // 0x00BBGGRR: red 0
    EXPECT_EQ(sim::ViewPixel(200, 412), guide);
    EXPECT_EQ(sim::ViewPixel(210, 432), guide);
    EXPECT_EQ(sim::ViewPixel(150, 392), 0x00808080u) << "the artwork";
    EXPECT_EQ(sim::ViewPixel(500, 100), 0x00FFFFFFu);
    EXPECT_EQ(sim::ViewPixel(230, 392), 0x00FFFFFFu) << "no preview in the other orientations";

    if (const char* path = std::getenv("KELVANE_SCREENSHOT")) {
        EXPECT_TRUE(sim::SaveViewScreenshot(path)) << path;
    }
#endif
}

}  // namespace

// The Point adjust preview as the Windows host paints it in its view window: the moved outline in
// the annotator's blue-green over the grey artwork. With KELVANE_SCREENSHOT set to a file name the
// test also writes a screenshot of the window there (PNG). Natively there is no window: skipped.
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
    Rectangle(100, 100, 100, 50);
    Rectangle(300, 300, 40, 20);
    Select(PointTool());
    DragFromTo({200, 100}, {300, 300});
    Move({230, 115});
    ASSERT_EQ(Phase(), 4);
    App().drawCalls.clear();
    ASSERT_EQ(host.AnnotationDraw(State().annotator), kNoError);
    ASSERT_NE(sim::ShowViewWindow(*doc, App().drawCalls), nullptr);

    // The preview's bottom side runs from (200, 100) to (240, 100): view row 692, columns 200 to 240;
    // the fixed rectangle's bottom side is grey, and the middle of nowhere white.
    const std::uint32_t guide = 0x00C0C000;  // 0x00BBGGRR: red 0, green and blue 0xC0
    EXPECT_EQ(sim::ViewPixel(220, 692), guide);
    EXPECT_EQ(sim::ViewPixel(240, 682), guide) << "its right side";
    EXPECT_EQ(sim::ViewPixel(150, 692), 0x00808080u) << "the artwork";
    EXPECT_EQ(sim::ViewPixel(500, 300), 0x00FFFFFFu);

    if (const char* path = std::getenv("KELVANE_SCREENSHOT")) {
        EXPECT_TRUE(sim::SaveViewScreenshot(path)) << path;
    }
#endif
}

}  // namespace

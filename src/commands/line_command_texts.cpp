// Compiled to code page 932, so the Japanese literals below reach the host as Shift-JIS bytes.
#include "commands/line_command_texts.h"

#include "shell/plugin_state.h"
#include "shell/suites.h"

static_assert(sizeof("レ") == 3, "this file must be compiled with -fexec-charset=CP932");

namespace {

struct AlertTexts {
    LineCommandAlert alert;
    const char* english;
    const char* japanese;
};

constexpr AlertTexts kAlertTexts[] = {
    {LineCommandAlert::NonStraightSelected, "Non straight line objects are selected.",
     "直線以外のオブジェクトが選択されています。"},
    {LineCommandAlert::TooFewLinesForBisector, "Two or more straight lines are not selected.",
     "角の二等分線を作成する２つ以上の直線が選択されていません。"},
    {LineCommandAlert::BisectorNotCreated, "Could not create angle bisector.", "角の二等分線を作成できませんでした。"},
    {LineCommandAlert::TooFewLinesForCrossing, "Two or more straight lines are not selected.",
     "延長交差を作成する２つ以上の直線が選択されていません。"},
    {LineCommandAlert::CrossingOutsideDrawingArea, "Cannot be created if the intersection is outside the drawing area.",
     "交点が描画領域の外になる場合は作成できません。"},
    {LineCommandAlert::LinesShareVertex, "Cannot be created on a line that shares a vertex.",
     "頂点を共有する直線には作成できません。"},
};

}  // namespace

const char* LineCommandAlertText(LineCommandAlert alert, std::uint16_t language) {
    for (const AlertTexts& row : kAlertTexts) {
        if (row.alert == alert) return language == kJapanese ? row.japanese : row.english;
    }
    return "";
}

void ShowLineCommandAlert(LineCommandAlert alert) {
    if (sUser == nullptr || gState == nullptr) return;
    sUser->MessageAlert(LineCommandAlertText(alert, gState->language));
}

// The one record that holds all of the plug-in's state, allocated at start-up through the host.
#pragma once

#include <cstdint>

#include "host/messages.h"

constexpr int kBezierSteps = 256;
constexpr int kTextFieldSize = 256;

// An anchor of a path found under a point by the adjust tools; index 0xFFFF means none.
struct AnchorHit {
    ArtHandle art;
    std::uint16_t anchorIndex;
};
constexpr std::uint16_t kNoAnchorIndex = 0xFFFF;

struct AnchorCache;

enum Language : std::uint16_t {
    kJapanese = 0,
    kEnglish = 1,
    kKorean = 2,
};

struct PluginState {
    // Tools and commands
    ToolHandle pathAdjustTool;
    ToolHandle pointAdjustTool;
    std::uint16_t toolMode;
    char readoutText[kTextFieldSize];
    double measuredLength;
    double typedLength;
    std::int32_t lengthSliderPos;
    std::uint32_t lengthAdjustStage;
    std::int16_t snapKind;
    PluginRef lastToolSelf;

    // Pointer command settings
    std::uint16_t flUseFlng;
    std::uint16_t flPointMode;
    std::uint16_t flDivideSegment;
    std::uint16_t flCreatePointer;
    std::int16_t flPtCount;
    double flPtDistance1;
    double flPtDistance2;
    double flPtDistance3;
    double flPtLength;
    double flPtLineWidth;
    std::uint16_t flPtIsDashLine;
    double flPtDashLengD1;
    double flPtDashLengD2;
    double flPtDashLengD3;
    double flPtDashLengD4;
    double flPtDashLengD5;
    double flPtDashLengD6;

    // Handle-line settings and extension crossing
    char handleline_layer[kTextFieldSize];
    double handleline_line_width;
    char handleline_line_color[kTextFieldSize];
    std::uint16_t handleline_polyline;
    std::uint16_t handleline_reverse_side;
    std::uint16_t extend_endpoints;

    // Adjust-tool working set
    std::int16_t adjustPhase;
    RealPoint snapCursor;
    RealPoint rawCursor;
    RealPoint adjustPoints[4];
    AnchorHit adjustHits[4];
    // The anchor search's view of the document, null until a tracking event makes it; refused is
    // set when making it failed, until the document may have changed.
    AnchorCache* anchorCache;
    std::uint16_t anchorCacheRefused;

    // Sampling weights of cubic segments, t = i / 256
    double bezierA256[kBezierSteps + 1];
    double bezierB256[kBezierSteps + 1];
    // The same read from the far end (bezierA256[256 - i], bezierB256[256 - i]): the weights of
    // P3 and P2, in the order the vector chord sums load them.
    double bezierA256Reversed[kBezierSteps + 1];
    double bezierB256Reversed[kBezierSteps + 1];
    // The four weights of samples 0, 64, 128 and 192 steps on from each row's index, a group of four
    // per weight (A, B, B reversed, A reversed): the rows the 4-lane chord sum loads, each lane
    // walking its own quarter of the curve.
    double bezierQuarterRows[kBezierSteps / 4 + 1][16];

    // Host handles and notifications
    SPBasicSuite* savedBasicSuite;
    std::uint16_t notifierGuard;
    NotifierHandle appStartedNotifier;
    MenuItemHandle paletteMenuItem;
    MenuItemHandle aboutMenuItem;
    DocumentViewHandle currentView;
    std::uint16_t commandId;
    AnnotatorHandle annotator;
    std::int32_t annotationRect[4];

    // Panel
    void* previousPanelProc;
    void* labelFont;
    std::uint16_t isDarkInterface;
    UIColor panelColor;
    UIColor labelTextColor;
    UIColor editTextColor;
    UIColor editBackColor;
    void* panelBrush;
    void* editBrush;
    std::uint16_t toggleState[10];
    std::uint32_t panelHeight;
    PanelHandle panel;
    FlyoutMenuHandle flyoutMenu;

    // Interface settings
    std::uint16_t showoption;
    double uiScaleMax;
    double panelScale;
    std::uint16_t language;
    char productName[64];
    char versionText[64];
};

// The process-wide state pointer, copied from every message's globals word.
extern PluginState* gState;

// Gives every field its start value (the record's memory is undefined before this).
void SetStartValues(PluginState& state, PluginRef self, double uiScaleMax);

inline bool UsesJapanese(const PluginState& state) { return state.language == kJapanese; }

// The panel has three distance rows; a settings file may name any count, which the panel and
// Pointer both take as the nearest count the panel can show.
constexpr std::int16_t kPointerRows = 3;
inline std::int16_t PointerRowsInUse(const PluginState& state) {
    return state.flPtCount < 1 ? 1 : state.flPtCount > kPointerRows ? kPointerRows : state.flPtCount;
}

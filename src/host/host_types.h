// Plain records and opaque handles shared by the plug-in and any host that loads it.
// The layouts are ours; they follow what a drawing application's plug-in interface offers.
#pragma once

#include <cstddef>
#include <cstdint>

using HostStatus = std::int32_t;  // 0 for success; failures are usually four-character codes
constexpr HostStatus kNoError = 0;

constexpr HostStatus FourCharCode(char a, char b, char c, char d) {
    return static_cast<HostStatus>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                   static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}
constexpr HostStatus kCanceledStatus = 1;
constexpr HostStatus kSuiteNotFoundStatus = FourCharCode('S', '!', 'F', 'd');
constexpr HostStatus kStopStatus = FourCharCode('S', 'T', 'O', 'P');
constexpr HostStatus kOutOfMemoryStatus = FourCharCode('!', 'M', 'E', 'M');
constexpr HostStatus kBadParameterStatus = FourCharCode('P', 'A', 'R', 'M');
constexpr HostStatus kNotFoundStatus = FourCharCode('!', 'F', 'N', 'D');

// Opaque handles: the host hands them out, the plug-in only stores and passes them back.
using PluginRef = struct OpaquePlugin*;
using AccessRef = struct OpaqueAccess*;
using ArtHandle = struct OpaqueArt*;
using LayerHandle = struct OpaqueLayer*;
using DocumentViewHandle = struct OpaqueDocumentView*;
using ToolHandle = struct OpaqueTool*;
using NotifierHandle = struct OpaqueNotifier*;
using MenuItemHandle = struct OpaqueMenuItem*;
using MenuGroupHandle = struct OpaqueMenuGroup*;
using PanelHandle = struct OpaquePanel*;
using FlyoutMenuHandle = struct OpaqueFlyoutMenu*;
using AnnotatorHandle = struct OpaqueAnnotator*;
using AnnotatorDrawerHandle = struct OpaqueAnnotatorDrawer*;
using ActionParamTypeHandle = struct OpaqueActionParamType*;
using ActionParamValueHandle = struct OpaqueActionParamValue*;
using SwatchListHandle = struct OpaqueSwatchList*;
using SwatchHandle = struct OpaqueSwatch*;
using PlatformWindow = void*;  // HWND on Windows, null where the host has no window system
using ModuleHandle = void*;    // HMODULE of the plug-in library

struct RealPoint {
    double h;
    double v;
};

struct RealRect {
    double left;
    double top;
    double right;
    double bottom;
};

struct RealMatrix {  // [a b 0; c d 0; tx ty 1]
    double a, b, c, d, tx, ty;
};

struct ViewPoint {  // integer view (window) coordinates
    std::int32_t h;
    std::int32_t v;
};

struct ViewRect {
    std::int32_t left, top, right, bottom;
};

// One anchor of a path: anchor point, in handle, out handle and the corner flag.
struct AnchorRecord {
    RealPoint p;
    RealPoint in;
    RealPoint out;
    bool corner;
};

// Per-anchor selection states reported by the path suite.
enum AnchorSelection : std::int16_t {
    kAnchorNotSelected = 0,
    kAnchorPointSelected = 1,
    kInHandleSelected = 2,
    kOutHandleSelected = 3,
    kBothHandlesSelected = 4,
};

enum ArtType : std::int16_t {
    kUnknownArt = 0,
    kGroupArt = 1,
    kPathArt = 2,
    kCompoundPathArt = 3,
    kTextFrameArt = 4,
    kPlacedArt = 5,
};

enum TextFrameKind : std::int16_t {
    kPointText = 0,
    kAreaText = 1,
    kPathText = 2,
};

// Art user attributes, as bits.
enum ArtAttribute : std::int32_t {
    kArtSelected = 0x1,
    kArtLocked = 0x2,
    kArtHidden = 0x4,
    kArtFullySelected = 0x8,
};

// Paint order for new art and layers.
enum PaintOrder : std::int16_t {
    kPlaceAbove = 1,
    kPlaceBelow = 2,
    kPlaceInsideOnTop = 3,
    kPlaceInsideOnBottom = 4,
};

enum ColorKind : std::int16_t {
    kNoColor = 0,
    kGrayColor = 1,
    kFourColor = 2,  // CMYK
    kThreeColor = 3, // RGB
    kCustomColor = 4,
};

struct Color {
    ColorKind kind;
    double gray;           // kGrayColor: 0 white .. 1 black
    double c, m, y, k;     // kFourColor
    double red, green, blue;  // kThreeColor and the custom colour's appearance
    double tint;           // kCustomColor
};

constexpr int kMaxDashes = 6;

struct FillStyle {
    Color color;
};

struct StrokeStyle {
    Color color;
    double width;
    double miterLimit;
    std::int16_t dashCount;
    float dashes[kMaxDashes];
    float dashOffset;
};

struct PathStyle {
    bool fillPaint;
    FillStyle fill;
    bool strokePaint;
    StrokeStyle stroke;
};

struct UIColor {  // alpha, red, green, blue in 0..1
    double alpha, red, green, blue;
};

struct PanelSize {
    double width;
    double height;
};

// Data of a new tool.
struct ToolRecord {
    const char* title;
    const char* tooltip;
    std::int32_t lightIconId;
    std::int32_t darkIconId;
    std::int16_t sameGroupAs;    // -2: new group
    std::int16_t sameToolsetAs;  // -2: new toolset
    std::uint8_t iconKind;
};
constexpr std::int16_t kNewToolGroup = -2;
constexpr std::int16_t kNoTool = -2;

// The host's suites as tables of functions. Only the operations this plug-in uses are listed;
// every operation returns a status unless it is pure arithmetic.
#pragma once

#include "host/messages.h"

struct SPAccessSuite {
    HostStatus (*GetPluginAccess)(PluginRef plugin, AccessRef* access);
    HostStatus (*GetAccessModule)(AccessRef access, ModuleHandle* module);
};

struct PluginSuite {
    HostStatus (*GetPluginOptions)(PluginRef plugin, std::int32_t* options);
    HostStatus (*SetPluginOptions)(PluginRef plugin, std::int32_t options);
};

struct ContextSuite {
    HostStatus (*GetPlatformAppWindow)(PlatformWindow* window);
};

struct UserSuite {
    HostStatus (*ErrorAlert)(const char* text);
    HostStatus (*MessageAlert)(const char* text);
    // Shows text with OK (and Cancel when cancelButton is set); answer is 1 for OK, 0 otherwise.
    HostStatus (*ConfirmAlert)(const char* text, std::int32_t cancelButton, std::int32_t defaultIsCancel,
                               std::int32_t* answer);
    HostStatus (*GetScaleFactors)(double* first, double* second);
    // A length in points as text in the document's ruler units; precision -1 lets the host choose.
    HostStatus (*PointsToUnitsText)(double points, std::int32_t precision, char* text, std::int32_t textSize);
    // Text typed by the user, in the document's ruler units unless it names its own unit, as points.
    HostStatus (*UnitsTextToPoints)(const char* text, double* points, std::int32_t* valid);
};

struct NotifierSuite {
    HostStatus (*AddNotifier)(PluginRef plugin, const char* name, const char* type, NotifierHandle* notifier);
};

struct MenuSuite {
    HostStatus (*AddMenuItem)(PluginRef plugin, const char* key, const char* group, const char* text,
                              std::int32_t options, MenuItemHandle* item);
    HostStatus (*CountMenuGroups)(std::int32_t* count);
    HostStatus (*GetNthMenuGroup)(std::int32_t index, MenuGroupHandle* group);
    HostStatus (*GetMenuGroupName)(MenuGroupHandle group, const char** name);
    HostStatus (*AddMenuGroupAsSubMenu)(const char* name, std::int32_t options, MenuItemHandle parent,
                                        MenuGroupHandle* group);
    HostStatus (*CheckItem)(MenuItemHandle item, std::int32_t checked);
};

struct ToolSuite {
    HostStatus (*AddTool)(PluginRef plugin, const char* name, const ToolRecord* record, std::int32_t options,
                          ToolHandle* tool);
    HostStatus (*GetToolNumberFromName)(const char* name, std::int16_t* number);
    HostStatus (*GetToolName)(ToolHandle tool, const char** name);
    HostStatus (*GetSelectedTool)(ToolHandle* tool);  // null when no tool of a plug-in is selected
};

using FlyoutChoiceProc = void (*)(PanelHandle panel, std::uint32_t itemId);

struct PanelSuite {
    HostStatus (*Create)(PluginRef plugin, const char* id, const char* title, const PanelSize* minimumSize,
                         FlyoutMenuHandle flyout, PanelHandle* panel);
    HostStatus (*Destroy)(PanelHandle panel);
    HostStatus (*GetPlatformWindow)(PanelHandle panel, PlatformWindow* window);
    HostStatus (*Show)(PanelHandle panel, std::int32_t show);
    HostStatus (*IsShown)(PanelHandle panel, std::int32_t* shown);
    HostStatus (*GetSize)(PanelHandle panel, PanelSize* size);
    HostStatus (*SetSize)(PanelHandle panel, const PanelSize* size);
    HostStatus (*SetFlyoutChoiceProc)(PanelHandle panel, FlyoutChoiceProc proc);
};

struct PanelFlyoutMenuSuite {
    HostStatus (*Create)(FlyoutMenuHandle* menu);
    HostStatus (*Destroy)(FlyoutMenuHandle menu);
    HostStatus (*AppendItem)(FlyoutMenuHandle menu, std::uint32_t itemId, const char* text);
    HostStatus (*AppendSeparator)(FlyoutMenuHandle menu, std::uint32_t itemId);
    HostStatus (*SetItemMark)(FlyoutMenuHandle menu, std::uint32_t itemId, std::int32_t checked);
};

struct ActionManagerSuite {
    HostStatus (*RegisterActionEvent)(const char* eventName, const char* displayName, std::int32_t version,
                                      std::int32_t flags, void* callback, PluginRef plugin, void* userData,
                                      ActionParamTypeHandle parameterType);
    HostStatus (*NewActionParamType)(ActionParamTypeHandle* type);
    HostStatus (*DeleteActionParamType)(ActionParamTypeHandle type);
    HostStatus (*NewActionParamValue)(ActionParamValueHandle* value);
    HostStatus (*DeleteActionParamValue)(ActionParamValueHandle value);
    // The host runs the event, sending "Do Action" to its owner, before this returns.
    HostStatus (*PlayActionEvent)(const char* eventName, std::int32_t dialogStatus, ActionParamValueHandle value);
};

struct UndoSuite {
    HostStatus (*SetUndoText)(const char* undoText, const char* redoText);
    HostStatus (*UndoChanges)(std::int32_t count);  // reverts the changes made so far in this step
    HostStatus (*ForgetRedos)();                    // the argument-less call before tool texts
};

struct AnnotatorSuite {
    HostStatus (*AddAnnotator)(PluginRef plugin, const char* name, AnnotatorHandle* annotator);
    HostStatus (*SetAnnotatorActive)(AnnotatorHandle annotator, std::int32_t active);
    HostStatus (*InvalAnnotationRect)(DocumentViewHandle view, const ViewRect* rect);
};

struct AnnotatorDrawerSuite {
    HostStatus (*SetColor)(AnnotatorDrawerHandle drawer, const UIColor* color);
    HostStatus (*SetLineWidth)(AnnotatorDrawerHandle drawer, double width);
    HostStatus (*SetLineDashed)(AnnotatorDrawerHandle drawer, std::int32_t dashed);
    HostStatus (*SetHighlightMode)(AnnotatorDrawerHandle drawer, std::int32_t on, std::int32_t exclusive);
    HostStatus (*DrawLine)(AnnotatorDrawerHandle drawer, const ViewPoint* start, const ViewPoint* end);
    HostStatus (*DrawRect)(AnnotatorDrawerHandle drawer, const ViewRect* rect, std::int32_t fill);
    HostStatus (*DrawEllipse)(AnnotatorDrawerHandle drawer, const ViewRect* rect, std::int32_t fill);
    HostStatus (*DrawPolygon)(AnnotatorDrawerHandle drawer, const ViewPoint* points, std::int32_t count,
                              std::int32_t fill);
    // count cubic curves from start; controls holds three points per curve (two handles, end point).
    HostStatus (*DrawBeziers)(AnnotatorDrawerHandle drawer, const ViewPoint* start, const ViewPoint* controls,
                              std::int32_t count, std::int32_t fill);
};

struct DocumentViewSuite {
    HostStatus (*GetNthDocumentView)(std::int32_t index, DocumentViewHandle* view);
    HostStatus (*GetDocumentViewZoom)(DocumentViewHandle view, double* zoom);
    HostStatus (*GetDocumentViewBounds)(DocumentViewHandle view, RealRect* bounds);
    HostStatus (*ArtworkPointToViewPoint)(DocumentViewHandle view, const RealPoint* artwork, ViewPoint* viewPoint);
    HostStatus (*ViewPointToArtworkPoint)(DocumentViewHandle view, const ViewPoint* viewPoint, RealPoint* artwork);
};

struct DocumentSuite {
    HostStatus (*GetDocumentMaxArtboardBounds)(RealRect* bounds);
};

struct UIThemeSuite {
    HostStatus (*IsDarkInterface)(std::int32_t* dark);
    HostStatus (*GetUIColor)(std::int32_t component, std::int32_t state, UIColor* color);
};

struct ArtSuite {
    HostStatus (*NewArt)(ArtType type, PaintOrder order, ArtHandle prep, ArtHandle* art);
    HostStatus (*DisposeArt)(ArtHandle art);
    HostStatus (*GetArtType)(ArtHandle art, std::int16_t* type);
    HostStatus (*GetArtParent)(ArtHandle art, ArtHandle* parent);
    HostStatus (*GetArtFirstChild)(ArtHandle art, ArtHandle* child);
    HostStatus (*GetArtSibling)(ArtHandle art, ArtHandle* sibling);
    HostStatus (*GetArtPriorSibling)(ArtHandle art, ArtHandle* sibling);
    HostStatus (*GetFirstArtOfLayer)(LayerHandle layer, ArtHandle* art);
    HostStatus (*GetLayerOfArt)(ArtHandle art, LayerHandle* layer);
    HostStatus (*GetArtUserAttr)(ArtHandle art, std::int32_t mask, std::int32_t* attributes);
    HostStatus (*SetArtUserAttr)(ArtHandle art, std::int32_t mask, std::int32_t attributes);
    HostStatus (*GetArtBounds)(ArtHandle art, RealRect* bounds);
    HostStatus (*GetArtTransformBounds)(ArtHandle art, const RealMatrix* matrix, std::int32_t flags,
                                        RealRect* bounds);
    HostStatus (*GetTextFrameKind)(ArtHandle art, std::int16_t* kind);
    // Area and path text: the path the text sits in or on (not a child of any group).
    HostStatus (*GetTextFramePath)(ArtHandle art, ArtHandle* path);
    HostStatus (*GetPointTextAnchor)(ArtHandle art, RealPoint* anchor);  // point text only
};

struct PathSuite {
    HostStatus (*GetPathSegmentCount)(ArtHandle path, std::int16_t* count);
    HostStatus (*GetPathSegments)(ArtHandle path, std::int16_t first, std::int16_t count, AnchorRecord* anchors);
    HostStatus (*SetPathSegments)(ArtHandle path, std::int16_t first, std::int16_t count,
                                  const AnchorRecord* anchors);
    HostStatus (*InsertPathSegments)(ArtHandle path, std::int16_t after, std::int16_t count,
                                     const AnchorRecord* anchors);
    HostStatus (*GetPathClosed)(ArtHandle path, std::int32_t* closed);
    HostStatus (*SetPathClosed)(ArtHandle path, std::int32_t closed);
    HostStatus (*GetPathSegmentSelected)(ArtHandle path, std::int16_t index, std::int16_t* selection);
    HostStatus (*SetPathSegmentSelected)(ArtHandle path, std::int16_t index, std::int16_t selection);
    HostStatus (*GetPathIsGuide)(ArtHandle path, std::int32_t* guide);
};

struct LayerSuite {
    HostStatus (*CountLayers)(std::int32_t* count);
    HostStatus (*GetNthLayer)(std::int32_t index, LayerHandle* layer);
    HostStatus (*GetCurrentLayer)(LayerHandle* layer);
    HostStatus (*SetCurrentLayer)(LayerHandle layer);
    HostStatus (*GetLayerByTitle)(const char* title, LayerHandle* layer);
    HostStatus (*GetLayerTitle)(LayerHandle layer, char* title, std::int32_t titleSize);
    HostStatus (*SetLayerTitle)(LayerHandle layer, const char* title);
    HostStatus (*GetLayerVisible)(LayerHandle layer, std::int32_t* visible);
    HostStatus (*GetLayerEditable)(LayerHandle layer, std::int32_t* editable);
    HostStatus (*InsertLayer)(LayerHandle base, PaintOrder order, LayerHandle* layer);
};

struct PathStyleSuite {
    HostStatus (*GetPathStyle)(ArtHandle art, PathStyle* style);
    HostStatus (*SetPathStyle)(ArtHandle art, const PathStyle* style);
};

struct SwatchListSuite {
    HostStatus (*GetDocumentSwatchList)(SwatchListHandle* list);
    HostStatus (*CountSwatches)(SwatchListHandle list, std::int32_t* count);
    HostStatus (*GetNthSwatch)(SwatchListHandle list, std::int32_t index, SwatchHandle* swatch);
    HostStatus (*GetSwatchName)(SwatchHandle swatch, char* name, std::int32_t nameSize);
    HostStatus (*GetSwatchColor)(SwatchHandle swatch, Color* color);
    // The first swatch of the list with this exact name whose colour is of this kind.
    HostStatus (*GetSwatchByNameAndType)(SwatchListHandle list, const char* name, ColorKind kind,
                                         SwatchHandle* swatch);
};

struct TagSuite {
    HostStatus (*SetTag)(ArtHandle art, const char* name, const char* type, const char* value);
    // value receives a zero-terminated copy of at most valueSize - 1 bytes.
    HostStatus (*GetTag)(ArtHandle art, const char* name, const char* type, char* value, std::int32_t valueSize);
    HostStatus (*RemoveTag)(ArtHandle art, const char* name);
};

struct ArtStyleSuite {
    // The art that stands for art's live style (a derived path), or art itself when it has none.
    HostStatus (*GetDerivedArt)(ArtHandle art, ArtHandle* derived);
    // The path that a derived art stands for.
    HostStatus (*GetSourceArtOfDerived)(ArtHandle derived, ArtHandle* source);
};

struct TransformArtSuite {
    HostStatus (*TransformArt)(ArtHandle art, const RealMatrix* matrix, double lineScale, std::int32_t flags);
};

// Pure arithmetic: no status.
struct RealMathSuite {
    std::int32_t (*PointEqual)(const RealPoint* a, const RealPoint* b);
    double (*PointLength)(const RealPoint* a, const RealPoint* b);
    double (*PointAngle)(const RealPoint* a, const RealPoint* b);
    void (*PointLengthAngle)(double length, double angle, RealPoint* result);
    void (*RectInset)(RealRect* rect, double h, double v);
    std::int32_t (*PointInRect)(const RealPoint* point, const RealRect* rect);
    void (*MatrixSetIdentity)(RealMatrix* matrix);
    void (*MatrixSetTranslate)(RealMatrix* matrix, double tx, double ty);
    void (*MatrixConcatTranslate)(RealMatrix* matrix, double tx, double ty);
    void (*MatrixConcatRotate)(RealMatrix* matrix, double angle);
    void (*MatrixConcat)(const RealMatrix* first, const RealMatrix* second, RealMatrix* result);
    std::int32_t (*MatrixInvert)(RealMatrix* matrix);  // non-zero when invertible
    void (*MatrixXformPoint)(const RealMatrix* matrix, const RealPoint* point, RealPoint* result);
};

struct RealBezierSuite {
    // Splits the cubic p[0..3] at parameter t into left[0..3] and right[0..3].
    void (*Divide)(const RealPoint* p, double t, RealPoint* left, RealPoint* right);
};

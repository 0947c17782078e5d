/* Identifiers of the plug-in's resources, shared by resources/kelvane.rc and the C++ code. */
#ifndef KELVANE_RESOURCE_IDS_H
#define KELVANE_RESOURCE_IDS_H

/* The plug-in property list ("PIPL") the host reads before loading the plug-in. */
#define KELVANE_PIPL_ID 16000

/* ---- PNG icons, resource type "PNGI" -------------------------------------------------------------
 * Each icon exists twice: the id itself, drawn in dark inks for a light background, and the id
 * + KELVANE_PNG_ON_DARK, drawn in light inks for a dark background. The panel paints a button in the
 * light interface with the id (pressed: the id + 100, on its dark fill) and in the dark interface
 * with the id + 100 (pressed: the id, on its light fill). */
#define KELVANE_PNG_ON_DARK 100

/* Panel command buttons, 53 by 53 pixels. */
#define KELVANE_PNG_POINTER 16279            /* Pointer, button 5 */
#define KELVANE_PNG_MEASURE 16280            /* measurement on/off, button 1 */
#define KELVANE_PNG_HANDLE_LINE 16281        /* Handle Line, button 6 */
#define KELVANE_PNG_EXTENSION_CROSSING 16282 /* Extension Crossing, button 41 */
#define KELVANE_PNG_ANGLE_BISECTOR 16283     /* Angle Bisector, button 42 */
#define KELVANE_PNG_POINTER_ON_DARK 16379
#define KELVANE_PNG_MEASURE_ON_DARK 16380
#define KELVANE_PNG_HANDLE_LINE_ON_DARK 16381
#define KELVANE_PNG_EXTENSION_CROSSING_ON_DARK 16382
#define KELVANE_PNG_ANGLE_BISECTOR_ON_DARK 16383

/* The distance-row buttons, 16 by 16 pixels. */
#define KELVANE_PNG_MINUS 16284 /* one row less, button 11 */
#define KELVANE_PNG_PLUS 16285  /* one row more, button 8 */
#define KELVANE_PNG_MINUS_ON_DARK 16384
#define KELVANE_PNG_PLUS_ON_DARK 16385

/* Toolbox icons of the two tools, 32 by 32 pixels: light interface, then dark interface. */
#define KELVANE_PNG_PATH_ADJUST_TOOL 16251
#define KELVANE_PNG_POINT_ADJUST_TOOL 16252
#define KELVANE_PNG_PATH_ADJUST_TOOL_ON_DARK 16351
#define KELVANE_PNG_POINT_ADJUST_TOOL_ON_DARK 16352

/* ---- Cursors of the adjust tools: 32 by 32, monochrome, hot spot (14, 14) ------------------------ */
#define KELVANE_CURSOR_ADJUST 16104           /* crosshair: the pointer is on no anchor */
#define KELVANE_CURSOR_ADJUST_ON_ANCHOR 16105 /* crosshair and a small square: snapped to an anchor */
#define KELVANE_CURSOR_HOT_SPOT_X 14
#define KELVANE_CURSOR_HOT_SPOT_Y 14

/* ---- String table: the values offered by the panel's distance, size and line-width lists ---------
 * Strings that begin with "-" are free slots and are skipped. */
#define KELVANE_STRING_LIST_VALUE_FIRST 16241
#define KELVANE_STRING_LIST_VALUE_LAST 16250

/* ---- Handle-line settings dialog: one layout in two languages ------------------------------------ */
#define KELVANE_DIALOG_SETTINGS_ENGLISH 16279
#define KELVANE_DIALOG_SETTINGS_JAPANESE 16179
/* Its controls besides OK (IDOK, 1) and Cancel (IDCANCEL, 2). */
#define KELVANE_SETTINGS_TITLE 3
#define KELVANE_SETTINGS_LAYER_LABEL 4
#define KELVANE_SETTINGS_LAYER 5 /* edit: layer name */
#define KELVANE_SETTINGS_WIDTH_LABEL 6
#define KELVANE_SETTINGS_WIDTH 7 /* edit: line width in points */
#define KELVANE_SETTINGS_WIDTH_UNIT 8
#define KELVANE_SETTINGS_COLOR_LABEL 9
#define KELVANE_SETTINGS_COLOR 10        /* drop-down list: swatch name */
#define KELVANE_SETTINGS_POLYLINE 11     /* check box */
#define KELVANE_SETTINGS_REVERSE_SIDE 12 /* check box */

/* ---- About box: caption the product name, one line of text and OK (IDOK) ------------------------- */
#define KELVANE_DIALOG_ABOUT 16200
/* Its line; the template holds the format "%s %s" (product name, version) that the code fills in. */
#define KELVANE_ABOUT_TEXT 1000

#ifndef RC_INVOKED
/* The resource type of the PNG icons, for FindResource. */
#define KELVANE_PNG_RESOURCE_TYPE "PNGI"
#endif

#endif

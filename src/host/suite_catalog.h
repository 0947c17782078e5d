// Every suite the plug-in acquires, in the order of acquisition: slot variable, function table type
// (void where the plug-in only keeps the suite for the host's wrapper layers), name and version.
#pragma once

#define KELVANE_SUITE_CATALOG(X) \
    X(sSPBlocks, void, "SP Blocks Suite", 2) \
    X(sSPAccess, SPAccessSuite, "SP Access Suite", 3) \
    X(sPlugin, PluginSuite, "AI Plugin Suite", 5) \
    X(sMdMemory, void, "AI MdMemory Suite", 3) \
    X(sRealMath, RealMathSuite, "AI Real Math Suite", 5) \
    X(sRealBezier, RealBezierSuite, "AI Real Bezier Suite", 4) \
    X(sArt, ArtSuite, "AI Art Suite", 21) \
    X(sUserInterfaceTheme, UIThemeSuite, "AI User Interface Theme Suite", 2) \
    X(sPanel, PanelSuite, "AI Panel Suite", 4) \
    X(sPanelFlyoutMenu, PanelFlyoutMenuSuite, "AI Panel Flyout Menu Suite", 2) \
    X(sLayer, LayerSuite, "AI Layer Suite", 13) \
    X(sUser, UserSuite, "AI User Suite", 21) \
    X(sRuntime, void, "AI Runtime Suite", 14) \
    X(sDataFilter, void, "AI Data Filter Suite", 11) \
    X(sPath, PathSuite, "AI Path Suite", 13) \
    X(sDocument, DocumentSuite, "AI Document Suite", 21) \
    X(sDocumentView, DocumentViewSuite, "AI Document View Suite", 16) \
    X(sUndo, UndoSuite, "AI Undo Suite", 12) \
    X(sPathStyle, PathStyleSuite, "AI Path Style Suite", 14) \
    X(sSwatchList, SwatchListSuite, "AI Swatch List Suite", 7) \
    X(sCustomColor, void, "AI Custom Color Suite", 8) \
    X(sTextFrame, void, "AI Text Frame Suite", 4) \
    X(sFont, void, "AI Font Suite", 6) \
    X(sForeignObject, void, "AI Foreign Object Suite", 6) \
    X(sAIATEPaint, void, "AIATE Paint Suite", 3) \
    X(sHardSoft, void, "AI Hard Soft Suite", 6) \
    X(sATEApplicationPaint, void, "ATE ApplicationPaint Suite", 1) \
    X(sATECompFont, void, "ATE CompFont Suite", 1) \
    X(sATECompFontClass, void, "ATE CompFontClass Suite", 1) \
    X(sATECompFontClassSet, void, "ATE CompFontClassSet Suite", 1) \
    X(sATECompFontComponent, void, "ATE CompFontComponent Suite", 1) \
    X(sATECompFontSet, void, "ATE CompFontSet Suite", 1) \
    X(sATEGlyphRun, void, "ATE GlyphRun Suite", 2) \
    X(sATEGlyphRunsIterator, void, "ATE GlyphRunsIterator Suite", 1) \
    X(sATEMojiKumi, void, "ATE MojiKumi Suite", 2) \
    X(sATEMojiKumiSet, void, "ATE MojiKumiSet Suite", 1) \
    X(sATETextFrame, void, "ATE TextFrame Suite", 102) \
    X(sATETextFramesIterator, void, "ATE TextFramesIterator Suite", 1) \
    X(sATETextLine, void, "ATE TextLine Suite", 2) \
    X(sATETextLinesIterator, void, "ATE TextLinesIterator Suite", 1) \
    X(sATETextResources, void, "ATE TextResources Suite", 1) \
    X(sATEApplicationTextResources, void, "ATE ApplicationTextResources Suite", 2) \
    X(sATEDocumentTextResources, void, "ATE DocumentTextResources Suite", 102) \
    X(sATEArrayApplicationPaintRef, void, "ATE ArrayApplicationPaintRef Suite", 1) \
    X(sATEArrayReal, void, "ATE ArrayReal Suite", 1) \
    X(sATEArrayBool, void, "ATE ArrayBool Suite", 1) \
    X(sATEArrayInteger, void, "ATE ArrayInteger Suite", 1) \
    X(sATEArrayLineCapType, void, "ATE ArrayLineCapType Suite", 1) \
    X(sATEArrayFigureStyle, void, "ATE ArrayFigureStyle Suite", 1) \
    X(sATEArrayLineJoinType, void, "ATE ArrayLineJoinType Suite", 1) \
    X(sATEArrayWariChuJustification, void, "ATE ArrayWariChuJustification Suite", 1) \
    X(sATEArrayStyleRunAlignment, void, "ATE ArrayStyleRunAlignment Suite", 1) \
    X(sATEArrayAutoKernType, void, "ATE ArrayAutoKernType Suite", 1) \
    X(sATEArrayBaselineDirection, void, "ATE ArrayBaselineDirection Suite", 1) \
    X(sATEArrayLanguage, void, "ATE ArrayLanguage Suite", 1) \
    X(sATEArrayFontCapsOption, void, "ATE ArrayFontCapsOption Suite", 1) \
    X(sATEArrayFontBaselineOption, void, "ATE ArrayFontBaselineOption Suite", 1) \
    X(sATEArrayParagraphJustification, void, "ATE ArrayParagraphJustification Suite", 1) \
    X(sATEArrayArrayReal, void, "ATE ArrayArrayReal Suite", 1) \
    X(sATEArrayBurasagariType, void, "ATE ArrayBurasagariType Suite", 1) \
    X(sATEArrayPreferredKinsokuOrder, void, "ATE ArrayPreferredKinsokuOrder Suite", 1) \
    X(sATEArrayKinsokuRef, void, "ATE ArrayKinsokuRef Suite", 1) \
    X(sATEArrayMojiKumiRef, void, "ATE ArrayMojiKumiRef Suite", 1) \
    X(sATEArrayMojiKumiSetRef, void, "ATE ArrayMojiKumiSetRef Suite", 1) \
    X(sATEArrayTabStopsRef, void, "ATE ArrayTabStopsRef Suite", 1) \
    X(sATEArrayLeadingType, void, "ATE ArrayLeadingType Suite", 1) \
    X(sATEArrayFontRef, void, "ATE ArrayFontRef Suite", 1) \
    X(sATEArrayGlyphID, void, "ATE ArrayGlyphID Suite", 1) \
    X(sATEArrayRealPoint, void, "ATE ArrayRealPoint Suite", 1) \
    X(sATEArrayRealMatrix, void, "ATE ArrayRealMatrix Suite", 1) \
    X(sATECharFeatures, void, "ATE CharFeatures Suite", 103) \
    X(sATECharInspector, void, "ATE CharInspector Suite", 103) \
    X(sATECharStyle, void, "ATE CharStyle Suite", 1) \
    X(sATECharStyles, void, "ATE CharStyles Suite", 1) \
    X(sATECharStylesIterator, void, "ATE CharStylesIterator Suite", 1) \
    X(sATEFind, void, "ATE Find Suite", 101) \
    X(sATEFont, void, "ATE Font Suite", 1) \
    X(sATEGlyph, void, "ATE Glyph Suite", 1) \
    X(sATEGlyphs, void, "ATE Glyphs Suite", 1) \
    X(sATEGlyphsIterator, void, "ATE GlyphsIterator Suite", 1) \
    X(sATEKinsoku, void, "ATE Kinsoku Suite", 1) \
    X(sATEKinsokuSet, void, "ATE KinsokuSet Suite", 1) \
    X(sATEParaFeatures, void, "ATE ParaFeatures Suite", 102) \
    X(sATEParagraph, void, "ATE Paragraph Suite", 1) \
    X(sATEParagraphsIterator, void, "ATE ParagraphsIterator Suite", 1) \
    X(sATEParaInspector, void, "ATE ParaInspector Suite", 102) \
    X(sATEParaStyle, void, "ATE ParaStyle Suite", 1) \
    X(sATEParaStyles, void, "ATE ParaStyles Suite", 1) \
    X(sATEParaStylesIterator, void, "ATE ParaStylesIterator Suite", 1) \
    X(sATESpell, void, "ATE Spell Suite", 102) \
    X(sATEStories, void, "ATE Stories Suite", 1) \
    X(sATEStory, void, "ATE Story Suite", 1) \
    X(sATETabStop, void, "ATE TabStop Suite", 1) \
    X(sATETabStops, void, "ATE TabStops Suite", 1) \
    X(sATETabStopsIterator, void, "ATE TabStopsIterator Suite", 1) \
    X(sATETextRange, void, "ATE TextRange Suite", 2) \
    X(sATETextRanges, void, "ATE TextRanges Suite", 2) \
    X(sATETextRangesIterator, void, "ATE TextRangesIterator Suite", 1) \
    X(sATETextRunsIterator, void, "ATE TextRunsIterator Suite", 1) \
    X(sATEWordsIterator, void, "ATE WordsIterator Suite", 1) \
    X(sContext, ContextSuite, "AI Context Suite", 10) \
    X(sPreference, void, "AI Preference Suite", 7) \
    X(sPathfinder, void, "AI Pathfinder Suite", 7) \
    X(sFileFormat, void, "AI File Format Suite", 16) \
    X(sPluginGroup, void, "AI Plugin Group Suite", 6) \
    X(sTransformArt, TransformArtSuite, "AI Transform Art Suite", 3) \
    X(sTag, TagSuite, "AI Tag Suite", 4) \
    X(sMask, void, "AI Mask Suite", 5) \
    X(sBlendStyle, void, "AI Blend Style Suite", 5) \
    X(sDictionary, void, "AI Dictionary Suite", 10) \
    X(sDictionaryIterator, void, "AI Dictionary Iterator Suite", 5) \
    X(sArtStyle, ArtStyleSuite, "AI Art Style Suite", 8) \
    X(sSymbol, void, "AI Symbol Suite", 8) \
    X(sMenu, MenuSuite, "AI Menu Suite", 11) \
    X(sTool, ToolSuite, "AI Tool Suite", 19) \
    X(sNotifier, NotifierSuite, "AI Notifier Suite", 4) \
    X(sActionManager, ActionManagerSuite, "AI Action Manager Suite", 5) \
    X(sAnnotator, AnnotatorSuite, "AI Annotator Suite", 6) \
    X(sAnnotatorDrawer, AnnotatorDrawerSuite, "AI Annotator Drawer Suite", 9) \
    X(sUnicodeString, void, "AI Unicode String Suite", 10)

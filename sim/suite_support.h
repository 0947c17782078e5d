// What the suite implementations share: the function table of each suite type, the gate every
// status-returning operation passes first, and the current host.
#pragma once

#include "host.h"
#include "host/suites.h"

namespace sim {

// The table the basic suite hands out for a catalog row of this type. Each suite file defines it
// for its own types; the void rows get an opaque placeholder.
template <typename Table>
const Table* SuiteTable();
template <> const void* SuiteTable<void>();
template <> const SPAccessSuite* SuiteTable<SPAccessSuite>();
template <> const PluginSuite* SuiteTable<PluginSuite>();
template <> const ContextSuite* SuiteTable<ContextSuite>();
template <> const UserSuite* SuiteTable<UserSuite>();
template <> const NotifierSuite* SuiteTable<NotifierSuite>();
template <> const MenuSuite* SuiteTable<MenuSuite>();
template <> const ToolSuite* SuiteTable<ToolSuite>();
template <> const PanelSuite* SuiteTable<PanelSuite>();
template <> const PanelFlyoutMenuSuite* SuiteTable<PanelFlyoutMenuSuite>();
template <> const ActionManagerSuite* SuiteTable<ActionManagerSuite>();
template <> const UndoSuite* SuiteTable<UndoSuite>();
template <> const AnnotatorSuite* SuiteTable<AnnotatorSuite>();
template <> const AnnotatorDrawerSuite* SuiteTable<AnnotatorDrawerSuite>();
template <> const DocumentViewSuite* SuiteTable<DocumentViewSuite>();
template <> const DocumentSuite* SuiteTable<DocumentSuite>();
template <> const UIThemeSuite* SuiteTable<UIThemeSuite>();
template <> const ArtSuite* SuiteTable<ArtSuite>();
template <> const PathSuite* SuiteTable<PathSuite>();
template <> const LayerSuite* SuiteTable<LayerSuite>();
template <> const PathStyleSuite* SuiteTable<PathStyleSuite>();
template <> const SwatchListSuite* SuiteTable<SwatchListSuite>();
template <> const TagSuite* SuiteTable<TagSuite>();
template <> const ArtStyleSuite* SuiteTable<ArtStyleSuite>();
template <> const TransformArtSuite* SuiteTable<TransformArtSuite>();
template <> const RealMathSuite* SuiteTable<RealMathSuite>();
template <> const RealBezierSuite* SuiteTable<RealBezierSuite>();

// The basic suite's function table (basic_suite.cpp).
SPBasicSuite MakeBasicSuite();

inline Host& CurrentHost() { return Host::Current(); }

// Counts the call; a non-zero answer is the status the operation returns without running.
inline HostStatus Gate(const char* suite, const char* operation) {
    return Host::Current().Gate().Pass(suite, operation);
}

// Copies text into a buffer of size bytes, cutting it to size - 1 bytes and zero-terminating it.
inline void CopyText(const std::string& text, char* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) return;
    const std::size_t length = text.size() < static_cast<std::size_t>(size - 1) ? text.size() : size - 1;
    text.copy(buffer, length);
    buffer[length] = '\0';
}

}  // namespace sim

// The opaque handles the host gives the plug-in are the addresses of its own records. These turn
// records into handles (for tests that send messages naming them) and back (for the suites, which
// only accept a handle of a record that still exists).
#pragma once

#include <memory>
#include <vector>

#include "app_state.h"

namespace sim {

template <typename Handle, typename Record>
Handle HandleOf(const Record* record) {
    return reinterpret_cast<Handle>(const_cast<Record*>(record));
}

inline ToolHandle HandleOf(const Tool* tool) { return HandleOf<ToolHandle>(tool); }
inline NotifierHandle HandleOf(const Notifier* notifier) { return HandleOf<NotifierHandle>(notifier); }
inline MenuItemHandle HandleOf(const MenuItem* item) { return HandleOf<MenuItemHandle>(item); }
inline MenuGroupHandle HandleOf(const MenuGroup* group) { return HandleOf<MenuGroupHandle>(group); }
inline PanelHandle HandleOf(const Panel* panel) { return HandleOf<PanelHandle>(panel); }
inline FlyoutMenuHandle HandleOf(const FlyoutMenu* menu) { return HandleOf<FlyoutMenuHandle>(menu); }
inline AnnotatorHandle HandleOf(const Annotator* annotator) { return HandleOf<AnnotatorHandle>(annotator); }
inline ActionParamTypeHandle HandleOf(const ActionParamType* type) { return HandleOf<ActionParamTypeHandle>(type); }
inline ActionParamValueHandle HandleOf(const ActionParamValue* value) {
    return HandleOf<ActionParamValueHandle>(value);
}

// The record behind handle among records, or null when the handle names none of them.
template <typename Record, typename Handle>
Record* FindRecord(const std::vector<std::unique_ptr<Record>>& records, Handle handle) {
    for (const std::unique_ptr<Record>& record : records) {
        if (HandleOf<Handle>(record.get()) == handle) return record.get();
    }
    return nullptr;
}

}  // namespace sim

#include "app_state.h"

namespace sim {

namespace {

// The latest registration wins: a plug-in started again in the same host registers everything anew.
template <typename Record, typename Match>
const Record* FindLatest(const std::vector<std::unique_ptr<Record>>& records, Match match) {
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (match(**record)) return record->get();
    }
    return nullptr;
}

template <typename Record>
std::size_t CountAlive(const std::vector<std::unique_ptr<Record>>& records) {
    std::size_t count = 0;
    for (const std::unique_ptr<Record>& record : records) count += record->alive ? 1 : 0;
    return count;
}

}  // namespace

const Tool* AppState::FindTool(const std::string& name) const {
    return FindLatest(tools, [&](const Tool& tool) { return tool.name == name; });
}

const Notifier* AppState::FindNotifier(const std::string& type) const {
    return FindLatest(notifiers, [&](const Notifier& notifier) { return notifier.type == type; });
}

const MenuItem* AppState::FindMenuItem(const std::string& key) const {
    return FindLatest(menuItems, [&](const MenuItem& item) { return item.key == key; });
}

const MenuGroup* AppState::FindMenuGroup(const std::string& name) const {
    return FindLatest(menuGroups, [&](const MenuGroup& group) { return group.name == name; });
}

const Panel* AppState::FindPanel(const std::string& id) const {
    return FindLatest(panels, [&](const Panel& panel) { return panel.alive && panel.id == id; });
}

const ActionEvent* AppState::FindActionEvent(const std::string& name) const {
    return FindLatest(actionEvents, [&](const ActionEvent& event) { return event.name == name; });
}

const Annotator* AppState::FindAnnotator(const std::string& name) const {
    return FindLatest(annotators, [&](const Annotator& annotator) { return annotator.name == name; });
}

std::size_t AppState::LiveActionParamTypes() const { return CountAlive(actionParamTypes); }

std::size_t AppState::LiveActionParamValues() const { return CountAlive(actionParamValues); }

void AppState::AddMenuGroup(const std::string& name) {
    auto group = std::make_unique<MenuGroup>();
    group->name = name;
    menuGroups.push_back(std::move(group));
}

UIColor AppState::ThemeColor(std::int32_t component, std::int32_t state) const {
    const auto found = uiColors.find({component, state});
    if (found != uiColors.end()) return found->second;
    const double grey = darkInterface ? 83.0 / 255.0 : 240.0 / 255.0;
    return UIColor{1.0, grey, grey, grey};
}

}  // namespace sim

#include "actions/Action.h"

namespace actions {
namespace {

std::optional<int> offsetIn(Action action, Action first, int count) {
    const int offset = int(action) - int(first);
    if (offset < 0 || offset >= count) return std::nullopt;
    return offset;
}

} // namespace

std::optional<int> switchToTabIndex(Action action) {
    return offsetIn(action, Action::switchToTab1, 9);
}

std::optional<int> renameTabIndex(Action action) {
    return offsetIn(action, Action::renameTab1, 9);
}

std::optional<int> shellIndex(Action action) {
    return offsetIn(action, Action::switchShell1, 3);
}

Action switchToTab(int index) {
    return Action(int(Action::switchToTab1) + index);
}

Action renameTab(int index) {
    return Action(int(Action::renameTab1) + index);
}

Action switchShell(int index) {
    return Action(int(Action::switchShell1) + index);
}

const char* name(Action action) {
    switch (action) {
#define DUNMAR_ACTION_NAME(name)                                                                             \
    case Action::name:                                                                                       \
        return #name;
        DUNMAR_ACTIONS(DUNMAR_ACTION_NAME)
#undef DUNMAR_ACTION_NAME
    }
    return "?";
}

} // namespace actions

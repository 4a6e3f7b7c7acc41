#include "app/tabs/TabArithmetic.h"

#include <algorithm>

namespace tabmath {

int activeAfterClose(int active, int closed, int remainingCount) {
    if (remainingCount <= 0) return 0;
    if (active >= remainingCount) return remainingCount - 1;
    if (closed < active) return active - 1;
    if (closed == active) return std::min(closed, remainingCount - 1);
    return active;
}

int activeAfterMove(int active, int from, int to) {
    if (active == from) return to;
    if (from < active && active <= to) return active - 1;
    if (to <= active && active < from) return active + 1;
    return active;
}

std::optional<int> previousTab(int active, int count) {
    if (count <= 0) return std::nullopt;
    return active < 1 ? count - 1 : std::min(active, count) - 1;
}

std::optional<int> nextTab(int active, int count) {
    if (count <= 0) return std::nullopt;
    return active >= 0 && active < count - 1 ? active + 1 : 0;
}

bool canSwitchTo(int index, int active, int count) {
    return index >= 0 && index < count && index != active;
}

bool canClose(int index, int count) {
    return count >= 2 && index >= 0 && index < count;
}

CloseCommand closeCurrentTabCommand(int count) {
    return count >= 2 ? CloseCommand::closeActiveTab : CloseCommand::hideWindow;
}

bool canMove(int from, int to, int count) {
    return from != to && from >= 0 && to >= 0 && from < count && to < count;
}

} // namespace tabmath

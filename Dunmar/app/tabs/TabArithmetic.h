#pragma once

#include <optional>

// The index arithmetic of the tab strip, apart from any view: which tab is on show after a close
// or a move, where the previous and next commands go, and which requests are refused.
namespace tabmath {

// The active index after tab `closed` was removed, `remainingCount` tabs being left. The tab on
// show stays on show when another one closes; when the active tab itself closes, the one that
// took its place does (the new last one when it was the last). 0 when no tab is left.
int activeAfterClose(int active, int closed, int remainingCount);

// The active index after the tab at `from` moved to `to`: the same tab stays on show.
int activeAfterMove(int active, int from, int to);

// The previous and next tab, wrapping around at both ends; none without tabs.
std::optional<int> previousTab(int active, int count);
std::optional<int> nextTab(int active, int count);

// Whether a switch to `index` does anything: the index names a tab other than the one on show.
bool canSwitchTo(int index, int active, int count);

// Whether a tab may be closed: it exists and is not the last one left.
bool canClose(int index, int count);

// What the close command does: closes the tab on show, or hides the window when it is the last.
enum class CloseCommand { closeActiveTab, hideWindow };
CloseCommand closeCurrentTabCommand(int count);

// Whether a move from `from` to `to` does anything.
bool canMove(int from, int to, int count);

} // namespace tabmath

#pragma once

#include "chrome/EditorInputMode.h"

#include <QString>

// What kind of tab an entry is.
enum class TabType { terminal, editor };

// Where a tab's git panel sits.
enum class GitPanelPosition { none, right, bottom };

// The names used in the saved tabs: "none", "right", "bottom" and "normal", "nano", "vim".
QString gitPanelPositionName(GitPanelPosition position);
QString editorInputModeName(EditorInputMode mode);

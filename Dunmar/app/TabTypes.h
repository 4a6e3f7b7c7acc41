#pragma once

#include "chrome/EditorInputMode.h"

#include <QPointer>
#include <QString>
#include <QWidget>

// What kind of tab an entry is.
enum class TabType { terminal, editor };

// Where a tab's git panel sits.
enum class GitPanelPosition { none, right, bottom };

// The views a tab holds, by the part they play. The tab list only keeps and moves them, never
// calls into them, so it holds them through these names; the controller that builds the views
// names the concrete classes here.
using TabTerminalView = QWidget;
using TabSplitContainer = QWidget;
using TabEditorView = QWidget;
using TabGitPanelView = QWidget;
using TabGitDividerView = QWidget;

// The names used in the saved tabs: "none", "right", "bottom" and "normal", "nano", "vim".
QString gitPanelPositionName(GitPanelPosition position);
QString editorInputModeName(EditorInputMode mode);

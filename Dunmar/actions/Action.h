#pragma once

#include <optional>

// Every command a key, a menu item, a footer badge or a context-menu item can ask for. A pane
// performs the ones that belong to it (the clipboard, the line editor's jumps) and reports the
// others to its host; the controller performs the rest.
#define DUNMAR_ACTIONS(X)                                                                                    \
    /* Tabs */                                                                                               \
    X(newTab)                                                                                                \
    X(newEditorTab)                                                                                          \
    X(closeTab)                                                                                              \
    X(previousTab)                                                                                           \
    X(nextTab)                                                                                               \
    X(switchToTab1)                                                                                          \
    X(switchToTab2)                                                                                          \
    X(switchToTab3)                                                                                          \
    X(switchToTab4)                                                                                          \
    X(switchToTab5)                                                                                          \
    X(switchToTab6)                                                                                          \
    X(switchToTab7)                                                                                          \
    X(switchToTab8)                                                                                          \
    X(switchToTab9)                                                                                          \
    X(renameTab1)                                                                                            \
    X(renameTab2)                                                                                            \
    X(renameTab3)                                                                                            \
    X(renameTab4)                                                                                            \
    X(renameTab5)                                                                                            \
    X(renameTab6)                                                                                            \
    X(renameTab7)                                                                                            \
    X(renameTab8)                                                                                            \
    X(renameTab9)                                                                                            \
    /* The shell of the pane */                                                                              \
    X(switchShell1)                                                                                          \
    X(switchShell2)                                                                                          \
    X(switchShell3)                                                                                          \
    /* Splits */                                                                                             \
    X(splitSideBySide)                                                                                       \
    X(splitStacked)                                                                                          \
    X(switchSplitPane)                                                                                       \
    /* Editing: the focused pane or editor */                                                                \
    X(copy)                                                                                                  \
    X(paste)                                                                                                 \
    X(cut)                                                                                                   \
    X(selectAll)                                                                                             \
    X(undo)                                                                                                  \
    X(redo)                                                                                                  \
    X(find)                                                                                                  \
    X(clearScrollback)                                                                                       \
    X(lineStart)                                                                                             \
    X(lineEnd)                                                                                               \
    X(killLine)                                                                                              \
    /* Editor tabs */                                                                                        \
    X(openFile)                                                                                              \
    X(save)                                                                                                  \
    X(saveAs)                                                                                                \
    X(togglePreview)                                                                                         \
    X(print)                                                                                                 \
    X(formatDocument)                                                                                        \
    /* Panels */                                                                                             \
    X(toggleSettings)                                                                                        \
    X(toggleCommandPalette)                                                                                  \
    X(toggleGitPanel)                                                                                        \
    X(toggleWebPicker)                                                                                       \
    X(toggleSSHManager)                                                                                      \
    /* The window */                                                                                         \
    X(toggleWindow)                                                                                          \
    X(toggleDetach)                                                                                          \
    X(resetWindowSize)                                                                                       \
    X(snapLeft)                                                                                              \
    X(snapRight)                                                                                             \
    X(toggleFullscreen)                                                                                      \
    /* The program */                                                                                        \
    X(about)                                                                                                 \
    X(quit)

enum class Action {
#define DUNMAR_ACTION_ENUMERATOR(name) name,
    DUNMAR_ACTIONS(DUNMAR_ACTION_ENUMERATOR)
#undef DUNMAR_ACTION_ENUMERATOR
};

namespace actions {

// The numbered actions: the tab, rename or shell `index` (0-based), and back.
std::optional<int> switchToTabIndex(Action action);
std::optional<int> renameTabIndex(Action action);
std::optional<int> shellIndex(Action action);
Action switchToTab(int index); // index 0 to 8
Action renameTab(int index);   // index 0 to 8
Action switchShell(int index); // index 0 to 2

// The action's name as written in code ("newTab"), for test output and diagnostics.
const char* name(Action action);

} // namespace actions

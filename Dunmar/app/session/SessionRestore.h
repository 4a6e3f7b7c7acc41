#pragma once

#include "app/tabs/TabState.h"
#include "app/tabs/TabTypes.h"

#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class Defaults;

// Turning the saved tabs back into tabs. The stored values are read into a plan first, with every
// rule of what counts and what falls back applied; the controller then only carries the plan out.
namespace session {

// The second pane to open in a restored tab.
struct RestoreSplit {
    bool vertical = true;
    QString shell;              // the stored one, else the primary pane's
    std::optional<QString> cwd; // the stored one unchecked, else the primary pane's checked folder
    std::optional<QString> tabId;
    std::optional<double> ratio; // only a stored ratio strictly between 0.1 and 0.9
};

// The git panel of a restored tab (never for position "none").
struct RestoreGit {
    GitPanelPosition position = GitPanelPosition::right; // "bottom" is bottom, any other text right
    std::optional<double> ratio, ratioV, ratioH;
    QString refreshDirectory; // the stored folder text as it was, "" when none
};

struct RestoreTab {
    TabType type = TabType::terminal;
    // Terminal tabs.
    QString shell;              // the stored one, else "/bin/zsh"
    std::optional<QString> cwd; // dropped when "/", empty, missing or not a folder
    std::optional<double> colorHue;
    std::optional<QString> tabId;
    std::optional<RestoreGit> git;
    std::optional<RestoreSplit> split;
    // Editor tabs.
    std::optional<QString> editorPath;
    std::optional<EditorInputMode> editorMode; // none: the tab keeps `normal`
    // Both: the user's name, which wins over an editor's file name.
    std::optional<QString> customName;
};

struct RestorePlan {
    std::vector<RestoreTab> tabs;              // at least one, unless files were skipped
    std::optional<int> activeTab;              // the tab to show at the end; none keeps the last one
    std::optional<QRectF> windowFrame;         // a stored frame of at least 320 x 220
    std::optional<QStringList> sidebarOrder;   // replaces the controller's order
    QMap<QString, double> sidebarPanelHeights; // merged into the controller's heights
    bool webPickerOpen = false;
    bool sshManagerOpen = false;
    int skippedEntries = 0; // list elements that were not entries at all
    // Editor tabs left out because their file is a FIFO, a device or a socket (it would hang the
    // start); the user is told which.
    QStringList skippedFiles;
};

// The plan for the stored values; none when there is nothing to restore (no list, not a list, or
// no usable entry in it and none skipped). A list element that is not a dictionary is skipped and the others
// are restored, and the stored active index is carried over to the restored positions. `isDirectory` decides
// which stored folders still exist.
std::optional<RestorePlan> planRestore(const QVariant& sessionTabs, const QVariant& sessionActiveTab,
                                       const QVariant& windowFrame, const QVariant& sidebarOrder,
                                       const QVariant& sidebarPanelHeights, const QVariant& webPickerOpen,
                                       const QVariant& sshManagerOpen,
                                       const std::function<bool(const QString&)>& isDirectory);

// The same, read from the store.
std::optional<RestorePlan> planRestore(const Defaults& defaults,
                                       const std::function<bool(const QString&)>& isDirectory);

bool isExistingDirectory(const QString& path);

// Whether a stored window frame may be used: the first screen whose visible area overlaps it by
// at least 100 x 44 takes it; none does: the window keeps its frame.
bool frameFitsOnScreens(const QRectF& frame, const QList<QRectF>& visibleFrames);

// What reopening an editor entry's file gave.
struct EditorRestore {
    std::optional<QString> text; // the file's content when it was read
    QUrl url;                    // the file, when it was read
    std::optional<QString> customName;
    std::optional<QString> keptPath; // the path of a file that could not be read, kept for the next save
    EditorInputMode mode = EditorInputMode::normal;
};

// Reads the entry's file whole as UTF-8; a file that cannot be read (missing, unreadable, not
// UTF-8, over the editor's size limit) leaves the tab empty but keeps its path. The file's name becomes the
// tab's name unless the entry has a name of its own.
EditorRestore restoreEditor(const RestoreTab& tab,
                            const std::function<std::optional<QString>(const QString&)>& readFile);
std::optional<QString> readUtf8File(const QString& path);

// Writes what was reopened into the editor tab's state.
void applyEditorRestore(TabState& tab, const EditorRestore& restored);

} // namespace session

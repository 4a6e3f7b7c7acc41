#pragma once

#include "app/tabs/TabTypes.h"

#include <QMap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

class Defaults;
class TabList;
struct TabState;

// The open tabs as they are kept across starts, in the defaults store.
namespace session {

// The keys of the store.
inline const QString kSessionTabs = QStringLiteral("sessionTabs");
inline const QString kSessionActiveTab = QStringLiteral("sessionActiveTab");
inline const QString kWindowFrame = QStringLiteral("windowFrame");
inline const QString kWebPickerOpen = QStringLiteral("webPickerOpen");
inline const QString kSSHManagerOpen = QStringLiteral("sshManagerOpen");
inline const QString kSidebarOrder = QStringLiteral("sidebarOrder");
inline const QString kSidebarPanelHeights = QStringLiteral("sidebarPanelHeights");

// One shell pane as it runs now.
struct PaneSnapshot {
    QString shell; // the program running in the pane
    QString cwd;   // its current folder (never empty: cwdForPid answers with ours when unreadable)
    QString tabId; // names the pane's history file
};

// The second pane of a split tab.
struct SplitSnapshot {
    bool vertical = true; // side by side
    double ratio = 0.5;   // the first pane's share
    PaneSnapshot pane;
};

// What the controller reads off a terminal tab's live panes.
struct TerminalSnapshot {
    PaneSnapshot primary;
    std::optional<SplitSnapshot> split; // when the container is split and its second pane exists
};

// One saved tab entry.
struct SavedTab {
    TabType type = TabType::terminal;
    // Terminal tabs.
    PaneSnapshot primary;
    std::optional<double> colorHue;
    std::optional<SplitSnapshot> split;
    GitPanelPosition gitPosition = GitPanelPosition::none;
    double gitRatio = 0.3, gitRatioV = 0.35, gitRatioH = 0.3;
    // Editor tabs.
    std::optional<QString> editorPath; // the file's path (not its URL text)
    EditorInputMode editorMode = EditorInputMode::normal;
    // Both.
    std::optional<QString> customName;
};

// Everything a save writes.
struct SessionSnapshot {
    std::vector<SavedTab> tabs;
    int activeTab = 0;
    std::optional<QRectF> windowFrame; // none while there is no window: the stored frame stays
    bool webPickerOpen = false;
    bool sshManagerOpen = false;
    QStringList sidebarOrder;
    QMap<QString, double> sidebarPanelHeights;
};

// The entries of the tabs in order. A tab with a primary pane is a terminal entry (its panes read
// through `terminalOf`, which may answer none for a pane that cannot be read); a tab without one is
// an editor entry when it is an editor tab, and is left out otherwise.
std::vector<SavedTab>
savedTabs(const TabList& tabs,
          const std::function<std::optional<TerminalSnapshot>(const TabState&)>& terminalOf);

// One entry as a dictionary: a terminal entry has no "type" key; an editor entry carries no split,
// colour, tab identifier or git keys.
QVariantMap encodeTab(const SavedTab& tab);
QVariantList encodeTabs(const std::vector<SavedTab>& tabs);

// Writes every key of the snapshot.
void writeSession(Defaults& defaults, const SessionSnapshot& snapshot);

// A rectangle in the text form "{{x, y}, {w, h}}", and back. Reading takes the first four numbers
// and fails when there are fewer.
QString rectToString(const QRectF& rect);
std::optional<QRectF> rectFromString(const QString& text);

} // namespace session

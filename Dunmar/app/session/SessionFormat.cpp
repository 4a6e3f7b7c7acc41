#include "app/session/SessionFormat.h"

#include "app/tabs/TabList.h"
#include "platform/Defaults.h"

#include <QRegularExpression>

namespace session {

std::vector<SavedTab>
savedTabs(const TabList& tabs,
          const std::function<std::optional<TerminalSnapshot>(const TabState&)>& terminalOf) {
    std::vector<SavedTab> out;
    for (const TabState& tab : tabs.tabs()) {
        SavedTab saved;
        saved.customName = tab.customName;
        if (tab.termView) {
            const std::optional<TerminalSnapshot> live = terminalOf ? terminalOf(tab) : std::nullopt;
            if (!live) continue;
            saved.type = TabType::terminal;
            saved.primary = live->primary;
            saved.split = live->split;
            saved.colorHue = tabColorHue(tab.color);
            saved.gitPosition = tab.gitPosition;
            saved.gitRatio = tab.gitRatio;
            saved.gitRatioV = tab.gitRatioV;
            saved.gitRatioH = tab.gitRatioH;
        } else if (tab.type == TabType::editor) {
            saved.type = TabType::editor;
            if (tab.editorURL.isValid() && !tab.editorURL.isEmpty())
                saved.editorPath =
                    tab.editorURL.isLocalFile() ? tab.editorURL.toLocalFile() : tab.editorURL.path();
            else
                saved.editorPath = tab.keptEditorPath;
            saved.editorMode = tab.editorMode;
        } else {
            continue;
        }
        out.push_back(std::move(saved));
    }
    return out;
}

QVariantMap encodeTab(const SavedTab& tab) {
    QVariantMap entry;
    if (tab.type == TabType::editor) {
        entry.insert("type", QStringLiteral("editor"));
        if (tab.editorPath) entry.insert("editorURL", *tab.editorPath);
        entry.insert("editorMode", editorInputModeName(tab.editorMode));
        if (tab.customName) entry.insert("customName", *tab.customName);
        return entry;
    }
    entry.insert("shell", tab.primary.shell);
    entry.insert("cwd", tab.primary.cwd);
    entry.insert("tabId", tab.primary.tabId);
    if (tab.colorHue) entry.insert("colorHue", *tab.colorHue);
    if (tab.customName) entry.insert("customName", *tab.customName);
    if (tab.split) {
        entry.insert("splitVertical", tab.split->vertical);
        entry.insert("splitRatio", tab.split->ratio);
        entry.insert("splitShell", tab.split->pane.shell);
        entry.insert("splitCwd", tab.split->pane.cwd);
        entry.insert("splitTabId", tab.split->pane.tabId);
    }
    entry.insert("gitPosition", gitPanelPositionName(tab.gitPosition));
    entry.insert("gitRatio", tab.gitRatio);
    entry.insert("gitRatioV", tab.gitRatioV);
    entry.insert("gitRatioH", tab.gitRatioH);
    return entry;
}

QVariantList encodeTabs(const std::vector<SavedTab>& tabs) {
    QVariantList list;
    for (const SavedTab& tab : tabs) list.append(encodeTab(tab));
    return list;
}

void writeSession(Defaults& defaults, const SessionSnapshot& snapshot) {
    defaults.setValue(kSessionTabs, encodeTabs(snapshot.tabs));
    defaults.setValue(kSessionActiveTab, snapshot.activeTab);
    if (snapshot.windowFrame) defaults.setValue(kWindowFrame, rectToString(*snapshot.windowFrame));
    defaults.setValue(kWebPickerOpen, snapshot.webPickerOpen);
    defaults.setValue(kSSHManagerOpen, snapshot.sshManagerOpen);
    defaults.setValue(kSidebarOrder, QVariant(snapshot.sidebarOrder));
    QVariantMap heights;
    for (auto it = snapshot.sidebarPanelHeights.begin(); it != snapshot.sidebarPanelHeights.end(); ++it)
        heights.insert(it.key(), it.value());
    defaults.setValue(kSidebarPanelHeights, heights);
}

QString rectToString(const QRectF& rect) {
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(rect.x(), 0, 'g', 17)
        .arg(rect.y(), 0, 'g', 17)
        .arg(rect.width(), 0, 'g', 17)
        .arg(rect.height(), 0, 'g', 17);
}

std::optional<QRectF> rectFromString(const QString& text) {
    static const QRegularExpression number(QStringLiteral(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)"));
    double v[4];
    int n = 0;
    for (auto it = number.globalMatch(text); it.hasNext() && n < 4;) {
        bool ok = false;
        v[n] = it.next().captured().toDouble(&ok);
        if (!ok) return std::nullopt;
        ++n;
    }
    if (n < 4) return std::nullopt;
    return QRectF(v[0], v[1], v[2], v[3]);
}

} // namespace session

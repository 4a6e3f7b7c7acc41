// The open tabs kept across starts: written after every opened and closed tab and at the end,
// rebuilt once at launch.
#include "app/workspace/Workspace.h"
#include "app/ToastService.h"
#include "app/session/StorageNotices.h"
#include "bell/BellManager.h"
#include "chrome/HeaderBarView.h"
#include "platform/Defaults.h"
#include "platform/ProcessCwd.h"

#include <QDir>

namespace {

const QString kSplitRatioVertical = QStringLiteral("splitRatioV");
const QString kSplitRatioHorizontal = QStringLiteral("splitRatioH");

session::PaneSnapshot paneSnapshot(const TerminalView& view) {
    QString cwd = cwdForPid(view.childPid());
    if (cwd.isEmpty()) cwd = QDir::currentPath();
    return {view.currentShell(), cwd, view.tabId()};
}

// Holds the bell silent while the saved tabs' shells start, whatever way the restore ends.
class BellSuppression {
public:
    explicit BellSuppression(BellManager& bell) : bell_(bell) { bell_.setSuppressed(true); }
    ~BellSuppression() { bell_.setSuppressed(false); }
    BellSuppression(const BellSuppression&) = delete;
    BellSuppression& operator=(const BellSuppression&) = delete;

private:
    BellManager& bell_;
};

} // namespace

void Workspace::saveSession() {
    sessionStore_.save([this] { return sessionSnapshot(); });
}

session::SessionSnapshot Workspace::sessionSnapshot() const {
    session::SessionSnapshot snapshot;
    snapshot.tabs =
        session::savedTabs(tabs_, [](const TabState& tab) -> std::optional<session::TerminalSnapshot> {
            if (!tab.termView) return std::nullopt;
            session::TerminalSnapshot live;
            live.primary = paneSnapshot(*tab.termView);
            const SplitContainer* c = tab.splitContainer;
            if (c && c->isSplit() && c->secondaryView())
                live.split = session::SplitSnapshot{c->isVerticalSplit(), c->splitRatio(),
                                                    paneSnapshot(*c->secondaryView())};
            return live;
        });
    snapshot.activeTab = tabs_.activeTab();
    host_.addWindowState(snapshot);
    return snapshot;
}

bool Workspace::restoreSession() {
    // Everything is read before the first tab is made.
    const std::optional<session::RestorePlan> plan = sessionStore_.restorePlan();
    if (!plan) return false;
    storagenotices::show(host_.toasts(), storagenotices::filesSkipped(plan->skippedFiles));
    {
        // No save while the tabs come back one by one: the stored list would shrink to the part
        // rebuilt so far. One save follows at the end.
        const SessionStore::RestoreGuard restoring = sessionStore_.beginRestore();
        const BellSuppression quiet(host_.bell());
        for (const session::RestoreTab& entry : plan->tabs) {
            if (entry.type == TabType::editor)
                restoreEditorTab(entry);
            else
                restoreTerminalTab(entry);
        }
        if (plan->activeTab) switchToTab(std::min(*plan->activeTab, tabs_.count() - 1));

        host_.layoutSidePanels();
        if (const TabState* active = tabs_.active(); active && active->gitPosition != GitPanelPosition::none)
            headerView_->setGitActive(true);
        host_.restoreWindowState(*plan);
    }
    updateHeaderTabs();
    updateFooter();
    saveSession();
    return !tabs_.isEmpty();
}

void Workspace::restoreTerminalTab(const session::RestoreTab& entry) {
    createTab(entry.shell, entry.cwd, entry.colorHue, entry.tabId);
    TabState* tab = tabs_.active();
    if (!tab || !tab->splitContainer) return;
    if (entry.customName) tab->customName = entry.customName;

    if (entry.git) {
        tab->gitPosition = entry.git->position;
        if (entry.git->ratio) tab->gitRatio = *entry.git->ratio;
        if (entry.git->ratioV) tab->gitRatioV = *entry.git->ratioV;
        if (entry.git->ratioH) tab->gitRatioH = *entry.git->ratioH;
        if (attachGitPanel) attachGitPanel(*tab);
        if (tab->gitPanel) tab->gitPanel->startRefreshing(entry.git->refreshDirectory);
    }

    if (entry.split) {
        SplitContainer* c = tab->splitContainer;
        TerminalView* secondary = newPane(QRect(QPoint(0, 0), c->size()), entry.split->shell,
                                          entry.split->cwd.value_or(QString()),
                                          entry.split->tabId.value_or(QString()));
        secondary->onShellExit = makeSecondaryExitHandler(c, secondary);
        // A new split takes its ratio from the remembered one of its orientation; this one is lent
        // the tab's own ratio, and the remembered one is put back after.
        const QString key = entry.split->vertical ? kSplitRatioVertical : kSplitRatioHorizontal;
        const bool hadStored = defaults_.hasStoredValue(key);
        const QVariant stored = defaults_.object(key);
        if (entry.split->ratio) defaults_.setValue(key, *entry.split->ratio);
        c->split(entry.split->vertical, secondary);
        if (entry.split->ratio) {
            if (hadStored)
                defaults_.setValue(key, stored);
            else
                defaults_.removeObject(key);
        }
        c->setActivePane(true);
    }
}

void Workspace::restoreEditorTab(const session::RestoreTab& entry) {
    if (!createEditorTabInternal(std::nullopt)) return;
    TabState* tab = tabs_.active();
    if (!tab || !tab->editorView) return;
    const QPointer<EditorView> editor = tab->editorView;
    tab->editorMode = entry.editorMode.value_or(EditorInputMode::normal);
    if (entry.editorPath) {
        const QString path = *entry.editorPath;
        // Until its text is in, the tab only keeps the path for the next start: a file that cannot
        // be read now (an unmounted disk) is not forgotten, and nothing can be saved over it.
        tab->keptEditorPath = path;
        const QPointer<Workspace> self(this);
        const std::optional<QString> userName = entry.customName;
        auto done = [self, editor, path, userName](bool loaded, const QString&) {
            if (!self || !editor || !loaded) return;
            if (TabState* t = self->tabs_.find(self->tabs_.indexOfEditorView(editor))) {
                self->bindEditorFile(*t, path);
                if (userName) t->customName = userName;
                self->updateHeaderTabs();
                self->saveSession();
            }
        };
        if (editor->loadFile(path, nullptr, done) && !editor->isLoading()) bindEditorFile(*tab, path);
    }
    if (entry.customName) tab->customName = entry.customName;
    editor->setInputMode(tab->editorMode);
}

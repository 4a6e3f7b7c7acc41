// The state the header and footer show, pushed in by the controller, and the shell actions of the
// menus and the footer.
#include "app/workspace/Workspace.h"
#include "app/tabs/TabTitle.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "platform/ProcessCwd.h"

#include <QDir>

QStringList Workspace::tabTitles() const {
    return ::tabTitles(
        tabs_,
        [this](int i) -> std::optional<QString> {
            const TerminalView* view = tabs_.at(i).termView;
            if (!view || view->childPid() < 1) return std::nullopt;
            return cwdForPid(view->childPid());
        },
        QDir::homePath());
}

QStringList Workspace::unsavedEditorTitles() const {
    QStringList titles;
    for (const TabState& tab : tabs_.tabs())
        if (tab.type == TabType::editor && tab.editorDirty)
            titles << tabTitle(tab.customName, std::nullopt, QDir::homePath(), false);
    return titles;
}

void Workspace::updateHeaderTabs() {
    if (!headerView_) return;
    QList<QColor> colors;
    QList<bool> bells;
    for (const TabState& tab : tabs_.tabs()) {
        colors << tab.color;
        bells << tab.hasBell;
    }
    headerView_->updateTabs(tabs_.count(), tabs_.activeTab(), tabTitles(), colors, bells);
    const TabState* active = tabs_.active();
    const bool isEditor = active && active->type == TabType::editor;
    headerView_->setFileButtonsVisible(isEditor);
    const bool previewable = isEditor && host_.isTabPreviewable(tabs_.activeTab());
    headerView_->setPreviewButtonVisible(previewable);
    if (previewable) headerView_->setPreviewActive(active->previewActive);
}

void Workspace::updateFooter() {
    if (!footerView_) return;
    const TabState* tab = tabs_.active();
    if (!tab) return;
    const bool isEditor = tab->type == TabType::editor;
    footerView_->setEditorMode(isEditor);
    if (isEditor) {
        footerView_->setActiveEditorMode(tab->editorMode);
        return;
    }
    const TerminalView* pane = activePane();
    if (!pane) return;
    // A pane without a running shell leaves the footer as it was.
    if (pane->childPid() >= 1) footerView_->update(pane->currentShell(), pane->childPid());
}

void Workspace::switchShellOfActivePane(int shellIndex) {
    switchShellOf(activePane(), shellIndex);
}

void Workspace::switchShellOfPrimaryPane(int shellIndex) {
    const TabState* tab = tabs_.active();
    if (tab) switchShellOf(tab->termView, shellIndex);
}

void Workspace::switchShellOf(TerminalView* pane, int shellIndex) {
    if (!pane || shellIndex < 0 || shellIndex > 2) return;
    // The new shell ends the old one and whatever runs in it.
    const QPointer<Workspace> self(this);
    askBeforeEndingPrograms({pane}, [self, target = QPointer<TerminalView>(pane), shellIndex] {
        if (!self || !target) return;
        if (shellIndex == 0)
            target->switchToShell1();
        else if (shellIndex == 1)
            target->switchToShell2();
        else
            target->switchToShell3();
        self->updateHeaderTabs();
        self->updateFooter();
    });
}

bool Workspace::isGitPanelShown() const {
    const TabState* tab = tabs_.find(tabs_.activeTab());
    return tab && tab->gitPosition != GitPanelPosition::none;
}

void Workspace::updateGitPanelCwd() {
    const TabState* tab = tabs_.active();
    if (!tab || !tab->gitPanel || tab->gitPosition == GitPanelPosition::none) return;
    tab->gitPanel->updateCwd(gitFolderOf(*tab));
}

QString Workspace::gitFolderOf(const TabState& tab) {
    return tab.termView ? cwdForPid(tab.termView->childPid()) : QDir::homePath();
}

void Workspace::setGitButtonActive(bool active) {
    if (headerView_) headerView_->setGitActive(active);
}

void Workspace::pauseGitPanel(TabState& tab) {
    if (tab.gitPanel) {
        tab.gitPanel->stopRefreshing();
        tab.gitPanel->hide();
    }
    if (tab.gitDivider) tab.gitDivider->hide();
}

void Workspace::resumeGitPanel(TabState& tab) {
    if (tab.gitPanel && tab.gitPosition != GitPanelPosition::none) tab.gitPanel->startRefreshing(gitFolderOf(tab));
}

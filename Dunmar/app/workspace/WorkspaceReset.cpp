// The open tabs' part of the reset to defaults: the splits close, the tabs after the first go
// (but an editor with unsaved work), and the first tab's shell starts over.
#include "app/tabs/TerminalBellPane.h"
#include "app/workspace/Workspace.h"
#include "bell/BellManager.h"
#include "chrome/ChromeAnimation.h"

#include <QTimer>
#include <csignal>

void Workspace::closeSplitsAndClearPanes() {
    for (const TabState& tab : tabs_.tabs()) {
        SplitContainer* c = tab.splitContainer;
        if (!c || !c->isSplit()) continue;
        TerminalView* second = c->secondaryView();
        if (second && second->childPid() >= 1) ::kill(second->childPid(), SIGHUP);
        if (TerminalView* removed = c->unsplit()) {
            host_.bell().paneClosed(TerminalBellPane::of(removed));
            QTimer::singleShot(SplitContainer::kUnsplitFadeOutMs + 50, removed,
                               [removed] { removed->deleteLater(); });
        }
    }
    updateSplitButtonState();
    // Every remaining pane starts over with an empty screen and no scrollback.
    for (TerminalView* view : allTerminalViews()) {
        view->terminal().clearScrollback();
        view->terminal().process(std::string_view("\x1b[H\x1b[2J"));
        view->setSmoothScrollY(0);
        view->markDirty();
    }
}

void Workspace::closeTabsForReset() {
    // From the last tab down to the second; an editor with unsaved changes stays open, unasked, so
    // that the reset never costs the user their work.
    for (int i = tabs_.count() - 1; i >= 1; --i) {
        const TabState& tab = tabs_.at(i);
        if (tab.type == TabType::editor && tab.editorDirty) continue;
        if (tab.termView && tab.termView->childPid() >= 1) ::kill(tab.termView->childPid(), SIGHUP);
        doCloseTab(i);
    }
    if (tabs_.isEmpty()) return;
    if (tabs_.activeTab() != 0) {
        tabs_.setActiveTab(0);
        hideAllPagesBut(0);
    }
    if (QWidget* page = tabs_.at(0).page()) {
        page->show();
        chrome::setWidgetAlpha(page, 1.0);
        putOnTopOfPages(page);
    }
    focusActiveTab();
}

void Workspace::restartFirstShell() {
    if (tabs_.isEmpty()) return;
    // The pane hangs up its shell itself before it starts the new one.
    if (TerminalView* view = tabs_.at(0).termView) view->switchShell(defaultShell());
}

QList<EditorView*> Workspace::editorViews() const {
    QList<EditorView*> editors;
    for (const TabState& tab : tabs_.tabs())
        if (tab.editorView) editors.append(tab.editorView);
    return editors;
}

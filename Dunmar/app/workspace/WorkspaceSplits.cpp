// Split panes: a second shell beside or below the first one in the active tab.
#include "app/workspace/Workspace.h"
#include "app/tabs/TerminalBellPane.h"
#include "bell/BellManager.h"
#include "chrome/HeaderBarView.h"
#include "platform/ProcessCwd.h"

#include <QTimer>
#include <csignal>

namespace {

// A pane that left its container: it fades out there, then goes, and its shell with it.
void discardPane(TerminalView* pane) {
    QTimer::singleShot(SplitContainer::kUnsplitFadeOutMs + 50, pane, [pane] { pane->deleteLater(); });
}

} // namespace

void Workspace::toggleSplit(bool vertical) {
    TabState* tab = tabs_.active();
    if (!tab || !tab->splitContainer) return;
    SplitContainer* c = tab->splitContainer;

    if (c->isSplit()) {
        // The other way round: both sessions stay, only the layout turns.
        if (c->isVerticalSplit() != vertical) {
            c->setOrientation(vertical);
            headerView_->setSplitActive(vertical, true);
            return;
        }
        const QPointer<Workspace> self(this);
        askBeforeEndingPrograms({c->secondaryView()}, [self, container = QPointer<SplitContainer>(c), vertical] {
            if (!self || !container || !container->isSplit() || container->isVerticalSplit() != vertical) return;
            if (TerminalView* removed = container->unsplit()) {
                self->host_.bell().paneClosed(TerminalBellPane::of(removed));
                if (removed->childPid() >= 1) ::kill(removed->childPid(), SIGHUP);
                discardPane(removed);
            }
            self->focusWidget(container->primaryView());
            self->updateFooter();
            self->headerView_->setSplitActive(vertical, false);
        });
        return;
    }

    // The second shell starts in the folder the first one is in now, with the same program.
    TerminalView* primary = c->primaryView();
    const QString folder = cwdForPid(primary->childPid());
    const int w = c->width();
    const int h = c->height();
    const QRect frame = vertical ? QRect(w / 2, 0, w / 2, h) : QRect(0, 0, w, h / 2);
    TerminalView* secondary = newPane(frame, primary->currentShell(), folder, QString());
    secondary->onShellExit = makeSecondaryExitHandler(c, secondary);
    c->split(vertical, secondary);
    focusWidget(secondary);
    updateFooter();
    headerView_->setSplitActive(vertical, true);
}

void Workspace::switchSplitPane() {
    const TabState* tab = tabs_.active();
    SplitContainer* c = tab ? tab->splitContainer.data() : nullptr;
    if (!c || !c->isSplit() || !c->secondaryView()) return;
    const bool primaryActive = c->activePaneIsPrimary();
    TerminalView* target = primaryActive ? c->secondaryView() : c->primaryView();
    focusWidget(target);
    c->setActivePane(!primaryActive);
    if (c->onFocusChanged) c->onFocusChanged(target);
}

std::function<void()> Workspace::makeSecondaryExitHandler(SplitContainer* container,
                                                            TerminalView* secondary) {
    return [self = QPointer<Workspace>(this), container = QPointer<SplitContainer>(container),
            pane = QPointer<TerminalView>(secondary)] {
        // A pane that was replaced meanwhile (the container holds another second pane) changes nothing.
        if (!self || !container || !pane || container->secondaryView() != pane) return;
        if (TerminalView* removed = container->unsplit()) {
            self->host_.bell().paneClosed(TerminalBellPane::of(removed));
            discardPane(removed);
        }
        self->focusWidget(container->primaryView());
        self->updateFooter();
        self->updateSplitButtonState();
    };
}

void Workspace::updateSplitButtonState() {
    if (!headerView_) return;
    const TabState* tab = tabs_.active();
    const SplitContainer* c = tab ? tab->splitContainer.data() : nullptr;
    if (c && c->isSplit())
        headerView_->setSplitActive(c->isVerticalSplit(), true);
    else
        headerView_->resetSplitButtons();
}

// The tab life cycle: opening terminal tabs, closing with the last-tab rule, reordering and
// switching with a cross-fade.
#include "app/workspace/Workspace.h"
#include "terminalview/TerminalViewHost.h"
#include "app/window/ContentView.h"
#include "app/ToastService.h"
#include "app/tabs/TabArithmetic.h"
#include "app/tabs/TerminalBellPane.h"
#include "bell/BellManager.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HoverButton.h"
#include "chrome/UnsavedAlertView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "platform/PlainText.h"
#include "settings/SettingsKeys.h"

#include <QFileInfo>
#include <csignal>

namespace {

const QString& kDefaultShellIndex = settings::kDefaultShellIndex;

} // namespace

Workspace::Workspace(Defaults& defaults, WorkspaceHost& host, QObject* parent)
    : QObject(parent), defaults_(defaults), host_(host), sessionStore_(defaults) {}

Workspace::~Workspace() = default;

void Workspace::attach(ContentView* content, HeaderBarView* header, FooterBarView* footer) {
    contentView_ = content;
    headerView_ = header;
    footerView_ = footer;
}

TerminalView* Workspace::newPane(const QRect& frame, const QString& shell, const QString& cwd,
                                 const QString& tabId) {
    PtySessionSettings settings;
    settings.pane = host_.paneSettings();
    return new TerminalView(&host_.paneHost(), frame, shell, cwd, tabId, settings);
}

QString Workspace::defaultShell() const {
    static const QStringList shells{QStringLiteral("/bin/zsh"), QStringLiteral("/bin/bash"),
                                    QStringLiteral("/bin/sh")};
    const qint64 index = defaults_.integer(kDefaultShellIndex);
    return index >= 0 && index < shells.size() ? shells[static_cast<int>(index)] : shells[0];
}

void Workspace::addTab() {
    createTab(defaultShell());
}

void Workspace::createTab(const QString& shell, const std::optional<QString>& cwd,
                            std::optional<double> colorHue, const std::optional<QString>& tabId) {
    if (!contentView_) return;
    const QRect frame = host_.pageFrame();
    TerminalView* view =
        newPane(QRect(QPoint(0, 0), frame.size()), shell, cwd.value_or(QString()), tabId.value_or(QString()));

    const QPointer<Workspace> self(this);
    view->terminal().onTitleChange = [self](const std::string& title) {
        if (!self) return;
        const QString text = QString::fromStdString(title);
        // The program in the terminal names the window; the desktop shows that name as text.
        self->host_.setWindowTitle(text.isEmpty() ? QStringLiteral("Dunmar")
                                                  : plaintext::visibleEscapes(text));
    };
    view->onShellExit = [self, pane = QPointer<TerminalView>(view)] {
        if (!self || !pane) return;
        const int index = self->tabs_.indexOfTerminalView(pane);
        if (index < 0) return;
        // The last tab is never closed: its shell ending asks to quit instead, and when the user
        // stays, the tab gets a new shell rather than being left dead.
        if (self->tabs_.count() >= 2)
            self->closeTab(index);
        else
            self->host_.requestQuit([self, pane] {
                if (self && pane) self->restartEndedShell(pane);
            });
    };

    // Until the shell runs, its folder is the one this program was started in; the title is read
    // again once the shell has printed its first output.
    view->onShellReady = [self] {
        if (self) self->updateHeaderTabs();
    };

    tellOnceIfShellMissing(shell, view->currentShell());

    auto* container = new SplitContainer(frame, view, &defaults_, contentView_);
    container->onFocusChanged = [self](TerminalView*) {
        if (self) self->updateFooter();
    };
    presentNewTab(TabState::terminal(view, container, tabColorForHue(colorHue.value_or(randomTabHue()))),
                  view);
}

void Workspace::presentNewTab(TabState tab, QWidget* focus) {
    QWidget* page = tab.page();
    if (TabState* previous = tabs_.active()) {
        if (QWidget* old = previous->page()) old->hide();
        pauseGitPanel(*previous);
    }
    tabs_.append(std::move(tab));

    page->setGeometry(host_.pageFrame());
    chrome::setWidgetAlpha(page, 0);
    page->show();
    putOnTopOfPages(page);
    focusWidget(focus);
    chrome::fadeWidget(page, 1.0, kNewPageFadeMs, chrome::easeOutCurve());

    headerView_->setGitActive(false);
    updateSplitButtonState();
    updateHeaderTabs();
    updateFooter();
    host_.layoutSidePanels();
    saveSession();
}

void Workspace::closeTab(int index) {
    if (!tabmath::canClose(index, tabs_.count())) return;
    const TabState& tab = tabs_.at(index);
    if (tab.type == TabType::editor && tab.editorDirty && tab.editorView && contentView_) {
        // The answer comes later; by then the tabs may have moved, so the tab is found again by its
        // editor.
        const QPointer<Workspace> self(this);
        const QPointer<EditorView> editor = tab.editorView;
        auto indexNow = [self, editor] {
            return self && editor ? self->tabs_.indexOfEditorView(editor) : -1;
        };
        UnsavedAlertView::show(
            contentView_, qs(Loc::unsavedTitle()), qs(Loc::unsavedMessage()), qs(Loc::unsavedSave()),
            qs(Loc::unsavedDiscard()), qs(Loc::unsavedCancel()),
            [self, indexNow] {
                // Only a file that was really written lets the tab go; a cancelled name or a failed
                // write keeps it open with its changes.
                const int i = indexNow();
                if (i < 0) return;
                self->saveEditorOfTab(i, false, [self, indexNow](bool saved) {
                    if (saved && indexNow() >= 0) self->doCloseTab(indexNow());
                });
            },
            [self, indexNow] {
                const int i = indexNow();
                if (i >= 0) self->doCloseTab(i);
            },
            [] {});
        return;
    }
    if (tab.type == TabType::editor)
        doCloseTab(index);
    else
        closeTerminalTab(index);
}

void Workspace::closeTerminalTab(int index) {
    const TabState& tab = tabs_.at(index);
    // The answer comes later; the tab is found again by its first pane.
    const QPointer<Workspace> self(this);
    askBeforeEndingPrograms(panesOf(tab), [self, pane = QPointer<TerminalView>(tab.termView)] {
        if (!self) return;
        const int now = pane ? self->tabs_.indexOfTerminalView(pane) : -1;
        if (now >= 0) self->doCloseTab(now);
    });
}

void Workspace::doCloseTab(int index) {
    if (!tabmath::canClose(index, tabs_.count())) return;
    {
        // The closed panes' bell previews go with them; one on show is dismissed.
        const TabState& closing = tabs_.at(index);
        if (closing.termView) host_.bell().paneClosed(TerminalBellPane::of(closing.termView));
        if (closing.splitContainer && closing.splitContainer->secondaryView())
            host_.bell().paneClosed(TerminalBellPane::of(closing.splitContainer->secondaryView()));
    }
    std::optional<TabState> removed = tabs_.remove(index);
    if (!removed) return;
    if (removed->gitPanel) {
        removed->gitPanel->stopRefreshing();
        removed->gitPanel->deleteLater();
    }
    if (removed->gitDivider) removed->gitDivider->deleteLater();

    hideAllPagesBut(tabs_.activeTab());
    if (QWidget* page = tabs_.active() ? tabs_.active()->page() : nullptr) {
        page->show();
        chrome::setWidgetAlpha(page, 0);
        chrome::fadeWidget(page, 1.0, kNewPageFadeMs, chrome::easeOutCurve());
    }

    // The closed page fades out above the others and goes; releasing its views ends their shells.
    if (QPointer<QWidget> closed = removed->page()) {
        closed->setAttribute(Qt::WA_TransparentForMouseEvents);
        putOnTopOfPages(closed);
        chrome::fadeWidget(closed, 0.0, kClosePageFadeMs, chrome::easeInCurve(), [closed] {
            if (closed) closed->deleteLater();
        });
    }

    focusActiveTab();
    const TabState* active = tabs_.active();
    headerView_->setGitActive(active && active->gitPosition != GitPanelPosition::none);
    host_.layoutSidePanels();
    updateSplitButtonState();
    updateHeaderTabs();
    updateFooter();
    saveSession();
}

void Workspace::closeCurrentTab() {
    if (tabmath::closeCurrentTabCommand(tabs_.count()) == tabmath::CloseCommand::closeActiveTab)
        closeTab(tabs_.activeTab());
    else
        host_.hideWindowAnimated();
}

void Workspace::reorderTab(int from, int to) {
    if (!tabs_.move(from, to)) return;
    // No page moves: the pages lie on one another and only the active one shows.
    host_.bell().tabsReordered();
    updateHeaderTabs();
    saveSession();
}

void Workspace::switchToTab(int index) {
    if (!tabmath::canSwitchTo(index, tabs_.activeTab(), tabs_.count())) return;
    TabState& old = tabs_.at(tabs_.activeTab());
    pauseGitPanel(old);
    QWidget* from = old.page();
    tabs_.setActiveTab(index);
    TabState& now = tabs_.at(index);
    QWidget* to = now.page();
    for (const TabState& tab : tabs_.tabs())
        if (QWidget* page = tab.page(); page && page != from && page != to) page->hide();
    crossFade(from, to);

    host_.layoutSidePanels();
    resumeGitPanel(now);
    headerView_->setGitActive(now.gitPosition != GitPanelPosition::none);
    updateSplitButtonState();
    focusActiveTab();
    host_.clearSearchState();
    now.hasBell = false;
    updateHeaderTabs();
    if (now.type == TabType::editor && now.editorView) now.editorView->setInputMode(now.editorMode);
    updateFooter();
}

void Workspace::crossFade(QWidget* from, QWidget* to) {
    if (to) {
        to->show();
        putOnTopOfPages(to);
        chrome::setWidgetAlpha(to, 0);
        chrome::fadeWidget(to, 1.0, kSwitchFadeMs, chrome::easeInOutCurve());
    }
    if (!from || from == to) return;
    const QPointer<Workspace> self(this);
    chrome::fadeWidget(from, 0.0, kSwitchFadeMs, chrome::easeInOutCurve(),
                       [self, page = QPointer<QWidget>(from)] {
                           if (!self || !page) return;
                           // Switching back within the fade made this page the active one again: it stays
                           // shown.
                           const TabState* active = self->tabs_.active();
                           if (active && active->page() == page) return;
                           page->hide();
                           chrome::setWidgetAlpha(page, 1.0);
                       });
}

void Workspace::putOnTopOfPages(QWidget* page) {
    // The pages lie below everything else of the window: the header was made before any of them,
    // and the version label, the toasts, the bell preview and the alerts lie above the header.
    if (headerView_) page->stackUnder(headerView_);
}

void Workspace::hideAllPagesBut(int index) {
    for (int i = 0; i < tabs_.count(); ++i)
        if (QWidget* page = tabs_.at(i).page(); page && i != index) page->hide();
}

void Workspace::selectPreviousTab() {
    if (const std::optional<int> target = tabmath::previousTab(tabs_.activeTab(), tabs_.count()))
        switchToTab(*target);
}

void Workspace::selectNextTab() {
    if (const std::optional<int> target = tabmath::nextTab(tabs_.activeTab(), tabs_.count()))
        switchToTab(*target);
}

void Workspace::renameTab(int index, const std::optional<QString>& name) {
    TabState* tab = tabs_.find(index);
    if (!tab) return;
    tab->customName = name && !name->isEmpty() ? name : std::nullopt;
    host_.bell().tabsReordered();
    updateHeaderTabs();
    saveSession();
}

void Workspace::focusActiveTab() {
    const TabState* tab = tabs_.active();
    if (!tab) return;
    if (tab->type == TabType::editor && tab->editorView)
        focusWidget(tab->editorView->textView());
    else if (tab->termView)
        focusWidget(tab->termView);
}

void Workspace::focusWidget(QWidget* widget) {
    if (widget) widget->setFocus(Qt::OtherFocusReason);
}

void Workspace::releaseAllPanes() {
    for (const TabState& tab : tabs_.tabs()) {
        delete tab.page();
        delete tab.gitPanel.data();
        delete tab.gitDivider.data();
    }
    tabs_ = TabList();
}

TerminalView* Workspace::activePane() const {
    const TabState* tab = tabs_.active();
    if (!tab || !tab->termView) return nullptr;
    const SplitContainer* c = tab->splitContainer;
    if (c && c->isSplit() && !c->activePaneIsPrimary() && c->secondaryView()) return c->secondaryView();
    return tab->termView;
}

QList<TerminalView*> Workspace::allTerminalViews() const {
    QList<TerminalView*> views;
    for (const TabState& tab : tabs_.tabs()) {
        const SplitContainer* c = tab.splitContainer;
        if (!c) continue;
        views << c->primaryView();
        if (c->secondaryView()) views << c->secondaryView();
    }
    return views;
}

void Workspace::focusTerminalOfActiveTab() {
    if (const TabState* tab = tabs_.active(); tab && tab->termView) {
        focusWidget(tab->termView);
        tab->termView->update();
    }
}

void Workspace::placeTabPages(const QRect& frame) {
    for (const TabState& tab : tabs_.tabs())
        if (QWidget* page = tab.page()) page->setGeometry(frame);
}

QWidget* Workspace::activePageParent() const {
    const TabState* tab = tabs_.active();
    QWidget* page = tab ? tab->page() : nullptr;
    return page ? page->parentWidget() : nullptr;
}

QString Workspace::tabCustomName(int index) const {
    const TabState* tab = tabs_.find(index);
    return tab && tab->customName ? *tab->customName : QString();
}

bool Workspace::markTabBell(int index) {
    TabState* tab = tabs_.find(index);
    if (!tab) return false;
    tab->hasBell = true;
    updateHeaderTabs();
    return true;
}

bool Workspace::isPaneOfActiveTab(const TerminalView* view) const {
    const TabState* tab = tabs_.active();
    if (!view || !tab) return false;
    if (tab->termView == view) return true;
    return tab->splitContainer && tab->splitContainer->secondaryView() == view;
}

void Workspace::restartEndedShell(TerminalView* pane) {
    // A shell that came back meanwhile (a quit question asked twice) is left alone.
    if (pane->childPid() >= 1 && ::kill(pane->childPid(), 0) == 0) return;
    pane->switchShell(pane->currentShell());
    const QString notice = QStringLiteral("\x1b[2m%1\x1b[0m\r\n").arg(qs(Loc::shellRestarted()));
    pane->terminal().process(std::string_view(notice.toStdString()));
    updateHeaderTabs();
    updateFooter();
}

void Workspace::tellOnceIfShellMissing(const QString& wanted, const QString& running) {
    if (running.isEmpty() || wanted == running || shellsToldMissing_.contains(wanted)) return;
    shellsToldMissing_.insert(wanted);
    const std::string text = Loc::shellMissing(QFileInfo(wanted).fileName().toStdString(),
                                               QFileInfo(running).fileName().toStdString());
    host_.toasts().showGenericToast(QStringLiteral("SHELL"), QString::fromStdString(text),
                                    QColor::fromRgbF(0.9f, 0.6f, 0.2f), ToastService::kDefaultDismissAfter,
                                    QStringLiteral("shellMissingToast"));
}

// What the terminal panes and the bell ask of the controller.
#include "app/AppDelegate.h"
#include "app/window/BorderlessWindow.h"
#include "app/window/ContentView.h"
#include "app/tabs/TerminalBellPane.h"
#include "chrome/AlertSheetView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/HoverButton.h"
#include "bell/BellManager.h"


namespace {

const TerminalView* viewOf(const BellPane& pane) {
    const auto* terminalPane = dynamic_cast<const TerminalBellPane*>(&pane);
    return terminalPane ? terminalPane->view() : nullptr;
}

} // namespace

// ---- TerminalViewHost ------------------------------------------------------------------------

void AppDelegate::ringBell(TerminalView* view) {
    bell().ring(TerminalBellPane::of(view));
}

const std::vector<SearchHighlight>& AppDelegate::searchHighlights(const TerminalView* view) const {
    return services_.palette->searchHighlights(view);
}

int AppDelegate::searchCurrentIndex(const TerminalView* view) const {
    return services_.palette->searchCurrentIndex(view);
}

bool AppDelegate::isRemoteStreamConnected() const {
    return services_.remoteStream->isConnected();
}

void AppDelegate::sendRemoteOutput(const QString& text) {
    services_.remoteStream->send(text);
}

void AppDelegate::startEditingTab(int index, const QString& currentTitle) {
    if (headerView_) headerView_->startEditingTab(index, currentTitle);
}

// A pane switched its own shell: the tab's title and the footer's shell follow.
void AppDelegate::shellSwitched(TerminalView*) {
    workspace_->updateHeaderTabs();
    workspace_->updateFooter();
}

bool AppDelegate::isShown(Action togglePanel) const {
    switch (togglePanel) {
    case Action::toggleGitPanel:
        return workspace_->isGitPanelShown();
    case Action::toggleWebPicker:
        return sidePanels_->isWebPickerShown();
    case Action::toggleSSHManager:
        return sidePanels_->isSSHManagerShown();
    default:
        return false;
    }
}

// An in-window question (unsaved changes, quitting, the about panel) covers the window while it asks;
// the panes leave the pointer alone then.
bool AppDelegate::isModalOverlayShown() const {
    return contentView_ && contentView_->findChild<AlertSheetView*>(QString(), Qt::FindDirectChildrenOnly);
}

// A pane does not pull the window forward on pointer entry right after it was hidden.
std::optional<double> AppDelegate::secondsSinceLastHide() const {
    return windowController_->secondsSinceLastHide();
}

bool AppDelegate::isUserResizingWindow() const {
    BorderlessWindow* window = windowController_->borderlessWindow();
    return window && window->isEdgeDragActive();
}

bool AppDelegate::versionButtonContains(const QPoint& globalPos) const {
    return versionBtn_ && versionBtn_->isVisible() &&
           versionBtn_->rect().contains(versionBtn_->mapFromGlobal(globalPos));
}

// ---- BellHost --------------------------------------------------------------------------------

bool AppDelegate::isWindowVisible() const {
    return windowController_->isWindowVisible();
}

qreal AppDelegate::windowAlpha() const {
    return windowController_->windowAlpha();
}

bool AppDelegate::isWindowKey() const {
    return windowController_->isWindowKey();
}

bool AppDelegate::isWindowOnCurrentDesktop() const {
    return windowController_->isWindowOnCurrentDesktop();
}

bool AppDelegate::isPaneOnShow(const BellPane& pane) const {
    return workspace_->isPaneOfActiveTab(viewOf(pane));
}

std::optional<int> AppDelegate::tabIndexOfPrimaryPane(const BellPane& pane) const {
    const int index = workspace_->tabs().indexOfTerminalView(viewOf(pane));
    if (index < 0) return std::nullopt;
    return index;
}

QString AppDelegate::tabCustomName(int index) const {
    return workspace_->tabCustomName(index);
}

QString AppDelegate::tabShownName(int index) const {
    return workspace_->tabTitles().value(index);
}

bool AppDelegate::markTabBell(int index) {
    return workspace_->markTabBell(index);
}

QWidget* AppDelegate::bellPreviewParent() {
    return contentView_;
}

int AppDelegate::bellPreviewTop() const {
    return (windowController_->isDetached() ? 0 : ContentView::kArrowStripHeight) + HeaderBarView::barHeight;
}

void AppDelegate::bellPreviewHeightChanged(int height, int durationMs, const QEasingCurve& curve) {
    bellPreviewInset_.slideTo(height, durationMs, curve);
}

void AppDelegate::focusActiveTerminal() {
    workspace_->focusActiveTab();
}

void AppDelegate::showWindowForNotification(BellPane*) {
    windowController_->showWindowAnimated();
}

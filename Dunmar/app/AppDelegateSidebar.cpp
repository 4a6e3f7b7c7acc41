// What the side-panel column asks of the controller, and the controller's calls into the column.
#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "chrome/HeaderBarView.h"

void AppDelegate::layoutGitPanel() {
    sidePanels_->layout();
}

QRect AppDelegate::pageFrame() const {
    return sidePanels_->pageFrame();
}

// ---- SidePanelHost ---------------------------------------------------------------------------

// The content view that holds the active tab's page.
QWidget* AppDelegate::sidePanelParent() const {
    return workspace_->activePageParent();
}

QWidget* AppDelegate::sidePanelDividerParent() const {
    return contentView_;
}

void AppDelegate::placeTabPages(const QRect& frame) {
    workspace_->placeTabPages(frame);
}

TabState* AppDelegate::activeTabState() const {
    return workspace_->tabs().active();
}

QWidget* AppDelegate::activeGitPanelInColumn() const {
    const TabState* tab = workspace_->tabs().active();
    if (!tab || tab->gitPosition != GitPanelPosition::right) return nullptr;
    return tab->gitPanel;
}

std::optional<double> AppDelegate::activeColumnShare() const {
    const TabState* tab = workspace_->tabs().active();
    if (!tab) return std::nullopt;
    return tab->gitRatioV;
}

void AppDelegate::setActiveColumnShare(double share) {
    if (TabState* tab = workspace_->tabs().active()) tab->gitRatioV = share;
}

void AppDelegate::relayoutActiveTab() {
    if (const TabState* tab = workspace_->tabs().active(); tab && tab->splitContainer) tab->splitContainer->layoutSplit();
}

void AppDelegate::sidePanelShown(const QString& id, bool shown) {
    if (!headerView_) return;
    if (id == QLatin1String("picker"))
        headerView_->setWebPickerActive(shown);
    else if (id == QLatin1String("ssh"))
        headerView_->setSSHActive(shown);
}

TerminalView* AppDelegate::openTerminalTab() {
    workspace_->addTab();
    const TabState* tab = workspace_->tabs().active();
    return tab ? tab->termView.data() : nullptr;
}

// What the open tabs ask of the controller (WorkspaceHost): the window's title and frame, the
// side-panel column, the panes' settings and the later subsystems' parts of a tab switch.
#include "app/AppDelegate.h"
#include "app/session/SessionRestore.h"
#include "app/settings/SettingsApplier.h"
#include "terminalview/ProgramResizeGate.h"

#include <QGuiApplication>
#include <QScreen>

PaneSettings AppDelegate::paneSettings() const {
    return settingsApplier_->paneSettings();
}

void AppDelegate::setWindowTitle(const QString& title) {
    if (window_) window_->setWindowTitle(title);
}

void AppDelegate::hideWindowAnimated() {
    windowController_->hideWindowAnimated();
}

void AppDelegate::clearSearchState() {
    services_.palette->clearSearchState();
}

bool AppDelegate::isTabPreviewable(int index) const {
    return services_.editor->isTabPreviewable(index);
}

void AppDelegate::addWindowState(session::SessionSnapshot& snapshot) const {
    // A size a program asked for is its own, not the user's, and is not kept.
    if (window_ && !ProgramResizeGate::isProgramSize(window_.get()))
        snapshot.windowFrame = QRectF(window_->geometry());
    snapshot.webPickerOpen = sidePanels_->isWebPickerShown();
    snapshot.sshManagerOpen = sidePanels_->isSSHManagerShown();
    snapshot.sidebarOrder = sidePanels_->sidebarOrder();
    snapshot.sidebarPanelHeights = sidePanels_->sidebarPanelHeights();
}

void AppDelegate::restoreWindowState(const session::RestorePlan& plan) {
    if (plan.windowFrame && window_) {
        QList<QRectF> visibleFrames;
        for (const QScreen* screen : QGuiApplication::screens())
            visibleFrames << QRectF(screen->availableGeometry());
        if (session::frameFitsOnScreens(*plan.windowFrame, visibleFrames))
            window_->setGeometry(plan.windowFrame->toRect());
    }
    sidePanels_->restoreOrderAndHeights(plan.sidebarOrder, plan.sidebarPanelHeights);
    if (plan.webPickerOpen) sidePanels_->showWebPickerSidebar();
    if (plan.sshManagerOpen) sidePanels_->showSSHManager();
}

void AppDelegate::requestQuit(std::function<void()> onCancelled) {
    termination_.requestQuit(std::move(onCancelled));
}

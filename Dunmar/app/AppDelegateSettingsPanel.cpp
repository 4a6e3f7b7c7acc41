// What the settings panel and the reset to defaults ask of the controller.
#include "app/AppDelegate.h"
#include "app/ContentView.h"
#include "app/TerminalBellPane.h"
#include "app/settings/SettingsApplier.h"
#include "app/settings/SettingsPanelController.h"
#include "chrome/ChromeAnimation.h"
#include "bell/BellManager.h"

#include <QTimer>
#include <csignal>

namespace {

const QString kSettingsToastId = QStringLiteral("settingsMessage");
const QColor kSettingsToastColor = QColor::fromRgbF(0.85f, 0.35f, 0.3f);

} // namespace

// ---- What the panel asks -------------------------------------------------------------------------

bool AppDelegate::hasAIUsageToken() const {
    return services_.usage->hasToken();
}

void AppDelegate::startRemoteStreaming(const QString& pairingCode) {
    services_.remoteStream->start(pairingCode);
}

void AppDelegate::stopRemoteStreaming() {
    services_.remoteStream->stop();
}

void AppDelegate::previewTheme(int index) {
    settingsApplier_->previewTheme(index);
}

void AppDelegate::ringBellForTest() {
    bell().ringForTest();
}

void AppDelegate::reloadBellSound() {
    bell().reloadSound();
}

void AppDelegate::showSettingsMessage(const QString& text) {
    showGenericToast(QStringLiteral("SETTINGS"), text, kSettingsToastColor,
                     ToastService::kDefaultDismissAfter, kSettingsToastId);
}

// ---- The reset to defaults ----------------------------------------------------------------------

void AppDelegate::deleteCodeHostingToken() {
    services_.git->deleteCodeHostingToken();
}

void AppDelegate::resetPanes() {
    // The panes take the settings the reset has just written; their next shells start with them.
    settingsApplier_->applyStoredToPanes();
    for (const TabState& tab : tabs_.tabs()) {
        SplitContainer* c = tab.splitContainer;
        if (!c || !c->isSplit()) continue;
        TerminalView* second = c->secondaryView();
        if (second && second->childPid() >= 1) ::kill(second->childPid(), SIGHUP);
        if (TerminalView* removed = c->unsplit()) {
            bell().paneClosed(TerminalBellPane::of(removed));
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

void AppDelegate::closeTabsForReset() {
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

void AppDelegate::restartFirstShell() {
    if (tabs_.isEmpty()) return;
    // The pane hangs up its shell itself before it starts the new one.
    if (TerminalView* view = tabs_.at(0).termView) view->switchShell(defaultShell());
}

void AppDelegate::finishReset() {
    updateHeaderTabs();
    updateFooter();
    settingsPanel_->hide();
}

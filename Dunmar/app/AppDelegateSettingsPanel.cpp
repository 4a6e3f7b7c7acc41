// What the settings panel and the reset to defaults ask of the controller.
#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "app/settings/SettingsApplier.h"
#include "app/settings/SettingsPanelController.h"
#include "bell/BellManager.h"


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
    workspace_->closeSplitsAndClearPanes();
}

void AppDelegate::closeTabsForReset() {
    workspace_->closeTabsForReset();
}

void AppDelegate::restartFirstShell() {
    workspace_->restartFirstShell();
}

void AppDelegate::finishReset() {
    workspace_->updateHeaderTabs();
    workspace_->updateFooter();
    settingsPanel_->hide();
}

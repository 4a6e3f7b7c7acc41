// The controller's side of the settings: it owns the applier and the panel's controller and gives
// the applier the window, panes and other parts it reaches.
#include "app/AppDelegate.h"
#include "app/window/ContentView.h"
#include "app/window/WindowBackdrop.h"
#include "app/settings/SettingsApplier.h"
#include "app/settings/SettingsPanelController.h"
#include "chrome/ChromeStyle.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "theme/ThemeColors.h"
#include "platform/Defaults.h"
#include "platform/PushToTalkKeys.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QEvent>

// ---- Launch ----------------------------------------------------------------------------------------

void AppDelegate::applyStoredSettingsAtLaunch() {
    if (contentView_ && !visualEffect_) {
        visualEffect_ = new WindowBackdrop(contentView_);
        visualEffect_->setMaterial(activeTheme.visualMaterial, false);
        visualEffect_->setIntensity(defaults_.doubleValue(settings::kBlurIntensity));
        visualEffect_->show();
    }
    settingsPanel_->attach(contentView_, footerView_);
    settingsApplier_->applyAtLaunch();
}

void AppDelegate::hideSettings() {
    settingsPanel_->hide();
}

bool AppDelegate::isSettingsOpen() const {
    return settingsPanel_->isOpen();
}

// ---- SettingsApplierHost -------------------------------------------------------------------------

QList<TerminalView*> AppDelegate::settingsTerminalViews() const {
    return workspace_->allTerminalViews();
}

QList<EditorView*> AppDelegate::settingsEditorViews() const {
    return workspace_->editorViews();
}

void AppDelegate::setWindowOpacityFromSettings(double opacity) {
    if (window_) window_->setWindowOpacity(opacity);
}

void AppDelegate::setBackdropIntensity(double intensity) {
    if (visualEffect_) visualEffect_->setIntensity(intensity);
}

void AppDelegate::setBackdropMaterial(VisualMaterial material, bool lightAppearance) {
    if (visualEffect_) visualEffect_->setMaterial(material, lightAppearance);
    // The chrome's greys follow the backdrop; everything in the window is drawn again with them.
    if (chrome::lightAppearance() != lightAppearance) {
        chrome::setLightAppearance(lightAppearance);
        if (window_) window_->update();
    }
}

void AppDelegate::refreshWindowLevel() {
    windowController_->applyWindowLevel();
}

void AppDelegate::refreshFollowAllSpaces() {
    windowController_->applyFollowAllSpaces();
}

void AppDelegate::setAutoDimEnabled(bool dim) {
    if (!dim && !isWindowKey()) windowController_->restoreWindowOpacity();
}

void AppDelegate::setHideOnClickOutside(bool hide) {
    windowController_->setClickOutsideMonitorEnabled(hide);
}

void AppDelegate::restartUpdateCheck() {
    services_.updater->scheduleUpdateCheck(0);
}

UsageService& AppDelegate::usageService() {
    return *services_.usage;
}

void AppDelegate::refreshPushToTalkKey() {
    if (headerView_)
        headerView_->setPushToTalkKeyName(pushtotalk::key(defaults_.integer(settings::kDictationPushToTalkKey)).name);
}

void AppDelegate::setUsageBadgeVisible(bool visible) {
    if (!footerView_) return;
    QWidget* badge = footerView_->usageBadge();
    if (!badge) return;
    badge->setVisible(visible);
    // The footer places its badge again when the badge asks for a new layout.
    QEvent relayout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(badge, &relayout);
}

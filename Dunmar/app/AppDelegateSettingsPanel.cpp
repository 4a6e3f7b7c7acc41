// The settings panel over the window, and what the panel and the reset to defaults ask of the
// controller.
#include "app/AppDelegate.h"
#include "app/ContentView.h"
#include "app/EventHook.h"
#include "app/TerminalBellPane.h"
#include "app/WindowBackdrop.h"
#include "bell/BellManager.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/FooterBarView.h"
#include "chrome/GearButton.h"
#include "platform/Defaults.h"
#include "settings/SettingsOverlay.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <csignal>

namespace {

const QString kSettingsToastId = QStringLiteral("settingsMessage");
const QColor kSettingsToastColor = QColor::fromRgbF(0.85f, 0.35f, 0.3f);

} // namespace

// ---- Showing and hiding the panel ----------------------------------------------------------------

void AppDelegate::toggleSettings() {
    if (settingsOverlay_)
        hideSettings();
    else
        showSettings();
}

void AppDelegate::showSettings() {
    if (settingsOverlay_ || !contentView_) return;
    if (footerView_ && footerView_->gearButton()) footerView_->gearButton()->resetGearToNormal();

    auto* panel = new SettingsOverlay(defaults_, this, contentView_);
    const QPointer<AppDelegate> self(this);
    panel->onClose = [self] {
        if (self) self->hideSettings();
    };
    panel->onChanged = [self](const QString& key, const QVariant& value) {
        if (self) self->applySetting(key, value);
    };
    settingsOverlay_ = panel;
    panel->animateOpen(contentView_->size());
    panel->show();
    // The footer stays in front: the panel slides out from behind it.
    if (footerView_) footerView_->raise();
    watchSettingsPanel(true);
}

void AppDelegate::hideSettings() {
    SettingsOverlay* panel = settingsOverlay_;
    if (!panel) return;
    if (footerView_ && footerView_->gearButton()) footerView_->gearButton()->resetGearToNormal();
    const QPointer<AppDelegate> self(this);
    panel->animateClose([self, panel = QPointer<SettingsOverlay>(panel)] {
        if (!panel) return;
        panel->hide();
        panel->deleteLater();
        if (self && self->settingsOverlay_ == panel) {
            self->settingsOverlay_ = nullptr;
            self->watchSettingsPanel(false);
        }
    });
}

void AppDelegate::watchSettingsPanel(bool watch) {
    delete settingsResizeHook_.data();
    if (!watch || !contentView_) return;
    const QPointer<AppDelegate> self(this);
    // The panel takes the window's new width and keeps its height, resting on the footer.
    settingsResizeHook_ = new EventHook(
        contentView_,
        [self](QObject*, QEvent* event) {
            if (!self || event->type() != QEvent::Resize || !self->settingsOverlay_ || !self->contentView_)
                return;
            SettingsOverlay* panel = self->settingsOverlay_;
            const QSize content = self->contentView_->size();
            const int h = panel->height();
            panel->setGeometry(0, content.height() - SettingsOverlay::kFooterHeight - h, content.width(), h);
        },
        this);
}

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
    hideSettings();
}

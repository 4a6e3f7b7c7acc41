#include "app/settings/SettingsPanelController.h"

#include "app/EventHook.h"
#include "app/settings/SettingsApplier.h"
#include "chrome/FooterBarView.h"
#include "chrome/GearButton.h"
#include "settings/SettingsOverlay.h"

#include <QEvent>

SettingsPanelController::SettingsPanelController(Defaults& store, SettingsHost& host, SettingsApplier& applier,
                                                 QObject* parent)
    : QObject(parent), store_(store), host_(host), applier_(applier) {}

SettingsPanelController::~SettingsPanelController() {
    delete resizeHook_.data();
}

void SettingsPanelController::attach(QWidget* content, FooterBarView* footer) {
    content_ = content;
    footer_ = footer;
}

void SettingsPanelController::toggle() {
    if (panel_)
        hide();
    else
        show();
}

void SettingsPanelController::resetGear() {
    if (footer_ && footer_->gearButton()) footer_->gearButton()->resetGearToNormal();
}

void SettingsPanelController::show() {
    if (panel_ || !content_) return;
    resetGear();

    auto* panel = new SettingsOverlay(store_, &host_, content_);
    const QPointer<SettingsPanelController> self(this);
    panel->onClose = [self] {
        if (self) self->hide();
    };
    panel->onChanged = [self](const QString& key, const QVariant& value) {
        if (self) self->applier_.apply(key, value);
    };
    panel_ = panel;
    panel->animateOpen(content_->size());
    panel->show();
    // The footer stays in front: the panel slides out from behind it.
    if (footer_) footer_->raise();
    watchContentResize(true);
}

void SettingsPanelController::hide() {
    SettingsOverlay* panel = panel_;
    if (!panel) return;
    resetGear();
    const QPointer<SettingsPanelController> self(this);
    panel->animateClose([self, panel = QPointer<SettingsOverlay>(panel)] {
        if (!panel) return;
        panel->hide();
        panel->deleteLater();
        if (self && self->panel_ == panel) {
            self->panel_ = nullptr;
            self->watchContentResize(false);
        }
    });
}

void SettingsPanelController::watchContentResize(bool watch) {
    delete resizeHook_.data();
    if (!watch || !content_) return;
    const QPointer<SettingsPanelController> self(this);
    // The panel takes the window's new width and keeps its height, resting on the footer.
    resizeHook_ = new EventHook(
        content_,
        [self](QObject*, QEvent* event) {
            if (!self || event->type() != QEvent::Resize || !self->panel_ || !self->content_) return;
            SettingsOverlay* panel = self->panel_;
            const QSize content = self->content_->size();
            const int h = panel->height();
            panel->setGeometry(0, content.height() - SettingsOverlay::kFooterHeight - h, content.width(), h);
        },
        this);
}

// The reset row: a click asks "Sure?" in place; a yes within four seconds reports the reset, and
// without an answer the question withdraws by itself.
#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/HoverButton.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "settings/SettingsKeys.h"
#include "settings/ResetRowView.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsStyle.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

using namespace settingsui;

namespace {

// Fills its row and keeps the row's label and confirmation the row's size.
class FillingResetRow : public ResetRowView {
public:
    using ResetRowView::ResetRowView;

protected:
    void resizeEvent(QResizeEvent*) override {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->setGeometry(rect());
    }
};

// "Sure?" with a yes and a no button, centred a little left of the row's middle.
class ResetConfirmView : public QWidget {
public:
    explicit ResetConfirmView(QWidget* parent) : QWidget(parent) {
        prompt =
            makeLabel(qs(Loc::sure()), chrome::monoFont(9.5, QFont::Bold), chrome::rgb(0.95, 0.4, 0.4), this);
        prompt->setObjectName(QStringLiteral("prompt"));
        prompt->adjustSize();
        yes = new HoverButton(QStringLiteral("✓"), 12, QFont::Bold, chrome::rgb(0.4, 0.85, 0.4, 0.9),
                              chrome::white(1.0), chrome::clear(), chrome::rgb(0.3, 0.7, 0.3, 0.3),
                              chrome::rgb(0.3, 0.7, 0.3, 0.5), 4, this);
        no = new HoverButton(QStringLiteral("✕"), 11, QFont::Bold, chrome::rgb(0.9, 0.35, 0.35, 0.8),
                             chrome::white(1.0), chrome::clear(), chrome::rgb(0.8, 0.2, 0.2, 0.3),
                             chrome::rgb(0.8, 0.2, 0.2, 0.5), 4, this);
        yes->setObjectName(QStringLiteral("yes"));
        no->setObjectName(QStringLiteral("no"));
    }

    QLabel* prompt;
    HoverButton* yes;
    HoverButton* no;

protected:
    void resizeEvent(QResizeEvent*) override {
        const int cy = height() / 2;
        const int promptCentre = width() / 2 - 24;
        const int promptLeft = promptCentre - prompt->width() / 2;
        prompt->move(promptLeft, cy - prompt->height() / 2);
        yes->setFrame(QRect(promptLeft + prompt->width() + 8, cy - 11, 22, 22));
        no->setFrame(QRect(yes->frame().right() + 1 + 4, cy - 11, 22, 22));
    }
};

} // namespace

QWidget* SettingsOverlay::makeResetRow() {
    auto* row = new FillingResetRow;
    resetRow_ = row;
    resetLabel_ = makeLabel(qs(Loc::resetToDefaults()), chrome::monoFont(9.5, QFont::Medium),
                            chrome::rgb(0.9, 0.35, 0.35, 0.8), row);
    resetLabel_->setObjectName(QStringLiteral("title"));
    resetLabel_->setAlignment(Qt::AlignCenter);
    QPointer<SettingsOverlay> panel(this);
    row->onClick = [panel] {
        if (panel && panel->resetRow_ && !settings::isAtDefaults(panel->defaults_)) panel->showResetConfirm();
    };
    updateResetButtonState();
    return row;
}

void SettingsOverlay::showResetConfirm() {
    // A second click while the question is up changes nothing and does not restart the wait.
    if (!resetRow_ || confirmView_) return;
    if (resetLabel_) resetLabel_->hide();
    auto* confirm = new ResetConfirmView(resetRow_);
    confirm->setGeometry(resetRow_->rect());
    confirmView_ = confirm;
    chrome::setWidgetAlpha(confirm, 0.0);
    confirm->show();
    chrome::fadeWidget(confirm, 1.0, kConfirmFadeInMs, chrome::easeInOutCurve());

    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setInterval(kResetConfirmMs);
    connect(timer, &QTimer::timeout, this, &SettingsOverlay::hideResetConfirm);
    resetConfirmTimer_ = timer;
    timer->start();

    QPointer<SettingsOverlay> panel(this);
    // Only an answer to a question still open counts: a second press during the fade-out is none.
    confirm->yes->onClick = [panel] {
        if (!panel || !panel->resetConfirmTimer_) return;
        panel->hideResetConfirm();
        panel->report(settings::kResetDefaults, true);
    };
    confirm->no->onClick = [panel] {
        if (panel) panel->hideResetConfirm();
    };
}

void SettingsOverlay::hideResetConfirm() {
    if (resetConfirmTimer_) {
        resetConfirmTimer_->stop();
        resetConfirmTimer_->deleteLater();
        resetConfirmTimer_ = nullptr;
    }
    QWidget* confirm = confirmView_;
    if (!confirm) return;
    QPointer<SettingsOverlay> panel(this);
    QPointer<QWidget> fading(confirm);
    chrome::fadeWidget(confirm, 0.0, kConfirmFadeOutMs, chrome::easeInOutCurve(), [panel, fading] {
        if (fading) fading->deleteLater();
        if (!panel) return;
        // A yes or no during the fade-out must not clear a newer question.
        if (panel->confirmView_ == fading) panel->confirmView_ = nullptr;
        if (panel->resetLabel_) panel->resetLabel_->show();
    });
}

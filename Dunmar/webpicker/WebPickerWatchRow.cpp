// The picker sidebar's side of hot reload: the button, and the watch row under the address bar that
// says what is watched and offers the folder button.
#include "chrome/ChromeStyle.h"
#include "platform/DialogFocus.h"
#include "platform/PlainText.h"
#include "webpicker/SidebarStyle.h"
#include "webpicker/WebPickerHotReload.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVariantAnimation>

namespace {

constexpr int kWatchRowHeight = 20;
constexpr int kShowMs = 150;
constexpr int kHideMs = 120;

} // namespace

void WebPickerSidebarView::bindHotReload() {
    QObject::connect(hotReload_, &WebPickerHotReload::enabledChanged, this, [this](bool enabled) {
        sidebarstyle::setTint(hotReloadBtn_, enabled ? teal() : chrome::white(0.45));
    });
    QObject::connect(
        hotReload_, &WebPickerHotReload::statusChanged, watchStatusLabel_,
        [label = watchStatusLabel_](const QString& text) { plaintext::setLabelText(label, text); });
    QObject::connect(hotReload_, &WebPickerHotReload::rowShown, this, &WebPickerSidebarView::showWatchRow);
    QObject::connect(hotReload_, &WebPickerHotReload::rowHidden, this,
                     [this] { setWatchRowHeight(0, kHideMs); });
}

void WebPickerSidebarView::selectWatchFolder() {
    auto* dialog = new QFileDialog(window(), QString());
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Watch"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<WebPickerSidebarView> self(this);
    QObject::connect(dialog, &QFileDialog::fileSelected, this, [self](const QString& path) {
        if (self && !path.isEmpty()) self->hotReload_->watchFolder(path);
    });
    returnKeyboardWhenFinished(dialog);
    dialog->open();
}

void WebPickerSidebarView::showWatchRow(bool folderButton) {
    watchFolderBtn_->setVisible(folderButton);
    watchRow_->show();
    setWatchRowHeight(kWatchRowHeight, kShowMs);
}

void WebPickerSidebarView::setWatchRowHeight(int height, int durationMs) {
    auto* animation = new QVariantAnimation(this);
    animation->setObjectName(QStringLiteral("watchRowHeight"));
    for (auto* running :
         findChildren<QVariantAnimation*>(QStringLiteral("watchRowHeight"), Qt::FindDirectChildrenOnly))
        if (running != animation) running->stop();
    animation->setStartValue(watchRowH_);
    animation->setEndValue(height);
    animation->setDuration(durationMs);
    QObject::connect(animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        watchRowH_ = value.toInt();
        layoutContents();
    });
    if (height == 0) {
        const QPointer<WebPickerSidebarView> self(this);
        QObject::connect(animation, &QVariantAnimation::finished, this, [self] {
            if (self && self->watchRowH_ == 0) self->watchRow_->hide();
        });
    }
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

#include "ssh/SSHProfileRowView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/ElidedLabel.h"
#include "platform/PlainText.h"
#include "ssh/SSHPanelStyle.h"

#include <QDir>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

using chrome::ElidedLabel;

SSHProfileRowView::SSHProfileRowView(const SSHProfile& profile, int rowIndex, const QColor& accent,
                                     QWidget* parent)
    : QWidget(parent), rowIndex_(rowIndex), accent_(accent) {
    setupRow(profile);
}

void SSHProfileRowView::setupRow(const SSHProfile& profile) {
    setFixedHeight(44);
    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 7, 0, 0);
    texts->setSpacing(0);
    const QString name = profile.label.isEmpty() ? profile.host : profile.label;
    auto* nameLabel = new ElidedLabel(name, chrome::systemFont(10, QFont::Medium), chrome::white(0.88), this);
    nameLabel->setObjectName(QStringLiteral("name"));
    texts->addWidget(nameLabel);
    texts->addSpacing(2);
    // A stored profile that would type controls or options into the shell is shown as invalid, in
    // red, and its connect button is off.
    const bool valid = profile.isValid();
    const QColor detailColor = valid ? chrome::white(0.42) : QColor(255, 59, 48);
    auto* detail = new ElidedLabel(profile.connectionText(), chrome::monoFont(8), detailColor, this);
    detail->setObjectName(QStringLiteral("detail"));
    texts->addWidget(detail);
    if (!profile.keyFile.isEmpty()) {
        texts->addSpacing(1);
        // The last component of the path as written: "~" stays unexpanded here.
        const QString last = QFileInfo(QDir::cleanPath(profile.keyFile)).fileName();
        auto* key =
            new ElidedLabel(QStringLiteral("\u26BF ") + last, chrome::monoFont(7), chrome::white(0.4), this);
        key->setObjectName(QStringLiteral("key"));
        key->setToolTip(plaintext::toolTip(profile.keyFile));
        texts->addWidget(key);
    }
    texts->addStretch(1);

    connectBtn_ = sshstyle::flatButton(QStringLiteral("\u25B6"), chrome::systemFont(10), accent_, this);
    connectBtn_->setToolTip(sshstyle::text("tooltipSSHConnect"));
    connectBtn_->setFixedWidth(22);
    if (!valid) {
        connectBtn_->setEnabled(false);
        chrome::setWidgetAlpha(connectBtn_, 0.35);
        setToolTip(sshstyle::text("sshInvalidProfile"));
        connectBtn_->setToolTip(toolTip());
    }
    editBtn_ =
        sshstyle::flatButton(QStringLiteral("\u270E"), chrome::systemFont(10), chrome::white(0.5), this);
    editBtn_->setToolTip(sshstyle::text("tooltipEdit"));
    editBtn_->setFixedWidth(18);
    deleteBtn_ =
        sshstyle::flatButton(QStringLiteral("\u2715"), chrome::systemFont(9), chrome::white(0.35), this);
    deleteBtn_->setToolTip(sshstyle::text("tooltipDelete"));
    deleteBtn_->setFixedWidth(18);
    editFade_ = new QGraphicsOpacityEffect(editBtn_);
    editFade_->setOpacity(0);
    editBtn_->setGraphicsEffect(editFade_);
    deleteFade_ = new QGraphicsOpacityEffect(deleteBtn_);
    deleteFade_->setOpacity(0);
    deleteBtn_->setGraphicsEffect(deleteFade_);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 6, 0);
    row->setSpacing(0);
    row->addLayout(texts, 1);
    row->addSpacing(4);
    row->addWidget(connectBtn_, 0, Qt::AlignVCenter);
    row->addSpacing(2);
    row->addWidget(editBtn_, 0, Qt::AlignVCenter);
    row->addSpacing(2);
    row->addWidget(deleteBtn_, 0, Qt::AlignVCenter);

    connect(connectBtn_, &QPushButton::clicked, this, [this] {
        if (onConnect) onConnect(rowIndex_);
    });
    connect(editBtn_, &QPushButton::clicked, this, [this] {
        if (onEdit) onEdit(rowIndex_);
    });
    connect(deleteBtn_, &QPushButton::clicked, this, [this] {
        if (onDelete) onDelete(rowIndex_);
    });
}

double SSHProfileRowView::hoverButtonsOpacity() const {
    return editFade_->opacity();
}

void SSHProfileRowView::fadeHoverButtons(double to) {
    for (QGraphicsOpacityEffect* effect : {editFade_, deleteFade_}) {
        auto* animation = new QPropertyAnimation(effect, "opacity", this);
        animation->setDuration(kHoverFadeMs);
        animation->setEndValue(to);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
}

void SSHProfileRowView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    // Only while the window has the focus, as the other hover looks of the window.
    if (window() && !window()->isActiveWindow()) return;
    hovered_ = true;
    update();
    fadeHoverButtons(1.0);
}

void SSHProfileRowView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!hovered_) return;
    hovered_ = false;
    update();
    fadeHoverButtons(0.0);
}

void SSHProfileRowView::paintEvent(QPaintEvent*) {
    if (!hovered_) return;
    QPainter p(this);
    p.fillRect(rect(), chrome::white(1.0, 0.05));
}

#include "git/ClickableFileRow.h"

#include "chrome/SidebarContextMenu.h"
#include "git/GitPanelStyle.h"
#include "git/MarqueeLabel.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"

#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

ClickableFileRow::ClickableFileRow(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    setFixedHeight(kHeight);
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(2);
    marqueeLabel_ = new MarqueeLabel(this);
    ignoreBtn_ =
        gitstyle::borderlessButton(QStringLiteral("✕"), 9, QFont::Normal, gitstyle::white(0.45), this);
    ignoreBtn_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    ignoreBtn_->setFixedHeight(kHeight - 2);
    ignoreOpacity_ = new QGraphicsOpacityEffect(ignoreBtn_);
    ignoreOpacity_->setOpacity(0);
    ignoreBtn_->setGraphicsEffect(ignoreOpacity_);
    connect(ignoreBtn_, &QPushButton::clicked, this, &ClickableFileRow::ignoreBtnClicked);
    row->addWidget(marqueeLabel_, 1);
    row->addWidget(ignoreBtn_, 0, Qt::AlignVCenter);
}

double ClickableFileRow::ignoreBtnOpacity() const {
    return ignoreOpacity_->opacity();
}

void ClickableFileRow::ignoreBtnClicked() {
    if (onIgnore) onIgnore();
}

void ClickableFileRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (onClick) onClick();
}

void ClickableFileRow::enterEvent(QEnterEvent*) {
    hovered_ = true;
    ignoreOpacity_->setOpacity(1);
    update();
}

void ClickableFileRow::leaveEvent(QEvent*) {
    hovered_ = false;
    ignoreOpacity_->setOpacity(0);
    update();
}

std::unique_ptr<QMenu> ClickableFileRow::contextMenu() {
    if (!onIgnore) return nullptr;
    auto menu = std::make_unique<QMenu>();
    QAction* ignore = menu->addAction(qs(Loc::gitIgnoreAdd()));
    connect(ignore, &QAction::triggered, this, &ClickableFileRow::ignoreBtnClicked);
    return menu;
}

void ClickableFileRow::contextMenuEvent(QContextMenuEvent* event) {
    std::unique_ptr<QMenu> menu = contextMenu();
    // Without a menu of its own the click goes on to the panel's.
    event->setAccepted(menu != nullptr);
    popUpMenu(std::move(menu), event->globalPos());
}

void ClickableFileRow::paintEvent(QPaintEvent*) {
    if (!hovered_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 3, 3);
    p.fillPath(path, gitstyle::white(1.0, 0.06));
}

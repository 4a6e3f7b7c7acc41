#include "app/sidepanel/SidePanelViews.h"

#include "chrome/ChromeStyle.h"

#include <QPainter>

SidePanelView::SidePanelView(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {}

void SidePanelView::setMoveButtonsEnabled(bool up, bool down) {
    moveUp_ = up;
    moveDown_ = down;
}

void SidePanelView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(0.09f, 0.09f, 0.11f));
    p.setPen(chrome::white(0.45));
    p.setFont(chrome::monoFont(11));
    p.drawText(rect().adjusted(10, 8, -10, -8), Qt::AlignTop | Qt::AlignLeft, title_);
}

SSHManagerView::SSHManagerView(QWidget* parent) : SidePanelView(QStringLiteral("SSH"), parent) {}

#include "app/ToastParts.h"

#include "app/ToastService.h"
#include "platform/PlainText.h"

#include <QLabel>
#include <QPainter>

namespace toastparts {

Plate::Plate(QWidget* parent, QColor fill, QColor border, qreal borderWidth, qreal cornerRadius)
    : QWidget(parent), fill_(fill), border_(border), borderWidth_(borderWidth), cornerRadius_(cornerRadius) {}

void Plate::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal inset = borderWidth_ / 2;
    const QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    p.setBrush(fill_);
    if (borderWidth_ > 0)
        p.setPen(QPen(border_, borderWidth_));
    else
        p.setPen(Qt::NoPen);
    p.drawRoundedRect(r, cornerRadius_, cornerRadius_);
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QColor& color, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    // File names and error texts are shown as they are, never read as markup.
    plaintext::setLabelText(label, text, plaintext::Lines::kept);
    label->setFont(ToastService::font());
    label->setAlignment(alignment);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAutoFillBackground(false);
    return label;
}

} // namespace toastparts

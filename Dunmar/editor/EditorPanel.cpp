#include "editor/EditorPanel.h"

#include "chrome/ChromeStyle.h"
#include "platform/PlainText.h"

#include <QLabel>
#include <QPainter>

void EditorPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chrome::white(1.0, 0.09), 0.5));
    p.setBrush(chrome::rgb(0.08, 0.08, 0.1, 0.97));
    p.drawRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 10, 10);
}

QLabel* makePanelLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    // Panels name files and give the system's reasons: shown as plain text.
    auto* label = new QLabel(parent);
    plaintext::setLabelText(label, text, plaintext::Lines::kept);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
    return label;
}

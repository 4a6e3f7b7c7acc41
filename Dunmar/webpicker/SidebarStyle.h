#pragma once

#include <QColor>
#include <QFont>
#include <QPushButton>
#include <QString>

class QLabel;

// Style-sheet pieces and small controls the picker's views share.
namespace sidebarstyle {

// A colour as a style sheet writes it.
inline QString css(const QColor& c) {
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alphaF());
}

// A borderless button whose title takes the tint colour.
inline void setTint(QPushButton* button, const QColor& tint) {
    button->setStyleSheet(
        QStringLiteral("QPushButton{border:none;background:transparent;padding:0;color:%1;}").arg(css(tint)));
}

// A flat button whose title takes the tint colour.
QPushButton* textButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent);
// A plain-text label on a transparent background (its texts are often the page's or the browser's).
QLabel* textLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent);
void setLabelColour(QLabel* label, const QColor& colour);
// A one-pixel line.
QWidget* line(const QColor& color, QWidget* parent);

} // namespace sidebarstyle

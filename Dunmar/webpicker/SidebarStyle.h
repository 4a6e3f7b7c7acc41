#pragma once

#include <QColor>
#include <QPushButton>
#include <QString>

// Style-sheet pieces the picker's views share.
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

} // namespace sidebarstyle

#include "webpicker/SidebarStyle.h"

#include "platform/PlainText.h"

#include <QLabel>

namespace sidebarstyle {

QPushButton* textButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setFont(font);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    setTint(button, tint);
    return button;
}

QLabel* textLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(parent);
    plaintext::setLabelText(label, text);
    label->setFont(font);
    setLabelColour(label, color);
    return label;
}

void setLabelColour(QLabel* label, const QColor& colour) {
    label->setStyleSheet(QStringLiteral("color:%1;background:transparent;").arg(css(colour)));
}

QWidget* line(const QColor& color, QWidget* parent) {
    auto* view = new QWidget(parent);
    view->setAttribute(Qt::WA_StyledBackground);
    view->setStyleSheet(QStringLiteral("background:%1;").arg(css(color)));
    return view;
}

} // namespace sidebarstyle

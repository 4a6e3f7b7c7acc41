#include "ssh/SSHPanelStyle.h"

#include "localisation/Loc.h"

#include <QPainter>
#include <QPushButton>

namespace sshstyle {

QColor accent() {
    static const QColor kAccent = QColor::fromRgbF(0.38f, 0.85f, 0.50f, 1.0f);
    return kAccent;
}

QPushButton* flatButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent) {
    auto* button = new QPushButton(title, parent);
    button->setFlat(true);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; background: transparent; "
                                         "padding: 0px; } QPushButton:disabled { color: %1; }")
                              .arg(tint.name(QColor::HexArgb)));
    return button;
}

QString text(const char* key) {
    return QString::fromStdString(Loc::t(key));
}

ElidedLabel::ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QLabel(text, parent) {
    setFont(font);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize ElidedLabel::minimumSizeHint() const {
    return {0, fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, width());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace sshstyle

#include "ssh/SSHPanelStyle.h"

#include "localisation/Loc.h"

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

} // namespace sshstyle

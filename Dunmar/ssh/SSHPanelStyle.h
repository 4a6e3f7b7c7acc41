#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPushButton;
class QWidget;

// What the SSH panel and its rows share: the green accent and the borderless buttons.
namespace sshstyle {

QColor accent();
QPushButton* flatButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent);
// A `localisation` text as a QString.
QString text(const char* key);

} // namespace sshstyle

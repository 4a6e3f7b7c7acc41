#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

class QPushButton;
class QWidget;

// What the SSH panel and its rows share: the green accent, the borderless buttons and the labels
// that shorten their text at the end.
namespace sshstyle {

QColor accent();
QPushButton* flatButton(const QString& title, const QFont& font, const QColor& tint, QWidget* parent);
// A `localisation` text as a QString.
QString text(const char* key);

// A one-line label that ends in "…" when its text does not fit.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace sshstyle

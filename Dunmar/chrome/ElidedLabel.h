#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

namespace chrome {

// A one-line label for a name from outside (a branch, a folder, a profile): drawn as plain text with
// its control characters as visible escapes, and ending in "…" when it does not fit rather than
// being cut through a letter. Its style sheet's background, if any, is drawn under the text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    ElidedLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent = nullptr);
    // One line of the text as drawn, whatever line breaks it holds.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // The text as drawn at the label's present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace chrome

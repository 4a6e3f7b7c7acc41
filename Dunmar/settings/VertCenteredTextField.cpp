#include "settings/VertCenteredTextField.h"

#include <cmath>

VertCenteredTextField::VertCenteredTextField(QWidget* parent) : VertCenteredTextField(QString(), parent) {}

VertCenteredTextField::VertCenteredTextField(const QString& text, QWidget* parent) : QLineEdit(text, parent) {
    setFrame(false);
    // A line edit already centres its line vertically; only the inset is ours, and the margin
    // moves the drawing and the editing cursor together.
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void VertCenteredTextField::setLeftPad(qreal pad) {
    leftPad_ = pad;
    setTextMargins(static_cast<int>(std::lround(pad)), 0, 0, 0);
}

#pragma once

#include <QLineEdit>

// A one-line text field whose text sits centred vertically and `leftPad` in from the left, drawn
// and edited at the same place. The git panel's commit message and the web picker's address use
// it with a 10-point inset.
class VertCenteredTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit VertCenteredTextField(QWidget* parent = nullptr);
    explicit VertCenteredTextField(const QString& text, QWidget* parent = nullptr);

    qreal leftPad() const { return leftPad_; }
    void setLeftPad(qreal pad);

private:
    qreal leftPad_ = 0;
};

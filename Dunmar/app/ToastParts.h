#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

// The pieces toasts are made of: shared by the generic toasts and the update's progress toast.
namespace toastparts {

// A rounded plate: a toast's dark body with its hairline border, a badge's pill, a progress track.
class Plate : public QWidget {
public:
    Plate(QWidget* parent, QColor fill, QColor border = QColor(), qreal borderWidth = 0,
          qreal cornerRadius = 6);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor fill_;
    QColor border_;
    qreal borderWidth_;
    qreal cornerRadius_;
};

// A plain line of toast text (never read as markup) in the toasts' face.
QLabel* makeLabel(QWidget* parent, const QString& text, const QColor& color, Qt::Alignment alignment);

} // namespace toastparts

#pragma once

#include <QWidget>

// A small continuous slider over a range of real numbers: a thin track filled up to a round knob.
// A press moves the knob to the pointer; every step of the drag announces the new value.
class MiniSlider : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 16;
    static constexpr qreal kKnobDiameter = 11;

    MiniSlider(double minimum, double maximum, double value, QWidget* parent = nullptr);

    double minimum() const { return min_; }
    double maximum() const { return max_; }
    double value() const { return value_; }
    // Sets the value (clamped to the range) without announcing it.
    void setValue(double value);
    bool isDragging() const { return dragging_; }

    // The value under an x position, and the knob centre's x for a value.
    double valueAt(qreal x) const;
    qreal positionOf(double value) const;

    QSize sizeHint() const override { return QSize(120, kHeight); }
    QSize minimumSizeHint() const override { return QSize(40, kHeight); }

signals:
    void valueChanged(double value);
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void dragTo(qreal x);

    double min_;
    double max_;
    double value_;
    bool dragging_ = false;
};

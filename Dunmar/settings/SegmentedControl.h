#pragma once

#include <QStringList>
#include <QWidget>

// A small select-one control of side-by-side labelled segments, sized to their labels. A click on
// a segment selects it and announces the choice, also when it was selected already.
class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 18;
    static constexpr int kSegmentPadding = 7; // on either side of a label

    SegmentedControl(const QStringList& labels, int selected, QWidget* parent = nullptr);

    const QStringList& labels() const { return labels_; }
    int segmentCount() const { return static_cast<int>(labels_.size()); }
    int selectedSegment() const { return selected_; }
    // Selects without announcing; an index outside the segments selects none.
    void setSelectedSegment(int index);
    QRectF segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void segmentClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    qreal segmentWidth(int index) const;

    QStringList labels_;
    int selected_;
    QFont font_;
};

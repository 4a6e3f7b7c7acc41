#pragma once

#include <QScrollArea>

// Keeps the contents of `area` exactly as wide as its viewport, so that nothing inside is cut off at
// the right while the area scrolls only up and down.
void followViewportWidth(QScrollArea* area);

// A frameless, see-through scroll area as tall as its contents up to `maxHeight`; taller contents
// scroll inside it.
class CappedScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit CappedScrollArea(int maxHeight, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    int maxHeight_;
};

#pragma once

#include <QScrollArea>

// A bare sideways scroller for rows of buttons and tabs: no frame, no background, no scroll bars;
// the wheel and the trackpad scroll it in either direction. Its content keeps the size its owner
// gives it.
class HorizontalScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit HorizontalScrollArea(QWidget* parent = nullptr);

    // Sets the row to scroll; it stays see-through, as the bar behind it draws the background.
    void setContent(QWidget* content);

    int scrollX() const;
    void setScrollX(int x);
    // Keeps the right end of the content in view whenever the content or the view changes size.
    void setKeepEndVisible(bool keep);

protected:
    bool keepEnd_ = false;

    void wheelEvent(QWheelEvent* event) override;
};

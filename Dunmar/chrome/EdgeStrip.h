#pragma once

#include <QWidget>

// A thin strip along a bar's edge that belongs to the window's resize handling: it shows the
// resize cursor and lets every press through to the bar's owner.
class EdgeStrip : public QWidget {
    Q_OBJECT
public:
    EdgeStrip(Qt::CursorShape shape, QWidget* parent) : QWidget(parent) {
        setCursor(shape);
        setFocusPolicy(Qt::NoFocus);
    }
};

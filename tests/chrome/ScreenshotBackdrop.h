#pragma once

// Stands in for the translucent window in screenshots: a dark, slightly tinted blur of a desktop
// with some terminal text, which starts at `textTop` as the controller lays the terminal out.

#include "chrome/ChromeStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QStringList>
#include <QWidget>

namespace chrometest {

class ScreenshotBackdrop : public QWidget {
public:
    explicit ScreenshotBackdrop(QStringList lines, int textTop = 0)
        : lines(std::move(lines)), textTop(textTop) {}

    QStringList lines;
    int textTop;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), height());
        g.setColorAt(0, QColor(24, 26, 38));
        g.setColorAt(0.55, QColor(30, 24, 44));
        g.setColorAt(1, QColor(18, 30, 40));
        p.fillRect(rect(), g);
        QRadialGradient glow(QPointF(width() * 0.25, 0), width() * 0.5);
        glow.setColorAt(0, QColor(70, 90, 160, 70));
        glow.setColorAt(1, QColor(70, 90, 160, 0));
        p.fillRect(rect(), glow);
        p.setPen(QColor(200, 205, 215));
        p.setFont(chrome::monoFont(12));
        int y = textTop + 22;
        for (const QString& line : lines) {
            if (y > height()) break;
            p.drawText(16, y, line);
            y += 18;
        }
    }
};

} // namespace chrometest

#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"

#include <QFont>
#include <QPointF>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QAbstractAnimation;
class TabCloseButton;

// One tab of the header's strip: its title in the tab's colour, a blinking dot when its bell rang,
// and a close button unless it is the only tab. A click selects it, a double click renames it,
// and a sideways drag reorders the strip.
class TabItemView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHoverBgMs = 200;
    static constexpr int kCloseShowMs = 150;
    static constexpr int kCloseHideMs = 120;
    static constexpr int kDragFadeMs = 100;
    static constexpr int kDropFadeMs = 200;
    static constexpr int kBellBlinkMs = 650;
    static constexpr int kMarqueeDelayMs = 700;
    static constexpr qreal kMarqueeSpeed = 28.0; // pixels per second
    static constexpr qreal kDragThreshold = 5.0;
    static constexpr qreal kCloseRestAlpha = 0.25;

    TabItemView(int index, const QString& title, bool active, bool showClose, const QColor& color,
                bool hasBell, QWidget* parent = nullptr);

    std::function<void()> onClick;
    std::function<void()> onClose;
    std::function<void(int)> onDoubleClick;
    std::function<void(int, qreal)> onDragMoved;
    std::function<void(int)> onDragEnded;

    bool isActive() const { return active_; }
    bool showClose() const { return showClose_; }
    int tabIndex() const { return tabIndex_; }
    QColor tabColor() const { return color_; }
    // The title as drawn: a terminal's or folder's name, its control characters as visible escapes.
    QString title() const { return title_; }
    bool hasBell() const { return hasBell_; }
    bool isHovered() const { return hovered_; }
    bool isDragging() const { return dragging_; }
    TabCloseButton* closeButton() const { return closeBtn_; }

    // The clip box of the title inside the tab, and the title's own width.
    QRectF titleClipRect() const;
    qreal titleWidth() const;
    bool isMarqueeRunning() const { return marquee_ != nullptr; }
    qreal marqueeOffset() const { return marqueeOffset_; }
    qreal bellDotOpacity() const { return bellOpacity_; }
    QColor shownBackground() const { return bg_->color(); }
    QColor titleColor() const;

    void startMarquee();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool pointInClose(const QPointF& p) const;
    void stopMarquee();
    void restBackground();

    int tabIndex_;
    QString title_;
    bool active_;
    bool showClose_;
    bool hasBell_;
    QColor color_;
    QFont font_;
    bool hovered_ = false;
    bool dragging_ = false;
    std::optional<QPointF> dragOrigin_;
    TabCloseButton* closeBtn_ = nullptr;
    chrome::Tween* bg_;
    QPointer<QAbstractAnimation> marquee_;
    qreal marqueeOffset_ = 0;
    qreal bellOpacity_ = 1.0;
};

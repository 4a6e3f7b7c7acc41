#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;
class QVariantAnimation;
struct PickEntry;

// One pick in the sidebar's list: its colour dot and its markup on one line that scrolls sideways.
// Hovering tints the element in the page, a click copies the markup and opens a line with the
// element's computed style (a click on the open row closes it), a right click asks for the menu
// of things to copy, and × removes the pick.
class PickRowView : public QWidget {
    Q_OBJECT
public:
    explicit PickRowView(const PickEntry& entry, QWidget* parent = nullptr);

    std::function<void()> onHighlight;
    std::function<void()> onUnhighlight;
    std::function<void()> onRemove;
    std::function<void()> onCopied;
    // Markup, selector, visible text, XPath and where the click was on the screen.
    std::function<void(QString, QString, QString, QString, QPoint)> onRightClick;
    std::function<void(qint64)> onStylesRequested;

    qint64 currentPickId() const { return currentPickId_; }
    bool isStylesExpanded() const { return isStylesExpanded_; }
    QString stylesText() const;
    QString markupLine() const;
    QPushButton* removeButton() const { return xBtn_; }

    // Opens the style line with the text (the sidebar calls it when the style arrives).
    void showStyles(const QString& text);
    void collapseStyles();

    static constexpr int kClosedHeight = 18;
    static constexpr int kOpenHeight = 52;
    static constexpr int kStylesHeight = 34;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void animateHeight(int rowHeight, int durationMs);
    void layoutRow();
    void setHovered(bool hovered);

    qint64 currentPickId_;
    QString storedSelector_;
    QString storedInnerText_;
    QString storedXPath_;
    QString html_;
    bool isStylesExpanded_ = false;
    QWidget* dot_;
    QLabel* label_;
    QScrollArea* labelScroll_;
    QPushButton* xBtn_;
    QWidget* stylesWrap_;
    QLabel* stylesLabel_;
    QPointer<QVariantAnimation> heightAnimation_;
    bool hovered_ = false;
};

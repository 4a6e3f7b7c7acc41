#pragma once

#include <QChar>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class MarqueeLabel;
class QGraphicsOpacityEffect;
class QMenu;
class QPushButton;

// One changed file in the git panel's files card: its text, a click that opens or closes its diff,
// and an ignore button ("✕") that shows while the pointer is over the row.
class ClickableFileRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 18;

    explicit ClickableFileRow(QWidget* parent = nullptr);

    MarqueeLabel* marqueeLabel() const { return marqueeLabel_; }
    QPushButton* ignoreBtn() const { return ignoreBtn_; }
    bool isHovered() const { return hovered_; }
    // The ignore button's opacity: 0 at rest, 1 while hovered.
    double ignoreBtnOpacity() const;

    QString filePath;
    QChar statusX = u' ';
    QChar statusY = u' ';
    std::function<void()> onClick;
    std::function<void()> onIgnore;

    // The row's menu, "Add to .gitignore"; none without `onIgnore`.
    std::unique_ptr<QMenu> contextMenu();
    void ignoreBtnClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    MarqueeLabel* marqueeLabel_;
    QPushButton* ignoreBtn_;
    QGraphicsOpacityEffect* ignoreOpacity_;
    bool hovered_ = false;
};

#pragma once

#include "palette/PaletteCommand.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;

// The command palette: a one-line box in the middle of the content view with the matching
// commands as badges above it and the brand tab hanging under it. Typing filters the commands by
// title prefix; the arrows pick a badge, Return runs it. The same box asks a yes/no question
// (confirmation mode) or takes a line of text (input mode) for commands that need an answer.
// The brand tab and the badge container are siblings of the palette in its parent, which the
// palette removes when it closes. A new palette is made for every opening.
class CommandPaletteView : public QWidget {
    Q_OBJECT
public:
    static constexpr int paletteW = 260;
    static constexpr int baseHeight = 28;
    static constexpr int kMarqueeTickMs = 40;
    static constexpr int kFadeOutMs = 100;

    explicit CommandPaletteView(QWidget* parent);
    ~CommandPaletteView() override;

    // Stores the list, lists nothing until the user types.
    void setup(std::vector<PaletteCommand> commands);
    // Gives the search field the keyboard.
    void activate();

    void updateBadges();
    void positionSelf();
    void repositionNameLabel();
    void repositionBadges();
    // Closes with a fade; `onClosed` runs when the palette and its siblings are gone.
    void dismiss();

    void showConfirm(const QString& prompt, std::function<void()> action);
    void showInput(const QString& prompt, std::function<void(const QString&)> action);
    void startMarquee(const QString& text);
    void stopMarquee();

    // What the owner learns: the palette has closed (its fade has ended).
    std::function<void()> onClosed;

    // ---- Read by the owner and by tests ----------------------------------------------------------
    QLineEdit* searchField() const { return searchField_; }
    QWidget* nameLabel() const { return nameLabel_; }
    QWidget* badgeContainer() const { return badgeContainer_; }
    const std::vector<PaletteCommand>& filtered() const { return filtered_; }
    int selectedIndex() const { return selectedIndex_; }
    const std::vector<QWidget*>& badgeViews() const { return badgeViews_; }
    bool isConfirming() const { return bool(confirmAction_); }
    bool isAskingInput() const { return bool(inputAction_); }
    bool isDismissing() const { return dismissing_; }
    QLabel* marqueeLabel() const { return marqueeLabel_; }
    qreal marqueeOffset() const { return marqueeOffset_; }
    const QString& marqueeFullText() const { return marqueeFullText_; }
    QTimer& marqueeTimer() { return marqueeTimer_; }
    // A click on badge `index` (as a mouse press on it would do).
    void badgeTapped(int index);
    // One step of the scrolling prompt.
    void marqueeTick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void controlTextDidChange();
    // Return, Enter, Escape, Left and Right while the field has the keyboard; true when consumed.
    bool handleKey(int key);
    void runSelected(int index);
    void enterPromptMode(const QString& prompt);
    // The palette's frame in its parent's bottom-up coordinates.
    QRectF frameBottomUp() const;

    QLineEdit* searchField_ = nullptr;
    QPointer<QWidget> nameLabel_;
    QPointer<QWidget> badgeContainer_;
    std::vector<PaletteCommand> commands_;
    std::vector<PaletteCommand> filtered_;
    int selectedIndex_ = 0;
    std::vector<QWidget*> badgeViews_;
    std::function<void()> confirmAction_;
    std::function<void(const QString&)> inputAction_;
    QLabel* marqueeLabel_ = nullptr;
    QTimer marqueeTimer_;
    qreal marqueeOffset_ = 0;
    qreal marqueeTextWidth_ = 0;
    QString marqueeFullText_;
    bool dismissing_ = false;
};

#pragma once

#include "bell/BellPreviewItem.h"

#include <QByteArray>
#include <QEasingCurve>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class BellLinesView;
class BellOptionRow;
class BellReplyField;
class HoverButton;
class QLabel;
class QLineEdit;
class QVariantAnimation;

// The preview of a ringing background tab, hung under the header: the tab's name, then either its
// last screen lines or the numbered choices found in them with the highlighted one, and a one-line
// reply field. Return sends the field's text, Escape or the close button dismisses, and the arrow
// keys move the highlight and are passed on to the shell as arrow-key sequences, so a choice can be
// made without switching tabs. The owner decides what each of those does through the callbacks.
//
// The panel lays its content out for its full height and keeps it against its lower edge, so that
// while its height grows from 0 the content slides down out of the header.
class BellPreviewPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeightWithoutOptions = 110;
    static constexpr int kHeightBase = 62;
    static constexpr int kRowHeight = 22;
    static constexpr int kEdge = 10;

    explicit BellPreviewPanel(const BellPreviewItem& item, QWidget* parent = nullptr);
    ~BellPreviewPanel() override;

    // 110 without choices, else 62 plus 22 for each choice.
    static int panelHeight(const BellPreviewItem& item);
    // The bytes of an arrow key as the shell expects them: ESC O A / ESC O B in application cursor
    // mode, ESC [ A / ESC [ B otherwise.
    static QByteArray arrowSequence(bool up, bool appCursorMode);

    // Run with the reply field's text on Return.
    std::function<void(const QString& text)> onSubmit;
    // Run on Escape and on the close button.
    std::function<void()> onDismiss;
    // Run with an arrow key's bytes on every Up and Down, also at either end of the list.
    std::function<void(const QByteArray& sequence)> onArrow;

    QLineEdit* inputField() const;
    int selectedIndex() const { return selectedIndex_; }
    const std::vector<BellOption>& options() const { return options_; }
    bool appCursorMode() const { return appCursorMode_; }
    int fullHeight() const { return fullHeight_; }

    QString titleText() const;
    void setTabName(const QString& name);
    // The text of the lines shown without choices ("(keine Ausgabe)" for a blank screen); empty
    // when the panel shows choices.
    QString linesText() const;
    // The choice rows, in order, for hit testing and for tests.
    QList<QWidget*> optionRows() const;
    bool isRowHighlighted(int index) const;
    bool isCursorShown(int index) const;
    QWidget* closeButton() const;

    // Makes choice `index` the highlighted one (a click on its row does this); writes nothing.
    void selectRow(int index);
    void focusReplyField();

    // Grows from height 0 to the full height; shrinks back to 0 and then runs `done`.
    void animateOpen(int durationMs, const QEasingCurve& curve);
    void animateClose(int durationMs, const QEasingCurve& curve, std::function<void()> done);
    bool isClosing() const { return closing_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // A key typed in the reply field; true when the panel handled it.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void moveSelection(int delta);
    void updateSelectionHighlight();
    void relabel();
    void layoutContent();
    void animateHeight(int to, int durationMs, const QEasingCurve& curve, std::function<void()> done);

    QString tabName_;
    std::vector<BellOption> options_;
    int selectedIndex_ = 0;
    bool appCursorMode_ = false;
    int fullHeight_ = 0;
    bool closing_ = false;

    QWidget* content_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    HoverButton* closeButton_ = nullptr;
    BellLinesView* linesView_ = nullptr;
    std::vector<BellOptionRow*> optionRows_;
    BellReplyField* inputField_ = nullptr;
    QPointer<QVariantAnimation> animation_;
};

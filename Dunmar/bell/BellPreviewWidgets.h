#pragma once

#include <QLineEdit>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;

// The parts of the bell preview panel. Only the panel uses them.

// The last screen lines of a preview without choices: as many of the newest lines as fit, each cut
// at its start when it is too wide (the end of a line is where a prompt waits).
class BellLinesView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 5;

    explicit BellLinesView(const QStringList& lines, QWidget* parent = nullptr);
    // The text as it would read in full, lines joined with line feeds.
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList lines_;
};

// One numbered choice: the "❯" cursor (shown on the highlighted row only) and "<number>. <label>".
// A press anywhere in the row runs `onTap` and goes no further.
class BellOptionRow : public QWidget {
    Q_OBJECT
public:
    BellOptionRow(const QString& text, QWidget* parent = nullptr);

    std::function<void()> onTap;

    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return highlighted_; }
    bool isCursorShown() const;
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString text_;
    QLabel* cursor_;
    QLabel* label_;
    bool highlighted_ = false;
};

// The reply field. Return, Escape and the plain arrow keys go to `onKey` first; they are also
// claimed before any window shortcut can take them while the field has the keyboard.
class BellReplyField : public QLineEdit {
    Q_OBJECT
public:
    explicit BellReplyField(QWidget* parent = nullptr);

    // True when the key was handled (the field then does nothing more with it).
    std::function<bool(int key, Qt::KeyboardModifiers modifiers)> onKey;

    static bool isPanelKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

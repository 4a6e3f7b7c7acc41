#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class ScriptConsole;
struct ConsoleAnswer;

// The script console at the bottom of the sidebar: the prompt, the input line and the result line
// in a box that slides open and closed. Return evaluates the line, the arrow keys walk the history.
class ScriptConsoleView : public QWidget {
    Q_OBJECT
public:
    explicit ScriptConsoleView(ScriptConsole& console, QWidget* parent = nullptr);

    bool isExpanded() const { return expanded_; }
    // The height the sidebar gives the console now: it moves between 0 and the open height.
    int currentHeight() const { return height_; }
    // Sets the console's place in the sidebar and lays out its box.
    void place(const QRect& rect);
    // Opens a closed console (its line takes the keyboard) or closes an open one.
    void toggle();

    static constexpr int kOpenHeight = 56;

signals:
    void expandedChanged(bool expanded);
    void heightChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class WebPickerTestAccess;

    void showAnswer(const ConsoleAnswer& answer);
    void layoutBox();

    ScriptConsole& console_;
    bool expanded_ = false;
    int height_ = 0;
    QWidget* box_;
    QLineEdit* field_;
    QLabel* resultLabel_;
};

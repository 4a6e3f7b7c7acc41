#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

class EditorTextView;

// The column of line numbers beside an editor's text: one number per line of the text (wrapped
// continuations get none), right-aligned 8 px from its edge. Numbers come from block numbers,
// so a paint costs only the lines on screen.
class LineGutterView : public QWidget {
    Q_OBJECT
public:
    explicit LineGutterView(QWidget* parent = nullptr);

    void setTextView(EditorTextView* textView);
    EditorTextView* textView() const { return textView_; }

    QColor bgColor() const { return bgColor_; }
    QColor numColor() const { return numColor_; }
    // The colours depend only on whether the theme is dark.
    void applyColors(bool isDark);

    // The numbers on show and where each stands (top of its line, in the gutter's coordinates).
    struct Label {
        int number = 0;
        int y = 0;
    };
    QList<Label> visibleLabels() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<EditorTextView> textView_;
    QColor bgColor_ = QColor::fromRgbF(0.06f, 0.06f, 0.06f);
    QColor numColor_ = QColor::fromRgbF(0.35f, 0.35f, 0.35f);
    QFont font_;
};

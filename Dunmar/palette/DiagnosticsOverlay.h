#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QPlainTextEdit;
class TerminalView;

// A small translucent panel in the lower right corner of the content view with live figures of
// one terminal view: the drawing and pseudo-terminal rates (perf) or the parser's counters and
// the sequences it did not handle (parser). It refreshes once a second; a click on it reaches
// neither the terminal below nor the window.
class DiagnosticsOverlay : public QWidget {
    Q_OBJECT
public:
    enum class Mode { perf, parser };
    static constexpr int kRefreshMs = 1000;

    DiagnosticsOverlay(const QRect& frame, Mode mode, QWidget* parent);

    Mode mode() const { return mode_; }
    QPointer<TerminalView> terminalView;

    void startUpdating();
    void stopUpdating();
    bool isUpdating() const { return updateTimer_.isActive(); }
    QString text() const;
    // Tests refresh without waiting for the timer.
    void refreshNow() { refresh(); }

    // The panel's size for a mode.
    static QSize sizeFor(Mode mode);

protected:
    // The parent's resizes: the panel keeps its distance from the lower right corner.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void refresh();

    Mode mode_;
    QPlainTextEdit* textView_ = nullptr;
    QTimer updateTimer_;
    QPoint cornerMargins_; // from the parent's right and bottom edges
};

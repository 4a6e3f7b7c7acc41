#pragma once

#include "palette/ChangelogRenderer.h"
#include "palette/ChangelogScroll.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <vector>

class QWidget;

// The changelog viewer: a small dark frameless window centred on the main window that shows the
// program's change history, waits three seconds, then scrolls the text up by itself like a film's
// closing credits and closes when the end has come into view. The wheel speeds it up, slows it or
// turns it back; Escape or a click into another window of the program closes it at once. The
// window floats above the others and never takes the keyboard.
class HelpViewer : public QObject {
    Q_OBJECT
public:
    using LineStyle = changelog::LineStyle;
    using StyledLine = changelog::StyledLine;

    static constexpr int kWindowWidth = 720;
    static constexpr int kWindowHeight = 240;
    static constexpr int kTickMs = 16; // a 60 Hz frame
    static constexpr int kStartDelayMs = 3000;
    static constexpr int kFadeInMs = 500;
    static constexpr int kFadeOutMs = 200;

    HelpViewer();
    ~HelpViewer() override;

    // Shows the changelog centred on `relativeTo`; closes it when it is on show. Nothing happens
    // when no changelog text is found.
    void showChangelog(QWidget* relativeTo);
    void showLines(const std::vector<StyledLine>& lines, QWidget* relativeTo, int winW);
    // Stops scrolling and fades the window out. Safe when nothing is open.
    void close();

    // The text of a shipped file: the copy compiled into the program, else the first non-empty
    // file of that name beside the executable, beside its install folder, or in the current folder.
    static QString findFile(const QString& name);

    // ---- Read by tests ----------------------------------------------------------------------------
    QWidget* window() const { return window_; }
    QWidget* documentView() const { return document_; }
    bool isScrolling() const { return displayLink_.isActive(); }
    ChangelogScroll& scroll() { return scroll_; }
    double currentSpeed() const { return scroll_.speed; }
    // One step of the scrolling, as the timer runs it.
    void tick();
    // Tests shorten the wait before the scrolling starts.
    void setStartDelay(int ms) { startDelayMs_ = ms; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeDocument();
    void installMonitors();
    void removeMonitors();

    QPointer<QWidget> window_;
    QPointer<QWidget> document_;
    QTimer displayLink_;
    bool monitoring_ = false;
    const QEvent* lastEvent_ = nullptr;
    quint64 lastTimestamp_ = 0;
    ChangelogScroll scroll_;
    int documentHeight_ = 0;
    int startDelayMs_ = kStartDelayMs;
};

#pragma once

#include <QObject>
#include <QTimer>
#include <QVariant>
#include <functional>

// Passes a stream of values on at most once per interval (a frame, by default) without losing the
// last one. A slider dragged across its range produces far more steps than the program can apply
// (a font size change rebuilds the fonts of every pane); the first step goes out at once, later
// steps within the interval are held and only the newest is passed on when the interval ends.
class ReportCoalescer : public QObject {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 16;

    explicit ReportCoalescer(std::function<void(const QVariant&)> report, int intervalMs = kFrameMs,
                             QObject* parent = nullptr);

    void push(const QVariant& value);
    // Passes on a held value now (at the end of a drag), so that the final value arrives at once.
    void flush();
    bool hasPending() const { return hasPending_; }

private:
    void windowEnded();

    std::function<void(const QVariant&)> report_;
    QTimer window_;
    QVariant pending_;
    bool hasPending_ = false;
};

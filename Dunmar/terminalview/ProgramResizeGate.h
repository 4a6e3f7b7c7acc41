#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <optional>

class QWidget;

// Window sizes that programs ask for (CSI 8 ; rows ; cols t). Any program may send them, in a loop,
// so a request is a suggestion: at most one is carried out per second (the newest of a burst, at
// the end of that second), none while the user drags the window's size or holds the mouse button,
// and the size a program set is never remembered as the user's. One gate per window, made on the
// first request and living as the window's child.
class ProgramResizeGate : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinIntervalMs = 1000;

    // Asks for `size` of `window` on behalf of a program.
    static void request(QWidget* window, QSize size);

    // True while the window has the size a program gave it (the user has not resized it since):
    // that size must not be stored as the user's.
    static bool isProgramSize(const QWidget* window);

private:
    explicit ProgramResizeGate(QWidget* window);
    static ProgramResizeGate* of(const QWidget* window);
    void take(QSize size);
    void apply();
    static bool userIsResizing();

    QPointer<QWidget> window_;
    QElapsedTimer sinceApplied_;
    std::optional<QSize> pending_;
    std::optional<QSize> applied_;
    QTimer deferred_;
};

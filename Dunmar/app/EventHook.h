#pragma once

#include <QObject>
#include <functional>

class QEvent;

// Lets a closure watch the events of one object without a class of its own: the controller follows
// the desktop's palette this way and, while the settings panel is open, presses in the terminals
// and the window's size. The closure only looks; every event goes on to its receiver. Watching
// stops when the hook is deleted (with its parent, at the latest).
class EventHook : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(QObject* watched, QEvent* event)>;

    EventHook(QObject* target, Handler handler, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Handler handler_;
};

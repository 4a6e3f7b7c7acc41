#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class GlobalInput;
class ToastService;

// The keys the program hears while another window has the keyboard: the global hot key
// (Control+`), grabbed on the X server, and Control alone, watched for the double press. Without
// raw input (not X11, or no XInput2) Control is heard only while our window has the keyboard.
class GlobalKeys : public QObject {
public:
    explicit GlobalKeys(ToastService& toasts, QObject* parent = nullptr);
    ~GlobalKeys() override;

    // Grabs the hot key and starts watching Control. When the grab fails the user hears why in a
    // toast; the tray icon and the footer still toggle the window.
    void registerHotKey();
    void unregisterHotKey();

    // The desktop's input, from the registration on (also the source of the raw clicks).
    GlobalInput* input() const { return input_.get(); }
    // Why the hot key does not work; empty while it does.
    QString hotKeyProblem() const { return hotKeyProblem_; }

    // The hot key was pressed (reported on the next turn of the loop, not inside the event filter).
    std::function<void()> onHotKey;
    // Control went down (true) or up.
    std::function<void(bool down)> onControlChanged;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void controlChanged(bool down);

    ToastService& toasts_;
    std::unique_ptr<GlobalInput> input_;
    QString hotKeyProblem_;
    bool watchControlInApplication_ = false;
};

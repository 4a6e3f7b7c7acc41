#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

// An in-window question: a dimmed host with a small centred card holding an optional warning sign,
// a title, a message and a row of answers. It presents the question only; each answer's closure
// decides what it does. Clicks outside the card are swallowed, so nothing behind it reacts.
//
// Keys are bound only when an answer asks for one: then Return chooses the default answer, Escape
// the cancelling one, and every other key press in the covered window is swallowed while the
// question is open (it stands for the whole window, as a sheet does). Without such an answer the
// alert binds no key at all and is left only through its buttons.
class AlertSheetView : public QWidget {
    Q_OBJECT
public:
    static constexpr int panelW = 310;
    static constexpr int panelH = 152;
    static constexpr int kFadeInMs = 130;
    static constexpr int kFadeOutMs = 100;

    struct Answer {
        QString label;
        bool accent = false; // the blue default-style button
        std::function<void()> onChoose = {};
        bool isDefault = false; // chosen by Return
        bool isCancel = false;  // chosen by Escape
    };
    enum class Icon { warning, none };

    // Builds the alert over `host` with the answers laid out left to right, fades it in and returns
    // it (the host owns it). The chosen closure runs after the alert has gone from the host, so it
    // may show another alert there. Nothing is shown without a host or without answers.
    static AlertSheetView* show(QWidget* host, const QString& title, const QString& message,
                                QList<Answer> answers, Icon icon = Icon::warning);

    QWidget* panel() const { return panel_; }
    // The answer buttons, left to right.
    const QList<QWidget*>& answerButtons() const { return buttons_; }
    QString title() const { return title_; }
    QString message() const { return message_; }
    Icon icon() const { return icon_; }
    bool bindsKeys() const;
    // Whether an answer was chosen and the alert is on its way out.
    bool isDismissing() const { return dismissing_; }

    // Chooses an answer as its button would: fade out, go, then run its closure.
    void choose(int index);
    // Takes the alert away at once without any answer; no closure runs.
    void withdraw();
    // Raises the alert above its host's other views and gives it the keyboard when it binds keys.
    void bringForward();

    // The panel's frame for a host of that size: centred, rounded to whole pixels.
    static QRect panelFrame(const QSize& hostSize);

protected:
    AlertSheetView(QWidget* host, const QString& title, const QString& message, QList<Answer> answers,
                   Icon icon);
    ~AlertSheetView() override;
    // Raises, fades in and takes the keyboard; called once the owner has set everything up.
    void present();
    // The closure to run for answer `index`, read when the answer is chosen.
    virtual std::function<void()> actionFor(int index) const;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followHost();
    bool handleKey(QObject* receiver, QEvent* event);
    int answerIndex(bool Answer::*role) const;
    void leaveHost();

    QPointer<QWidget> host_;
    QWidget* panel_ = nullptr;
    QString title_;
    QString message_;
    Icon icon_;
    QList<Answer> answers_;
    QList<QWidget*> buttons_;
    QPointer<QWidget> focusBefore_;
    bool keyFilterInstalled_ = false;
    bool dismissing_ = false;
    bool withdrawn_ = false;
};

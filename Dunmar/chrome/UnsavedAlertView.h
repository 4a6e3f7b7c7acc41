#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

// The in-window question about unsaved changes: a dimmed host with a small centred panel, a
// warning sign, a title, a message and the answers cancel, discard and save. It presents the
// question only; the caller decides what each answer does. Clicks outside the panel are
// swallowed and no key is bound, so it is left only through one of its buttons.
class UnsavedAlertView : public QWidget {
    Q_OBJECT
public:
    static constexpr int panelW = 310;
    static constexpr int panelH = 152;
    static constexpr int kFadeInMs = 130;
    static constexpr int kFadeOutMs = 100;

    // Builds the alert over `host` and fades it in. The chosen closure runs after the alert has
    // gone from the host, so it may show another alert there.
    static void show(QWidget* host, const QString& title, const QString& message, const QString& saveLabel,
                     const QString& discardLabel, const QString& cancelLabel, std::function<void()> onSave,
                     std::function<void()> onDiscard, std::function<void()> onCancel);

    std::function<void()> onSave;
    std::function<void()> onDiscard;
    std::function<void()> onCancel;

    QWidget* panel() const { return panel_; }
    // The panel's frame for a host of that size: centred, rounded to whole pixels.
    static QRect panelFrame(const QSize& hostSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    UnsavedAlertView(QWidget* host, const QString& title, const QString& message, const QString& saveLabel,
                     const QString& discardLabel, const QString& cancelLabel);
    void dismiss(std::function<void()> UnsavedAlertView::*choice);
    void followHost();

    QPointer<QWidget> host_;
    QWidget* panel_ = nullptr;
    bool dismissing_ = false;
};

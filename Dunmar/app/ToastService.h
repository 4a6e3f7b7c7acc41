#pragma once

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <functional>

class QFont;

// The layout of one toast, in whole pixels of the host (top-left origin).
struct ToastGeometry {
    QRect toast; // in the host
    QRect pill;  // in the toast
    QRect badge; // in the pill
    QRect text;  // in the toast
};

// Short notices at the top of the window: a coloured pill with a badge word and a line of text.
// A toast replaces the one on show with the same identifier, fades in, and fades out and goes
// after `dismissAfter` seconds; a toast with an action runs it on a click and vanishes at once.
class ToastService {
public:
    static constexpr int kToastHeight = 42;
    static constexpr int kTopGap = 48;
    static constexpr int kFadeInMs = 150;
    static constexpr int kFadeOutMs = 400;
    static constexpr double kDefaultDismissAfter = 6.0;
    static inline const QString kDefaultIdentifier = QStringLiteral("updateToast");

    // `host` is the window's content view; toasts become its children.
    explicit ToastService(QWidget* host = nullptr);
    void setHost(QWidget* host);
    QWidget* host() const { return host_; }

    // Shows a toast and returns it; nothing happens (and nullptr is returned) without a host.
    QWidget* showGenericToast(const QString& badge, const QString& text, const QColor& badgeColor,
                              double dismissAfter = kDefaultDismissAfter,
                              const QString& identifier = kDefaultIdentifier,
                              std::function<void()> onClick = {});

    // Takes every toast under an identifier off the host at once, without a fade.
    void removeToasts(const QString& identifier);

    // The toast on show under an identifier, or nullptr.
    QWidget* toast(const QString& identifier) const;

    // The face of every toast text: monospaced, 15 pixels, medium weight.
    static QFont font();
    // Places a toast whose badge and text measure `badgeSize` and `textSize` in a host of `hostSize`.
    static ToastGeometry layout(QSizeF hostSize, QSizeF badgeSize, QSizeF textSize);

private:
    QPointer<QWidget> host_;
};

#include "app/ToastService.h"

#include "app/ToastParts.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/ClickableToastView.h"
#include "platform/Geometry.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QTimer>
#include <cmath>

namespace {

constexpr qreal kPillHeight = 25;
constexpr qreal kPillInset = 14; // from the toast's left edge, and the text's from the right
constexpr qreal kPillBottom = 9; // from the toast's bottom edge
constexpr qreal kTextGap = 11;   // between the pill and the text

// Takes a toast off the host at once, without animation.
void removeNow(QWidget* toast) {
    toast->hide();
    toast->setParent(nullptr);
    toast->deleteLater();
}

} // namespace

ToastService::ToastService(QWidget* host) : host_(host) {}

void ToastService::setHost(QWidget* host) {
    host_ = host;
}

QFont ToastService::font() {
    return chrome::monoFont(15, QFont::Medium);
}

ToastGeometry ToastService::layout(QSizeF hostSize, QSizeF badgeSize, QSizeF textSize) {
    using geometry::roundToPixel;
    const qreal pillW = std::ceil(badgeSize.width()) + 20;
    const qreal textW = std::ceil(textSize.width());
    const qreal toastW = kPillInset + pillW + kTextGap + textW + kPillInset;
    const qreal badgeH = std::ceil(badgeSize.height());
    const qreal textH = std::ceil(textSize.height());

    // Placed from the bottom left, as the layout was drawn, then turned into top-left pixels.
    ToastGeometry g;
    const QRectF toast(roundToPixel((hostSize.width() - toastW) / 2),
                       hostSize.height() - kToastHeight - kTopGap, toastW, kToastHeight);
    g.toast = geometry::flippedPixels(toast, hostSize.height());
    g.pill = geometry::flippedPixels(QRectF(kPillInset, kPillBottom, pillW, kPillHeight), kToastHeight);
    g.badge = geometry::flippedPixels(QRectF(0, roundToPixel((kPillHeight - badgeH) / 2), pillW, badgeH),
                                      kPillHeight);
    g.text = geometry::flippedPixels(
        QRectF(pillW + kPillInset + kTextGap, roundToPixel((kToastHeight - textH) / 2), textW, textH),
        kToastHeight);
    return g;
}

QWidget* ToastService::toast(const QString& identifier) const {
    if (!host_) return nullptr;
    return host_->findChild<QWidget*>(identifier, Qt::FindDirectChildrenOnly);
}

void ToastService::removeToasts(const QString& identifier) {
    if (!host_) return;
    for (QWidget* old : host_->findChildren<QWidget*>(identifier, Qt::FindDirectChildrenOnly)) removeNow(old);
}

QWidget* ToastService::showGenericToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                        double dismissAfter, const QString& identifier,
                                        std::function<void()> onClick) {
    if (!host_) return nullptr;
    removeToasts(identifier);

    const QFontMetricsF metrics(font());
    const QSizeF badgeSize(metrics.horizontalAdvance(badge), metrics.height());
    const QSizeF textSize(metrics.horizontalAdvance(text), metrics.height());
    const ToastGeometry g = layout(host_->size(), badgeSize, textSize);

    QWidget* toast = nullptr;
    if (onClick) {
        auto* clickable = new ClickableToastView(host_);
        clickable->onClick = std::move(onClick);
        toast = clickable;
    } else {
        // Without an action a click on the toast goes nowhere: the press travels up to the host,
        // not to the view that lies under the toast.
        toast = new QWidget(host_);
    }
    toast->setObjectName(identifier);
    toast->setGeometry(g.toast);

    auto* body = new toastparts::Plate(toast, chrome::white(0.07, 0.93), chrome::white(0.28, 0.5), 0.5);
    body->setGeometry(toast->rect());
    auto* pill = new toastparts::Plate(toast, badgeColor);
    pill->setGeometry(g.pill);
    toastparts::makeLabel(pill, badge, Qt::white, Qt::AlignCenter)->setGeometry(g.badge);
    toastparts::makeLabel(toast, text, chrome::white(0.62), Qt::AlignLeft | Qt::AlignVCenter)
        ->setGeometry(g.text);

    chrome::setWidgetAlpha(toast, 0);
    toast->show();
    toast->raise(); // above every sibling
    chrome::fadeWidget(toast, 1.0, kFadeInMs, chrome::linearCurve());

    const int dismissMs = static_cast<int>(std::max(0.0, dismissAfter) * 1000);
    QPointer<QWidget> guard(toast);
    QTimer::singleShot(dismissMs, toast, [guard] {
        if (!guard) return;
        chrome::fadeWidget(guard, 0.0, kFadeOutMs, chrome::linearCurve(), [guard] {
            if (guard) removeNow(guard);
        });
    });
    return toast;
}

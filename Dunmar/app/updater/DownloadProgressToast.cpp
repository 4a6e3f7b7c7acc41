#include "app/updater/DownloadProgressToast.h"

#include "app/ToastParts.h"
#include "app/ToastService.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "platform/Geometry.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <cmath>

namespace downloadprogress {

namespace {

const QString kIdentifier = QStringLiteral("downloadProgressToast");
const QString kBarIdentifier = QStringLiteral("progressBar");
const QString kLabelIdentifier = QStringLiteral("progressPercent");
const QString kText = QStringLiteral("Downloading update…");
const QColor kProgressBlue = QColor::fromRgbF(0.2f, 0.5f, 0.85f);
constexpr qreal kTopGap = 48;
constexpr qreal kBadgeInset = 14;
constexpr qreal kBadgeBottom = 10;
constexpr qreal kBadgeHeight = 25;
constexpr qreal kTextGap = 11;
constexpr qreal kBarHeight = 4;

QString percentText(double fraction) {
    return QString::number(static_cast<long long>(std::trunc(fraction * 100))) + u'%';
}

// Widths and heights are laid out from the bottom left, as the toast was drawn, and turned into
// top-left pixels of the parent.
QRect barRect(double fraction, qreal toastWidth) {
    return geometry::flippedPixels(QRectF(1, 1, fraction * (toastWidth - 2), kBarHeight), kToastHeight);
}

} // namespace

QWidget* toast(const ToastService& toasts) {
    return toasts.toast(kIdentifier);
}

void show(ToastService& toasts, double fraction) {
    QWidget* host = toasts.host();
    if (!host) return;
    toasts.removeToasts(ToastService::kDefaultIdentifier);
    toasts.removeToasts(QStringLiteral("searchToast"));

    if (QWidget* existing = toast(toasts)) {
        if (auto* label = existing->findChild<QLabel*>(kLabelIdentifier))
            label->setText(percentText(fraction));
        if (auto* bar = existing->findChild<QWidget*>(kBarIdentifier)) {
            const QRect r = barRect(fraction, existing->width());
            bar->setGeometry(bar->x(), bar->y(), r.width(), bar->height());
        }
        return;
    }

    const QFontMetricsF metrics(ToastService::font());
    const QString percent = percentText(fraction);
    const qreal w1 = metrics.horizontalAdvance(percent), h1 = metrics.height();
    const qreal w2 = metrics.horizontalAdvance(kText), h2 = metrics.height();
    const qreal badgeW = std::ceil(w1) + 20;
    const qreal toastW = badgeW + kBadgeInset + kTextGap + std::ceil(w2) + kBadgeInset;

    using geometry::flippedPixels;
    using geometry::roundToPixel;
    auto* view = new QWidget(host);
    view->setObjectName(kIdentifier);
    view->setGeometry(flippedPixels(QRectF(roundToPixel((host->width() - toastW) / 2),
                                           host->height() - kToastHeight - kTopGap, toastW, kToastHeight),
                                    host->height()));
    auto* body = new toastparts::Plate(view, chrome::white(0.07, 0.93), chrome::white(0.28, 0.5), 0.5);
    body->setGeometry(view->rect());
    auto* badge = new toastparts::Plate(view, kProgressBlue);
    badge->setGeometry(flippedPixels(QRectF(kBadgeInset, kBadgeBottom, badgeW, kBadgeHeight), kToastHeight));
    QLabel* label = toastparts::makeLabel(badge, percent, Qt::white, Qt::AlignCenter);
    label->setObjectName(kLabelIdentifier);
    label->setGeometry(flippedPixels(
        QRectF(0, roundToPixel((kBadgeHeight - std::ceil(h1)) / 2), badgeW, std::ceil(h1)), kBadgeHeight));
    toastparts::makeLabel(view, kText, chrome::white(0.62), Qt::AlignLeft | Qt::AlignVCenter)
        ->setGeometry(
            flippedPixels(QRectF(badgeW + kBadgeInset + kTextGap, roundToPixel((44 - std::ceil(h2)) / 2),
                                 std::ceil(w2), std::ceil(h2)),
                          kToastHeight));
    auto* track = new toastparts::Plate(view, chrome::white(0.15), QColor(), 0, 2);
    track->setGeometry(flippedPixels(QRectF(1, 1, toastW - 2, kBarHeight), kToastHeight));
    auto* bar = new toastparts::Plate(view, kProgressBlue, QColor(), 0, 2);
    bar->setObjectName(kBarIdentifier);
    bar->setGeometry(barRect(fraction, toastW));

    chrome::setWidgetAlpha(view, 0);
    view->show();
    view->raise();
    chrome::fadeWidget(view, 1.0, kFadeInMs, chrome::linearCurve());
}

void dismiss(ToastService& toasts) {
    QWidget* view = toast(toasts);
    if (!view) return;
    // Renamed at once, so that a new download's toast is built afresh rather than found fading.
    view->setObjectName(QString());
    QPointer<QWidget> guard(view);
    chrome::fadeWidget(view, 0.0, kFadeOutMs, chrome::linearCurve(), [guard] {
        if (guard) guard->deleteLater();
    });
}

} // namespace downloadprogress

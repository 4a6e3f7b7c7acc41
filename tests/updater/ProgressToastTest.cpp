// The download's progress toast in a window's content: its texts, its geometry, its updates in
// place, and what it replaces.
#include "app/ToastService.h"
#include "app/updater/DownloadProgressToast.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QString percentShown(QWidget* toast) {
    for (QLabel* label : toast->findChildren<QLabel*>())
        if (label->text().endsWith('%')) return label->text();
    return {};
}

} // namespace

TEST(DownloadProgressToast, showsTheTruncatedPercentageAndABarOfThatShare) {
    QWidget host;
    host.resize(800, 500);
    ToastService toasts(&host);
    toasts.showGenericToast("UPDATE", "v1.2.0 available", Qt::green);
    toasts.showGenericToast("FIND", "3 matches", Qt::gray, 6.0, "searchToast");

    downloadprogress::show(toasts, 0);
    QWidget* toast = downloadprogress::toast(toasts);
    ASSERT_TRUE(toast);
    EXPECT_FALSE(toasts.toast(ToastService::kDefaultIdentifier)) << "the update toast gives way";
    EXPECT_FALSE(toasts.toast("searchToast")) << "the search toast gives way";
    EXPECT_EQ(percentShown(toast), "0%");

    const QFontMetricsF metrics(ToastService::font());
    const int badgeW = static_cast<int>(std::ceil(metrics.horizontalAdvance("0%"))) + 20;
    const int width =
        badgeW + 14 + 11 +
        static_cast<int>(std::ceil(metrics.horizontalAdvance(QString::fromUtf8("Downloading update…")))) + 14;
    EXPECT_EQ(toast->geometry(), QRect(static_cast<int>(std::round((800 - width) / 2.0)), 48, width, 48));
    QWidget* bar = toast->findChild<QWidget*>("progressBar");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->geometry(), QRect(1, 43, 0, 4));
    bool hasText = false;
    for (QLabel* label : toast->findChildren<QLabel*>())
        hasText |= label->text() == QString::fromUtf8("Downloading update…");
    EXPECT_TRUE(hasText);

    struct Step {
        double fraction;
        const char* shown;
    };
    for (const Step step : {Step{0.5, "50%"}, Step{0.999, "99%"}, Step{1.0, "100%"}}) {
        downloadprogress::show(toasts, step.fraction);
        EXPECT_EQ(downloadprogress::toast(toasts), toast) << "updated in place";
        EXPECT_EQ(percentShown(toast), step.shown);
        EXPECT_EQ(toast->width(), width) << "the toast keeps its size";
        EXPECT_EQ(bar->width(), static_cast<int>(std::round(step.fraction * (width - 2))));
        EXPECT_EQ(bar->y(), 43);
    }

    downloadprogress::dismiss(toasts);
    QPointer<QWidget> fading(toast);
    EXPECT_FALSE(downloadprogress::toast(toasts));
    QTRY_VERIFY_WITH_TIMEOUT(!fading, 5000);
    downloadprogress::dismiss(toasts); // nothing on show: nothing happens
}

// Toasts at the top of the window: where they sit, how they replace each other, clicks, and going.
#include "app/ToastService.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeTestSupport.h"
#include "chrome/ClickableToastView.h"
#include "support/Waits.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QLabel>
#include <gtest/gtest.h>

using namespace chrometest;

namespace {

struct ToastFixture : testing::Test {
    QWidget host;
    ToastService toasts{&host};
    ToastFixture() {
        host.resize(800, 600);
        host.show();
    }
    QList<QWidget*> shown() const {
        QList<QWidget*> out;
        for (QWidget* w : host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!w->objectName().isEmpty()) out << w;
        return out;
    }
};

bool waitUntil(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

} // namespace

TEST(ToastLayout, MeasuredFromTheTopCentredAndRoundedToPixels) {
    const ToastGeometry g = ToastService::layout(QSizeF(800, 600), QSizeF(40.2, 18.4), QSizeF(100.5, 18.4));
    // pill 41 + 20; toast 14 + 61 + 11 + 101 + 14; x = (800 - 201) / 2 rounded half away from zero.
    EXPECT_EQ(g.toast, QRect(300, 48, 201, 42));
    EXPECT_EQ(g.pill, QRect(14, 8, 61, 25));
    EXPECT_EQ(g.badge, QRect(0, 3, 61, 19));
    EXPECT_EQ(g.text, QRect(86, 11, 101, 19));

    // A one-letter badge still gets its 20 points of padding.
    const ToastGeometry narrow = ToastService::layout(QSizeF(300, 200), QSizeF(9, 18), QSizeF(0, 18));
    EXPECT_EQ(narrow.pill.width(), 29);
    EXPECT_EQ(narrow.toast.width(), 14 + 29 + 11 + 0 + 14);
    EXPECT_EQ(narrow.toast.top(), 48);
}

TEST_F(ToastFixture, AToastIsBuiltAsLaidOutAndFadesIn) {
    QWidget* sibling = new QWidget(&host);
    sibling->show();
    QWidget* toast = toasts.showGenericToast("UPDATE", "Version 1.1 is ready", QColor(10, 132, 255));
    ASSERT_NE(toast, nullptr);
    const QFontMetricsF m(ToastService::font());
    const ToastGeometry g =
        ToastService::layout(host.size(), QSizeF(m.horizontalAdvance("UPDATE"), m.height()),
                             QSizeF(m.horizontalAdvance("Version 1.1 is ready"), m.height()));
    EXPECT_EQ(toast->geometry(), g.toast);
    EXPECT_EQ(toast->objectName(), "updateToast");
    EXPECT_EQ(toasts.toast("updateToast"), toast);
    EXPECT_EQ(host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).last(), toast) << "above every sibling";
    QStringList texts;
    for (QLabel* label : toast->findChildren<QLabel*>()) texts << label->text();
    EXPECT_EQ(texts, QStringList({"UPDATE", "Version 1.1 is ready"}));

    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(toast), 0.0);
    finishAnimations(toast);
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(toast), 1.0);
}

TEST_F(ToastFixture, ASameIdentifierReplacesADifferentOneStandsBeside) {
    QPointer<QWidget> first = toasts.showGenericToast("A", "first", Qt::red);
    QPointer<QWidget> second = toasts.showGenericToast("B", "second", Qt::red);
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(shown(), QList<QWidget*>({second.data()}));

    QPointer<QWidget> other = toasts.showGenericToast("FORMAT", "done", Qt::green, 6.0, "formatToast");
    flushDeletes();
    EXPECT_EQ(shown().size(), 2);
    EXPECT_FALSE(second.isNull());
    EXPECT_EQ(other->geometry().top(), second->geometry().top()) << "both at the same place";
}

TEST_F(ToastFixture, OnlyAToastWithAnActionAnswersClicks) {
    QPointer<QWidget> quiet = toasts.showGenericToast("INFO", "nothing to do", Qt::gray);
    click(quiet.data(), {20, 20});
    flushDeletes();
    EXPECT_FALSE(quiet.isNull());
    EXPECT_EQ(qobject_cast<ClickableToastView*>(quiet.data()), nullptr);

    int clicks = 0;
    QPointer<QWidget> action =
        toasts.showGenericToast("UPDATE", "click to install", Qt::blue, 6.0, "other", [&] { ++clicks; });
    click(action.data(), {20, 20});
    EXPECT_EQ(clicks, 1);
    flushDeletes();
    EXPECT_TRUE(action.isNull()) << "a clicked toast vanishes at once";
}

TEST_F(ToastFixture, AToastFadesOutAndGoesAfterItsTime) {
    QPointer<QWidget> toast = toasts.showGenericToast("SAVED", "notes.md", Qt::darkGreen, 0.05, "savedToast");
    ASSERT_FALSE(toast.isNull());
    EXPECT_TRUE(waitUntil([&] { return toast.isNull() || chrome::widgetAlpha(toast) < 1.0; }));
    EXPECT_TRUE(waitUntil([&] {
        flushDeletes();
        return toast.isNull();
    }));

    // A replaced toast's own timer finds nothing left to remove, and leaves its successor alone.
    toasts.showGenericToast("A", "old", Qt::red, 0.05);
    QPointer<QWidget> successor = toasts.showGenericToast("B", "new", Qt::red, 60);
    // The old toast's timer has fired by then, and a fade it began would have run out.
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(50));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd());
    flushDeletes();
    EXPECT_FALSE(successor.isNull());
    EXPECT_EQ(shown(), QList<QWidget*>({successor.data()}));
}

TEST(ToastService, WithoutAHostNothingHappens) {
    ToastService toasts;
    EXPECT_EQ(toasts.showGenericToast("A", "b", Qt::red), nullptr);
    QWidget* host = new QWidget;
    toasts.setHost(host);
    delete host;
    EXPECT_EQ(toasts.showGenericToast("A", "b", Qt::red), nullptr);
}

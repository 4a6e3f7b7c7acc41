#include "ChromeTestSupport.h"
#include "chrome/ChromeAnimation.h"
#include "chrome/ClickableToastView.h"
#include "chrome/FlippedClipView.h"
#include "chrome/UnsavedAlertView.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace chrometest;

namespace {

struct AlertFixture {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
    QStringList answers;
    explicit AlertFixture(QSize size = QSize(801, 301)) {
        host->resize(size);
        host->show();
    }
    void show() {
        UnsavedAlertView::show(
            host.get(), QStringLiteral("Unsaved Changes"), QStringLiteral("Save changes before closing?"),
            QStringLiteral("Save"), QStringLiteral("Discard"), QStringLiteral("Cancel"),
            [this] { answers << "save"; }, [this] { answers << "discard"; }, [this] { answers << "cancel"; });
    }
    UnsavedAlertView* alert() const { return host->findChild<UnsavedAlertView*>(); }
    // The answer buttons, left to right.
    QList<QWidget*> buttons() const {
        QList<QWidget*> out;
        for (QWidget* w : alert()->panel()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) out << w;
        std::sort(out.begin(), out.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
        return out;
    }
};

} // namespace

TEST(UnsavedAlert, PanelIsCentredAndFollowsTheHost) {
    AlertFixture f;
    f.show();
    UnsavedAlertView* alert = f.alert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->geometry(), QRect(0, 0, 801, 301));
    // Centred with halves rounded away from zero, measured from the bottom: 246 across, 75 up.
    EXPECT_EQ(alert->panel()->geometry(), QRect(246, 301 - 75 - 152, 310, 152));
    const QList<QWidget*> buttons = f.buttons();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[0]->geometry(), QRect(16, 152 - 9 - 28, 87, 28));
    EXPECT_EQ(buttons[1]->geometry().x(), 111);
    EXPECT_EQ(buttons[2]->geometry().x(), 207);
    EXPECT_EQ(buttons[2]->geometry().right() + 1, 310 - 16);
    EXPECT_EQ(buttons[0]->accessibleName(), QStringLiteral("Cancel"));
    EXPECT_EQ(buttons[2]->accessibleName(), QStringLiteral("Save"));

    finishAnimations(alert);
    EXPECT_DOUBLE_EQ(chrome::widgetAlpha(alert), 1.0);
    f.host->resize(1000, 700);
    EXPECT_EQ(alert->geometry(), QRect(0, 0, 1000, 700));
    EXPECT_EQ(alert->panel()->geometry(), QRect(345, 274, 310, 152));
}

TEST(UnsavedAlert, OutsideClicksAndReleasesOutsideAButtonDoNothing) {
    AlertFixture f;
    f.show();
    finishAnimations(f.alert());
    click(f.alert(), {5, 5}); // the dimmed area swallows it
    QWidget* save = f.buttons()[2];
    press(save, {10, 10});
    release(save, {200, 10});
    finishAnimations(f.host.get());
    EXPECT_NE(f.alert(), nullptr);
    EXPECT_TRUE(f.answers.isEmpty());
}

TEST(UnsavedAlert, TheAnswerRunsAfterTheAlertHasGone) {
    AlertFixture f;
    f.show();
    finishAnimations(f.host.get());
    bool goneWhenRun = false;
    int alertsAfter = -1;
    UnsavedAlertView* first = f.alert();
    first->onDiscard = [&] {
        goneWhenRun = f.host->findChildren<UnsavedAlertView*>().isEmpty();
        f.show(); // the answer may ask again in the same host
        alertsAfter = static_cast<int>(f.host->findChildren<UnsavedAlertView*>().size());
    };
    click(f.buttons()[1]);
    EXPECT_FALSE(goneWhenRun); // the fade-out runs first
    finishAnimations(first);
    EXPECT_TRUE(goneWhenRun);
    EXPECT_EQ(alertsAfter, 1);
    ASSERT_NE(f.alert(), nullptr);
    EXPECT_NE(f.alert(), first);
    finishAnimations(f.host.get());
    click(f.buttons()[0]);
    finishAnimations(f.alert());
    EXPECT_EQ(f.answers, QStringList{"cancel"});
    EXPECT_EQ(f.alert(), nullptr);
}

TEST(UnsavedAlert, BindsNoKeys) {
    AlertFixture f;
    auto* field = new QLineEdit(f.host.get());
    field->show();
    QApplication::setActiveWindow(f.host.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.host.get()));
    field->setFocus();
    f.show();
    finishAnimations(f.host.get());
    EXPECT_FALSE(f.alert()->bindsKeys());
    EXPECT_EQ(QApplication::focusWidget(), field) << "the alert takes no keyboard";
    // Return and Escape answer nothing and keys go where they went before.
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(f.alert(), Qt::Key_Return);
    QTest::keyClick(f.alert(), Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_A);
    finishAnimations(f.host.get());
    ASSERT_NE(f.alert(), nullptr);
    EXPECT_FALSE(f.alert()->isDismissing());
    EXPECT_TRUE(f.answers.isEmpty());
    EXPECT_EQ(field->text(), "a");
}

TEST(AlertSheet, AnswersShareTheRowAndAnIconIsOptional) {
    struct Case {
        int answers;
        int width;
        QList<int> xs;
    };
    // Between the 16-point margins with 8-point gaps: three are 87.33 wide, two 135, one 278.
    const Case cases[] = {{1, 278, {16}}, {2, 135, {16, 159}}};
    for (const Case& c : cases) {
        QWidget host;
        host.resize(600, 300);
        QList<AlertSheetView::Answer> answers;
        for (int i = 0; i < c.answers; ++i) answers << AlertSheetView::Answer{.label = QString::number(i)};
        AlertSheetView* alert =
            AlertSheetView::show(&host, QStringLiteral("Dunmar"), QStringLiteral("Version 1"), answers,
                                 AlertSheetView::Icon::none);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->icon(), AlertSheetView::Icon::none);
        EXPECT_EQ(alert->panel()->geometry(), AlertSheetView::panelFrame(host.size()));
        ASSERT_EQ(alert->answerButtons().size(), c.answers);
        for (int i = 0; i < c.answers; ++i) {
            EXPECT_EQ(alert->answerButtons()[i]->geometry(), QRect(c.xs[i], 152 - 9 - 28, c.width, 28))
                << c.answers << " answers, button " << i;
            EXPECT_EQ(alert->answerButtons()[i]->accessibleName(), QString::number(i));
        }
    }
    QWidget host;
    EXPECT_EQ(AlertSheetView::show(&host, "t", "m", {}), nullptr) << "no question without an answer";
    EXPECT_EQ(AlertSheetView::show(nullptr, "t", "m", {AlertSheetView::Answer{.label = "OK"}}), nullptr);
}

TEST(AlertSheet, WithdrawnItGoesAtOnceAndAnswersNothing) {
    QWidget host;
    host.resize(600, 300);
    QStringList chosen;
    AlertSheetView* alert = AlertSheetView::show(
        &host, "t", "m",
        {{.label = "Cancel", .onChoose = [&] { chosen << "cancel"; }, .isCancel = true},
         {.label = "OK", .accent = true, .onChoose = [&] { chosen << "ok"; }, .isDefault = true}});
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->bindsKeys());
    QPointer<AlertSheetView> guard(alert);
    alert->choose(1); // answered, fading out
    alert->withdraw();
    EXPECT_TRUE(host.findChildren<AlertSheetView*>().isEmpty());
    finishAnimations(&host);
    flushDeletes();
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(chosen.isEmpty());
}

TEST(ClickableToast, ClickRunsTheActionThenRemovesTheToast) {
    QWidget host;
    host.resize(400, 300);
    auto* toast = new ClickableToastView(&host);
    toast->setGeometry(100, 240, 200, 42);
    EXPECT_EQ(toast->cursor().shape(), Qt::PointingHandCursor);
    QWidget* parentAtAction = nullptr;
    QRect frameAtAction;
    toast->onClick = [&] {
        parentAtAction = toast->parentWidget();
        frameAtAction = toast->geometry();
    };
    QPointer<ClickableToastView> guard(toast);
    click(toast, {10, 10});
    EXPECT_EQ(parentAtAction, &host);
    EXPECT_EQ(frameAtAction, QRect(100, 240, 200, 42));
    EXPECT_TRUE(host.findChildren<ClickableToastView*>().isEmpty());
    flushDeletes();
    EXPECT_TRUE(guard.isNull());

    // Without an action a click only removes it.
    auto* quiet = new ClickableToastView(&host);
    press(quiet, {1, 1});
    EXPECT_TRUE(host.findChildren<ClickableToastView*>().isEmpty());
}

TEST(FlippedClipView, RowsStartAtTheTopWhenTheContentIsShort) {
    FlippedClipView view;
    view.resize(240, 300);
    auto* content = new QWidget;
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(4);
    view.setDocument(content);
    view.show();
    QList<QLabel*> labels;
    for (int i = 0; i < 3; ++i) {
        auto* row = new QLabel(QStringLiteral("row %1").arg(i));
        row->setFixedHeight(30);
        rows->addWidget(row);
        labels << row;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(labels[0]->mapTo(view.viewport(), QPoint(0, 0)).y(), 0);
    EXPECT_EQ(labels[1]->mapTo(view.viewport(), QPoint(0, 0)).y(), 34);
    EXPECT_EQ(content->width(), view.viewport()->width());
    EXPECT_EQ(content->height(), 3 * 30 + 2 * 4);
}

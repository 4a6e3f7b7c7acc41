// The footer badge, the popover and the popover's opening and closing, offscreen.
#include "aiusage/AIUsageBadge.h"
#include "aiusage/AIUsageLevel.h"
#include "aiusage/AIUsageManager.h"
#include "aiusage/AIUsagePopover.h"
#include "aiusage/AIUsagePopoverController.h"
#include "chrome/ChromeStyle.h"
#include "platform/Defaults.h"
#include "support/Artifacts.h"
#include "support/Waits.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <gtest/gtest.h>

namespace {

AIUsageData withFiveHour(double utilization) {
    AIUsageData data;
    data.fiveHour = AIUsageCategory{utilization, std::nullopt};
    data.fetchedAt = QDateTime::currentDateTimeUtc();
    return data;
}

QStringList labelTexts(const AIUsagePopover& popover) {
    QStringList out;
    for (const QLabel* label : popover.contentStack()->findChildren<QLabel*>()) out << label->text();
    return out;
}

// A fixed zone for the dates the popover writes out.
class BerlinTime {
public:
    BerlinTime() : saved_(qgetenv("TZ")) { setZone("Europe/Berlin"); }
    ~BerlinTime() { saved_.isEmpty() ? (qunsetenv("TZ"), tzset()) : setZone(saved_); }

private:
    static void setZone(const QByteArray& zone) {
        qputenv("TZ", zone);
        tzset();
    }
    QByteArray saved_;
};

} // namespace

TEST(UsageBadge, ShowsTheFiveHourWindowInItsLevelColour) {
    AIUsageBadge badge;
    EXPECT_EQ(badge.text(), QString::fromUtf8("AI —"));
    const struct {
        double utilization;
        const char* text;
        QColor colour;
    } cases[] = {
        {79.9, "AI 79%", chrome::systemOrange()},  {80.0, "AI 80%", chrome::systemRed()},
        {49.99, "AI 49%", aiusage::levelColor(0)}, {50, "AI 50%", chrome::systemOrange()},
        {130, "AI 130%", chrome::systemRed()},
    };
    for (const auto& c : cases) {
        badge.update(withFiveHour(c.utilization));
        EXPECT_EQ(badge.text(), c.text);
        EXPECT_EQ(badge.dotColor(), c.colour) << c.text;
        EXPECT_EQ(badge.textColor(), chrome::withAlpha(c.colour, 0.85)) << c.text;
    }
    EXPECT_EQ(aiusage::levelColor(49.99), aiusage::levelColor(0));
    EXPECT_NE(aiusage::levelColor(0), chrome::systemOrange());

    // Without the five-hour window: grey, whatever else there is; the last percentage stays.
    AIUsageData noFiveHour;
    noFiveHour.sevenDay = AIUsageCategory{90, std::nullopt};
    for (const std::optional<AIUsageData>& data :
         {std::optional<AIUsageData>(noFiveHour), std::optional<AIUsageData>()}) {
        badge.update(data);
        EXPECT_EQ(badge.text(), QString::fromUtf8("AI —"));
        EXPECT_EQ(badge.dotColor(), chrome::white(0.4));
        EXPECT_EQ(badge.textColor(), chrome::white(0.4, 0.85));
    }
    EXPECT_DOUBLE_EQ(badge.utilization(), 130);
    EXPECT_EQ(badge.sizeHint(), QSize(AIUsageBadge::kMinWidth, 22))
        << "a short label keeps the badge 80 wide";

    int clicks = 0;
    badge.onClick = [&] { ++clicks; };
    badge.resize(badge.sizeHint());
    QTest::mouseClick(&badge, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(&badge, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&badge, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks, 1) << "released outside: no click";
}

TEST(UsagePopover, ResetAndAgeTexts) {
    BerlinTime zone;
    const QDateTime now = QDateTime::fromString("2031-05-04T10:00:00Z", Qt::ISODate);
    const struct {
        qint64 secondsAhead;
        QString text;
    } cases[] = {
        {2 * 3600 + 5 * 60 + 30, "in 2h 5m"},
        {59, "in 0m"},
        {3600, "in 1h 0m"},
        {0, "jetzt"},
        {-10, "jetzt"},
        {89999, "in 24h 59m"},
        {90000, QString::fromUtf8("Mo., 5. Mai 13:00")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AIUsagePopover::formatReset(now.addSecs(c.secondsAhead), now), c.text) << c.secondsAhead;
    EXPECT_EQ(AIUsagePopover::ageText(now.addSecs(-3), now), QString::fromUtf8("↻ gerade eben"));
    EXPECT_EQ(AIUsagePopover::ageText(now.addSecs(-3700), now), QString::fromUtf8("↻ vor 3700s"));
}

TEST(UsagePopover, HeightsFollowTheWindowsShown) {
    const QDateTime now = QDateTime::fromString("2031-05-04T10:00:00Z", Qt::ISODate);
    AIUsagePopover popover;
    popover.now = [now] { return now; };
    popover.setGeometry(10, 0, AIUsagePopover::kWidth, 200);

    AIUsageData full;
    const AIUsageCategory window{130, now.addSecs(7530)};
    full.fiveHour = full.sevenDay = full.sevenDayOpus = full.sevenDaySonnet = window;
    full.extraUsageEnabled = true;
    full.fetchedAt = now.addSecs(-3);
    popover.update(full, 200);
    EXPECT_EQ(popover.height(), 30 + 34 + 4 * 48 + 24);
    EXPECT_EQ(popover.geometry().bottom(), 199) << "the bottom edge stays";
    const QStringList texts = labelTexts(popover);
    for (const char* expected : {"Claude Code Usage", "Session (5h)", "Weekly (All Models)", "Weekly (Opus)",
                                 "Weekly (Sonnet)", "Extra Usage", "130%", "Reset: in 2h 5m", "0%"})
        EXPECT_TRUE(texts.contains(expected)) << expected;
    EXPECT_TRUE(texts.contains(QString::fromUtf8("↻ gerade eben")));

    AIUsageData empty;
    empty.fetchedAt = now;
    popover.update(empty, 200);
    EXPECT_EQ(popover.height(), 54);
    const struct {
        int status;
        const char* text;
    } statuses[] = {
        {0, "Waiting for first response..."},
        {401, "Invalid token — please sign in again"},
        {403, "Invalid token — please sign in again"},
        {429, "API rate limited (429) — please wait"},
        {500, "No data (HTTP 500)"},
    };
    for (const auto& s : statuses) {
        popover.update(std::nullopt, s.status);
        EXPECT_EQ(popover.height(), 46);
        EXPECT_EQ(labelTexts(popover), QStringList{QString::fromUtf8(s.text)});
    }
    bool refreshed = false;
    popover.onRefresh = [&] { refreshed = true; };
    popover.refreshButton()->click();
    EXPECT_TRUE(refreshed);
    EXPECT_FALSE(popover.refreshButton()->isEnabled());
    popover.setRefreshDone();
    EXPECT_TRUE(popover.refreshButton()->isEnabled());
}

TEST(UsagePopover, OpensAboveTheBadgeAndClosesOnAnyClickButItsOwn) {
    EXPECT_EQ(AIUsagePopoverController::popoverX(300, 400), 172);
    EXPECT_EQ(AIUsagePopoverController::popoverX(60, 400), 8);
    EXPECT_EQ(AIUsagePopoverController::popoverX(395, 400), 172);
    EXPECT_EQ(AIUsagePopoverController::popoverX(100, 200), -28) << "too narrow: the right edge wins";

    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    AIUsageManager manager(defaults);
    AIUsagePopoverController controller(manager);
    QWidget content;
    content.resize(400, 300);
    auto* other = new QWidget(&content);
    other->setGeometry(0, 0, 100, 100);
    auto* badge = new AIUsageBadge(&content);
    badge->setGeometry(260, 270, 80, 22);
    badge->onClick = [&] { controller.toggleUsagePopover(); };
    controller.attach(&content, badge);
    content.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&content));

    QTest::mouseClick(badge, Qt::LeftButton, {}, QPoint(40, 11));
    AIUsagePopover* popover = controller.popover();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->geometry(), QRect(172, 300 - 48 - 46, 220, 46));
    EXPECT_EQ(labelTexts(*popover), QStringList{"Waiting for first response..."});

    // Its own clicks keep it; a click on the badge closes it once; one elsewhere closes it and
    // still reaches its target.
    QTest::mouseClick(popover, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_NE(controller.popover(), nullptr);
    QTest::mouseClick(badge, Qt::LeftButton, {}, QPoint(40, 11));
    EXPECT_EQ(controller.popover(), nullptr);
    QTest::mouseClick(badge, Qt::LeftButton, {}, QPoint(40, 11));
    ASSERT_NE(controller.popover(), nullptr);
    int otherClicks = 0;
    class Counter : public QObject {
    public:
        explicit Counter(int& n) : n_(n) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::MouseButtonPress) ++n_;
            return false;
        }
        int& n_;
    } counter(otherClicks);
    other->installEventFilter(&counter);
    QTest::mouseClick(other, Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_EQ(controller.popover(), nullptr);
    EXPECT_EQ(otherClicks, 1);

    // Published results reach the badge and an open popover; hiding the badge closes it.
    QTest::mouseClick(badge, Qt::LeftButton, {}, QPoint(40, 11));
    ASSERT_NE(controller.popover(), nullptr);
    controller.popover()->refreshButton()->click();
    controller.publish(withFiveHour(55));
    EXPECT_EQ(badge->text(), "AI 55%");
    EXPECT_TRUE(labelTexts(*controller.popover()).contains("Session (5h)"));
    EXPECT_TRUE(controller.popover()->refreshButton()->isEnabled());
    badge->hide();
    EXPECT_EQ(controller.popover(), nullptr);
    testsupport::drainEvents();
}

TEST(UsagePopover, ArtifactBadgesAndPopover) {
    QWidget strip;
    strip.resize(4 * 96 + 8, 34);
    strip.setStyleSheet("background: #1c1c1e;");
    const std::optional<AIUsageData> states[] = {withFiveHour(12), withFiveHour(64.2), withFiveHour(91),
                                                 std::nullopt};
    for (int i = 0; i < 4; ++i) {
        auto* badge = new AIUsageBadge(&strip);
        badge->update(states[i]);
        badge->setGeometry(8 + 96 * i, 6, badge->sizeHint().width(), 22);
    }
    strip.show();
    testsupport::snapshot(&strip).save(testsupport::artifactsDir() + "/usage-badges.png");

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QWidget back;
    back.resize(480, 320);
    back.setStyleSheet("background: #101012;");
    AIUsageData data;
    data.fiveHour = AIUsageCategory{42, now.addSecs(2 * 3600 + 600)};
    data.sevenDay = AIUsageCategory{67, now.addDays(3)};
    data.sevenDayOpus = AIUsageCategory{88, now.addDays(3)};
    data.extraUsageEnabled = true;
    data.extraUsageUtilization = 5;
    data.fetchedAt = now.addSecs(-40);
    auto* withData = new AIUsagePopover(&back);
    withData->setGeometry(12, 0, AIUsagePopover::kWidth, 300);
    withData->update(data, 200);
    auto* noData = new AIUsagePopover(&back);
    noData->setGeometry(248, 0, AIUsagePopover::kWidth, 300);
    noData->update(std::nullopt, 429);
    back.show();
    testsupport::snapshot(&back).save(testsupport::artifactsDir() + "/usage-popover.png");
    EXPECT_EQ(withData->height(), 30 + 34 + 3 * 48 + 24);
}

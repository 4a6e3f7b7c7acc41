// The DevTools client against Debian's real Chromium, headless, showing pages of a local server.
#include "webpicker/ChromeCDPClient.h"

#include "Chromium.h"
#include "WebPickerTestSupport.h"
#include "platform/Defaults.h"
#include "support/EndlessServer.h"
#include "support/Waits.h"
#include "webpicker/DevToolsTargets.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testsupport::await;
using OptJson = std::optional<QJsonObject>;
using OptText = std::optional<QString>;

namespace {

// A page taller than the window with a 100 x 50 red box 1,500 px down, marked as pick 3, and an
// empty marked element as pick 5.
const QByteArray kShotPage = R"(<!doctype html><html><body style="margin:0;background:#fff">
<div style="height:1500px"></div>
<div data-pk-pick-3="1" style="width:100px;height:50px;background:#f00"></div>
<span data-pk-pick-5="1"></span>
<div style="height:3000px"></div></body></html>)";

struct ClientFixture : ::testing::Test {
    QTemporaryDir dir;
    Defaults defaults{dir.filePath("defaults.json")};
    testsupport::PageServer pages;
    testsupport::Chromium chromium;
    ChromeCDPClient client{defaults};

    void SetUp() override {
        pages.addPage("/a", "<!doctype html><title>A</title><p>a</p>");
        pages.addPage("/b", "<!doctype html><title>B</title><p>b</p>");
        pages.addPage("/shot", kShotPage);
        ASSERT_TRUE(chromium.start(pages.url("/a")));
        client.setPortOverride(chromium.port());
    }

    OptJson evaluate(const QString& script) {
        return await<OptJson>([&](auto done) { client.evaluate(script, done); });
    }
    QJsonValue value(const QString& script) {
        const OptJson result = evaluate(script);
        return result ? result->value("result").toObject().value("value") : QJsonValue();
    }
};

} // namespace

TEST_F(ClientFixture, FindsOpensAndClosesTabsOverHttp) {
    EXPECT_EQ(await<bool>([&](auto done) { client.isAvailable(done); }), true);

    const OptText page = await<OptText>([&](auto done) { client.getActiveTabWS(std::nullopt, done); });
    ASSERT_TRUE(page);
    const QString pageId = *devtools::targetIdOfWebSocket(*page);
    EXPECT_EQ(await<OptText>([&](auto done) { client.getTabHostname(pageId, done); }), QString("127.0.0.1"));

    // A new blank tab: an empty host, and the preferred target when asked for.
    const OptText blank = await<OptText>([&](auto done) { client.createBlankTab(done); });
    ASSERT_TRUE(blank) << "PUT /json/new";
    const QString blankId = *devtools::targetIdOfWebSocket(*blank);
    EXPECT_EQ(await<OptText>([&](auto done) { client.getTabHostname(blankId, done); }), QString(""));
    EXPECT_EQ(await<OptText>([&](auto done) { client.getActiveTabWS(blankId, done); }), blank);
    EXPECT_EQ(await<OptText>([&](auto done) { client.getActiveTabWS(QString("no-such-target"), done); }),
              await<OptText>([&](auto done) { client.getActiveTabWS(std::nullopt, done); }));

    EXPECT_TRUE(await<bool>([&](auto done) { client.activateTarget(pageId, [done] { done(true); }); }));
    EXPECT_TRUE(await<bool>([&](auto done) { client.closeTab(blankId, [done] { done(true); }); }));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !await<OptText>([&](auto done) { client.getTabHostname(blankId, done); }); }, 10000))
        << "the closed tab leaves the list";
}

TEST_F(ClientFixture, CommandsAnswersNavigationAndScreenshotsOnTheChannel) {
    const QString page = *await<OptText>([&](auto done) { client.getActiveTabWS(std::nullopt, done); });

    // Without a channel nothing is sent and no id is used.
    EXPECT_EQ(await<OptJson>([&](auto done) { client.cdpCommand("Runtime.evaluate", {}, done); }), std::nullopt);
    EXPECT_EQ(client.messageId(), 0);

    ASSERT_EQ(await<bool>([&](auto done) { client.connect(page, done); }), true);
    EXPECT_EQ(value("6 * 7"), QJsonValue(42));
    EXPECT_EQ(client.messageId(), 1) << "the first command has id 1";
    EXPECT_EQ(await<OptJson>([&](auto done) { client.cdpCommand("No.suchMethod", {}, done); }), std::nullopt)
        << "an error answer carries no result";
    EXPECT_EQ(client.messageId(), 2);

    // Only http(s) addresses are opened; a bare local address gets http.
    client.navigate("ftp://127.0.0.1/");
    client.navigate("   ");
    EXPECT_EQ(client.messageId(), 2) << "nothing sent";
    const QString bareB = pages.url("/b").mid(QString("http://").size());
    client.navigate(bareB);
    EXPECT_EQ(client.messageId(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return value("location.href").toString() == pages.url("/b"); }, 10000));

    // A reconnect numbers from 1 again.
    ASSERT_EQ(await<bool>([&](auto done) { client.connect(page, done); }), true);
    EXPECT_EQ(client.messageId(), 0);
    EXPECT_EQ(value("document.title"), QJsonValue("B"));
    EXPECT_EQ(client.messageId(), 1);

    // The screenshot of an element scrolled into view: its own pixels, not those at its place in the
    // visible part of the page.
    client.navigate(pages.url("/shot"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return value("document.readyState").toString() == "complete" &&
                                              value("location.pathname").toString() == "/shot"; }, 10000));
    EXPECT_EQ(value("window.scrollTo(0, 1400); window.scrollY"), QJsonValue(1400));
    const auto png = await<std::optional<QByteArray>>([&](auto done) { client.captureElementScreenshot(3, done); });
    ASSERT_TRUE(png);
    const QImage image = QImage::fromData(*png, "PNG");
    ASSERT_EQ(image.size(), QSize(100, 50));
    int notRed = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != QColor(255, 0, 0)) ++notRed;
    EXPECT_EQ(notRed, 0);
    EXPECT_EQ(await<std::optional<QByteArray>>([&](auto done) { client.captureElementScreenshot(5, done); }),
              std::nullopt)
        << "an element without size";
    EXPECT_EQ(await<std::optional<QByteArray>>([&](auto done) { client.captureElementScreenshot(9, done); }),
              std::nullopt)
        << "no such element";

    // An attempt overtaken by a newer one loses, and its ping timer leaves the new channel alone.
    client.setPingTimeoutMs(300);
    std::optional<bool> first, second;
    client.connect("ws://127.0.0.1:1/devtools/page/none", [&](bool ok) { first = ok; });
    client.connect(page, [&](bool ok) { second = ok; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return first && second; }, 10000));
    EXPECT_FALSE(*first);
    EXPECT_TRUE(*second);
    ASSERT_TRUE(testsupport::waitForTimerStartedBefore(300));
    EXPECT_TRUE(client.isOpen());
    EXPECT_EQ(value("1 + 1"), QJsonValue(2));

    client.disconnect();
    EXPECT_FALSE(client.isOpen());
    EXPECT_EQ(await<OptJson>([&](auto done) { client.evaluate("1", done); }), std::nullopt);
    EXPECT_EQ(client.messageId(), 0);
}

// Another program on the debugging port that answers without end: the client takes 1 MiB or the
// request's time-out, whichever comes first, and says which.
TEST(ChromeCDPClientLimits, AnAnswerWithoutEndIsCutOffAndNamed) {
    using testsupport::EndlessServer;
    QTemporaryDir dir;
    Defaults defaults{dir.filePath("defaults.json")};
    ChromeCDPClient client{defaults};

    EndlessServer flood(EndlessServer::Pace::flood);
    client.setPortOverride(flood.port());
    EXPECT_EQ(await<bool>([&](auto done) { client.isAvailable(done); }), false);
    EXPECT_EQ(client.lastCutOff(), QStringLiteral("port %1: answer larger than 1 MiB").arg(flood.port()));

    EndlessServer trickle(EndlessServer::Pace::trickle, 100);
    client.setPortOverride(trickle.port());
    EXPECT_EQ(await<OptText>([&](auto done) { client.getActiveTabWS(std::nullopt, done); }), std::nullopt);
    EXPECT_EQ(client.lastCutOff(),
              QStringLiteral("port %1: answer not complete after 3 s").arg(trickle.port()));
}

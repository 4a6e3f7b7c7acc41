// The picker sidebar's connection life cycle against Debian's real Chromium: the remembered tab,
// a closed tab, the user's own tabs kept and the picker's own closed on disconnect, a lost browser
// and the browser started again by the sidebar.
#include "Chromium.h"
#include "WebPickerTestSupport.h"
#include "platform/Defaults.h"
#include "support/WebPickerTestAccess.h"
#include "webpicker/BrowserLauncher.h"
#include "webpicker/BrowserProfile.h"
#include "webpicker/ChromeCDPClient.h"
#include "webpicker/DevToolsPort.h"
#include "webpicker/DevToolsTargets.h"
#include "webpicker/WebPickerConnection.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The ids of the browser's listed targets.
QStringList targetIds(int port) {
    QStringList ids;
    const auto body = testsupport::devtoolsRequest(port, "GET", "/json/list");
    if (!body) return ids;
    for (const QJsonValue& t : QJsonDocument::fromJson(*body).array())
        ids << t.toObject().value("id").toString();
    return ids;
}

// Opens a page as the user would: a tab the picker did not open.
QString openUserTab(int port, const QString& url) {
    const auto body = testsupport::devtoolsRequest(port, "PUT", "/json/new?" + url);
    return body ? QJsonDocument::fromJson(*body).object().value("id").toString() : QString();
}

} // namespace

TEST(WebPickerLifecycle, ConnectsLosesAndReconnectsAndClosesOnlyItsOwnTabs) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    testsupport::PageServer pages;
    pages.addPage("/site", "<!doctype html><title>site</title>");
    pages.addPage("/other", "<!doctype html><title>other</title>");
    testsupport::Chromium chromium;
    // The browser's first tab shows a page the picker never attaches to.
    ASSERT_TRUE(chromium.start("data:text/html,user"));
    const int port = chromium.port();
    const QString site = openUserTab(port, pages.url("/site"));
    const QString other = openUserTab(port, pages.url("/other"));
    ASSERT_FALSE(site.isEmpty());
    ASSERT_FALSE(other.isEmpty());

    WebPickerSidebarView sidebar(defaults);
    sidebar.connection().cdp().setPortOverride(port);
    // A browser started with a fresh profile on a busy machine can take many seconds to listen: the
    // launch polls long enough for that (14 asks, 21 s), and an answer ends the wait at once.
    sidebar.connection().cdp().setLaunchPollIntervalMs(1500);
    sidebar.connection().setTitlePollIntervalMs(100);
    sidebar.connection().setTabSearchDelayMs(100);
    int connected = 0;
    sidebar.onConnected = [&] { ++connected; };
    const auto lastTarget = [&] { return defaults.object("webPickerLastTargetId"); };

    // The remembered tab is taken when it is still there.
    defaults.setValue("webPickerLastTargetId", other);
    sidebar.connect();
    EXPECT_EQ(sidebar.statusText(), "Connecting...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar.statusText() == "127.0.0.1"; }, 15000))
        << sidebar.statusText().toStdString();
    EXPECT_EQ(sidebar.connection().currentTargetId(), other);
    EXPECT_EQ(sidebar.statusColor(), WebPickerSidebarView::teal());
    EXPECT_TRUE(ui(sidebar).pickButton()->isEnabled());
    EXPECT_EQ(connected, 1);

    // The tab closed in the browser is noticed by the title poll. The browser also drops the tab's
    // channel, which would report a lost connection first: that report is held back here.
    sidebar.connection().cdp().onDisconnected = nullptr;
    testsupport::devtoolsRequest(port, "GET", "/json/close/" + other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar.statusText() == "Tab was closed"; }, 3000));
    EXPECT_FALSE(sidebar.connection().isConnected());
    EXPECT_EQ(lastTarget(), QVariant(other)) << "kept after a closed tab";

    // A remembered tab that is gone: the first usable page instead.
    sidebar.connect();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return sidebar.connection().isConnected() && sidebar.statusText() == "127.0.0.1"; }, 15000));
    EXPECT_EQ(sidebar.connection().currentTargetId(), site);

    // A full disconnect leaves the user's tab open and forgets it.
    sidebar.disconnect();
    EXPECT_EQ(sidebar.statusText(), "Not connected");
    EXPECT_FALSE(lastTarget().isValid());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sidebar.connection().cdp().isOpen(); }, 10000));
    EXPECT_TRUE(targetIds(port).contains(site));

    // With no usable page the picker opens a blank tab of its own, and closes it on disconnect.
    testsupport::devtoolsRequest(port, "GET", "/json/close/" + site);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !targetIds(port).contains(site); }, 10000));
    sidebar.connect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar.statusText() == "Navigate to a website"; }, 15000));
    const QString own = sidebar.connection().currentTargetId().value_or(QString());
    ASSERT_FALSE(own.isEmpty());
    EXPECT_FALSE(ui(sidebar).pickButton()->isEnabled());
    EXPECT_TRUE(targetIds(port).contains(own));
    sidebar.disconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !targetIds(port).contains(own); }, 10000))
        << "the picker's tab is closed";
    EXPECT_FALSE(lastTarget().isValid());

    // The browser goes away under a live connection; the channel notices before the title poll would.
    sidebar.connection().setTitlePollIntervalMs(WebPickerConnection::kTitlePollMs * 100);
    sidebar.connect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar.statusText() == "Navigate to a website"; }, 15000));
    const QString beforeLoss = sidebar.connection().currentTargetId().value_or(QString());
    chromium.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar.statusText() == "Connection lost"; }, 10000))
        << sidebar.statusText().toStdString();
    EXPECT_FALSE(sidebar.connection().isConnected());
    EXPECT_EQ(lastTarget(), QVariant(beforeLoss)) << "kept after a lost connection";

    // Connecting again starts the browser on the same port with the picker's profile.
    const QString profile = browser::profileFolder(port).value_or(QString());
    ASSERT_FALSE(profile.isEmpty());
    QDir(profile).removeRecursively();
    qputenv(browser::kBrowserVariable, ("chromium " + testsupport::headlessFlags().join(' ')).toUtf8());
    sidebar.connect();
    const bool reconnected =
        QTest::qWaitFor(
            [&] { return sidebar.connection().isConnected() && sidebar.statusColor() != QColor(); }, 40000) &&
        QTest::qWaitFor([&] { return sidebar.statusText() == "Navigate to a website"; }, 10000);
    const bool ourBrowser = !browser::processesWithProfile(profile).empty();
    const std::string statusAfterReconnect = sidebar.statusText().toStdString();
    qunsetenv(browser::kBrowserVariable);
    sidebar.disconnect();
    testsupport::killBrowsersWithProfile(profile);
    QDir(profile).removeRecursively();
    EXPECT_TRUE(reconnected) << statusAfterReconnect;
    EXPECT_TRUE(ourBrowser);
}

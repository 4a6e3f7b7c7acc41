// Desktop notifications of the bell, observed on a private session bus by a recording
// notification daemon (python-dbusmock).
#include "BellTestSupport.h"
#include "localisation/Loc.h"

#include <QFile>
#include <QTest>

using namespace belltest;
using namespace std::chrono_literals;

namespace {

struct Posted {
    QString summary;
    QString body;
    bool operator==(const Posted&) const = default;
};

void PrintTo(const Posted& p, std::ostream* os) {
    *os << "{" << p.summary.toStdString() << " | " << p.body.toStdString() << "}";
}

QList<Posted> posted(const QList<NotificationDaemon::Notify>& calls) {
    QList<Posted> list;
    for (const auto& call : calls) list << Posted{call.summary, call.body};
    return list;
}

// Three tabs: "build" (named) with two panes, tab 2 with two panes, tab 3 with one.
struct ThreeTabs {
    ScreenPane a{"pane-a"}, a2{"pane-a2"}, b{"pane-b"}, b2{"pane-b2"}, c{"pane-c"};

    ThreeTabs() {
        b.show("make\r\nerror: disk full\r\nretry? ");
        c.show("Continue?\r\n");
    }
    void install(FakeBellHost& host) {
        host.tabs = {{&a, &a2, {}, false}, {&b, &b2, "build", false}, {&c, nullptr, {}, false}};
    }
};

} // namespace

TEST_F(BellTest, NotificationsGoWhereTheUserCannotSeeTheBell) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);

    const QString general = "A terminal needs your attention";
    const QString buildNeeds = "\"build\" needs your attention";
    const Posted buildPreview{"● build", "retry?"};
    enum class Window { hidden, inFront, notKey, otherDesktop };
    struct Case {
        const char* what;
        Window window;
        int activeTab;
        BellPane* pane;
        bool osNotification;
        QList<Posted> expected;
    };
    const Case cases[] = {
        {"hidden, the tab on show rings", Window::hidden, 0, &tabs.a, true, {{"Dunmar", general}}},
        {"hidden, a background tab rings",
         Window::hidden,
         0,
         &tabs.b,
         true,
         {{"Dunmar", buildNeeds}, buildPreview}},
        {"hidden, an unnamed background tab",
         Window::hidden,
         0,
         &tabs.c,
         true,
         {{"Dunmar", "\"Tab 3\" needs your attention"}, {"● Tab 3", "Continue?"}}},
        {"hidden, a background tab's second pane", Window::hidden, 0, &tabs.b2, true, {{"Dunmar", general}}},
        {"hidden, a freed pane", Window::hidden, 0, nullptr, true, {{"Dunmar", general}}},
        {"in front on another tab, the background tab rings",
         Window::inFront,
         0,
         &tabs.b,
         true,
         {{"Dunmar", buildNeeds}}},
        {"in front on another tab, its second pane rings",
         Window::inFront,
         0,
         &tabs.b2,
         true,
         {{"Dunmar", general}}},
        {"in front, the tab on show rings", Window::inFront, 0, &tabs.a, true, {}},
        {"in front, the second pane on show rings", Window::inFront, 0, &tabs.a2, true, {}},
        {"in front, a freed pane", Window::inFront, 0, nullptr, true, {}},
        {"in front on that very tab", Window::inFront, 1, &tabs.b, true, {}},
        {"visible on that tab but not key", Window::notKey, 1, &tabs.b, true, {{"Dunmar", general}}},
        {"on another desktop, a background tab",
         Window::otherDesktop,
         0,
         &tabs.b,
         true,
         {{"Dunmar", buildNeeds}, buildPreview}},
        {"notifications off, hidden, a background tab", Window::hidden, 0, &tabs.b, false, {buildPreview}},
        {"notifications off, hidden, the tab on show", Window::hidden, 0, &tabs.a, false, {}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.showInFront();
        host.onCurrentDesktop = true;
        if (c.window == Window::hidden) host.hide();
        if (c.window == Window::notKey) host.key = false;
        if (c.window == Window::otherDesktop) host.onCurrentDesktop = false;
        host.activeTab = c.activeTab;
        defaults->setValue("bellOSNotification", c.osNotification);

        advance(1s);
        bell->ring(c.pane);
        const auto calls = settledNotifies();
        EXPECT_EQ(posted(calls), c.expected);
        for (const auto& call : calls) {
            EXPECT_EQ(call.appName, "Dunmar");
            EXPECT_EQ(call.actions, (QStringList{"default", ""}));
        }
        NotificationDaemon::shared().clearCalls();
    }

    QFile log(NotificationDaemon::shared().logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Notify \"Dunmar\""));
}

TEST_F(BellTest, APanesPreviewNotificationReplacesItsEarlierOneAndEachPaneHasItsOwn) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);
    host.hide();
    defaults->setValue("bellOSNotification", false); // only the previews

    bell->ring(&tabs.b);
    ASSERT_TRUE(waitForNotifies(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifications->isBusy(); }, 10000));
    const quint32 first = notifications->idFor("bell-pane-b");
    ASSERT_NE(first, 0u);

    tabs.b.show("\r\nretry now? ");
    advance(1s);
    bell->ring(&tabs.b);
    advance(1s);
    bell->ring(&tabs.c);
    const auto calls = settledNotifies();
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].replacesId, 0u);
    EXPECT_EQ(calls[1].replacesId, first) << "the same pane's preview takes the earlier one's place";
    EXPECT_EQ(calls[1].body, "retry now?");
    EXPECT_EQ(calls[2].replacesId, 0u) << "another pane's preview stands on its own";
    EXPECT_NE(notifications->idFor("bell-pane-c"), first);

    // A blank screen says that input is wanted.
    ScreenPane blank("pane-blank");
    host.tabs.push_back({&blank, nullptr, {}, false});
    NotificationDaemon::shared().clearCalls();
    advance(1s);
    bell->ring(&blank);
    EXPECT_EQ(posted(settledNotifies()), (QList<Posted>{{"● Tab 4", "Input required"}}));
}

TEST_F(BellTest, ThePanesTextReachesTheNotificationAsTextNotMarkup) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);
    host.hide();
    defaults->setValue("bellOSNotification", false);
    tabs.b.show("\r\n<a href=\"https://x.example\">open</a> & <img src=\"file:///etc/passwd\"/>");
    bell->ring(&tabs.b);
    const auto calls = settledNotifies();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].body, "&lt;a href=\"https://x.example\"&gt;open&lt;/a&gt; &amp; "
                             "&lt;img src=\"file:///etc/passwd\"/&gt;");
}

TEST_F(BellTest, ABurstOfPreviewPostsOfOnePaneEndsWithItsNewestText) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);
    host.hide();
    defaults->setValue("bellOSNotification", false);

    // Posted faster than the daemon answers: the ones in between may be skipped, the newest not.
    for (int i = 0; i < 5; ++i) {
        tabs.b.show("\r\nquestion " + std::to_string(i));
        advance(1s);
        bell->ring(&tabs.b);
    }
    const auto calls = settledNotifies();
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_LE(calls.size(), 5);
    EXPECT_EQ(calls.last().body, "question 4");
    for (int i = 1; i < calls.size(); ++i) EXPECT_NE(calls[i].replacesId, 0u);
}

TEST_F(BellTest, AnsweringANotificationAsksTheControllerForTheWindow) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);
    host.hide();

    bell->ring(&tabs.b); // a "Dunmar" notification and the preview of "build"
    ASSERT_EQ(settledNotifies().size(), 2);
    const QList<quint32> ids = notifications->knownIds();
    ASSERT_EQ(ids.size(), 2);
    const quint32 preview = notifications->idFor("bell-pane-b");

    NotificationDaemon::shared().emitActionInvoked(preview);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.windowRequestCount == 1; }, 10000));
    EXPECT_EQ(host.windowRequests.last(), &tabs.b);

    const quint32 plain = ids[0] == preview ? ids[1] : ids[0];
    NotificationDaemon::shared().emitActionInvoked(plain);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.windowRequestCount == 2; }, 10000));
    EXPECT_EQ(host.windowRequests.last(), &tabs.b);

    // Another program's notification is none of ours; a freed pane's is answered without it.
    NotificationDaemon::shared().emitActionInvoked(preview + plain + 100);
    advance(1s);
    bell->ring(nullptr);
    ASSERT_EQ(settledNotifies().size(), 3);
    quint32 freed = 0;
    for (quint32 id : notifications->knownIds())
        if (!ids.contains(id)) freed = id;
    NotificationDaemon::shared().emitActionInvoked(freed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.windowRequestCount >= 3; }, 10000));
    EXPECT_EQ(host.windowRequestCount, 3);
    EXPECT_EQ(host.windowRequests.last(), nullptr);
}

// Notification texts are formats with a placeholder for the tab's name; the name itself is text,
// never a format, whatever it contains.
TEST_F(BellTest, ATabNameWithFormatCharactersIsShownAsWritten) {
    useNotificationDaemon();
    ThreeTabs tabs;
    tabs.install(host);
    host.tabs[1].customName = "100%@ %d %s %n done";
    host.hide();

    bell->ring(&tabs.b);
    EXPECT_EQ(posted(settledNotifies()),
              (QList<Posted>{{"Dunmar", "\"100%@ %d %s %n done\" needs your attention"},
                             {"● 100%@ %d %s %n done", "retry?"}}));

    // In another language the placeholder sits elsewhere in the text.
    defaults->setValue("appLanguage", "de");
    Loc::setEnvironment({[] { return std::string("de"); }, [](const std::string&) {},
                         [] { return std::vector<std::string>{"de"}; }});
    NotificationDaemon::shared().clearCalls();
    defaults->setValue("bellOSNotification", true);
    advance(1s);
    bell->ring(&tabs.b);
    EXPECT_EQ(settledNotifies().first().body, "\"100%@ %d %s %n done\" benötigt Ihre Aufmerksamkeit");
}

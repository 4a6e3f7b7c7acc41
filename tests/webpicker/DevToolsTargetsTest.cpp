// Reading the browser's target lists, the port rule, the launch's status texts and what the address
// bar accepts: plain tables, no browser needed.
#include "webpicker/DevToolsPort.h"
#include "webpicker/DevToolsTargets.h"

#include "platform/Defaults.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray target(const char* id, const char* type, const char* url) {
    return QStringLiteral(R"({"id":"%1","type":"%2","url":"%3","webSocketDebuggerUrl":"ws://localhost:9222/devtools/page/%1"})")
        .arg(QLatin1String(id), QLatin1String(type), QLatin1String(url))
        .toUtf8();
}

QByteArray list(std::initializer_list<QByteArray> targets) {
    QByteArray body = "[";
    for (const QByteArray& t : targets) body += (body.size() > 1 ? "," : "") + t;
    return body + "]";
}

QString ws(const char* id) {
    return QStringLiteral("ws://localhost:9222/devtools/page/") + QLatin1String(id);
}

} // namespace

TEST(DevToolsPort, TheSecondBrowserChoiceUses9221AndEveryOtherValue9222) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    EXPECT_EQ(devtools::debugPort(defaults), 9222) << "absent";
    for (const auto& [choice, port] : std::vector<std::pair<int, int>>{{0, 9222}, {1, 9221}, {2, 9222}, {-1, 9222}}) {
        defaults.setValue("webPickerBrowser", choice);
        EXPECT_EQ(devtools::debugPort(defaults), port) << choice;
    }
    EXPECT_EQ(devtools::httpBase(9221), "http://127.0.0.1:9221");
}

TEST(DevToolsTargets, OnlyWebPagesAndBlankPagesAreCandidates) {
    const QByteArray browserUi = target("ui", "page", "chrome://newtab/");
    const QByteArray devtoolsPage = target("dt", "page", "devtools://devtools/inspector.html");
    const QByteArray worker = target("sw", "service_worker", "https://example.com/sw.js");
    const QByteArray background = target("bg", "background_page", "https://example.com/");
    const QByteArray site = target("site", "page", "https://example.com/");
    const QByteArray local = target("local", "page", "http://127.0.0.1:8000/a");
    const QByteArray blank = target("blank", "page", "about:blank");

    struct Case {
        const char* name;
        QByteArray body;
        std::optional<QString> preferred;
        std::optional<QString> expected;
    };
    const std::vector<Case> cases{
        {"only other kinds", list({browserUi, devtoolsPage, worker, background}), {}, {}},
        {"first usable page", list({browserUi, worker, site, local}), {}, ws("site")},
        {"blank page counts", list({worker, blank}), {}, ws("blank")},
        {"preferred page", list({site, local}), QStringLiteral("local"), ws("local")},
        {"preferred browser page is no candidate", list({browserUi, site}), QStringLiteral("ui"), ws("site")},
        {"preferred missing", list({site, local}), QStringLiteral("gone"), ws("site")},
        {"empty list", "[]", {}, {}},
        {"not a list", R"({"id":"x"})", {}, {}},
        {"not json", "<html>", {}, {}},
        {"target without type", list({R"({"id":"n","url":"https://a.b/","webSocketDebuggerUrl":"ws://x/n"})", site}), {}, ws("site")},
        {"candidate without websocket", list({R"({"id":"n","type":"page","url":"https://a.b/"})", site}), {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(devtools::chooseTargetWebSocket(c.body, c.preferred), c.expected) << c.name;
}

TEST(DevToolsTargets, HostOfATarget) {
    const QByteArray body = list({target("blank", "page", "about:blank"), target("dev", "page", "http://localhost:3000/app/x"),
                                  target("data", "page", "data:text/html,hi"), target("sw", "service_worker", "https://sw.example.org/w.js"),
                                  R"({"id":"nourl","type":"page"})", target("empty", "page", "")});
    EXPECT_EQ(devtools::targetHost(body, "blank"), QString(""));
    EXPECT_EQ(devtools::targetHost(body, "empty"), QString(""));
    EXPECT_EQ(devtools::targetHost(body, "dev"), QString("localhost")) << "without the port";
    EXPECT_EQ(devtools::targetHost(body, "data"), QString("data:text/html,hi")) << "no host: the address";
    EXPECT_EQ(devtools::targetHost(body, "sw"), QString("sw.example.org")) << "any kind of target";
    EXPECT_EQ(devtools::targetHost(body, "nourl"), std::nullopt);
    EXPECT_EQ(devtools::targetHost(body, "gone"), std::nullopt);
    EXPECT_EQ(devtools::targetHost("garbage", "dev"), std::nullopt);
}

TEST(DevToolsTargets, TargetIdsAndNewTargets) {
    EXPECT_EQ(devtools::targetIdOfWebSocket("ws://localhost:9222/devtools/page/ABC123"), QString("ABC123"));
    EXPECT_EQ(devtools::newTargetWebSocket(R"({"id":"N","webSocketDebuggerUrl":"ws://h/devtools/page/N"})"),
              QString("ws://h/devtools/page/N"));
    EXPECT_EQ(devtools::newTargetWebSocket("[]"), std::nullopt);
    EXPECT_EQ(devtools::newTargetWebSocket(R"({"id":"N"})"), std::nullopt);
}

TEST(DevToolsTargets, WaitingTextsCountDotsDownFromTheRemainingAsks) {
    QStringList texts;
    for (int remaining = 14; remaining >= 9; --remaining) texts << devtools::waitingStatusText(remaining);
    EXPECT_EQ(texts, (QStringList{"Waiting for Chrome..", "Waiting for Chrome...", "Waiting for Chrome....",
                                  "Waiting for Chrome.", "Waiting for Chrome..", "Waiting for Chrome..."}));
    EXPECT_EQ(devtools::waitingStatusText(16), "Waiting for Chrome....");
}

TEST(NavigationUrl, SchemesAndBlanks) {
    const std::vector<std::pair<QString, std::optional<QString>>> cases{
        {"localhost:3000", QString("http://localhost:3000")},
        {"  127.0.0.1:8080/x\t", QString("http://127.0.0.1:8080/x")},
        {"0.0.0.0", QString("http://0.0.0.0")},
        {"localhostess.com", QString("http://localhostess.com")},
        {"example.com", QString("https://example.com")},
        {"https://example.com/a?b=c", QString("https://example.com/a?b=c")},
        {"HTTP://EXAMPLE.COM", QString("HTTP://EXAMPLE.COM")},
        {"ftp://example.com", std::nullopt},
        {"file:///etc/passwd", std::nullopt},
        {"javascript:alert(1)", std::nullopt},
        {"   ", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [typed, expected] : cases) EXPECT_EQ(devtools::navigationUrl(typed), expected) << typed.toStdString();
}

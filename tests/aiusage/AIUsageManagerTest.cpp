// The usage monitor against a local HTTPS server, with the credentials file in a home folder of
// the test's own.
#include "aiusage/AIUsageManager.h"

#include "UsageServer.h"
#include "aiusage/AITokenStore.h"
#include "platform/Defaults.h"
#include "support/Waits.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using usagetest::UsageServer;

namespace {

const QByteArray kFullAnswer = R"({
    "five_hour": {"utilization": 42.5, "resets_at": "2031-05-04T10:20:30.123456+00:00"},
    "seven_day": {"utilization": 7, "resets_at": "2031-05-09T08:00:00Z"},
    "seven_day_opus": null,
    "seven_day_sonnet": {"resets_at": "soon"},
    "extra_usage": {"is_enabled": false, "utilization": 12.5},
    "unknown": [1, 2]
})";

class Usage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        savedHome = qgetenv("HOME");
        qputenv("HOME", dir.filePath("home").toUtf8());
        qunsetenv("CLAUDE_CONFIG_DIR");
        qunsetenv("CLAUDE_CODE_OAUTH_TOKEN");
        defaults = std::make_unique<Defaults>(dir.filePath("defaults.json"));
        makeManager();
    }
    void TearDown() override {
        manager.reset();
        qputenv("HOME", savedHome);
        testsupport::drainEvents();
    }
    void makeManager() {
        manager = std::make_unique<AIUsageManager>(*defaults);
        manager->setBaseUrl(server.baseUrl());
        manager->setSslConfiguration(usagetest::clientSsl());
        manager->setLogPath(dir.filePath("state/aiusage.log"));
        manager->onUpdate = [this](const std::optional<AIUsageData>& data) { published << data; };
    }
    void writeToken(const QString& token, const QString& folder = {}) {
        const QString path = (folder.isEmpty() ? dir.filePath("home/.claude") : folder);
        QDir().mkpath(path);
        QFile f(path + "/.credentials.json");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QJsonDocument(
                    QJsonObject{{"claudeAiOauth", QJsonObject{{"accessToken", token}, {"expiresAt", 1}}}})
                    .toJson());
    }
    bool waitForPublished(qsizetype n) {
        return QTest::qWaitFor([&] { return published.size() >= n; }, 20000);
    }
    bool waitForStatus(int code) {
        return QTest::qWaitFor([&] { return manager->lastStatusCode() == code; }, 20000);
    }
    QString log() const {
        QFile f(dir.filePath("state/aiusage.log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir dir;
    QByteArray savedHome;
    UsageServer server;
    std::unique_ptr<Defaults> defaults;
    std::unique_ptr<AIUsageManager> manager;
    QList<std::optional<AIUsageData>> published;
};

} // namespace

TEST_F(Usage, AnAnswerIsRequestedWithTheTwoHeadersParsedPublishedAndStored) {
    writeToken("tok-secret-123");
    server.answers = {{200, kFullAnswer}};
    manager->fetchUsage();
    ASSERT_TRUE(waitForPublished(1));
    ASSERT_EQ(server.requests.size(), 1);
    const UsageServer::Request& r = server.requests[0];
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.path, "/api/oauth/usage");
    EXPECT_EQ(r.header("authorization"), "Bearer tok-secret-123");
    EXPECT_EQ(r.header("anthropic-beta"), "oauth-2025-04-20");

    ASSERT_TRUE(published[0].has_value());
    const AIUsageData& data = *published[0];
    ASSERT_TRUE(data.fiveHour);
    EXPECT_DOUBLE_EQ(data.fiveHour->utilization, 42.5);
    EXPECT_EQ(data.fiveHour->resetsAt, QDateTime::fromString("2031-05-04T10:20:30.123Z", Qt::ISODateWithMs));
    EXPECT_EQ(data.sevenDay->resetsAt, QDateTime::fromString("2031-05-09T08:00:00Z", Qt::ISODate));
    EXPECT_FALSE(data.sevenDayOpus) << "null is no window";
    ASSERT_TRUE(data.sevenDaySonnet);
    EXPECT_DOUBLE_EQ(data.sevenDaySonnet->utilization, 0);
    EXPECT_FALSE(data.sevenDaySonnet->resetsAt) << "no date: the window stays, its reset goes";
    EXPECT_FALSE(data.extraUsageEnabled);
    EXPECT_EQ(data.extraUsageUtilization, 12.5);
    EXPECT_EQ(manager->latestData(), data);
    EXPECT_EQ(manager->lastStatusCode(), 200);

    // The next start shows the stored copy at once.
    published.clear();
    makeManager();
    manager->loadCachedData();
    ASSERT_EQ(published.size(), 1);
    EXPECT_EQ(published[0], data);

    const QString text = log();
    EXPECT_TRUE(text.contains("Token loaded (14 chars), fetching...")) << text.toStdString();
    EXPECT_TRUE(text.contains("HTTP 200"));
    EXPECT_FALSE(text.contains("tok-secret")) << "the token never reaches the log";
    EXPECT_EQ(QFile(dir.filePath("state/aiusage.log")).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              0);
}

TEST_F(Usage, StatusesOtherThan200KeepTheDataAndOnlyARefusalPublishes) {
    writeToken("first");
    manager->fetchUsage();
    ASSERT_TRUE(waitForPublished(1));
    const AIUsageData kept = *manager->latestData();
    const struct {
        int status;
        QByteArray body;
        bool publishesNone;
    } cases[] = {
        {401, R"({"error":"expired"})", true},
        {403, "", true},
        {429, R"({"error":"slow down"})", false},
        {500, "oops", false},
        {200, "not json", false},
        {200, "[1,2]", false},
        {200, "", false},
    };
    for (const auto& c : cases) {
        published.clear();
        server.answers = {{c.status, c.body}};
        const int before = int(server.requests.size());
        manager->fetchUsage();
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() > before; }, 20000));
        ASSERT_TRUE(waitForStatus(c.status)) << c.status;
        testsupport::drainEvents();
        if (c.publishesNone) {
            ASSERT_EQ(published.size(), 1) << c.status;
            EXPECT_FALSE(published[0].has_value());
        } else {
            EXPECT_TRUE(published.isEmpty()) << c.status << " " << c.body.toStdString();
        }
        EXPECT_EQ(manager->latestData(), kept) << "the last snapshot stays";
        // The next request must see a fresh status.
        server.answers = {{204, ""}};
        manager->fetchUsage();
        ASSERT_TRUE(waitForStatus(204));
    }
}

TEST_F(Usage, ARefusedTokenIsReadAgainForTheNextRequest) {
    writeToken("old");
    server.answers = {{401, ""}};
    manager->fetchUsage();
    ASSERT_TRUE(waitForPublished(1));
    writeToken("renewed");
    manager->fetchUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 2; }, 20000));
    EXPECT_EQ(server.requests[1].header("authorization"), "Bearer renewed");
}

TEST_F(Usage, WithoutATokenPollingStopsAndAManualRefreshLooksAgain) {
    manager->startPolling(300);
    ASSERT_EQ(published.size(), 1);
    EXPECT_FALSE(published[0].has_value());
    EXPECT_FALSE(manager->isPolling()) << "no token: the timer just started goes again";
    EXPECT_EQ(manager->requestsSent(), 0);
    EXPECT_TRUE(log().contains(QString::fromUtf8("No token found — stopping polling")));

    manager->fetchUsage();
    EXPECT_EQ(manager->requestsSent(), 0) << "the timer's fetch does not read the file again";
    writeToken("late");
    manager->fetchUsage();
    EXPECT_EQ(manager->requestsSent(), 0);
    manager->fetchUsage(true);
    EXPECT_EQ(manager->requestsSent(), 1) << "the refresh button finds the token signed in since";
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 1; }, 20000));
    EXPECT_EQ(server.requests[0].header("authorization"), "Bearer late");
}

TEST_F(Usage, ALateOlderAnswerDoesNotOverwriteANewerOne) {
    writeToken("t");
    server.answers = {{200, R"({"five_hour":{"utilization":10}})", true},
                      {200, R"({"five_hour":{"utilization":90}})"}};
    manager->fetchUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldCount() == 1; }, 20000));
    manager->fetchUsage(true);
    ASSERT_TRUE(waitForPublished(1));
    EXPECT_DOUBLE_EQ(manager->latestData()->fiveHour->utilization, 90);
    server.releaseHeld();
    // The held answer arrives: the request's end is what we wait for, and it changes nothing.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return log().count("HTTP 200") == 1 && server.heldCount() == 0; }, 20000));
    EXPECT_TRUE(testsupport::waitForTimerStartedBefore(200));
    EXPECT_EQ(published.size(), 1);
    EXPECT_DOUBLE_EQ(manager->latestData()->fiveHour->utilization, 90);
}

TEST_F(Usage, TheTokenComesFromTheConfigFolderOrTheEnvironment) {
    EXPECT_FALSE(AITokenStore::readClaudeCodeToken());
    qputenv("CLAUDE_CODE_OAUTH_TOKEN", "from-env\n");
    EXPECT_EQ(AITokenStore::readClaudeCodeToken(), "from-env");
    writeToken("from-home");
    EXPECT_EQ(AITokenStore::readClaudeCodeToken(), "from-home") << "the file wins";
    writeToken("from-config", dir.filePath("cfg"));
    qputenv("CLAUDE_CONFIG_DIR", dir.filePath("cfg").toUtf8());
    EXPECT_EQ(AITokenStore::readClaudeCodeToken(), "from-config");
    for (const QByteArray& broken : {QByteArray("{"), QByteArray(R"({"claudeAiOauth":{"accessToken":5}})"),
                                     QByteArray(R"({"claudeAiOauth":"x"})")}) {
        QFile f(dir.filePath("cfg/.credentials.json"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(broken);
        f.close();
        EXPECT_EQ(AITokenStore::readClaudeCodeToken(), "from-env") << broken.toStdString();
    }
    qunsetenv("CLAUDE_CONFIG_DIR");
    qunsetenv("CLAUDE_CODE_OAUTH_TOKEN");
}

// Credentials files that are no small regular file: each is refused at once, without a token and
// with the reason in the log; a FIFO without a writer would block an ordinary open for ever.
TEST_F(Usage, ACredentialsPathThatIsNoSmallRegularFileIsRefusedWithoutBlocking) {
    const QString folder = dir.filePath("home/.claude");
    const QString path = folder + "/.credentials.json";
    const QByteArray valid =
        QJsonDocument(QJsonObject{{"claudeAiOauth", QJsonObject{{"accessToken", "t"}}}}).toJson();
    struct Case {
        const char* name;
        std::function<bool()> make;
    };
    const std::vector<Case> cases{
        {"fifo", [&] { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"device", [&] { return QFile::link("/dev/zero", path); }},
        {"folder", [&] { return QDir().mkpath(path); }},
        {"oversize",
         [&] {
             QFile f(path);
             if (!f.open(QIODevice::WriteOnly)) return false;
             // Valid JSON that only the size makes unusable.
             f.write(valid + QByteArray(AITokenStore::kMaxCredentialsBytes, ' '));
             return true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        ASSERT_TRUE(c.make());

        std::atomic<bool> done = false;
        AITokenStore::Notes notes;
        std::optional<QString> token;
        std::thread reader([&] {
            token = AITokenStore::readClaudeCodeToken(&notes);
            done = true;
        });
        const bool returned = QTest::qWaitFor([&] { return done.load(); }, 10000);
        if (!returned) {
            // Lets a reader stuck in the open go, so that the test can end.
            const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) ::close(writer);
        }
        reader.join();
        ASSERT_TRUE(returned) << "the reading blocked";
        EXPECT_FALSE(token);
        EXPECT_FALSE(notes.refused.isEmpty());

        // The monitor shows its no-token state and says why in its log.
        makeManager();
        published.clear();
        manager->fetchUsage();
        ASSERT_EQ(published.size(), 1);
        EXPECT_FALSE(published[0].has_value());
        EXPECT_EQ(manager->requestsSent(), 0);
        EXPECT_TRUE(log().contains("Credentials file not read (" + notes.refused + "): " + path))
            << log().toStdString();
    }
    QDir(folder).removeRecursively();
}

TEST_F(Usage, ACredentialsFileOthersMayReadIsUsedAndNotedOnce) {
    writeToken("shared");
    const QString path = dir.filePath("home/.claude/.credentials.json");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                QFile::ReadOther));
    manager->fetchUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 1; }, 20000));
    EXPECT_EQ(server.requests[0].header("authorization"), "Bearer shared");
    const QString note = "Permissions 0644 of " + path + " let other users read the token";
    EXPECT_EQ(log().count(note), 1) << log().toStdString();

    // A refused token makes the next request read the file again: the note is not repeated.
    ASSERT_TRUE(waitForPublished(1));
    server.answers = {{401, "{}"}};
    manager->fetchUsage();
    ASSERT_TRUE(waitForStatus(401));
    manager->fetchUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 3; }, 20000));
    EXPECT_EQ(log().count(note), 1);

    // A private file is used without a word.
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    makeManager();
    manager->fetchUsage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 4; }, 20000));
    EXPECT_EQ(log().count("let other users read the token"), 1);
}

TEST_F(Usage, PollingFetchesAtOnceAndANewIntervalOnlyRestartsRunningPolling) {
    writeToken("t");
    manager->updateInterval(600);
    EXPECT_FALSE(manager->isPolling());
    EXPECT_EQ(manager->requestsSent(), 0);
    manager->startPolling(300);
    EXPECT_TRUE(manager->isPolling());
    EXPECT_EQ(manager->pollIntervalMs(), 300000);
    EXPECT_EQ(manager->requestsSent(), 1);
    manager->updateInterval(1800);
    EXPECT_EQ(manager->pollIntervalMs(), 1800000);
    EXPECT_EQ(manager->requestsSent(), 2);
    manager->stopPolling();
    EXPECT_FALSE(manager->isPolling());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests.size() == 2; }, 20000));
}

TEST(UsageLog, StaysUnderItsLimitKeepingTheNewestLines) {
    QTemporaryDir dir;
    AIUsageLog log(dir.filePath("deep/folder/aiusage.log"));
    const QString filler(200, QChar('x'));
    for (int i = 0; i < 2000; ++i) log.write(QStringLiteral("line %1 ").arg(i) + filler);
    QFile f(log.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray all = f.readAll();
    EXPECT_LE(all.size(), AIUsageLog::kMaxBytes);
    EXPECT_TRUE(all.contains("line 1999 "));
    EXPECT_FALSE(all.contains("line 0 "));
    EXPECT_TRUE(all.startsWith("[")) << "trimmed at a line's start";
}

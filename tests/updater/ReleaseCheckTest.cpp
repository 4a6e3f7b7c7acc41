// The version comparison, the reading of the service's answer, and the release check against a
// local HTTPS server.
#include "UpdaterTestSupport.h"
#include "updater/UpdateChecker.h"
#include "updater/VersionCompare.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace updatertest;

TEST(VersionCompare, comparesNumbersPieceByPiece) {
    struct Case {
        const char* remote;
        const char* local;
        bool newer;
    };
    const Case cases[] = {
        {"v1.0.1", "1.0.0", true},   {"1.0.0", "1.0.0", false},     {"v1.0.0", "1.0.0", false},
        {"1.0", "1.0.0", false},     {"1.0.0.1", "1.0.0", true},    {"1.10", "1.9", true},
        {"2.0-beta", "1.9.9", true}, {"1.0.0-rc1", "1.0.0", false}, {"V2.0", "1.0.0", false},
        {"", "1.0.0", false},        {"1.0.0", "", true},           {"", "", false},
        {"1..2", "1.1", true},       {"1.x.3", "1.2", true},        {"0.9", "1.0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isNewerVersion(QString::fromUtf8(c.remote), QString::fromUtf8(c.local)), c.newer)
            << c.remote << " against " << c.local;
}

namespace {

QByteArray assetsJson(const QString& assets) {
    return (QStringLiteral("{\"tag_name\":\"v1.2.0\",\"assets\":[") + assets + QStringLiteral("]}")).toUtf8();
}

QString asset(const QString& name) {
    return QStringLiteral("{\"name\":\"%1\",\"browser_download_url\":\"https://github.com/d/%1\"}").arg(name);
}

} // namespace

TEST(ReleaseParse, takesThisPlatformsArchiveAndItsCompanions) {
    const QString archive = QStringLiteral("dunmar-linux-x86_64.tar.gz");
    const auto parsed = parseRelease(
        assetsJson(asset("notes.txt") + "," + asset(archive + ".sha256") + "," + asset("dunmar-macos.zip") +
                   "," + asset("dunmar-linux-aarch64.tar.gz") + "," + asset(archive) + "," +
                   asset(archive + ".minisig") + "," + asset("dunmar-linux-x86_64-2.tar.gz")),
        platformAssetSuffixFor(QStringLiteral("x86_64")));
    ASSERT_TRUE(std::holds_alternative<GitHubRelease>(parsed));
    const GitHubRelease release = std::get<GitHubRelease>(parsed);
    EXPECT_EQ(release.tagName, "v1.2.0");
    EXPECT_EQ(release.downloadURL.toString(), "https://github.com/d/" + archive);
    EXPECT_EQ(release.checksumURL->toString(), "https://github.com/d/" + archive + ".sha256");
    EXPECT_EQ(release.signatureURL->toString(), "https://github.com/d/" + archive + ".minisig");

    // Two archives for this machine: the first is taken, and a checksum made for the second is not
    // the first one's.
    const auto two =
        parseRelease(assetsJson(asset("a-linux-x86_64.tar.gz") + "," + asset("b-linux-x86_64.tar.gz") + "," +
                                asset("b-linux-x86_64.tar.gz.sha256")),
                     platformAssetSuffixFor(QStringLiteral("x86_64")));
    ASSERT_TRUE(std::holds_alternative<GitHubRelease>(two));
    EXPECT_TRUE(std::get<GitHubRelease>(two).downloadURL.toString().endsWith("a-linux-x86_64.tar.gz"));
    EXPECT_FALSE(std::get<GitHubRelease>(two).checksumURL);
    EXPECT_FALSE(std::get<GitHubRelease>(two).signatureURL);
}

TEST(ReleaseParse, malformedAnswersFailWithOneMessage) {
    const QString suffix = platformAssetSuffixFor(QStringLiteral("x86_64"));
    const QByteArray bodies[] = {
        "not json",
        "[1,2]",
        "{\"assets\":[]}",
        "{\"tag_name\":7,\"assets\":[]}",
        "{\"tag_name\":\"v1\"}",
        "{\"tag_name\":\"v1\",\"assets\":[\"x\"]}",
        assetsJson(asset("dunmar-macos.zip")),
        assetsJson("{\"name\":\"d-linux-x86_64.tar.gz\",\"browser_download_url\":5}"),
    };
    for (const QByteArray& body : bodies) {
        const auto parsed = parseRelease(body, suffix);
        ASSERT_TRUE(std::holds_alternative<UpdateError>(parsed)) << body.toStdString();
        const UpdateError error = std::get<UpdateError>(parsed);
        EXPECT_EQ(error.domain, "UpdateChecker");
        EXPECT_EQ(error.code, 0);
        EXPECT_EQ(error.message, "Failed to parse release data from server");
    }
}

namespace {

UpdateChecker::CheckResult checkAgainst(ReleaseServer& server, const QString& localVersion = "1.0.0") {
    QTemporaryDir temp;
    UpdateChecker checker(checkerOptions(server, temp.path(), localVersion));
    std::optional<UpdateChecker::CheckResult> result;
    checker.checkForUpdate([&result](UpdateChecker::CheckResult r) { result = std::move(r); });
    [&result] { QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000); }();
    return result.value_or(UpdateError{});
}

QString errorOf(const UpdateChecker::CheckResult& result) {
    const auto* error = std::get_if<UpdateError>(&result);
    return error ? error->message : QStringLiteral("(no error)");
}

const QString kLatest = QStringLiteral("/repos/KASPELL/Dunmar/releases/latest");

} // namespace

TEST(ReleaseCheck, aNewerReleaseIsReturnedAndAnEqualOneIsNot) {
    ReleaseServer server;
    server.setRoute(kLatest,
                    {200, releaseJson(server, "v1.2.0", {kAsset, kAsset + ".sha256", kAsset + ".minisig"})});
    const auto newer = checkAgainst(server);
    ASSERT_TRUE(std::holds_alternative<std::optional<GitHubRelease>>(newer)) << errorOf(newer).toStdString();
    const auto& release = std::get<std::optional<GitHubRelease>>(newer);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->tagName, "v1.2.0");
    EXPECT_EQ(release->downloadURL, server.url("/download/" + kAsset));
    EXPECT_EQ(server.requests(), QStringList{kLatest});
    EXPECT_EQ(server.lastHeaders().value("accept"), "application/vnd.github.v3+json");
    EXPECT_FALSE(server.lastHeaders().contains("authorization"));

    const auto same = checkAgainst(server, "1.2.0");
    ASSERT_TRUE(std::holds_alternative<std::optional<GitHubRelease>>(same)) << errorOf(same).toStdString();
    EXPECT_FALSE(std::get<std::optional<GitHubRelease>>(same));
}

TEST(ReleaseCheck, answersOtherThan200AndEmptyOrBrokenBodiesFail) {
    ReleaseServer server;
    for (int status : {202, 304, 403}) {
        server.setRoute(kLatest, {status, releaseJson(server, "v1.2.0", {kAsset})});
        EXPECT_EQ(errorOf(checkAgainst(server)), "Server returned HTTP " + QString::number(status));
    }
    server.setRoute(kLatest, {200, {}});
    EXPECT_EQ(errorOf(checkAgainst(server)), "No data received from server");
    server.setRoute(kLatest, {200, "<html>rate limited</html>"});
    EXPECT_EQ(errorOf(checkAgainst(server)), "Failed to parse release data from server");
}

TEST(ReleaseCheck, aServerNotTrustedOrNotThereFailsWithTheTransportError) {
    ReleaseServer server;
    server.setRoute(kLatest, {200, releaseJson(server, "v1.2.0", {kAsset})});
    QTemporaryDir temp;
    UpdateCheckerOptions options = checkerOptions(server, temp.path());
    options.extraCaCertificates.clear(); // the test authority is unknown to the system
    UpdateChecker checker(options);
    std::optional<UpdateChecker::CheckResult> result;
    checker.checkForUpdate([&result](UpdateChecker::CheckResult r) { result = std::move(r); });
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
    ASSERT_TRUE(std::holds_alternative<UpdateError>(*result));
    EXPECT_EQ(std::get<UpdateError>(*result).domain, UpdateError::kNetworkDomain);

    server.close();
    const auto closed = checkAgainst(server);
    ASSERT_TRUE(std::holds_alternative<UpdateError>(closed));
    EXPECT_EQ(std::get<UpdateError>(closed).domain, UpdateError::kNetworkDomain);
}

// The download's rules: where an archive may come from, that a release without a trusted checksum
// is refused, that a tampered archive is caught, and that no archive is left behind on a failure.
#include "UpdaterTestSupport.h"
#include "updater/ChecksumFile.h"
#include "updater/TrustedHost.h"
#include "updater/UpdateChecker.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace updatertest;

TEST(TrustedHost, anAllowedHostOrItsSubdomainOnly) {
    const QStringList allowed{"allowed", "assets.example"};
    EXPECT_TRUE(isTrustedUpdateHost("allowed", allowed));
    EXPECT_TRUE(isTrustedUpdateHost("x.allowed", allowed));
    EXPECT_TRUE(isTrustedUpdateHost("a.b.assets.example", allowed));
    EXPECT_FALSE(isTrustedUpdateHost("evilallowed", allowed));
    EXPECT_FALSE(isTrustedUpdateHost("allowed.evil", allowed));
    EXPECT_FALSE(isTrustedUpdateHost("", allowed));
    EXPECT_FALSE(isTrustedUpdateURL(QUrl("http://allowed/x"), allowed));
    EXPECT_TRUE(isTrustedUpdateURL(QUrl("https://x.allowed/x"), allowed));
}

TEST(ChecksumFile, theFirstWordInEitherCaseIsTheDigest) {
    QTemporaryDir dir;
    const QString file = dir.filePath("archive");
    writeFile(file, "archive bytes");
    const QByteArray digest = sha256Hex(file);
    EXPECT_TRUE(checksumMatches(file, digest));
    EXPECT_TRUE(checksumMatches(file, digest.toUpper()));
    EXPECT_TRUE(checksumMatches(file, "  " + digest + "  dunmar-linux-x86_64.tar.gz\n"));
    EXPECT_FALSE(checksumMatches(file, " \t\n"));
    EXPECT_FALSE(checksumMatches(file, "<html>Not Found</html>"));
    EXPECT_FALSE(checksumMatches(file, "\xff\xfe" + digest));
    EXPECT_FALSE(checksumMatches(dir.filePath("missing"), digest));
}

namespace {

struct DownloadFixture : testing::Test {
    QTemporaryDir temp;
    QTemporaryDir installParent;
    ReleaseServer server;
    QString archive = temp.filePath("source.tar.gz");
    QString root = installParent.filePath("dunmar");

    void SetUp() override {
        makeInstall(root, kAppIdentifier, "1.0.0");
        writeTarGz(archive, installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\nexit 0\n"));
        serve(kAsset, readFile(archive));
        serve(kAsset + ".sha256", sha256Hex(archive) + "  " + kAsset.toUtf8() + "\n");
        serve(kAsset + ".minisig", sign(archive));
    }
    void serve(const QString& name, const QByteArray& body, bool announceLength = true) {
        server.setRoute("/download/" + name, {200, body, announceLength});
    }
    GitHubRelease release() const {
        return {"v1.2.0", server.url("/download/" + kAsset), server.url("/download/" + kAsset + ".sha256"),
                server.url("/download/" + kAsset + ".minisig")};
    }
    UpdateChecker::InstallResult download(const GitHubRelease& r, QList<double>* progress = nullptr) {
        UpdateChecker checker(checkerOptions(server, temp.path()));
        std::optional<UpdateChecker::InstallResult> result;
        checker.downloadAndInstall(
            r, runningInstall(root),
            [progress](double p) {
                if (progress) progress->append(p);
            },
            [&result](UpdateChecker::InstallResult done) { result = std::move(done); });
        [&result] { QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000); }();
        return result.value_or(UpdateError{});
    }
    QStringList leftArchives() const { return entriesStartingWith(temp.path(), "Dunmar_update_"); }
};

UpdateError errorOf(const UpdateChecker::InstallResult& result) {
    const auto* error = std::get_if<UpdateError>(&result);
    return error ? *error : UpdateError{"none", -1, "(no error)"};
}

} // namespace

TEST_F(DownloadFixture, archiveAddressesOffHttpsOrTheAllowedHostsAreRefusedBeforeAnyTraffic) {
    GitHubRelease plain = release();
    plain.downloadURL.setScheme("http");
    UpdateError error = errorOf(download(plain));
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(error.message, "Download URL must use HTTPS");

    GitHubRelease evil = release();
    evil.downloadURL = QUrl("https://evil127.0.0.1/x.tar.gz");
    error = errorOf(download(evil));
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(error.message, "Download URL from unexpected host: evil127.0.0.1");
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST_F(DownloadFixture, aReleaseWithoutATrustedChecksumIsRefusedAndItsArchiveRemoved) {
    GitHubRelease noChecksum = release();
    noChecksum.checksumURL.reset();
    UpdateError error = errorOf(download(noChecksum));
    EXPECT_EQ(error.code, 16);
    EXPECT_EQ(error.message, "Update rejected: no SHA256 checksum asset found in release");
    EXPECT_EQ(server.requests(), QStringList{"/download/" + kAsset}) << "the archive comes first";
    EXPECT_TRUE(leftArchives().isEmpty());

    GitHubRelease untrusted = release();
    untrusted.checksumURL = QUrl("https://checksums.example/" + kAsset + ".sha256");
    error = errorOf(download(untrusted));
    EXPECT_EQ(error.code, 17);
    EXPECT_EQ(error.message, "Update rejected: checksum URL is not from a trusted HTTPS host");
    EXPECT_TRUE(leftArchives().isEmpty());

    GitHubRelease unsigned_ = release();
    unsigned_.signatureURL.reset();
    EXPECT_EQ(errorOf(download(unsigned_)).code, 16);
    EXPECT_TRUE(leftArchives().isEmpty());
}

TEST_F(DownloadFixture, aTamperedArchiveOrAnErrorPageIsAMismatch) {
    QByteArray tampered = readFile(archive);
    tampered[tampered.size() / 2] = static_cast<char>(tampered[tampered.size() / 2] ^ 1);
    serve(kAsset, tampered);
    UpdateError error = errorOf(download(release()));
    EXPECT_EQ(error.code, 15);
    EXPECT_EQ(error.message,
              QString::fromUtf8("SHA256 checksum mismatch — download may be corrupt or tampered"));
    EXPECT_TRUE(leftArchives().isEmpty());

    serve(kAsset, readFile(archive));
    server.setRoute("/download/" + kAsset + ".sha256", {404, "<html>Not Found</html>"});
    EXPECT_EQ(errorOf(download(release())).code, 15);
    EXPECT_TRUE(leftArchives().isEmpty());
}

TEST_F(DownloadFixture, aChecksumThatCannotBeFetchedLeavesNoArchiveBehind) {
    GitHubRelease release_ = release();
    release_.checksumURL = QUrl("https://127.0.0.1:1/" + kAsset + ".sha256");
    EXPECT_EQ(errorOf(download(release_)).domain, UpdateError::kNetworkDomain);
    EXPECT_TRUE(leftArchives().isEmpty());
    EXPECT_TRUE(entriesStartingWith(installParent.path(), "Dunmar_").isEmpty());
}

TEST_F(DownloadFixture, progressIsReportedOnlyWhenTheServerAnnouncesALength) {
    QList<double> progress;
    const auto installed = download(release(), &progress);
    ASSERT_TRUE(std::holds_alternative<InstalledUpdate>(installed))
        << errorOf(installed).message.toStdString();
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_DOUBLE_EQ(progress.last(), 1.0);
    EXPECT_TRUE(leftArchives().isEmpty());

    // Installed once; the next run starts from the old install again.
    QDir(root).removeRecursively();
    QDir(std::get<InstalledUpdate>(installed).backupPath).removeRecursively();
    makeInstall(root, kAppIdentifier, "1.0.0");
    serve(kAsset, readFile(archive), false);
    progress.clear();
    const auto unannounced = download(release(), &progress);
    EXPECT_TRUE(std::holds_alternative<InstalledUpdate>(unannounced))
        << errorOf(unannounced).message.toStdString();
    EXPECT_TRUE(progress.isEmpty());
}

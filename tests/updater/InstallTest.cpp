// Installing a verified archive in place of a temporary install: the signature and the entries are
// checked before anything is written, and every failure leaves the old install byte-identical.
#include "UpdaterTestSupport.h"
#include "support/FullDisk.h"
#include "updater/Installer.h"
#include "updater/MinisignVerifier.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace updatertest;

namespace {

struct InstallFixture : testing::Test {
    QTemporaryDir temp;
    QTemporaryDir parentDir;
    QString parent = parentDir.path();
    QString root = parent + "/dunmar";
    QString archive = temp.filePath("Dunmar_update_test.tar.gz");
    QMap<QString, QByteArray> before;

    void SetUp() override {
        makeInstall(root, kAppIdentifier, "1.0.0");
        before = snapshot(root);
    }
    InstallRequest request(const QList<TarEntry>& entries, const SigningKey& key = signingKey(),
                           const QString& running = kAppIdentifier) {
        writeTarGz(archive, entries);
        return {archive, sign(archive, key), signingKey().publicKey, root, running};
    }
    static UpdateError errorOf(const std::variant<InstalledUpdate, UpdateError>& result) {
        const auto* error = std::get_if<UpdateError>(&result);
        return error ? *error : UpdateError{"none", -1, "(installed)"};
    }
    // The old install as it was, nothing left beside it, and the archive gone.
    void expectUntouched() {
        EXPECT_EQ(snapshot(root), before);
        EXPECT_EQ(QDir(parent).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"dunmar"});
        EXPECT_FALSE(QFile::exists(archive));
    }
};

} // namespace

TEST_F(InstallFixture, aGoodArchiveReplacesTheInstallAndKeepsTheOldOneAsBackup) {
    const auto result =
        installUpdate(request(installEntries("dunmar-1.2.0", kAppIdentifier, "1.2.0", "#!/bin/sh\n")));
    ASSERT_TRUE(std::holds_alternative<InstalledUpdate>(result)) << errorOf(result).message.toStdString();
    const InstalledUpdate installed = std::get<InstalledUpdate>(result);
    EXPECT_EQ(installed.executablePath, root + "/Dunmar");
    EXPECT_EQ(readInstallManifest(root)->version, "1.2.0");
    EXPECT_TRUE(QFileInfo(root + "/Dunmar").isExecutable()) << "the executable bit survives extraction";
    EXPECT_EQ(snapshot(installed.backupPath), before);
    EXPECT_EQ(QFileInfo(installed.backupPath).absolutePath(), parent) << "the backup lies beside the install";
    EXPECT_FALSE(QFile::exists(archive));
    EXPECT_TRUE(entriesStartingWith(parent, kExtractPrefix).isEmpty());

    // The failed start of the new copy puts the old one back.
    EXPECT_FALSE(rollBackUpdate(installed));
    EXPECT_EQ(snapshot(root), before);
    EXPECT_FALSE(QFile::exists(installed.backupPath));
}

TEST_F(InstallFixture, aSignatureOfAnotherKeyOrAnotherFileIsRefusedBeforeExtraction) {
    const QList<TarEntry> good = installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\n");
    auto result = installUpdate(request(good, otherSigningKey()));
    EXPECT_EQ(errorOf(result).code, 9);
    EXPECT_EQ(errorOf(result).message, QString::fromUtf8("Signature verification failed — update aborted"));
    expectUntouched();

    InstallRequest swapped = request(good);
    writeTarGz(archive, installEntries("dunmar", kAppIdentifier, "6.6.6", "#!/bin/sh\nrm -rf ~\n"));
    EXPECT_EQ(errorOf(installUpdate(swapped)).code, 9);
    expectUntouched();

    InstallRequest garbled = request(good);
    garbled.signature.replace(100, 4, "AAAA");
    EXPECT_EQ(errorOf(installUpdate(garbled)).code, 9);
    expectUntouched();
}

TEST_F(InstallFixture, entriesThatLeaveTheFolderAreRefusedBeforeAnythingIsWritten) {
    const QString outside = parent + "/escaped";
    const QList<QList<TarEntry>> archives = {
        {{TarEntry::Kind::file, "dunmar/../../escaped", "x", 0644, {}}},
        {{TarEntry::Kind::file, parent + "/escaped", "x", 0644, {}}},
        {{TarEntry::Kind::symlink, "dunmar/link", {}, 0777, "../../.."}},
        {{TarEntry::Kind::symlink, "dunmar/link", {}, 0777, parent}},
        {{TarEntry::Kind::hardlink, "dunmar/hard", {}, 0644, "../escaped"}},
    };
    for (const QList<TarEntry>& bad : archives) {
        const auto result =
            installUpdate(request(installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\n") + bad));
        EXPECT_EQ(errorOf(result).code, 3) << bad.first().path.toStdString();
        EXPECT_TRUE(errorOf(result).message.startsWith("Extraction failed: "))
            << errorOf(result).message.toStdString();
        EXPECT_FALSE(QFile::exists(outside));
        expectUntouched();
    }
}

TEST_F(InstallFixture, theNewInstallMustBeWholeAndCarryAnAcceptedIdentifier) {
    EXPECT_EQ(errorOf(installUpdate(request({{TarEntry::Kind::file, "readme", "x", 0644, {}}}))).code, 4);
    expectUntouched();

    QList<TarEntry> noExecutable = installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\n");
    noExecutable[2].mode = 0644;
    EXPECT_EQ(errorOf(installUpdate(request(noExecutable))).message,
              QString::fromUtf8("Invalid install — no executable"));
    expectUntouched();

    struct Case {
        QString running;
        QString incoming;
        bool accepted;
    };
    const Case cases[] = {
        {kAppIdentifier, "com.other.app", false},
        {kAppIdentifier, QString(), false}, // a manifest without an identifier proves nothing
        {kAppIdentifier, kLegacyAppIdentifier, false},
        {kLegacyAppIdentifier, kAppIdentifier, true},
    };
    for (const Case& c : cases) {
        const auto result = installUpdate(
            request(installEntries("dunmar", c.incoming, "1.2.0", "#!/bin/sh\n"), signingKey(), c.running));
        if (c.accepted) {
            ASSERT_TRUE(std::holds_alternative<InstalledUpdate>(result))
                << errorOf(result).message.toStdString();
            EXPECT_FALSE(rollBackUpdate(std::get<InstalledUpdate>(result)));
        } else {
            EXPECT_EQ(errorOf(result).message,
                      QString::fromUtf8("Bundle identifier mismatch — aborting update"))
                << c.incoming.toStdString();
        }
        expectUntouched();
    }
}

TEST_F(InstallFixture, aReadOnlyParentFailsWithCode6BeforeAnythingMoves) {
    // As root, permission bits do not stop writes: the parent is then a file system mounted
    // read-only.
    QTemporaryDir mountDir;
    bool mounted = false;
    if (::geteuid() == 0) {
        const QByteArray at = QFile::encodeName(mountDir.path());
        ASSERT_EQ(::mount("tmpfs", at.constData(), "tmpfs", 0, "size=1m"), 0);
        mounted = true;
        parent = mountDir.path();
        root = parent + "/dunmar";
        makeInstall(root, kAppIdentifier, "1.0.0");
        before = snapshot(root);
        ASSERT_EQ(::mount("tmpfs", at.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m"), 0);
    } else {
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner);
    }
    const auto result =
        installUpdate(request(installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\n")));
    EXPECT_EQ(errorOf(result).code, 6);
    EXPECT_EQ(errorOf(result).message, "No write permission at " + parent);
    expectUntouched();
    if (mounted)
        ::umount2(QFile::encodeName(mountDir.path()).constData(), MNT_DETACH);
    else
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(InstallFixture, anExtractionThatRunsOutOfRoomPartWayLeavesTheOldInstall) {
    FullDisk disk;
    parent = disk.path();
    root = parent + "/dunmar";
    makeInstall(root, kAppIdentifier, "1.0.0");
    before = snapshot(root);
    QByteArray big(256 * 1024, '\0');
    for (int i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
    InstallRequest r =
        request(installEntries("dunmar", kAppIdentifier, "1.2.0", "#!/bin/sh\n") +
                QList<TarEntry>{{TarEntry::Kind::file, "dunmar/resources.bin", big, 0644, {}}});
    disk.fill();
    const auto result = installUpdate(r);
    disk.release();
    EXPECT_EQ(errorOf(result).code, 3) << errorOf(result).message.toStdString();
    EXPECT_EQ(snapshot(root), before);
    EXPECT_TRUE(entriesStartingWith(parent, kExtractPrefix).isEmpty());
    EXPECT_TRUE(entriesStartingWith(parent, kBackupPrefix).isEmpty());
}

TEST(UpdateBackup, onlyABackupBesideTheInstallIsRemoved) {
    QTemporaryDir dir;
    const QString root = dir.filePath("dunmar");
    makeInstall(root, kAppIdentifier, "1.2.0");
    const QString backup = dir.filePath(kBackupPrefix + "X");
    const QString stranger = dir.filePath("projects");
    QDir().mkpath(backup);
    QDir().mkpath(stranger);
    EXPECT_FALSE(removeUpdateBackup(stranger, root));
    EXPECT_FALSE(removeUpdateBackup(root, root));
    EXPECT_FALSE(removeUpdateBackup(dir.filePath("dunmar/" + kBackupPrefix + "Y"), root));
    EXPECT_TRUE(QFileInfo::exists(stranger));
    EXPECT_TRUE(removeUpdateBackup(backup, root));
    EXPECT_FALSE(QFileInfo::exists(backup));
}

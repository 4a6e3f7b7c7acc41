#include "UpdaterTestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSslSocket>
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace updatertest {

namespace {

QTemporaryDir& fixtureDir() {
    static QTemporaryDir dir;
    return dir;
}

void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAll().toStdString();
}

TestCertificates makeCertificates() {
    const QString dir = fixtureDir().path();
    const auto at = [&dir](const char* name) { return dir + u'/' + QLatin1String(name); };
    writeFile(at("server.ext"), "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    run("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", at("ca.key"), "-out",
                    at("ca.pem"), "-days", "2", "-subj", "/CN=Dunmar test authority"});
    run("openssl", {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", at("server.key"), "-out",
                    at("server.csr"), "-subj", "/CN=127.0.0.1"});
    run("openssl", {"x509", "-req", "-in", at("server.csr"), "-CA", at("ca.pem"), "-CAkey", at("ca.key"),
                    "-CAcreateserial", "-out", at("server.pem"), "-days", "2", "-extfile", at("server.ext")});
    TestCertificates certs;
    certs.authority = QSslCertificate(readFile(at("ca.pem")));
    certs.server = QSslCertificate(readFile(at("server.pem")));
    certs.serverKey = QSslKey(readFile(at("server.key")), QSsl::Rsa);
    return certs;
}

SigningKey makeSigningKey(const QString& name) {
    const QString base = fixtureDir().path() + u'/' + name;
    run("minisign", {"-G", "-W", "-f", "-p", base + ".pub", "-s", base + ".key"});
    return {base + ".key", readFile(base + ".pub")};
}

} // namespace

const TestCertificates& testCertificates() {
    static const TestCertificates certs = makeCertificates();
    return certs;
}

ReleaseServer::ReleaseServer() {
    listen(QHostAddress::LocalHost);
}

QUrl ReleaseServer::url(const QString& path) const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2").arg(serverPort()).arg(path));
}

void ReleaseServer::incomingConnection(qintptr socketDescriptor) {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    socket->setLocalCertificate(testCertificates().server);
    socket->setPrivateKey(testCertificates().serverKey);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QSslSocket::readyRead, socket, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype end = buffer->indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> lines = buffer->left(end).split('\n');
        const QString path = QString::fromLatin1(lines.value(0).split(' ').value(1));
        requests_.append(path);
        lastHeaders_.clear();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                lastHeaders_[QString::fromLatin1(lines[i].left(colon)).toLower()] =
                    lines[i].mid(colon + 1).trimmed();
        }
        buffer->clear();
        const Route route = routes_.value(path, Route{404, "Not Found"});
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + " Answer\r\nConnection: close\r\n";
        if (route.announceLength) head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
        socket->write(head + "\r\n" + route.body);
        socket->disconnectFromHost();
    });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    socket->startServerEncryption();
}

UpdateCheckerOptions checkerOptions(const ReleaseServer& server, const QString& tempDir,
                                    const QString& localVersion) {
    UpdateCheckerOptions options;
    options.apiBase = server.url(QString());
    options.releasePath = QStringLiteral("/repos/KASPELL/Dunmar/releases/latest");
    options.allowedUpdateHosts = {QStringLiteral("127.0.0.1")};
    options.localVersion = localVersion;
    options.assetSuffix = kSuffix;
    options.publicKey = signingKey().publicKey;
    options.extraCaCertificates = {testCertificates().authority};
    options.checkTimeoutMs = 5000;
    options.assetTimeoutMs = 5000;
    options.temporaryDirectory = tempDir;
    return options;
}

QByteArray releaseJson(const ReleaseServer& server, const QString& tag, const QStringList& assetNames) {
    QJsonArray assets;
    for (const QString& name : assetNames)
        assets.append(QJsonObject{
            {"name", name},
            {"browser_download_url", server.url(QStringLiteral("/download/") + name).toString()}});
    return QJsonDocument(QJsonObject{{"tag_name", tag}, {"name", "Release " + tag}, {"assets", assets}})
        .toJson();
}

const SigningKey& signingKey() {
    static const SigningKey key = makeSigningKey(QStringLiteral("release"));
    return key;
}

const SigningKey& otherSigningKey() {
    static const SigningKey key = makeSigningKey(QStringLiteral("other"));
    return key;
}

QByteArray sign(const QString& filePath, const SigningKey& key) {
    run("minisign", {"-S", "-s", key.secretKeyPath, "-m", filePath, "-x", filePath + ".minisig"});
    return readFile(filePath + ".minisig");
}

void writeTarGz(const QString& path, const QList<TarEntry>& entries) {
    archive* writer = archive_write_new();
    archive_write_add_filter_gzip(writer);
    archive_write_set_format_pax_restricted(writer);
    ASSERT_EQ(archive_write_open_filename(writer, QFile::encodeName(path).constData()), ARCHIVE_OK);
    for (const TarEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, QFile::encodeName(e.path).constData());
        archive_entry_set_perm(entry, e.mode);
        switch (e.kind) {
        case TarEntry::Kind::file:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, e.content.size());
            break;
        case TarEntry::Kind::directory:
            archive_entry_set_filetype(entry, AE_IFDIR);
            break;
        case TarEntry::Kind::symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, QFile::encodeName(e.linkTarget).constData());
            break;
        case TarEntry::Kind::hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, QFile::encodeName(e.linkTarget).constData());
            break;
        }
        archive_write_header(writer, entry);
        if (e.kind == TarEntry::Kind::file)
            archive_write_data(writer, e.content.constData(), e.content.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}

namespace {
QByteArray manifestJson(const QString& identifier, const QString& version) {
    QJsonObject manifest{{"executable", "Dunmar"}, {"version", version}};
    if (!identifier.isEmpty()) manifest["identifier"] = identifier;
    return QJsonDocument(manifest).toJson();
}
} // namespace

QList<TarEntry> installEntries(const QString& folder, const QString& identifier, const QString& version,
                               const QByteArray& script) {
    return {
        {TarEntry::Kind::directory, folder, {}, 0755, {}},
        {TarEntry::Kind::file, folder + "/bundle.json", manifestJson(identifier, version), 0644, {}},
        {TarEntry::Kind::file, folder + "/Dunmar", script, 0755, {}},
        {TarEntry::Kind::directory, folder + "/themes", {}, 0755, {}},
        {TarEntry::Kind::file, folder + "/themes/prompt.sh", "echo " + version.toUtf8() + "\n", 0644, {}},
    };
}

void makeInstall(const QString& root, const QString& identifier, const QString& version,
                 const QByteArray& script) {
    QDir().mkpath(root + "/themes");
    writeFile(root + "/bundle.json", manifestJson(identifier, version));
    writeFile(root + "/Dunmar", script);
    QFile::setPermissions(root + "/Dunmar", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                QFile::ExeOther);
    writeFile(root + "/themes/prompt.sh", "echo " + version.toUtf8() + "\n");
}

RunningInstall runningInstall(const QString& root, const QString& identifier) {
    return {root, root + "/Dunmar", identifier};
}

QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> result;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = QDir(root).relativeFilePath(info.filePath());
        // The owner, group and other bits; the "user" bits say what this process may do, which a
        // read-only mount changes without touching the tree.
        const QByteArray mode = QByteArray::number(static_cast<int>(info.permissions()) & 0x7077, 16);
        if (info.isSymLink())
            result[name] = "link " + info.symLinkTarget().toUtf8();
        else if (info.isDir())
            result[name] = "dir " + mode;
        else
            result[name] = "file " + mode + " " + readFile(info.filePath());
    }
    return result;
}

QStringList entriesStartingWith(const QString& folder, const QString& prefix) {
    return QDir(folder).entryList({prefix + u'*'}, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray sha256Hex(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

RecordingHost::RecordingHost(QString lockPath) {
    if (lockPath.isEmpty()) return;
    lockFd = ::open(QFile::encodeName(lockPath).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ::flock(lockFd, LOCK_EX | LOCK_NB);
}

RecordingHost::~RecordingHost() {
    if (lockFd >= 0) ::close(lockFd);
}

void RecordingHost::showUpdateToast(const QString& badge, const QString& text, const QColor& badgeColor,
                                    double dismissAfter, std::function<void()> onClick) {
    toasts.append({badge, text, badgeColor, dismissAfter, std::move(onClick)});
}

void RecordingHost::releaseInstanceLock() {
    if (lockFd >= 0) ::flock(lockFd, LOCK_UN);
}

void RecordingHost::retakeInstanceLock() {
    if (lockFd >= 0) ::flock(lockFd, LOCK_EX | LOCK_NB);
}

} // namespace updatertest

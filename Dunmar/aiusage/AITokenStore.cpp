#include "aiusage/AITokenStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace AITokenStore {

namespace {

// The file is small; anything far larger is not the tool's file.
constexpr qint64 kMaxCredentialsBytes = 1024 * 1024;

std::optional<QString> tokenFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.read(kMaxCredentialsBytes + 1);
    if (bytes.size() > kMaxCredentialsBytes) return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.trimmed());
    if (!document.isObject()) return std::nullopt;
    const QJsonValue oauth = document.object().value(QLatin1String("claudeAiOauth"));
    if (!oauth.isObject()) return std::nullopt;
    const QJsonValue token = oauth.toObject().value(QLatin1String("accessToken"));
    if (!token.isString() || token.toString().isEmpty()) return std::nullopt;
    return token.toString();
}

} // namespace

QString credentialsPath() {
    const QString configDir = qEnvironmentVariable("CLAUDE_CONFIG_DIR");
    const QString folder = configDir.isEmpty() ? QDir::homePath() + QStringLiteral("/.claude") : configDir;
    return folder + QStringLiteral("/.credentials.json");
}

std::optional<QString> readClaudeCodeToken() {
    if (std::optional<QString> token = tokenFromFile(credentialsPath())) return token;
    const QString fromEnvironment = qEnvironmentVariable("CLAUDE_CODE_OAUTH_TOKEN").trimmed();
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return std::nullopt;
}

} // namespace AITokenStore

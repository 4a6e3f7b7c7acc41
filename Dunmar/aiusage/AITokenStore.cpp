#include "aiusage/AITokenStore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace AITokenStore {

namespace {

std::optional<QString> tokenFromFile(const QString& path, Notes* notes) {
    if (!QFileInfo::exists(path)) return std::nullopt;
    // Read as every file whose path comes from outside: a FIFO placed there must not hold the
    // start, and a huge file is not read into memory.
    Notes ignored;
    Notes& found = notes ? *notes : ignored;
    const std::optional<QByteArray> bytes =
        regularfile::read(path, &found.refused, kMaxCredentialsBytes, &found.facts);
    if (!bytes) return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes->trimmed());
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

std::optional<QString> readClaudeCodeToken(Notes* notes) {
    if (std::optional<QString> token = tokenFromFile(credentialsPath(), notes)) return token;
    const QString fromEnvironment = qEnvironmentVariable("CLAUDE_CODE_OAUTH_TOKEN").trimmed();
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return std::nullopt;
}

} // namespace AITokenStore

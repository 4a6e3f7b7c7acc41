#include "updater/GitHubRelease.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sys/utsname.h>

QString platformAssetSuffixFor(const QString& machine) {
    return QStringLiteral("-linux-") + machine + QStringLiteral(".tar.gz");
}

QString platformAssetSuffix() {
    struct utsname name {};
    uname(&name);
    return platformAssetSuffixFor(QString::fromLatin1(name.machine));
}

namespace {

std::optional<QUrl> assetURL(const QJsonObject& asset) {
    const QJsonValue value = asset.value(QStringLiteral("browser_download_url"));
    if (!value.isString()) return std::nullopt;
    const QUrl url(value.toString(), QUrl::StrictMode);
    if (!url.isValid() || url.isEmpty()) return std::nullopt;
    return url;
}

// The first asset named exactly `name`, and its address when that is usable.
std::optional<QUrl> companionURL(const QJsonArray& assets, const QString& name) {
    for (const QJsonValue& value : assets) {
        const QJsonObject asset = value.toObject();
        const QJsonValue assetName = asset.value(QStringLiteral("name"));
        if (assetName.isString() && assetName.toString() == name) return assetURL(asset);
    }
    return std::nullopt;
}

} // namespace

std::variant<GitHubRelease, UpdateError> parseRelease(const QByteArray& body, const QString& assetSuffix) {
    const UpdateError parseError = UpdateError::checker(
        updatecode::kBadAnswer, QStringLiteral("Failed to parse release data from server"));
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject()) return parseError;
    const QJsonObject release = doc.object();
    const QJsonValue tag = release.value(QStringLiteral("tag_name"));
    if (!tag.isString()) return parseError;
    const QJsonValue assetsValue = release.value(QStringLiteral("assets"));
    if (!assetsValue.isArray()) return parseError;
    const QJsonArray assets = assetsValue.toArray();
    for (const QJsonValue& value : assets)
        if (!value.isObject()) return parseError;

    for (const QJsonValue& value : assets) {
        const QJsonObject asset = value.toObject();
        const QJsonValue name = asset.value(QStringLiteral("name"));
        if (!name.isString() || !name.toString().endsWith(assetSuffix)) continue;
        const std::optional<QUrl> archive = assetURL(asset);
        if (!archive) return parseError;
        GitHubRelease result;
        result.tagName = tag.toString();
        result.downloadURL = *archive;
        result.checksumURL = companionURL(assets, name.toString() + QStringLiteral(".sha256"));
        result.signatureURL = companionURL(assets, name.toString() + QStringLiteral(".minisig"));
        return result;
    }
    return parseError;
}

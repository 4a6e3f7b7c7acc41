#include "aiusage/AIUsageManager.h"

#include "aiusage/AITokenStore.h"
#include "platform/BoundedReply.h"
#include "platform/Defaults.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <cmath>

namespace {

constexpr int kLoggedBodyChars = 500;

} // namespace

AIUsageManager::AIUsageManager(Defaults& defaults, QObject* parent) : QObject(parent), defaults_(defaults) {
    connect(&pollTimer_, &QTimer::timeout, this, [this] { fetchUsage(); });
}

std::optional<QString> AIUsageManager::readToken() {
    if (!tokenChecked_) {
        AITokenStore::Notes notes;
        cachedToken_ = AITokenStore::readClaudeCodeToken(&notes);
        tokenChecked_ = true;
        if (!notes.refused.isEmpty())
            log_.write(QStringLiteral("Credentials file not read (%1): %2")
                           .arg(notes.refused, AITokenStore::credentialsPath()));
        // Used all the same, as ssh uses a key that others may read; said once a run, not at
        // every reading.
        if (notes.facts.readableByOthers() && !notedReadableByOthers_) {
            notedReadableByOthers_ = true;
            log_.write(
                QStringLiteral("Permissions %1 of %2 let other users read the token; chmod 600 keeps it "
                               "private")
                    .arg(QString::number(notes.facts.permissions, 8).rightJustified(4, QLatin1Char('0')),
                         AITokenStore::credentialsPath()));
        }
    }
    return cachedToken_;
}

void AIUsageManager::clearData() {
    latestData_.reset();
    cachedToken_.reset();
    tokenChecked_ = false;
}

void AIUsageManager::setLatestData(const AIUsageData& data) {
    latestData_ = data;
    defaults_.setValue(kCacheKey,
                       QString::fromUtf8(QJsonDocument(data.toJson()).toJson(QJsonDocument::Compact)));
}

void AIUsageManager::loadCachedData() {
    const QVariant stored = defaults_.object(kCacheKey);
    if (stored.typeId() != QMetaType::QString) return;
    const QJsonDocument document = QJsonDocument::fromJson(stored.toString().toUtf8());
    if (!document.isObject()) return;
    const std::optional<AIUsageData> data = AIUsageData::fromJson(document.object());
    if (!data) return;
    setLatestData(*data);
    if (onUpdate) onUpdate(latestData_);
}

void AIUsageManager::fetchUsage(bool manual) {
    if (manual && tokenChecked_ && !cachedToken_) tokenChecked_ = false;
    const std::optional<QString> token = readToken();
    if (!token) {
        log_.write(QStringLiteral("No token found \u2014 stopping polling"));
        stopPolling();
        if (onUpdate) onUpdate(std::nullopt);
        return;
    }
    log_.write(QStringLiteral("Token loaded (%1 chars), fetching...").arg(token->size()));

    QUrl url = baseUrl_;
    url.setPath(url.path().chopped(url.path().endsWith(QLatin1Char('/')) ? 1 : 0) +
                QStringLiteral("/api/oauth/usage"));
    QNetworkRequest request(url);
    request.setRawHeader("Authorization", "Bearer " + token->toUtf8());
    request.setRawHeader("anthropic-beta", "oauth-2025-04-20");
    request.setTransferTimeout(kRequestTimeoutMs);
    request.setSslConfiguration(ssl_);
    const quint64 sequence = nextSequence_++;
    ++requestsSent_;
    QNetworkReply* reply = network_.get(request);
    // The usage answer is a small JSON object; a server that sends on and on is cut off.
    BoundedReply* bounded = BoundedReply::watch(reply, {kMaxAnswerBytes, kRequestTimeoutMs});
    connect(reply, &QNetworkReply::finished, this, [this, reply, bounded, sequence] {
        reply->deleteLater();
        handleReply(reply, *bounded, sequence);
    });
}

void AIUsageManager::handleReply(QNetworkReply* reply, BoundedReply& bounded, quint64 sequence) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (bounded.cut() != BoundedReply::Cut::none) {
        log_.write(QStringLiteral("Network error: ") + bounded.cutMessage());
        return;
    }
    if (!status.isValid() && reply->error() != QNetworkReply::NoError) {
        log_.write(QStringLiteral("Network error: ") + reply->errorString());
        return;
    }
    if (sequence < newestApplied_) return;
    newestApplied_ = sequence;

    const int code = status.isValid() ? status.toInt() : 0;
    const QByteArray body = bounded.takeBody();
    log_.write(QStringLiteral("HTTP %1").arg(code));
    if (!body.isEmpty()) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder(body);
        if (!decoder.hasError()) log_.write(QStringLiteral("Response: ") + text.left(kLoggedBodyChars));
    }
    lastStatusCode_ = code;

    if (code == 401 || code == 403) {
        // Read the credentials again next time: the tool may have signed in afresh.
        cachedToken_.reset();
        tokenChecked_ = false;
        if (onUpdate) onUpdate(std::nullopt);
        return;
    }
    if (body.isEmpty() || code != 200) return;
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) return;
    setLatestData(aiusage::parseUsageJSON(document.object(), QDateTime::currentDateTimeUtc()));
    if (onUpdate) onUpdate(latestData_);
}

void AIUsageManager::startPolling(double intervalSeconds) {
    stopPolling();
    pollTimer_.start(int(std::lround(std::clamp(intervalSeconds, 1.0, 86400.0) * 1000)));
    fetchUsage();
}

void AIUsageManager::stopPolling() {
    pollTimer_.stop();
}

void AIUsageManager::updateInterval(double intervalSeconds) {
    if (pollTimer_.isActive()) startPolling(intervalSeconds);
}

#pragma once

#include "aiusage/AIUsageData.h"
#include "aiusage/AIUsageLog.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

class BoundedReply;

class Defaults;

// Polls the provider's usage endpoint with the command-line tool's token, keeps the last answer
// (also in the defaults, for the next start) and publishes every result through `onUpdate`.
// Main thread; the requests themselves run in the network manager's own thread.
class AIUsageManager : public QObject {
    Q_OBJECT
public:
    static inline const QString kCacheKey = QStringLiteral("aiUsageDataCache");
    static inline const QString kDefaultBaseUrl = QStringLiteral("https://api.anthropic.com");
    static constexpr int kRequestTimeoutMs = 60000;
    static constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

    explicit AIUsageManager(Defaults& defaults, QObject* parent = nullptr);

    // Called with a snapshot after an answer was read and after `loadCachedData`, with none when
    // there is no token or the token was refused; not called for other failures.
    std::function<void(const std::optional<AIUsageData>&)> onUpdate;

    // Where "/api/oauth/usage" is asked; and the TLS settings of the request.
    void setBaseUrl(const QUrl& url) { baseUrl_ = url; }
    void setSslConfiguration(const QSslConfiguration& configuration) { ssl_ = configuration; }
    void setLogPath(const QString& path) { log_ = AIUsageLog(path); }
    QString logPath() const { return log_.path(); }

    // The token as last read; the credentials are read again only after a reset (a refused
    // token) or, when none was found, on a manual refresh.
    std::optional<QString> readToken();
    bool hasToken() { return readToken().has_value(); }
    void clearData();

    void loadCachedData();
    // One request. `manual` (the popover's refresh) reads the credentials again when the last
    // reading found no token, so that signing in later needs no restart.
    void fetchUsage(bool manual = false);
    void startPolling(double intervalSeconds = 60);
    void stopPolling();
    // Restarts running polling at the new interval (and fetches at once); nothing while stopped.
    void updateInterval(double intervalSeconds);

    const std::optional<AIUsageData>& latestData() const { return latestData_; }
    int lastStatusCode() const { return lastStatusCode_; }
    bool isPolling() const { return pollTimer_.isActive(); }
    int pollIntervalMs() const { return pollTimer_.interval(); }
    // Requests sent so far (the tests count them).
    int requestsSent() const { return requestsSent_; }

private:
    void setLatestData(const AIUsageData& data);
    void handleReply(QNetworkReply* reply, BoundedReply& bounded, quint64 sequence);

    Defaults& defaults_;
    QNetworkAccessManager network_;
    QUrl baseUrl_{kDefaultBaseUrl};
    QSslConfiguration ssl_ = QSslConfiguration::defaultConfiguration();
    AIUsageLog log_;
    std::optional<AIUsageData> latestData_;
    int lastStatusCode_ = 0;
    QTimer pollTimer_;
    std::optional<QString> cachedToken_;
    bool tokenChecked_ = false;
    bool notedReadableByOthers_ = false;
    // Requests are numbered as they go out; an answer older than one already applied is dropped,
    // so a slow early answer cannot overwrite a newer one.
    quint64 nextSequence_ = 1;
    quint64 newestApplied_ = 0;
    int requestsSent_ = 0;
};

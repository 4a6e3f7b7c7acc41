#include "git/GitHubClient.h"

#include "git/Background.h"
#include "git/ChildProcess.h"
#include "git/GitHubJson.h"
#include "git/GitHubKeychainStore.h"
#include "git/GitRunner.h"
#include "platform/FetchData.h"

#include <QJsonObject>
#include <QNetworkRequest>
#include <memory>

namespace {

QString encoded(const QString& piece) {
    return QString::fromLatin1(QUrl::toPercentEncoding(piece));
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool sameOrigin(const QUrl& a, const QUrl& b) {
    return a.scheme() == b.scheme() && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 &&
           a.port(-1) == b.port(-1);
}

} // namespace

GitHubClient::GitHubClient(GitHubEndpoints endpoints, QObject* parent)
    : QObject(parent), endpoints_(std::move(endpoints)) {
    const int limit = endpoints_.cliTimeLimitMs;
    runInBackground<std::optional<QString>>(
        this, [limit] { return ghCliToken(limit); },
        [this](std::optional<QString> cliToken) {
            auto settle = [this](std::optional<QString> found) {
                if (!tokenChosen_) token_ = std::move(found);
                initialTokenResolved_ = true;
                if (onInitialTokenResolved) onInitialTokenResolved();
            };
            if (cliToken) {
                settle(cliToken);
                return;
            }
            QPointer<GitHubClient> self(this);
            GitHubKeychainStore::load(tokenKey(), [self, settle](std::optional<QString> stored) {
                if (self) settle(std::move(stored));
            });
        });
}

void GitHubClient::setToken(const QString& token) {
    tokenChosen_ = true;
    token_ = token;
    if (!token.isEmpty()) GitHubKeychainStore::save(tokenKey(), token);
}

void GitHubClient::clearCache() {
    cache = RemoteCache();
    ++cacheGeneration_;
}

void GitHubClient::logout() {
    tokenChosen_ = true;
    token_.reset();
    username_.reset();
    clearCache();
    GitHubKeychainStore::deleteKey(tokenKey());
}

QUrl GitHubClient::tokenPageUrl() const {
    return QUrl(QStringLiteral("https://%1/settings/tokens/new?scopes=repo&description=Dunmar")
                    .arg(endpoints_.webHost));
}

std::optional<QString> GitHubClient::ghCliToken(int timeLimitMs) {
    const ChildRun run = runChild(QStringLiteral("/usr/bin/env"), {"gh", "auth", "token"}, QString(),
                                  QProcessEnvironment::systemEnvironment(), timeLimitMs);
    if (!run.succeeded()) return std::nullopt;
    const QString token = QString::fromUtf8(run.out).trimmed();
    if (token.isEmpty()) return std::nullopt;
    return token;
}

std::optional<OwnerRepo> GitHubClient::parseRemoteURL(const QString& cwd) const {
    return originOwnerRepo(cwd, endpoints_.webHost, endpoints_.gitTimeLimitMs);
}

std::optional<OwnerRepo> GitHubClient::originOwnerRepo(const QString& cwd, const QString& host,
                                                       int timeLimitMs) {
    GitTimeLimits limits;
    limits.localMs = timeLimitMs;
    const std::optional<QString> url = runGit(gitcmd::remoteUrl(QStringLiteral("origin")), cwd, limits);
    if (!url) return std::nullopt;
    return extractOwnerRepo(url->trimmed(), host);
}

// ---- Requests -----------------------------------------------------------------------------------

QUrl GitHubClient::apiUrl(const QString& path) const {
    QString base = endpoints_.apiBase.toString(QUrl::FullyEncoded);
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    return QUrl::fromEncoded((base + path).toUtf8(), QUrl::StrictMode);
}

QString GitHubClient::repoPath(const QString& owner, const QString& repo) {
    return QStringLiteral("/repos/") + encoded(owner) + QLatin1Char('/') + encoded(repo);
}

QNetworkRequest GitHubClient::request(const QUrl& url, bool withToken) const {
    QNetworkRequest req(url);
    // Redirects are followed here, not by the network layer, which would carry the token along
    // to whatever host the answer names.
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    req.setTransferTimeout(endpoints_.transferTimeoutMs);
    req.setRawHeader("Accept", "application/vnd.github+json");
    if (withToken && token_) req.setRawHeader("Authorization", "Bearer " + token_->toUtf8());
    return req;
}

void GitHubClient::getFollowingRedirects(const QUrl& url, bool withToken, int hopsLeft,
                                         std::function<void(FetchResult)> done) {
    QPointer<GitHubClient> self(this);
    fetchData(
        network_, request(url, withToken), this, [self, url, withToken, hopsLeft, done](FetchResult result) {
            if (self && result.ok() && isRedirect(result.httpStatus) && result.redirectTarget.isValid() &&
                hopsLeft > 0) {
                const QUrl next = url.resolved(result.redirectTarget);
                self->getFollowingRedirects(next, withToken && sameOrigin(url, next), hopsLeft - 1, done);
                return;
            }
            done(std::move(result));
        });
}

void GitHubClient::apiGet(const QString& path, std::function<void(ApiAnswer)> done) {
    if (!isAuthenticated()) {
        done({std::nullopt, 0, QStringLiteral("Nicht angemeldet")});
        return;
    }
    const QUrl url = apiUrl(path);
    if (!url.isValid()) {
        done({std::nullopt, 0, QStringLiteral("Invalid URL")});
        return;
    }
    getFollowingRedirects(url, true, 5, [done](FetchResult result) {
        ApiAnswer answer;
        answer.httpStatus = result.httpStatus;
        if (!result.ok()) {
            answer.error = result.error->message;
        } else if (result.httpStatus < 200 || result.httpStatus > 299) {
            answer.error = QStringLiteral("Error %1").arg(result.httpStatus);
        } else {
            QJsonParseError parseError;
            QJsonDocument json = QJsonDocument::fromJson(result.data, &parseError);
            if (parseError.error == QJsonParseError::NoError)
                answer.json = std::move(json);
            else
                answer.error = parseError.errorString();
        }
        done(std::move(answer));
    });
}

void GitHubClient::fetchUser(std::function<void(UserLookup)> done) {
    QPointer<GitHubClient> self(this);
    apiGet(QStringLiteral("/user"), [self, done](ApiAnswer answer) {
        UserLookup lookup;
        if (answer.httpStatus == 401 || answer.httpStatus == 403) {
            lookup.outcome = UserLookup::Outcome::rejected;
            lookup.error = answer.error;
        } else if (!answer.json || !answer.json->isObject()) {
            lookup.error = answer.error.isEmpty() ? QStringLiteral("Unexpected answer") : answer.error;
        } else {
            const QJsonValue login = answer.json->object().value(QLatin1String("login"));
            if (login.isString()) {
                lookup.outcome = UserLookup::Outcome::signedIn;
                lookup.login = login.toString();
            } else {
                lookup.error = QStringLiteral("Unexpected answer");
            }
            if (self)
                self->username_ = login.isString() ? std::optional<QString>(login.toString()) : std::nullopt;
        }
        if (done) done(lookup);
    });
}

void GitHubClient::fetchPRs(const QString& owner, const QString& repo,
                            std::function<void(QList<PullRequestInfo>)> done) {
    apiGet(repoPath(owner, repo) + QStringLiteral("/pulls?state=open&per_page=10"),
           [done](ApiAnswer a) { done(a.json ? parsePullRequests(*a.json) : QList<PullRequestInfo>()); });
}

void GitHubClient::fetchRemoteCommits(const QString& owner, const QString& repo, const QString& branch,
                                      std::function<void(QList<RemoteCommitInfo>)> done) {
    apiGet(repoPath(owner, repo) + QStringLiteral("/commits?sha=") + encoded(branch) +
               QStringLiteral("&per_page=8"),
           [done](ApiAnswer a) { done(a.json ? parseRemoteCommits(*a.json) : QList<RemoteCommitInfo>()); });
}

void GitHubClient::fetchWorkflowRuns(const QString& owner, const QString& repo,
                                     std::function<void(QList<WorkflowRunInfo>)> done) {
    apiGet(repoPath(owner, repo) + QStringLiteral("/actions/runs?per_page=5"),
           [done](ApiAnswer a) { done(a.json ? parseWorkflowRuns(*a.json) : QList<WorkflowRunInfo>()); });
}

void GitHubClient::fetchRemoteDataIfNeeded(const QString& cwd, const QString& branch,
                                           std::function<void()> done) {
    auto finish = [done] {
        if (done) done();
    };
    const bool fresh = cache.lastFetch.isValid() &&
                       cache.lastFetch.msecsTo(QDateTime::currentDateTimeUtc()) < qint64(cacheTTL * 1000);
    // One refresh at a time: the three answers of an earlier one are still being collected.
    if (!isAuthenticated() || fresh || remoteFetchRunning_) {
        finish();
        return;
    }
    remoteFetchRunning_ = true;
    const quint64 generation = cacheGeneration_;
    runInBackground<std::optional<OwnerRepo>>(
        this,
        [cwd, host = endpoints_.webHost, limit = endpoints_.gitTimeLimitMs] {
            return originOwnerRepo(cwd, host, limit);
        },
        [this, branch, generation, finish](std::optional<OwnerRepo> found) {
            if (!found) {
                remoteFetchRunning_ = false;
                finish();
                return;
            }
            auto fresh = std::make_shared<RemoteCache>();
            auto pending = std::make_shared<int>(3);
            QPointer<GitHubClient> self(this);
            auto oneDone = [self, fresh, pending, generation, finish] {
                if (--*pending > 0) return;
                if (self) {
                    self->remoteFetchRunning_ = false;
                    if (generation == self->cacheGeneration_) {
                        fresh->lastFetch = QDateTime::currentDateTimeUtc();
                        self->cache = *fresh;
                    }
                }
                finish();
            };
            fetchPRs(found->owner, found->repo, [fresh, oneDone](QList<PullRequestInfo> l) {
                fresh->pullRequests = std::move(l);
                oneDone();
            });
            fetchRemoteCommits(found->owner, found->repo, branch,
                               [fresh, oneDone](QList<RemoteCommitInfo> l) {
                                   fresh->remoteCommits = std::move(l);
                                   oneDone();
                               });
            fetchWorkflowRuns(found->owner, found->repo, [fresh, oneDone](QList<WorkflowRunInfo> l) {
                fresh->workflowRuns = std::move(l);
                oneDone();
            });
        });
}

void GitHubClient::createRepo(const QString& name, bool isPrivate,
                              std::function<void(CreateRepoResult)> done) {
    if (!isAuthenticated()) {
        done({false, QStringLiteral("Nicht angemeldet")});
        return;
    }
    const QJsonObject body{{"name", name}, {"private", isPrivate}, {"auto_init", false}};
    QNetworkRequest post = request(apiUrl(QStringLiteral("/user/repos")), true);
    post.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    fetchData(
        network_, post, this,
        [done](FetchResult result) {
            if (!result.ok()) {
                done({false, result.error->message.isEmpty() ? QStringLiteral("Netzwerkfehler")
                                                             : result.error->message});
                return;
            }
            const QJsonObject answer = QJsonDocument::fromJson(result.data).object();
            const QJsonValue cloneUrl = answer.value(QLatin1String("clone_url"));
            const QJsonValue message = answer.value(QLatin1String("message"));
            if (result.httpStatus == 201 && cloneUrl.isString())
                done({true, cloneUrl.toString()});
            else if (message.isString())
                done({false, message.toString()});
            else
                done({false, QStringLiteral("Error %1").arg(result.httpStatus)});
        },
        QByteArrayLiteral("POST"), QJsonDocument(body).toJson(QJsonDocument::Compact));
}

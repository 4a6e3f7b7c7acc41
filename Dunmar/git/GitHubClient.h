#pragma once

#include "git/RemoteCache.h"
#include "git/RemoteUrl.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

struct FetchResult;

// Where the client talks to: the REST API, the web host that remote URLs and the token page name,
// and how long a transfer and the command-line tool may take. Tests point the API at a local server.
struct GitHubEndpoints {
    QUrl apiBase = QUrl(QStringLiteral("https://api.github.com"));
    QString webHost = QStringLiteral("github.com");
    int transferTimeoutMs = 60000;
    int cliTimeLimitMs = 10000;
    int gitTimeLimitMs = 10000;
};

// The answer to "who is signed in": a login, a token the service refused (401 or 403), or no
// usable answer (no network, a server error, a body of another shape), which says nothing about
// the token.
struct UserLookup {
    enum class Outcome { signedIn, rejected, failed };
    Outcome outcome = Outcome::failed;
    QString login;
    QString error;
};

struct CreateRepoResult {
    bool success = false;
    QString text; // the clone URL on success, else what went wrong
};

// The git panel's client of the code-hosting REST API: the token, the signed-in user, repository
// creation, and three short lists about the repository of a folder, kept for `cacheTTL` seconds.
class GitHubClient : public QObject {
    Q_OBJECT
public:
    // The token comes from the service's command-line tool ("gh auth token", off the GUI thread),
    // else from the keyring; both answer later, and `onInitialTokenResolved` tells when.
    explicit GitHubClient(GitHubEndpoints endpoints = {}, QObject* parent = nullptr);

    static QString tokenKey() { return QStringLiteral("oauth-token"); }

    const std::optional<QString>& token() const { return token_; }
    // Signs in; a non-empty token is also saved to the keyring.
    void setToken(const QString& token);
    const std::optional<QString>& username() const { return username_; }
    bool isAuthenticated() const { return token_ && !token_->isEmpty(); }
    bool initialTokenResolved() const { return initialTokenResolved_; }

    RemoteCache cache;
    double cacheTTL = 30.0;
    // Empties the cache; lists still on their way for the folder before are dropped.
    void clearCache();
    // Keeps the lists but lets the next `fetchRemoteDataIfNeeded` fetch again.
    void markCacheStale() { cache.lastFetch = QDateTime(); }

    void fetchUser(std::function<void(UserLookup)> done);
    void fetchPRs(const QString& owner, const QString& repo,
                  std::function<void(QList<PullRequestInfo>)> done);
    void fetchRemoteCommits(const QString& owner, const QString& repo, const QString& branch,
                            std::function<void(QList<RemoteCommitInfo>)> done);
    void fetchWorkflowRuns(const QString& owner, const QString& repo,
                           std::function<void(QList<WorkflowRunInfo>)> done);
    // Fills `cache` when it is older than `cacheTTL`, the client is signed in and the folder's
    // "origin" names a repository on the service; `done` runs in every case, once.
    void fetchRemoteDataIfNeeded(const QString& cwd, const QString& branch, std::function<void()> done = {});
    void createRepo(const QString& name, bool isPrivate, std::function<void(CreateRepoResult)> done);
    // Forgets the token, the user and the cache, and deletes the keyring item. The command-line
    // tool's token stays, so a client made later signs in from it again.
    void logout();

    // Owner and repository of the "origin" remote of the repository around `cwd`. Runs git and
    // blocks, so it is called off the GUI thread.
    std::optional<OwnerRepo> parseRemoteURL(const QString& cwd) const;
    // The token printed by "gh auth token", run with the program's own environment; blocks.
    static std::optional<QString> ghCliToken(int timeLimitMs);
    QUrl tokenPageUrl() const;

    std::function<void()> onInitialTokenResolved;

private:
    struct ApiAnswer {
        std::optional<QJsonDocument> json;
        int httpStatus = 0;
        QString error; // set when json is none
    };
    void apiGet(const QString& path, std::function<void(ApiAnswer)> done);
    void getFollowingRedirects(const QUrl& url, bool withToken, int hopsLeft,
                               std::function<void(FetchResult)> done);
    QNetworkRequest request(const QUrl& url, bool withToken) const;
    QUrl apiUrl(const QString& path) const;
    static QString repoPath(const QString& owner, const QString& repo);
    static std::optional<OwnerRepo> originOwnerRepo(const QString& cwd, const QString& host, int timeLimitMs);

    GitHubEndpoints endpoints_;
    QNetworkAccessManager network_;
    std::optional<QString> token_;
    std::optional<QString> username_;
    bool tokenChosen_ = false; // set by setToken or logout: the initial lookup no longer decides
    bool initialTokenResolved_ = false;
    bool remoteFetchRunning_ = false;
    quint64 cacheGeneration_ = 0;
};

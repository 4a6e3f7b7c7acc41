// The code-hosting client against a real HTTP server on 127.0.0.1: the user and sign-in, the three
// lists and their cache, repository creation, encoded names, redirects, remote URLs and the
// command-line tool's token.
#include "git/GitHubClient.h"

#include "GitTestSupport.h"
#include "LocalHttpServer.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelModel.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace gittest;

namespace {

GitHubEndpoints at(const LocalHttpServer& server) {
    GitHubEndpoints e;
    e.apiBase = server.url();
    e.transferTimeoutMs = 2000;
    return e;
}

// Runs one asynchronous call to its answer.
template <typename T, typename Call> std::optional<T> answer(Call call) {
    std::optional<T> result;
    call([&](T value) { result = std::move(value); });
    waitFor([&] { return result.has_value(); });
    return result;
}

// A client that has finished looking for an initial token, then signed in with `token`.
struct Client {
    explicit Client(GitHubEndpoints e, const QString& token = "t0ken") : github(std::move(e)) {
        EXPECT_TRUE(waitFor([this] { return github.initialTokenResolved(); }));
        if (token.isEmpty())
            github.logout(); // a token an earlier client left in the keyring would sign it in
        else
            github.setToken(token);
    }
    GitHubClient github;
};

} // namespace

TEST(GitHubClient, FetchUserSendsTheTokenAndReadsTheLogin) {
    LocalHttpServer server;
    server.handler = [](const LocalHttpServer::Request&) { return jsonResponse(200, R"({"login":"octo"})"); };
    Client c(at(server));
    const auto user = answer<UserLookup>([&](auto done) { c.github.fetchUser(done); });
    ASSERT_TRUE(user);
    EXPECT_EQ(user->outcome, UserLookup::Outcome::signedIn);
    EXPECT_EQ(user->login, "octo");
    EXPECT_EQ(c.github.username(), "octo");
    ASSERT_EQ(server.requests.size(), 1);
    EXPECT_EQ(server.requests[0].target, "/user");
    EXPECT_EQ(server.requests[0].headers.value("authorization"), "Bearer t0ken");
    EXPECT_EQ(server.requests[0].headers.value("accept"), "application/vnd.github+json");

    Client signedOut(at(server), QString());
    const auto none = answer<UserLookup>([&](auto done) { signedOut.github.fetchUser(done); });
    EXPECT_EQ(none->outcome, UserLookup::Outcome::failed);
    EXPECT_EQ(server.requests.size(), 1) << "no token, no request";
}

TEST(GitHubClient, OnlyARefusedTokenSignsOutAndAnOfflineSignInKeepsIt) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    struct Case {
        const char* name;
        int status; // 0: the server is gone
        bool keepsToken;
    };
    for (const Case c : {Case{"refused", 401, false}, Case{"forbidden", 403, false},
                         Case{"server fault", 500, true}, Case{"offline", 0, true}}) {
        SCOPED_TRACE(c.name);
        auto server = std::make_unique<LocalHttpServer>();
        server->handler = [&](const LocalHttpServer::Request&) {
            return jsonResponse(c.status, R"({"message":"x"})");
        };
        GitHubEndpoints endpoints = at(*server);
        if (c.status == 0) server.reset(); // nothing listens on that port any more
        GitPanelModel model(endpoints);
        GitPanelActions actions(model);
        model.startRefreshing(repo);
        ASSERT_TRUE(waitFor([&] { return model.github().initialTokenResolved() && !model.isRefreshing(); }));
        actions.saveTokenClicked("  typed-token \n");
        EXPECT_TRUE(actions.checkingToken());
        ASSERT_TRUE(waitFor([&] { return !actions.checkingToken(); }));
        EXPECT_EQ(model.github().isAuthenticated(), c.keepsToken);
        EXPECT_FALSE(actions.feedback().success);
        if (c.keepsToken)
            EXPECT_TRUE(actions.feedback().text.startsWith("Error: "))
                << actions.feedback().text.toStdString();
        else
            EXPECT_EQ(actions.feedback().text, "Invalid token — please try again");
    }
}

TEST(GitHubClient, ListsAreReadFromTheirAnswers) {
    LocalHttpServer server;
    server.handler = [](const LocalHttpServer::Request& r) {
        if (r.target.contains("/pulls"))
            return jsonResponse(200, R"([{"number":7,"title":"Fix","user":{"login":"ann"}},
                                         {"number":8,"title":"No user"},
                                         {"title":"no number"},{"number":9,"title":5}])");
        if (r.target.contains("/commits"))
            return jsonResponse(200,
                                R"([{"sha":"0123456789abcdef","commit":{"message":"\n\nSubject\n\nBody"}},
                                         {"sha":"abc","commit":{"message":"short"}},{"sha":"x"}])");
        if (r.target.contains("/actions/runs"))
            return jsonResponse(200, R"({"workflow_runs":[
                {"name":"CI","status":"completed","conclusion":"success","head_branch":"main","html_url":"u1"},
                {"name":"CI","status":"in_progress","conclusion":null,"head_branch":"dev","html_url":"u2"},
                {"name":"CI","status":"queued","head_branch":"dev","html_url":"u3"},
                {"name":"CI","status":"queued","head_branch":"dev"}]})");
        return jsonResponse(404, "{}");
    };
    Client c(at(server));
    const auto prs = answer<QList<PullRequestInfo>>([&](auto d) { c.github.fetchPRs("o", "r", d); });
    EXPECT_EQ(*prs, (QList<PullRequestInfo>{{7, "Fix", "ann"}, {8, "No user", "?"}}));
    const auto commits =
        answer<QList<RemoteCommitInfo>>([&](auto d) { c.github.fetchRemoteCommits("o", "r", "main", d); });
    EXPECT_EQ(*commits, (QList<RemoteCommitInfo>{{"0123456", "Subject"}, {"abc", "short"}}));
    const auto runs =
        answer<QList<WorkflowRunInfo>>([&](auto d) { c.github.fetchWorkflowRuns("o", "r", d); });
    ASSERT_EQ(runs->size(), 3);
    EXPECT_EQ((*runs)[0].conclusion, "success");
    EXPECT_FALSE((*runs)[1].conclusion);
    EXPECT_FALSE((*runs)[2].conclusion);
    EXPECT_EQ((*runs)[2].htmlURL, "u3");

    // Malformed or failed answers give empty lists.
    server.handler = [](const LocalHttpServer::Request& r) {
        return r.target.contains("/pulls") ? jsonResponse(200, "{not json") : jsonResponse(500, "[]");
    };
    EXPECT_TRUE(answer<QList<PullRequestInfo>>([&](auto d) { c.github.fetchPRs("o", "r", d); })->isEmpty());
    EXPECT_TRUE(
        answer<QList<WorkflowRunInfo>>([&](auto d) { c.github.fetchWorkflowRuns("o", "r", d); })->isEmpty());
}

TEST(GitHubClient, NamesArePercentEncodedInPathsAndQueries) {
    LocalHttpServer server;
    server.handler = [](const LocalHttpServer::Request&) { return jsonResponse(200, "[]"); };
    Client c(at(server));
    answer<QList<RemoteCommitInfo>>([&](auto d) { c.github.fetchRemoteCommits("o w", "r#1", "a&b", d); });
    answer<QList<RemoteCommitInfo>>([&](auto d) { c.github.fetchRemoteCommits("o", "r", "x#y/z", d); });
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_EQ(server.requests[0].target, "/repos/o%20w/r%231/commits?sha=a%26b&per_page=8");
    EXPECT_EQ(server.requests[1].target, "/repos/o/r/commits?sha=x%23y%2Fz&per_page=8");
}

TEST(GitHubClient, TheTokenFollowsARedirectOnlyToTheSameServer) {
    LocalHttpServer elsewhere;
    elsewhere.handler = [](const LocalHttpServer::Request&) {
        return jsonResponse(200, R"({"login":"moved"})");
    };
    LocalHttpServer server;
    server.handler = [&](const LocalHttpServer::Request& r) -> LocalHttpServer::Response {
        if (r.target == "/user") return {301, "", {{"Location", "/user/again"}}};
        if (r.target == "/user/again")
            // Another server: the same address on another port.
            return {302, "", {{"Location", elsewhere.url("127.0.0.1").toString().toUtf8() + "/user"}}};
        return jsonResponse(404, "{}");
    };
    Client c(at(server));
    const auto user = answer<UserLookup>([&](auto done) { c.github.fetchUser(done); });
    EXPECT_EQ(user->login, "moved");
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_EQ(server.requests[1].headers.value("authorization"), "Bearer t0ken") << "same server";
    ASSERT_EQ(elsewhere.requests.size(), 1);
    EXPECT_FALSE(elsewhere.requests[0].headers.contains("authorization")) << "another host never sees it";
}

TEST(GitHubClient, CreateRepoReportsTheServicesAnswer) {
    LocalHttpServer server;
    struct Case {
        int status;
        QByteArray body;
        bool success;
        const char* text;
    };
    const Case cases[] = {
        {201, R"({"clone_url":"https://h/o/r.git"})", true, "https://h/o/r.git"},
        {422, R"({"message":"Repository creation failed."})", false, "Repository creation failed."},
        {201, R"({"id":1})", false, "Error 201"},
        {500, "<html>oops", false, "Error 500"}};
    Client c(at(server));
    for (const Case& k : cases) {
        server.handler = [&](const LocalHttpServer::Request&) { return jsonResponse(k.status, k.body); };
        const auto r = answer<CreateRepoResult>([&](auto d) { c.github.createRepo("n", false, d); });
        EXPECT_EQ(r->success, k.success) << k.status;
        EXPECT_EQ(r->text, k.text);
    }
    EXPECT_EQ(server.requests.last().method, "POST");
    EXPECT_EQ(server.requests.last().headers.value("authorization"), "Bearer t0ken");

    Client signedOut(at(server), QString());
    EXPECT_EQ(answer<CreateRepoResult>([&](auto d) { signedOut.github.createRepo("n", false, d); })->text,
              "Nicht angemeldet");
    const GitHubEndpoints gone = at(server);
    server.close();
    Client offline(gone);
    const auto r = answer<CreateRepoResult>([&](auto d) { offline.github.createRepo("n", false, d); });
    EXPECT_FALSE(r->success);
    EXPECT_FALSE(r->text.isEmpty());
}

TEST(GitHubClient, RemoteDataIsFetchedAtMostOncePerCacheLifetime) {
    Sandbox box;
    const QString repo = makeRepo(box, "r");
    git(repo, {"remote", "add", "origin", "git@github.com:owner/my.github.io.git"});
    LocalHttpServer server;
    server.handler = [](const LocalHttpServer::Request& r) {
        if (r.target.contains("/pulls"))
            return jsonResponse(200, R"([{"number":1,"title":"t","user":{"login":"a"}}])");
        return jsonResponse(200, "[]");
    };
    Client c(at(server));
    auto fetch = [&] {
        bool done = false;
        c.github.fetchRemoteDataIfNeeded(repo, "main", [&] { done = true; });
        return waitFor([&] { return done; });
    };
    ASSERT_TRUE(fetch());
    EXPECT_EQ(server.requests.size(), 3);
    EXPECT_TRUE(server.requests[0].target.startsWith("/repos/owner/my.github.io/"));
    EXPECT_EQ(c.github.cache.pullRequests.size(), 1);
    EXPECT_TRUE(c.github.cache.lastFetch.isValid());
    ASSERT_TRUE(fetch());
    EXPECT_EQ(server.requests.size(), 3) << "fresh for 30 s";
    c.github.markCacheStale();
    ASSERT_TRUE(fetch());
    EXPECT_EQ(server.requests.size(), 6);

    // An answer for the folder before a change of folder is dropped.
    c.github.markCacheStale();
    bool done = false;
    c.github.fetchRemoteDataIfNeeded(repo, "main", [&] { done = true; });
    c.github.clearCache();
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_TRUE(c.github.cache.pullRequests.isEmpty());
    EXPECT_FALSE(c.github.cache.lastFetch.isValid());

    // A remote on another host makes no request.
    git(repo, {"remote", "set-url", "origin", "https://gitlab.com/owner/r.git"});
    c.github.markCacheStale();
    const qsizetype before = server.requests.size();
    ASSERT_TRUE(fetch());
    EXPECT_EQ(server.requests.size(), before);
}

TEST(GitHubClient, OwnerAndRepositoryFromRemoteUrls) {
    struct Case {
        const char* url;
        std::optional<OwnerRepo> expected;
    };
    const Case cases[] = {
        {"git@github.com:owner/repo.git", OwnerRepo{"owner", "repo"}},
        {"https://github.com/owner/repo.git", OwnerRepo{"owner", "repo"}},
        {"https://github.com/owner/repo/", OwnerRepo{"owner", "repo"}},
        {"ssh://git@github.com:22/owner/repo", OwnerRepo{"owner", "repo"}},
        {"git@github.com:user/user.github.io.git", OwnerRepo{"user", "user.github.io"}},
        {"https://github.com/o/my.git.tools.git", OwnerRepo{"o", "my.git.tools"}},
        {"https://gitlab.com/owner/repo.git", std::nullopt},
        {"https://github.com/owner", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(extractOwnerRepo(c.url, "github.com"), c.expected) << c.url;
}

TEST(GitHubClient, TheCommandLineToolsTokenComesFirstAndAHungToolIsStopped) {
    Sandbox box;
    const QString bin = box.path("bin");
    QDir().mkpath(bin);
    writeFile(bin + "/gh",
              "#!/bin/sh\n[ \"$*\" = \"auth token\" ] && echo '  cli-token  ' && exit 0\nexit 1\n");
    QFile::setPermissions(bin + "/gh", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin) + ":" + path);
    EXPECT_EQ(GitHubClient::ghCliToken(5000), "cli-token");
    {
        GitHubClient github;
        ASSERT_TRUE(waitFor([&] { return github.initialTokenResolved(); }));
        EXPECT_EQ(github.token(), "cli-token");
        github.logout();
        EXPECT_FALSE(github.isAuthenticated());
    }
    GitHubClient again;
    ASSERT_TRUE(waitFor([&] { return again.initialTokenResolved(); }));
    EXPECT_EQ(again.token(), "cli-token") << "signing out leaves the tool's own sign-in";

    writeFile(bin + "/gh", "#!/bin/sh\nexec sleep 600\n");
    EXPECT_FALSE(GitHubClient::ghCliToken(300));
    qputenv("PATH", path);
}

// The token in a real keyring (gnome-keyring on this test's private session bus), read back with
// secret-tool as another program would.
#include "git/GitHubKeychainStore.h"

#include "GitTestSupport.h"
#include "git/GitHubClient.h"
#include "git/GitPanelService.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace gittest;

namespace {

// What another program finds in the keyring under the token's service and account.
std::optional<QString> lookup(const QString& account) {
    QProcess p;
    p.start("secret-tool", {"lookup", "server", GitHubKeychainStore::service(), "user", account});
    p.waitForFinished(10000);
    if (p.exitCode() != 0) return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool saved(const QString& key, const QString& value) {
    std::optional<bool> ok;
    GitHubKeychainStore::save(key, value, [&](bool s) { ok = s; });
    return waitFor([&] { return ok.has_value(); }) && *ok;
}

std::optional<QString> loaded(const QString& key) {
    bool done = false;
    std::optional<QString> value;
    GitHubKeychainStore::load(key, [&](std::optional<QString> v) {
        value = std::move(v);
        done = true;
    });
    waitFor([&] { return done; });
    return value;
}

void deleted(const QString& key) {
    bool done = false;
    GitHubKeychainStore::deleteKey(key, [&] { done = true; });
    waitFor([&] { return done; });
}

} // namespace

TEST(GitHubKeychainStore, RoundTripThroughTheKeyring) {
    ASSERT_TRUE(saved("oauth-token", "first"));
    ASSERT_TRUE(saved("oauth-token", "second"));
    EXPECT_EQ(lookup("oauth-token"), "second") << "one item, holding the newer value";
    EXPECT_EQ(loaded("oauth-token"), "second");

    deleted("oauth-token");
    EXPECT_FALSE(lookup("oauth-token"));
    EXPECT_FALSE(loaded("oauth-token")) << "asked again, and nothing is there";
    deleted("oauth-token"); // a missing item is no error
}

TEST(GitHubKeychainStore, AValueReadOnceIsKeptUntilThisProgramChangesIt) {
    ASSERT_TRUE(saved("oauth-token", "mine"));
    EXPECT_EQ(loaded("oauth-token"), "mine");
    QProcess p;
    p.start("secret-tool", {"clear", "server", GitHubKeychainStore::service(), "user", "oauth-token"});
    p.waitForFinished(10000);
    EXPECT_FALSE(lookup("oauth-token"));
    EXPECT_EQ(loaded("oauth-token"), "mine") << "from memory";
}

TEST(GitHubKeychainStore, TheClientSavesSignsInFromAndForgetsTheToken) {
    {
        GitHubClient github;
        ASSERT_TRUE(waitFor([&] { return github.initialTokenResolved(); }));
        EXPECT_FALSE(github.isAuthenticated());
        github.setToken("typed");
        EXPECT_TRUE(waitFor([] { return lookup("oauth-token") == "typed"; }));
    }
    GitHubClient next;
    ASSERT_TRUE(waitFor([&] { return next.initialTokenResolved(); }));
    EXPECT_EQ(next.token(), "typed");
    next.logout();
    EXPECT_TRUE(waitFor([] { return !lookup("oauth-token"); }));

    // The reset to defaults removes it through the controller's service.
    ASSERT_TRUE(saved("oauth-token", "again"));
    GitPanelService().deleteCodeHostingToken();
    EXPECT_TRUE(waitFor([] { return !lookup("oauth-token"); }));
}

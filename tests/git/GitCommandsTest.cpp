// Every git command line the panel runs, as a table of inputs and argv, and the two environments:
// the hardened one of the commands nobody asked for, the user's of the buttons.
#include "git/GitCommands.h"

#include "git/GitConfig.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    GitCommand command;
    QStringList argv; // after the hardened prefix for the automatic ones
    GitStarter starter;
    bool network;
};

} // namespace

TEST(GitCommands, EachOperationRunsItsArgv) {
    const QStringList filters{"lfs"};
    const Case cases[] = {
        {"top level", gitcmd::topLevel(), {"rev-parse", "--show-toplevel"}, GitStarter::automatic, false},
        {"configuration",
         gitcmd::configuration(),
         {"config", "-z", "--get-regexp", "^(filter|remote|branch)\\."},
         GitStarter::automatic,
         false},
        {"branch", gitcmd::currentBranch(), {"branch", "--show-current"}, GitStarter::automatic, false},
        {"remote url",
         gitcmd::remoteUrl("-o"),
         {"remote", "get-url", "--", "-o"},
         GitStarter::automatic,
         false},
        {"status",
         gitcmd::status(filters),
         {"status", "--porcelain=v1", "-z", "--ignore-submodules=dirty"},
         GitStarter::automatic,
         false},
        {"last commit",
         gitcmd::lastCommit(),
         {"log", "-1", "--pretty=format:%h %s"},
         GitStarter::automatic,
         false},
        {"counts",
         gitcmd::aheadBehind(),
         {"rev-list", "--left-right", "--count", "HEAD...@{upstream}", "--"},
         GitStarter::automatic,
         false},
        {"background fetch",
         gitcmd::backgroundFetch("upstream"),
         {"fetch", "--quiet", "--no-recurse-submodules", "--no-auto-maintenance", "--no-write-fetch-head",
          "--upload-pack=git-upload-pack", "--", "upstream"},
         GitStarter::automatic,
         true},
        {"work tree diff",
         gitcmd::fileDiff("--output=x", ' ', filters),
         {"diff", "--no-color", "--no-ext-diff", "--no-textconv", "--ignore-submodules=dirty", "--",
          "--output=x"},
         GitStarter::automatic,
         false},
        {"staged diff",
         gitcmd::fileDiff("a b.txt", 'R', filters),
         {"diff", "--no-color", "--no-ext-diff", "--no-textconv", "--ignore-submodules=dirty", "--cached",
          "--", "a b.txt"},
         GitStarter::automatic,
         false},
        {"init", gitcmd::init(), {"init"}, GitStarter::user, false},
        {"unmerged",
         gitcmd::unmergedPaths(),
         {"diff", "--name-only", "-z", "--diff-filter=U"},
         GitStarter::user,
         false},
        {"add", gitcmd::addAll(), {"add", "-A"}, GitStarter::user, false},
        {"commit",
         gitcmd::commit("-m looks like an option"),
         {"commit", "-m", "-m looks like an option"},
         GitStarter::user,
         false},
        {"undo", gitcmd::undoLastCommit(), {"reset", "--soft", "HEAD~1"}, GitStarter::user, false},
        {"push, new upstream",
         gitcmd::push("origin", "topic", ""),
         {"push", "-u", "--", "origin", "topic"},
         GitStarter::user,
         true},
        {"push to the upstream",
         gitcmd::push("fork", "topic", "feature/topic"),
         {"push", "--", "fork", "refs/heads/topic:refs/heads/feature/topic"},
         GitStarter::user,
         true},
        {"remote add",
         gitcmd::addRemote("origin", "u"),
         {"remote", "add", "--", "origin", "u"},
         GitStarter::user,
         false},
        {"remote set-url",
         gitcmd::setRemoteUrl("origin", "u"),
         {"remote", "set-url", "--", "origin", "u"},
         GitStarter::user,
         false},
        {"pull's fetch", gitcmd::fetch(), {"fetch", "--quiet"}, GitStarter::user, true},
        {"local changes", gitcmd::localChanges(), {"status", "--porcelain"}, GitStarter::user, false},
        {"stash tip",
         gitcmd::stashTip(),
         {"rev-parse", "-q", "--verify", "refs/stash"},
         GitStarter::user,
         false},
        {"stash", gitcmd::stashPush("m"), {"stash", "push", "-m", "m"}, GitStarter::user, false},
        {"stash pop", gitcmd::stashPop(), {"stash", "pop"}, GitStarter::user, false},
        {"strategy", gitcmd::pullStrategy(), {"config", "--get", "pull.rebase"}, GitStarter::user, false},
        {"pull, merging",
         gitcmd::pull(false),
         {"pull", "-X", "patience", "--no-rebase"},
         GitStarter::user,
         true},
        {"pull, the user's way", gitcmd::pull(true), {"pull", "-X", "patience"}, GitStarter::user, true},
        {"merge abort", gitcmd::abortMerge(), {"merge", "--abort"}, GitStarter::user, false},
    };
    const QStringList prefix = hardenedGit().argvPrefix;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool automatic = c.starter == GitStarter::automatic;
        EXPECT_EQ(c.command.argv, automatic ? prefix + c.argv : c.argv);
        EXPECT_EQ(c.command.starter, c.starter);
        EXPECT_EQ(c.command.network, c.network);
        EXPECT_EQ(c.command.environment.contains("GIT_ALLOW_PROTOCOL"), automatic);
    }
}

TEST(GitCommands, TheHardenedPrefixAndEnvironment) {
    EXPECT_EQ(hardenedGit().argvPrefix,
              (QStringList{"--no-pager", "-c", "core.fsmonitor=false", "-c", "core.hooksPath=/dev/null", "-c",
                           "protocol.ext.allow=never", "-c", "credential.helper=", "-c",
                           "core.alternateRefsCommand=", "-c", "log.showSignature=false"}));
    const QProcessEnvironment env = hardenedGit({"lfs", "odd=name.x"}).environment;
    const std::pair<const char*, const char*> expected[] = {
        {"GIT_OPTIONAL_LOCKS", "0"},
        {"GIT_ALLOW_PROTOCOL", "file:git:ssh:http:https"},
        {"GIT_SSH_COMMAND", "ssh -o BatchMode=yes"},
        {"GIT_SSH_VARIANT", "ssh"},
        {"GIT_PROXY_COMMAND", ""},
        {"GIT_ASKPASS", ""},
        {"GIT_TERMINAL_PROMPT", "0"},
        {"GIT_EDITOR", ":"},
        {"GIT_CONFIG_COUNT", "8"},
        {"GIT_CONFIG_KEY_0", "filter.lfs.clean"},
        {"GIT_CONFIG_VALUE_0", ""},
        {"GIT_CONFIG_KEY_3", "filter.lfs.required"},
        {"GIT_CONFIG_VALUE_3", "false"},
        {"GIT_CONFIG_KEY_6", "filter.odd=name.x.process"},
    };
    for (const auto& [key, value] : expected) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(env.contains(key));
        EXPECT_EQ(env.value(key), value);
    }
    EXPECT_FALSE(hardenedGit().environment.contains("GIT_CONFIG_COUNT"));
    EXPECT_FALSE(userGitEnvironment().contains("GIT_ALLOW_PROTOCOL"));
    EXPECT_FALSE(userGitEnvironment().contains("GIT_OPTIONAL_LOCKS"));
}

TEST(GitConfig, DriversRemotesAndUpstreamsFromTheConfiguration) {
    static const char raw[] =
        "filter.lfs.clean\ngit-lfs clean -- %f\0filter.lfs.required\0"
        "filter.a.b.smudge\nx\0remote.origin.url\nhttps://h/o/r\0remote.origin.fetch\nx\0"
        "remote.my.fork.url\n/srv/fork\0branch.main.remote\norigin\0"
        "branch.release.1.2.merge\nrefs/heads/release/1.2\0";
    const RepositoryConfig config = parseConfiguration(QByteArray(raw, sizeof(raw) - 1));
    EXPECT_EQ(config.filterDrivers, (QStringList{"lfs", "a.b"}));
    EXPECT_EQ(config.remotes, (QStringList{"origin", "my.fork"}));
    EXPECT_EQ(config.branchRemote.value("main"), "origin");
    EXPECT_EQ(config.branchMerge.value("release.1.2"), "refs/heads/release/1.2");
    EXPECT_TRUE(parseConfiguration({}).remotes.isEmpty());
}

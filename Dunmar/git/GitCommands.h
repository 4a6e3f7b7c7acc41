#pragma once

#include <QChar>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Who asked for a git command decides how far the repository's own configuration is trusted.
enum class GitStarter {
    // A refresh, a timer, a change of folder, the panel opening, a click that only shows something:
    // runs hardened, so that nothing the folder configures is run.
    automatic,
    // A button that changes the repository (save, undo, upload, update, start tracking): runs as
    // git would from the user's own shell, hooks and filters included.
    user,
};

// One git command line: what follows the executable, the environment it runs in, and whether it
// talks to a remote (which gives it the longer time limit).
struct GitCommand {
    QStringList argv;
    QProcessEnvironment environment;
    GitStarter starter = GitStarter::automatic;
    bool network = false;
};

// What makes a command hardened: options before the command's own name, and the environment.
struct HardenedGit {
    QStringList argvPrefix;
    QProcessEnvironment environment;
};

// The one place that says how git runs when the user did not ask for it. `filterDrivers` are the
// names of the "filter.<name>" drivers the repository configures (read with `configuration()`),
// each of which is switched off.
HardenedGit hardenedGit(const QStringList& filterDrivers = {});

// The environment of a command the user started: theirs, but only the parts git needs.
QProcessEnvironment userGitEnvironment();

// Every git command line the panel runs. The automatic ones carry the hardened prefix.
namespace gitcmd {

// ---- Automatic --------------------------------------------------------------------------------

// The work tree's top level; fails outside a work tree.
GitCommand topLevel();
// The configuration keys of filter drivers, remotes and branches, with their values, NUL-ended.
GitCommand configuration();
GitCommand currentBranch();
GitCommand remoteUrl(const QString& remote);
// The changed files, NUL-separated. A submodule whose work tree changed is not asked about its
// files: that would run git inside it, under its own configuration.
GitCommand status(const QStringList& filterDrivers);
GitCommand lastCommit();
// "<ahead>\t<behind>" against the branch's upstream, whichever remote it is on.
GitCommand aheadBehind();
// Brings one remote's tracking branches up to date, and nothing else: no submodules, no
// maintenance, FETCH_HEAD as the user left it.
GitCommand backgroundFetch(const QString& remote);
// The diff of one changed file: the staged change when the index letter says there is one.
GitCommand fileDiff(const QString& path, QChar x, const QStringList& filterDrivers);

// ---- The user's ---------------------------------------------------------------------------------

GitCommand init();
GitCommand unmergedPaths();
GitCommand addAll();
GitCommand commit(const QString& message);
GitCommand undoLastCommit();
// Pushes `branch`: to its upstream branch when it has one, else to a branch of its own name on
// `remote`, which then becomes its upstream.
GitCommand push(const QString& remote, const QString& branch, const QString& upstreamBranch);
GitCommand addRemote(const QString& name, const QString& url);
GitCommand setRemoteUrl(const QString& name, const QString& url);

// The smart pull's steps.
GitCommand fetch();
GitCommand localChanges();
GitCommand stashTip();
GitCommand stashPush(const QString& message);
GitCommand stashPop();
GitCommand pullStrategy();
// Without a choice of the user's ("pull.rebase" unset), git refuses to pull into a branch that has
// diverged; this pull then merges.
GitCommand pull(bool userChoseStrategy);
GitCommand abortMerge();

} // namespace gitcmd

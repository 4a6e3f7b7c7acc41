#include "git/GitCommands.h"

namespace {

// The variables every git child gets: the user's identity and configuration (HOME,
// XDG_CONFIG_HOME), their SSH agent and PATH; nothing else of the program's own environment. git
// never asks on a terminal, and speaks the C locale so that its answers parse.
QProcessEnvironment baseEnvironment() {
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment env;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "SSH_AUTH_SOCK", "PATH"}) {
        const QString key = QString::fromLatin1(name);
        if (own.contains(key)) env.insert(key, own.value(key));
    }
    if (!env.contains(QStringLiteral("PATH")))
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/usr/local/bin:/opt/homebrew/bin"));
    env.insert(QStringLiteral("GIT_TERMINAL_PROMPT"), QStringLiteral("0"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return env;
}

GitCommand automatic(const QStringList& args, const QStringList& filterDrivers = {}) {
    HardenedGit hardened = hardenedGit(filterDrivers);
    return {hardened.argvPrefix + args, hardened.environment, GitStarter::automatic, false};
}

GitCommand user(const QStringList& args, bool network = false) {
    return {args, userGitEnvironment(), GitStarter::user, network};
}

} // namespace

// git runs programs named by the repository's own configuration, and a folder's configuration is
// whatever came with it: an unpacked archive or a copied folder brings its ".git/config" and
// ".git/hooks". The panel runs git on its own whenever the shell enters a folder, the timer fires
// or a row is opened, so none of that may start a program. What git 2.39 can run from a
// repository's configuration in the commands the panel runs on its own, and what stops it:
//   - core.fsmonitor (a hook or a daemon, asked by status and diff): off.
//   - hooks, in .git/hooks or core.hooksPath (reference-transaction on the fetch's ref updates,
//     post-index-change, pre-auto-gc): the hooks folder is /dev/null, under which no file can exist.
//   - filter.<name>.clean, .smudge and .process, named by .gitattributes (status and diff hash
//     files through the clean filter): every driver the configuration names gets empty commands
//     and is not required. They go in the environment (GIT_CONFIG_COUNT and its pairs), which,
//     unlike "-c", takes any driver name. Names are read by `configuration()` before the command;
//     a driver added between the two commands is not known, which needs someone already able
//     to write into the repository while the panel looks at it.
//   - diff.external and diff.<driver>.command or .textconv: the diff is asked with --no-ext-diff
//     and --no-textconv.
//   - log.showSignature (runs gpg.program to check a commit's signature): off.
//   - the fetch: transports other than file, git, ssh, http and https are refused whatever the
//     configuration allows (GIT_ALLOW_PROTOCOL overrides every protocol.<name>.allow, so "ext::",
//     "fd::" and remote helpers named by remote.<name>.vcs or "<helper>::" URLs never start);
//     protocol.ext.allow=never says the same for any git that reads only the configuration. The
//     upload-pack program is git's own (remote.<name>.uploadpack runs locally for a path remote),
//     ssh is plain ssh in batch mode (core.sshCommand and ssh.variant lose to the environment),
//     the git protocol has no proxy command (an empty GIT_PROXY_COMMAND makes core.gitProxy
//     unread), no alternate's refs are listed by a command (core.alternateRefsCommand).
//   - credentials: no helper (an empty credential.helper clears the list, including helpers for
//     one URL), no askpass program (an empty GIT_ASKPASS makes core.askPass unread), no terminal
//     prompt. A remote that needs a password is then simply not fetched.
//   - pager and editor: none (--no-pager; ":" is the editor git never starts).
// Besides: GIT_OPTIONAL_LOCKS=0 keeps status from rewriting the index, so a commit typed in the
// terminal at the same moment does not meet "index.lock".
HardenedGit hardenedGit(const QStringList& filterDrivers) {
    HardenedGit h;
    h.argvPrefix = QStringList{"--no-pager"};
    for (const char* setting :
         {"core.fsmonitor=false", "core.hooksPath=/dev/null", "protocol.ext.allow=never",
          "credential.helper=", "core.alternateRefsCommand=", "log.showSignature=false"})
        h.argvPrefix << QStringLiteral("-c") << QString::fromLatin1(setting);

    QProcessEnvironment env = baseEnvironment();
    env.insert(QStringLiteral("GIT_OPTIONAL_LOCKS"), QStringLiteral("0"));
    env.insert(QStringLiteral("GIT_ALLOW_PROTOCOL"), QStringLiteral("file:git:ssh:http:https"));
    env.insert(QStringLiteral("GIT_PROTOCOL_FROM_USER"), QStringLiteral("0"));
    env.insert(QStringLiteral("GIT_SSH_COMMAND"), QStringLiteral("ssh -o BatchMode=yes"));
    env.insert(QStringLiteral("GIT_SSH_VARIANT"), QStringLiteral("ssh"));
    env.insert(QStringLiteral("GIT_PROXY_COMMAND"), QString());
    env.insert(QStringLiteral("GIT_ASKPASS"), QString());
    env.insert(QStringLiteral("GIT_PAGER"), QStringLiteral("cat"));
    env.insert(QStringLiteral("GIT_EDITOR"), QStringLiteral(":"));
    env.insert(QStringLiteral("GIT_SEQUENCE_EDITOR"), QStringLiteral(":"));
    int count = 0;
    const auto set = [&](const QString& key, const QString& value) {
        env.insert(QStringLiteral("GIT_CONFIG_KEY_%1").arg(count), key);
        env.insert(QStringLiteral("GIT_CONFIG_VALUE_%1").arg(count), value);
        ++count;
    };
    for (const QString& driver : filterDrivers) {
        for (const char* command : {"clean", "smudge", "process"})
            set(QStringLiteral("filter.%1.%2").arg(driver, QLatin1String(command)), QString());
        set(QStringLiteral("filter.%1.required").arg(driver), QStringLiteral("false"));
    }
    if (count) env.insert(QStringLiteral("GIT_CONFIG_COUNT"), QString::number(count));
    h.environment = env;
    return h;
}

QProcessEnvironment userGitEnvironment() {
    return baseEnvironment();
}

namespace gitcmd {

GitCommand topLevel() {
    return automatic({"rev-parse", "--show-toplevel"});
}

GitCommand configuration() {
    return automatic({"config", "-z", "--get-regexp", "^(filter|remote|branch)\\."});
}

GitCommand currentBranch() {
    return automatic({"branch", "--show-current"});
}

GitCommand remoteUrl(const QString& remote) {
    return automatic({"remote", "get-url", "--", remote});
}

GitCommand status(const QStringList& filterDrivers) {
    return automatic({"status", "--porcelain=v1", "-z", "--ignore-submodules=dirty"}, filterDrivers);
}

GitCommand lastCommit() {
    return automatic({"log", "-1", "--pretty=format:%h %s"});
}

GitCommand aheadBehind() {
    return automatic({"rev-list", "--left-right", "--count", "HEAD...@{upstream}", "--"});
}

GitCommand backgroundFetch(const QString& remote) {
    GitCommand c = automatic({"fetch", "--quiet", "--no-recurse-submodules", "--no-auto-maintenance",
                              "--no-write-fetch-head", "--upload-pack=git-upload-pack", "--", remote});
    c.network = true;
    return c;
}

GitCommand fileDiff(const QString& path, QChar x, const QStringList& filterDrivers) {
    QStringList args{"diff", "--no-color", "--no-ext-diff", "--no-textconv", "--ignore-submodules=dirty"};
    if (QStringLiteral("MADRC").contains(x)) args << "--cached";
    // After "--", a file named like an option ("--output=README.md") stays a path.
    return automatic(args << "--" << path, filterDrivers);
}

GitCommand init() {
    return user({"init"});
}

GitCommand unmergedPaths() {
    return user({"diff", "--name-only", "-z", "--diff-filter=U"});
}

GitCommand addAll() {
    return user({"add", "-A"});
}

GitCommand commit(const QString& message) {
    return user({"commit", "-m", message});
}

GitCommand undoLastCommit() {
    return user({"reset", "--soft", "HEAD~1"});
}

GitCommand push(const QString& remote, const QString& branch, const QString& upstreamBranch) {
    if (upstreamBranch.isEmpty()) return user({"push", "-u", "--", remote, branch}, true);
    return user(
        {"push", "--", remote, QStringLiteral("refs/heads/%1:refs/heads/%2").arg(branch, upstreamBranch)},
        true);
}

GitCommand addRemote(const QString& name, const QString& url) {
    return user({"remote", "add", "--", name, url});
}

GitCommand setRemoteUrl(const QString& name, const QString& url) {
    return user({"remote", "set-url", "--", name, url});
}

GitCommand fetch() {
    return user({"fetch", "--quiet"}, true);
}

GitCommand localChanges() {
    return user({"status", "--porcelain"});
}

GitCommand stashTip() {
    return user({"rev-parse", "-q", "--verify", "refs/stash"});
}

GitCommand stashPush(const QString& message) {
    return user({"stash", "push", "-m", message});
}

GitCommand stashPop() {
    return user({"stash", "pop"});
}

GitCommand pullStrategy() {
    return user({"config", "--get", "pull.rebase"});
}

GitCommand pull(bool userChoseStrategy) {
    QStringList args{"pull", "-X", "patience"};
    if (!userChoseStrategy) args << "--no-rebase";
    return user(args, true);
}

GitCommand abortMerge() {
    return user({"merge", "--abort"});
}

} // namespace gitcmd

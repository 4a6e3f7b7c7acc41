// A folder's git configuration never runs a program while the panel only looks at it: one hostile
// repository per way git can run a configured program, each program leaving a marker file. The
// panel opens on it as a saved tab does at start, follows a change of folder into it, opens every
// row's diff and refreshes; no marker may appear. Each case then proves its repository really is
// hostile: the same git run as the user's own shell runs it leaves the marker.
#include "GitPanelViewTestSupport.h"
#include "GitTestSupport.h"
#include "LocalHttpServer.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace gittest;

namespace {

class HostileRepository;

struct Case {
    const char* name;
    std::function<void(HostileRepository&, const QString& program)> setUp;
    // The user's own git that runs the program, proving the case hostile.
    QStringList trigger;
};

class HostileRepository : public ::testing::Test {
public:
    void SetUp() override {
        QDir().mkpath(markers());
        QDir().mkpath(bin());
        // A remote helper the configuration can name is looked up on PATH.
        qputenv("PATH", QFile::encodeName(bin()) + ':' + path_);
    }
    // A clone with its upstream, a changed tracked file, a new one, and attributes that name a
    // filter and a diff driver for both.
    void makeHostileRepo(int number) {
        const QString name = QStringLiteral("hostile%1").arg(number);
        repo = makeClonedRepo(box, name, &bare);
        other = cloneOf(box, bare, name + "-other");
        // Work the background fetch brings, so that it updates a reference.
        pushFile(other, "theirs.txt", "t\n", "theirs");
        commitFile(repo, "tracked.txt", "aaaa\n", "tracked");
        // The same size and a new time: status and diff must read it, through its filter.
        writeFile(repo + "/tracked.txt", "bbbb\n");
        writeFile(repo + "/new file.txt", "new\n");
        writeFile(repo + "/.gitattributes", "*.txt filter=evil diff=evil\n");
    }
    void TearDown() override { qputenv("PATH", path_); }

    QString markers() const { return box.path("markers"); }
    QString bin() const { return box.path("bin"); }
    QStringList markersLeft() const { return QDir(markers()).entryList(QDir::Files); }

    // An executable that leaves `marker` and passes its input through, as a filter would. Its file
    // name holds no blank, so that configurations run through a shell name it whole.
    QString program(const QString& marker, const QString& name = {}) {
        const QString file =
            bin() + "/" + (name.isEmpty() ? QStringLiteral("program%1").arg(++programs) : name);
        writeFile(file, "#!/bin/sh\ntouch '" + QFile::encodeName(markers()) + "/" + marker.toUtf8() +
                            "'\nexec cat\n");
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }
    // Runs git as the user's own shell would, until it leaves a marker or ends; a remote that
    // waits for more (ssh, a filter's protocol) is cut off then.
    void trigger(const QStringList& args) {
        pushFile(other, QStringLiteral("later%1.txt").arg(programs), "l\n", "later"); // news to fetch
        QProcess git;
        git.setWorkingDirectory(repo);
        git.setChildProcessModifier([] { ::setsid(); }); // its helpers end with it
        git.start("git", args);
        waitFor([&] { return !markersLeft().isEmpty() || git.state() == QProcess::NotRunning; }, 20000);
        if (git.state() != QProcess::NotRunning) ::kill(-static_cast<pid_t>(git.processId()), SIGKILL);
        git.waitForFinished();
    }
    void config(const QString& key, const QString& value) { git(repo, {"config", key, value}); }

    // Everything the panel does on its own with a repository, as a user meets it.
    void lookAtIt() {
        auto panel = makePanel();
        ASSERT_TRUE(showFolder(*panel, repo)) << "a saved tab at start";
        QDir().mkpath(box.path("elsewhere"));
        panel->updateCwd(box.path("elsewhere"));
        ASSERT_TRUE(waitFor([&] { return !panel->model().isRefreshing() && !panel->model().isGitRepo(); }));
        panel->updateCwd(repo);
        ASSERT_TRUE(waitFor([&] { return !panel->model().isRefreshing() && panel->model().isGitRepo(); }))
            << "a change of folder into it";
        ASSERT_FALSE(panel->model().fileEntries().empty());
        for (const GitFileEntry& entry : panel->model().fileEntries()) {
            bool shown = false;
            panel->model().loadDiff(entry, [&](const QString&) { shown = true; });
            ASSERT_TRUE(waitFor([&] { return shown; })) << "a click on a row";
        }
        ASSERT_TRUE(refreshed(*panel)) << "a refresh";
    }

    Sandbox box;
    QString bare;
    QString repo;
    QString other;
    int programs = 0;
    QByteArray path_ = qgetenv("PATH");

    void expectNoneRuns(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            makeHostileRepo(++repos);
            c.setUp(*this, program(c.name));
            lookAtIt();
            EXPECT_EQ(markersLeft().join(", ").toStdString(), "") << "the panel ran the folder's program";
            if (!c.trigger.isEmpty()) {
                trigger(c.trigger);
                EXPECT_EQ(markersLeft().join(", ").toStdString(), c.name) << "the case is not hostile";
            }
            for (const QString& marker : markersLeft()) QFile::remove(markers() + "/" + marker);
        }
    }
    int repos = 0;
};

const QStringList kFetch{"fetch", "origin"};
const QStringList kStatus{"status"};
const QStringList kDiff{"diff"};
const QStringList kRefUpdate{"update-ref", "refs/heads/x", "HEAD"};

} // namespace

TEST_F(HostileRepository, WorkTreeProgramsNeverRunFromThePanel) {
    expectNoneRuns({
        {"fsmonitor", [](HostileRepository& t, const QString& p) { t.config("core.fsmonitor", p); }, kStatus},
        {"clean filter", [](HostileRepository& t, const QString& p) { t.config("filter.evil.clean", p); },
         kStatus},
        {"process filter",
         [](HostileRepository& t, const QString& p) {
             t.config("filter.evil.process", p);
             t.config("filter.evil.required", "true");
         },
         kStatus},
        {"smudge filter",
         [](HostileRepository& t, const QString& p) { t.config("filter.evil.smudge", p); },
         {"checkout", "--", "tracked.txt"}},
        {"hooks path",
         [](HostileRepository& t, const QString& p) {
             QDir().mkpath(t.box.path("hooks"));
             QFile::copy(p, t.box.path("hooks/reference-transaction"));
             QFile::copy(p, t.box.path("hooks/post-index-change"));
             t.config("core.hooksPath", t.box.path("hooks"));
         },
         kRefUpdate},
        {"hooks folder",
         [](HostileRepository& t, const QString& p) {
             for (const char* hook : {"reference-transaction", "post-index-change", "pre-auto-gc"})
                 QFile::copy(p, t.repo + "/.git/hooks/" + hook);
         },
         kRefUpdate},
        {"pager and editor",
         [](HostileRepository& t, const QString& p) {
             for (const char* key :
                  {"core.pager", "pager.status", "pager.diff", "pager.log", "core.editor", "sequence.editor"})
                 t.config(key, p);
         },
         {}},
    });
}

TEST_F(HostileRepository, RemoteAndCredentialProgramsNeverRunFromTheBackgroundFetch) {
    LocalHttpServer wantsPassword;
    wantsPassword.handler = [](const LocalHttpServer::Request&) {
        return LocalHttpServer::Response{401, "no", {{"WWW-Authenticate", "Basic realm=\"x\""}}};
    };
    const QString passwordRemote = wantsPassword.url().toString() + "/r.git";
    expectNoneRuns({
        {"ssh command",
         [](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", "ssh://127.0.0.1:9/r.git");
             t.config("core.sshCommand", p);
         },
         kFetch},
        {"upload-pack",
         [](HostileRepository& t, const QString& p) { t.config("remote.origin.uploadpack", p); }, kFetch},
        {"ext remote",
         [](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", "ext::" + p);
             t.config("protocol.ext.allow", "always");
         },
         kFetch},
        {"remote helper",
         [](HostileRepository& t, const QString&) {
             t.program("remote helper", "git-remote-evil");
             t.config("remote.origin.vcs", "evil");
             t.config("protocol.evil.allow", "always");
         },
         kFetch},
        {"git proxy",
         [](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", "git://127.0.0.1:9/r.git");
             t.config("core.gitProxy", p);
         },
         kFetch},
        {"alternate refs",
         [](HostileRepository& t, const QString& p) {
             const QString alternate = t.box.path(QStringLiteral("alternate%1.git").arg(t.repos));
             git(t.box.path(""), {"init", "-q", "--bare", alternate});
             writeFile(t.repo + "/.git/objects/info/alternates", QFile::encodeName(alternate) + "/objects\n");
             t.config("core.alternateRefsCommand", p);
         },
         kFetch},
        {"credential helper",
         [&](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", passwordRemote);
             t.config("credential.helper", p);
         },
         kFetch},
        {"credential helper for the url",
         [&](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", passwordRemote);
             t.config("credential." + passwordRemote + ".helper", p);
         },
         kFetch},
        {"askpass",
         [&](HostileRepository& t, const QString& p) {
             t.config("remote.origin.url", passwordRemote);
             t.config("core.askPass", p);
         },
         kFetch},
    });
}

TEST_F(HostileRepository, DiffAndLogProgramsNeverRunFromTheRowsOrTheRefresh) {
    expectNoneRuns({
        {"external diff", [](HostileRepository& t, const QString& p) { t.config("diff.external", p); },
         kDiff},
        {"diff driver", [](HostileRepository& t, const QString& p) { t.config("diff.evil.command", p); },
         kDiff},
        {"textconv", [](HostileRepository& t, const QString& p) { t.config("diff.evil.textconv", p); },
         kDiff},
        {"signature check",
         [](HostileRepository& t, const QString& p) {
             // A commit that carries a signature, which "log.showSignature" has gpg.program check.
             const QString object = git(t.repo, {"cat-file", "commit", "HEAD"});
             const qsizetype body = object.indexOf("\n\n");
             const QString signedObject =
                 object.left(body) +
                 "\ngpgsig -----BEGIN PGP SIGNATURE-----\n \n x\n -----END PGP SIGNATURE-----" +
                 object.mid(body) + "\n";
             const QString file = t.box.path("signed-commit");
             writeFile(file, signedObject.toUtf8());
             git(t.repo, {"update-ref", "HEAD", git(t.repo, {"hash-object", "-t", "commit", "-w", file})});
             t.config("log.showSignature", "true");
             t.config("gpg.program", p);
         },
         {"log", "-1"}},
    });
}

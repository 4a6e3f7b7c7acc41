// The hostile texts as a repository brings them, through real git into the panel: the folder's
// name, the branch's name, the last commit's subject and git's own words when a commit fails. Each
// shows as its characters: plain labels, visible escapes, and "…" where a name does not fit.
#include "GitPanelViewTestSupport.h"
#include "GitTestSupport.h"
#include "chrome/ElidedLabel.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelView.h"
#include "settings/VertCenteredTextField.h"
#include "support/GitPanelViewTestAccess.h"
#include "support/HostileText.h"

#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace gittest;
using testsupport::hostileTexts;

namespace {

const chrome::ElidedLabel* elided(const QLabel* label) {
    return qobject_cast<const chrome::ElidedLabel*>(label);
}

// Whether the text can name a folder.
bool isFileName(const QString& text) {
    return !text.contains(QLatin1Char('/')) && text.toUtf8().size() < 200;
}

} // namespace

TEST(GitPanelPlainText, BranchesAndCommitSubjectsShowAsText) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    int step = 0;
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        writeFile(repo + "/f.txt", QByteArray::number(++step));
        git(repo, {"add", "f.txt"});
        git(repo, {"commit", "-q", "--cleanup=verbatim", "-m", raw});
        // Git takes markup, ampersands and direction overrides in a branch's name.
        const bool branch = raw.size() < 200 && gitStatus(repo, {"check-ref-format", "--branch", raw}) == 0;
        if (branch) git(repo, {"checkout", "-q", "-b", raw});
        ASSERT_TRUE(refreshed(*panel));

        const std::optional<QString> summary = panel->model().lastCommitSummary();
        ASSERT_TRUE(summary);
        testsupport::expectPlainLabel(internals(*panel).undoCommitLabel(), *summary);
        if (branch) {
            ASSERT_EQ(panel->model().currentBranch(), raw);
            ASSERT_TRUE(elided(internals(*panel).branchBadge()));
            testsupport::expectShownAsText(elided(internals(*panel).branchBadge())->shownText(),
                                           " " + raw + " ");
        }
    }
}

TEST(GitPanelPlainText, FolderNamesShowAsTextAndLongNamesEndInAnEllipsis) {
    Sandbox box;
    auto panel = makePanel();
    int step = 0;
    for (const auto& [name, raw] : hostileTexts()) {
        if (!isFileName(raw)) continue;
        SCOPED_TRACE(name);
        const QString folder = QStringLiteral("%1 ").arg(++step) + raw;
        ASSERT_TRUE(showFolder(*panel, makeRepo(box, folder)));
        ASSERT_TRUE(elided(internals(*panel).projectLabel()));
        testsupport::expectShownAsText(elided(internals(*panel).projectLabel())->shownText(), folder);
    }
    // A long branch in a narrow panel: both names keep to the header and end in "…".
    const QString repo = makeRepo(box, "a-project-with-a-rather-long-folder-name");
    git(repo, {"checkout", "-q", "-b", "feature/an-extremely-long-branch-name-that-cannot-fit-here"});
    ASSERT_TRUE(showFolder(*panel, repo));
    panel->resize(220, panel->height());
    ASSERT_TRUE(refreshed(*panel));
    const chrome::ElidedLabel* badge = elided(internals(*panel).branchBadge());
    ASSERT_TRUE(badge);
    EXPECT_TRUE(badge->shownText().endsWith(QChar(0x2026))) << badge->shownText().toStdString();
    EXPECT_LE(badge->geometry().right(), internals(*panel).refreshBtn()->geometry().left());
}

TEST(GitPanelPlainText, GitsOwnWordsShowAsTextAndTheCreateButtonHasNoMnemonic) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    // The repository's own hook refuses every commit with the hostile text on its error output.
    writeFile(repo + "/.git/hooks/pre-commit", "#!/bin/sh\ncat .git/said >&2\nexit 1\n");
    QFile(repo + "/.git/hooks/pre-commit")
        .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    int step = 0;
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        writeFile(repo + "/.git/said", raw.toUtf8());
        writeFile(repo + "/f.txt", QByteArray::number(++step));
        ASSERT_TRUE(refreshed(*panel));
        internals(*panel).commitField()->setText("change");
        internals(*panel).saveBtn()->click();
        ASSERT_TRUE(waitFor([&] { return !panel->actions().saving(); }, 30000));
        const QString said = panel->actions().feedback().text;
        ASSERT_TRUE(said.contains(raw.left(20))) << said.left(200).toStdString();
        testsupport::expectPlainLabel(internals(*panel).feedbackLabel(), said, plaintext::Lines::kept);
    }
    testsupport::expectMenuText(internals(*panel).repoCreateBtn()->text(), "✔  Create & Upload");
}

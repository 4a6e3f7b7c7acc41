// The git panel as a view: which card shows in which state of the repository and the sign-in, the
// texts and colours of the header, the undo line, the move buttons, the new-repository overlay and
// the relabelling on a change of language.
#include "git/GitPanelView.h"

#include "GitPanelViewTestSupport.h"
#include "GitTestSupport.h"
#include "chrome/ChromeAnimation.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelStyle.h"
#include "git/SyncLine.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "settings/VertCenteredTextField.h"
#include "support/GitPanelViewTestAccess.h"
#include "support/Waits.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace gittest;

namespace {

struct Cards {
    bool noRepo, files, commit, github;
    bool operator==(const Cards&) const = default;
};

Cards cardsOf(const GitPanelView& p) {
    return {!internals(p).noRepoCard()->isHidden(), !internals(p).filesCard()->isHidden(),
            !internals(p).commitCard()->isHidden(), !internals(p).githubCard()->isHidden()};
}

std::ostream& operator<<(std::ostream& os, const Cards& c) {
    return os << "noRepo " << c.noRepo << " files " << c.files << " commit " << c.commit << " github "
              << c.github;
}

QColor colorOf(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

} // namespace

TEST(GitPanelView, AFreshPanelShowsOnlyItsHeader) {
    auto panel = makePanel();
    EXPECT_FALSE(internals(*panel).headerCard()->isHidden());
    EXPECT_EQ(cardsOf(*panel), (Cards{false, false, false, false}));
    EXPECT_TRUE(internals(*panel).projectLabel()->text().isEmpty());
    EXPECT_TRUE(internals(*panel).statusLabel()->text().isEmpty() ||
                internals(*panel).statusLabel()->text() == qs(Loc::noTracking()));
    EXPECT_TRUE(internals(*panel).moveUpBtn()->isHidden());
    EXPECT_TRUE(internals(*panel).moveDownBtn()->isHidden());
    EXPECT_TRUE(internals(*panel).newRepoOverlay()->isHidden());
}

TEST(GitPanelView, CardsHeaderTextsAndColoursFollowTheRepositoryState) {
    Sandbox box;
    QDir().mkpath(box.path("plain"));
    const QString clean = makeRepo(box, "clean");
    const QString one = makeRepo(box, "one");
    writeFile(one + "/a.txt", "a");
    const QString two = makeRepo(box, "two");
    writeFile(two + "/a.txt", "a");
    writeFile(two + "/b.txt", "b");
    const QString detached = makeRepo(box, "detached");
    git(detached, {"checkout", "-q", "--detach"});

    struct Case {
        QString folder;
        Cards cards;
        QString status;
        QColor statusColor;
        QString badge; // "" for a hidden badge
    };
    const Case cases[] = {
        {box.path("plain"),
         {true, false, false, false},
         "No tracking — start it with the button",
         gitstyle::kStatusNoTracking,
         ""},
        {clean,
         {false, false, true, true},
         "✅  All saved — nothing to do",
         gitstyle::kStatusAllSaved,
         " main "},
        {one, {false, true, true, true}, "1 file changed", gitstyle::kStatusChanges, " main "},
        {two, {false, true, true, true}, "2 files changed", gitstyle::kStatusChanges, " main "},
        {detached, {false, false, true, true}, "✅  All saved — nothing to do", gitstyle::kStatusAllSaved, ""},
    };
    auto panel = makePanel();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        ASSERT_TRUE(showFolder(*panel, c.folder));
        EXPECT_EQ(internals(*panel).projectLabel()->text(), QFileInfo(c.folder).fileName());
        EXPECT_EQ(cardsOf(*panel), c.cards);
        EXPECT_EQ(internals(*panel).statusLabel()->text(), c.status);
        EXPECT_EQ(colorOf(internals(*panel).statusLabel()), c.statusColor);
        EXPECT_EQ(internals(*panel).branchBadge()->isHidden(), c.badge.isEmpty());
        if (!c.badge.isEmpty()) {
            EXPECT_EQ(internals(*panel).branchBadge()->text(), c.badge);
        }
    }
}

TEST(GitPanelView, TheCodeHostingCardFollowsTheSignInAndTheSyncLine) {
    Sandbox box;
    QString bare;
    const QString repo = makeClonedRepo(box, "synced", &bare);
    const QString other = cloneOf(box, bare, "other");
    const QString local = makeRepo(box, "local");

    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    EXPECT_FALSE(internals(*panel).githubAuthStack()->isHidden()) << "signed out: the token form";
    EXPECT_TRUE(internals(*panel).githubConnectedStack()->isHidden());
    EXPECT_EQ(internals(*panel).tokenField()->echoMode(), QLineEdit::Password);
    QList<QUrl> opened;
    panel->actions().openUrl = [&](const QUrl& url) { opened << url; };
    internals(*panel).tokenLinkBtn()->click();
    EXPECT_EQ(opened, QList<QUrl>{panel->model().github().tokenPageUrl()});

    panel->model().github().setToken("ghp_test");
    panel->updateGithubCard();
    EXPECT_TRUE(internals(*panel).githubAuthStack()->isHidden());
    EXPECT_FALSE(internals(*panel).githubConnectedStack()->isHidden());
    EXPECT_EQ(internals(*panel).githubUserLabel()->text(), "🔗  @Connected") << "the user is not known yet";

    // Ahead, behind and without a remote: the sync line and which button shows.
    commitFile(repo, "mine.txt", "m", "mine");
    pushFile(other, "theirs.txt", "t", "theirs");
    git(repo, {"fetch", "-q"});
    struct Case {
        QString folder;
        SyncLine line;
    };
    const Case cases[] = {{repo, syncLineFor(true, 1, 1)}, {local, syncLineFor(false, 0, 0)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        ASSERT_TRUE(showFolder(*panel, c.folder));
        EXPECT_EQ(internals(*panel).githubSyncLabel()->text(), c.line.text);
        EXPECT_EQ(colorOf(internals(*panel).githubSyncLabel()), c.line.color);
        EXPECT_EQ(!internals(*panel).uploadBtn()->isHidden(), c.line.uploadVisible);
        EXPECT_EQ(!internals(*panel).updateBtn()->isHidden(), c.line.updateVisible);
    }
    panel->model().github().logout();
}

TEST(GitPanelView, TheLastCommitIsShortenedAfter35Characters) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    const QString hash = git(repo, {"rev-parse", "--short", "HEAD"}).trimmed();
    // "<hash> <subject>": a subject that makes 35 characters stands whole, one more is cut.
    const int fits = 35 - static_cast<int>(hash.size()) - 1;
    commitFile(repo, "a.txt", "a", QString(fits, QLatin1Char('x')));
    ASSERT_TRUE(refreshed(*panel));
    const QString summary35 = *panel->model().lastCommitSummary();
    ASSERT_EQ(summary35.size(), 35);
    EXPECT_EQ(internals(*panel).undoCommitLabel()->text(), summary35);
    commitFile(repo, "b.txt", "b", QString(fits + 1, QLatin1Char('y')));
    ASSERT_TRUE(refreshed(*panel));
    const QString summary36 = *panel->model().lastCommitSummary();
    ASSERT_EQ(summary36.size(), 36);
    EXPECT_EQ(internals(*panel).undoCommitLabel()->text(), summary36.left(35) + "…");
    EXPECT_FALSE(internals(*panel).undoCommitRow()->isHidden());

    // A repository without commits has no undo line.
    const QString empty = box.path("empty");
    QDir().mkpath(empty);
    git(empty, {"init", "-q"});
    ASSERT_TRUE(showFolder(*panel, empty));
    EXPECT_TRUE(internals(*panel).undoCommitRow()->isHidden());
}

TEST(GitPanelView, MoveButtonsShowWhenThePanelCanMove) {
    auto panel = makePanel();
    struct Case {
        bool up, down, shown;
        double upAlpha, downAlpha;
    };
    for (const Case& c : {Case{false, false, false, 0, 0}, Case{true, false, true, 1.0, 0.35},
                          Case{false, true, true, 0.35, 1.0}, Case{true, true, true, 1.0, 1.0}}) {
        SCOPED_TRACE(testing::Message() << "up " << c.up << " down " << c.down);
        panel->setMoveButtonsEnabled(c.up, c.down);
        EXPECT_EQ(!internals(*panel).moveUpBtn()->isHidden(), c.shown);
        EXPECT_EQ(!internals(*panel).moveDownBtn()->isHidden(), c.shown);
        if (!c.shown) continue;
        EXPECT_EQ(internals(*panel).moveUpBtn()->isEnabled(), c.up);
        EXPECT_EQ(internals(*panel).moveDownBtn()->isEnabled(), c.down);
        EXPECT_DOUBLE_EQ(chrome::widgetAlpha(internals(*panel).moveUpBtn()), c.upAlpha);
        EXPECT_DOUBLE_EQ(chrome::widgetAlpha(internals(*panel).moveDownBtn()), c.downAlpha);
    }
    // Both sit 6 px below the top edge at the right end.
    EXPECT_EQ(internals(*panel).moveUpBtn()->geometry(), QRect(320 - 46, 6, 18, 18));
    EXPECT_EQ(internals(*panel).moveDownBtn()->geometry(), QRect(320 - 22, 6, 18, 18));
    int ups = 0;
    panel->onMoveUp = [&] { ++ups; };
    panel->setMoveButtonsEnabled(true, true);
    internals(*panel).moveUpBtn()->click();
    EXPECT_EQ(ups, 1);
}

TEST(GitPanelView, TheNewRepositoryOverlayIsPrefilledAndHasOneVisibility) {
    Sandbox box;
    const QString app = box.path("app");
    QDir().mkpath(app);
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, app));
    panel->showNewRepoOverlay();
    EXPECT_TRUE(panel->newRepoOverlayVisible());
    EXPECT_FALSE(internals(*panel).newRepoOverlay()->isHidden());
    EXPECT_EQ(internals(*panel).repoNameField()->text(), "app");
    EXPECT_EQ(internals(*panel).newRepoOverlay()->width(), 320 - 24);
    EXPECT_TRUE(panel->repoIsPrivate());

    // An empty name is refused with a shake of the button.
    internals(*panel).repoNameField()->setText("  ");
    internals(*panel).repoCreateBtn()->click();
    EXPECT_TRUE(testsupport::isAnimating(internals(*panel).repoCreateBtn()));
    EXPECT_FALSE(panel->actions().creatingRepo());
    EXPECT_TRUE(testsupport::waitForAnimationsToEnd({panel.get()}));

    internals(*panel).repoPublicBtn()->click();
    EXPECT_FALSE(panel->repoIsPrivate());
    EXPECT_TRUE(internals(*panel).repoPublicBtn()->isChecked());
    EXPECT_FALSE(internals(*panel).repoPrivateBtn()->isChecked());
    internals(*panel).repoPrivateBtn()->click();
    EXPECT_TRUE(panel->repoIsPrivate());
    EXPECT_FALSE(internals(*panel).repoPublicBtn()->isChecked());
    EXPECT_TRUE(internals(*panel).repoPrivateBtn()->isChecked());

    internals(*panel).newRepoCancelBtn()->click();
    EXPECT_FALSE(panel->newRepoOverlayVisible());
    EXPECT_TRUE(waitFor([&] { return internals(*panel).newRepoOverlay()->isHidden(); }));
}

TEST(GitPanelView, AChangeOfLanguageRelabelsAtOnce) {
    Sandbox box;
    const QString repo = makeRepo(box, "proj");
    writeFile(repo + "/a.txt", "a");
    auto panel = makePanel();
    ASSERT_TRUE(showFolder(*panel, repo));
    const QString englishSave = internals(*panel).saveBtn()->text();
    const QString englishStatus = internals(*panel).statusLabel()->text();
    const QColor statusColor = colorOf(internals(*panel).statusLabel());

    useLanguage("de");
    LanguageNotifier::shared().post();
    EXPECT_EQ(internals(*panel).saveBtn()->text(), qs(Loc::save()));
    EXPECT_NE(internals(*panel).saveBtn()->text(), englishSave);
    EXPECT_EQ(internals(*panel).statusLabel()->text(), qs(Loc::filesChanged(1)));
    EXPECT_NE(internals(*panel).statusLabel()->text(), englishStatus);
    EXPECT_EQ(colorOf(internals(*panel).statusLabel()), statusColor) << "only the text changes";
    EXPECT_EQ(internals(*panel).noRepoTitleLabel()->text(), qs(Loc::noProjectYet()));
    EXPECT_EQ(internals(*panel).filesHeaderLabel()->text(), qs(Loc::changedFiles()));
    EXPECT_EQ(internals(*panel).commitField()->placeholderText(), qs(Loc::commitPlaceholder()));
    // The "&" of "Erstellen & hochladen" is shown, not taken for a mnemonic.
    EXPECT_EQ(internals(*panel).repoCreateBtn()->text(), qs(Loc::createAndUpload()).replace("&", "&&"));
    useLanguage("en");
    LanguageNotifier::shared().post();
}

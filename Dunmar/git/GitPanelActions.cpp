#include "git/GitPanelActions.h"

#include "git/Background.h"
#include "git/GitIgnore.h"
#include "git/GitPanelModel.h"
#include "git/RepoName.h"
#include "git/SmartPull.h"
#include "localisation/Loc.h"

#include <QDesktopServices>
#include <memory>

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

const QString kErrorPrefix = QStringLiteral("Error: ");

} // namespace

GitPanelActions::GitPanelActions(GitPanelModel& model, QObject* parent) : QObject(parent), model_(model) {
    feedbackTimer_.setSingleShot(true);
    connect(&feedbackTimer_, &QTimer::timeout, this, [this] {
        feedbackVisible_ = false;
        if (onFeedbackChanged) onFeedbackChanged();
    });
}

void GitPanelActions::showFeedback(const QString& text, bool success) {
    feedback_ = {text, success};
    feedbackVisible_ = true;
    feedbackTimer_.start(feedbackMs);
    if (onFeedbackChanged) onFeedbackChanged();
}

void GitPanelActions::controlsChanged() {
    if (onControlsChanged) onControlsChanged();
}

void GitPanelActions::setBusy(bool& flag, bool busy) {
    flag = busy;
    controlsChanged();
}

void GitPanelActions::runInFolder(std::function<GitOutcome(const QString&)> work,
                                  std::function<void(GitOutcome)> done) {
    runInBackground<GitOutcome>(
        this, [work = std::move(work), cwd = model_.lastCwd()] { return work(cwd); }, std::move(done));
}

void GitPanelActions::initRepoClicked() {
    const int ms = model_.timeLimits.localMs;
    runInFolder(
        [ms](const QString& cwd) {
            const GitActionResult r = runGitAction({"init"}, cwd, ms);
            return GitOutcome{r.success ? QString() : kErrorPrefix + r.output, r.success};
        },
        [this](GitOutcome outcome) {
            if (outcome.success)
                model_.refresh();
            else
                showFeedback(outcome.text, false);
        });
}

bool GitPanelActions::saveClicked(const QString& typed) {
    const QString message = typed.trimmed();
    if (message.isEmpty()) {
        showFeedback(qs(Loc::describeChanges()), false);
        return false;
    }
    setBusy(saving_, true);
    const int ms = model_.timeLimits.localMs;
    auto commitFailed = std::make_shared<bool>(false);
    runInFolder(
        [ms, message, commitFailed](const QString& cwd) {
            const GitActionResult added = runGitAction({"add", "-A"}, cwd, ms);
            if (!added.success) return GitOutcome{kErrorPrefix + added.output, false};
            const GitActionResult committed = runGitAction({"commit", "-m", message}, cwd, ms);
            if (!committed.success) {
                *commitFailed = true;
                return GitOutcome{kErrorPrefix + committed.output, false};
            }
            return GitOutcome{qs(Loc::savedMsg()) + QStringLiteral(": ") + message, true};
        },
        [this, commitFailed](GitOutcome outcome) {
            setBusy(saving_, false);
            showFeedback(outcome.text, outcome.success);
            if (outcome.success || *commitFailed) model_.refresh();
        });
    return true;
}

void GitPanelActions::undoCommitClicked() {
    if (!undoConfirmTimer_) {
        undoConfirmTimer_ = new QTimer(this);
        undoConfirmTimer_->setSingleShot(true);
        connect(undoConfirmTimer_, &QTimer::timeout, this, &GitPanelActions::resetUndoConfirmState);
        undoConfirmTimer_->start(undoConfirmMs);
        controlsChanged();
        return;
    }
    resetUndoConfirmState();
    const int ms = model_.timeLimits.localMs;
    runInFolder(
        [ms](const QString& cwd) {
            const GitActionResult r = runGitAction({"reset", "--soft", "HEAD~1"}, cwd, ms);
            if (r.success) return GitOutcome{QStringLiteral("Commit zurückgesetzt"), true};
            return GitOutcome{r.output.isEmpty() ? QStringLiteral("Reset fehlgeschlagen") : r.output, false};
        },
        [this](GitOutcome outcome) {
            showFeedback(outcome.text, outcome.success);
            if (outcome.success) model_.refresh();
        });
}

void GitPanelActions::resetUndoConfirmState() {
    delete undoConfirmTimer_;
    undoConfirmTimer_ = nullptr;
    controlsChanged();
}

void GitPanelActions::uploadClicked() {
    if (!model_.hasRemote()) {
        if (onShowNewRepoOverlay) onShowNewRepoOverlay();
        return;
    }
    setBusy(uploading_, true);
    const int ms = model_.timeLimits.networkMs;
    runInFolder(
        [ms, branch = model_.currentBranch()](const QString& cwd) {
            const GitActionResult r = runGitAction({"push", "-u", "origin", branch}, cwd, ms);
            return r.success ? GitOutcome{qs(Loc::uploaded()), true}
                             : GitOutcome{kErrorPrefix + r.output, false};
        },
        [this](GitOutcome outcome) {
            setBusy(uploading_, false);
            showFeedback(outcome.text, outcome.success);
            model_.github().markCacheStale();
            model_.refresh();
        });
}

void GitPanelActions::updateClicked() {
    setBusy(updating_, true);
    runInFolder([limits = model_.timeLimits](const QString& cwd) { return smartPull(cwd, limits); },
                [this](GitOutcome outcome) {
                    setBusy(updating_, false);
                    showFeedback(outcome.text, outcome.success);
                    model_.github().markCacheStale();
                    model_.refresh();
                });
}

void GitPanelActions::addToGitignore(const QString& path) {
    if (!model_.watchedGitRoot()) {
        showFeedback(QStringLiteral("Kein Git-Repo"), false);
        return;
    }
    runInBackground<IgnoreOutcome>(
        this, [root = *model_.watchedGitRoot(), path] { return addToGitignoreFile(root, path); },
        [this](IgnoreOutcome outcome) {
            switch (outcome) {
            case IgnoreOutcome::alreadyIgnored:
                showFeedback(QStringLiteral("Bereits ignoriert"), true);
                break;
            case IgnoreOutcome::added:
                showFeedback(QStringLiteral("→ .gitignore"), true);
                model_.refresh();
                break;
            case IgnoreOutcome::failed:
                showFeedback(QStringLiteral("Schreiben fehlgeschlagen"), false);
                break;
            }
        });
}

void GitPanelActions::saveTokenClicked(const QString& typed) {
    const QString token = typed.trimmed();
    if (token.isEmpty()) return;
    setBusy(checkingToken_, true);
    GitHubClient& github = model_.github();
    github.setToken(token);
    QPointer<GitPanelActions> self(this);
    github.fetchUser([self](UserLookup lookup) {
        if (!self) return;
        switch (lookup.outcome) {
        case UserLookup::Outcome::signedIn:
            if (self->onTokenAccepted) self->onTokenAccepted();
            if (self->onGithubCardChanged) self->onGithubCardChanged();
            self->model_.refresh();
            break;
        case UserLookup::Outcome::rejected:
            self->model_.github().logout();
            self->showFeedback(qs(Loc::invalidToken()), false);
            break;
        case UserLookup::Outcome::failed:
            // Offline or a server fault says nothing about the token: it stays, and the reason shows.
            if (self->onGithubCardChanged) self->onGithubCardChanged();
            self->showFeedback(kErrorPrefix + lookup.error, false);
            break;
        }
        self->setBusy(self->checkingToken_, false);
    });
}

void GitPanelActions::openTokenPage() {
    const QUrl page = model_.github().tokenPageUrl();
    if (openUrl)
        openUrl(page);
    else
        QDesktopServices::openUrl(page);
}

void GitPanelActions::disconnectClicked() {
    model_.github().logout();
    if (onGithubCardChanged) onGithubCardChanged();
}

bool GitPanelActions::createRepoClicked(const QString& typedName, bool isPrivate) {
    const QString typed = typedName.trimmed();
    if (typed.isEmpty()) return false;
    const QString name = repositoryName(typed);
    const QString branch = model_.currentBranch().isEmpty() ? QStringLiteral("main") : model_.currentBranch();
    const QString cwd = model_.lastCwd();
    setBusy(creatingRepo_, true);
    QPointer<GitPanelActions> self(this);
    model_.github().createRepo(name, isPrivate, [self, branch, cwd](CreateRepoResult created) {
        if (!self) return;
        if (!created.success || created.text.isEmpty()) {
            self->setBusy(self->creatingRepo_, false);
            self->showFeedback(kErrorPrefix +
                                   (created.text.isEmpty() ? QStringLiteral("Unknown error") : created.text),
                               false);
            return;
        }
        const int quick = self->model_.timeLimits.localMs;
        const int network = self->model_.timeLimits.networkMs;
        runInBackground<GitActionResult>(
            self,
            [cwd, branch, url = created.text, quick, network] {
                if (!runGitAction({"remote", "add", "origin", url}, cwd, quick).success)
                    runGitAction({"remote", "set-url", "origin", url}, cwd, quick);
                return runGitAction({"push", "-u", "origin", branch}, cwd, network);
            },
            [self](GitActionResult pushed) {
                self->setBusy(self->creatingRepo_, false);
                if (self->onNewRepoDone) self->onNewRepoDone();
                if (pushed.success)
                    self->showFeedback(qs(Loc::projectCreated()), true);
                else
                    self->showFeedback(QStringLiteral("Repo created, push failed: ") + pushed.output, false);
                self->model_.github().markCacheStale();
                self->model_.refresh();
            });
    });
    return true;
}

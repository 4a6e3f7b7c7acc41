#include "git/GitPanelActions.h"

#include "git/Background.h"
#include "git/GitIgnore.h"
#include "git/GitOperations.h"
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
    runInFolder([limits = model_.timeLimits](const QString& cwd) { return initRepository(cwd, limits); },
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
    runInBackground<SaveOutcome>(
        this,
        [cwd = model_.lastCwd(), message, limits = model_.timeLimits] {
            return saveAll(cwd, message, limits);
        },
        [this](SaveOutcome saved) {
            setBusy(saving_, false);
            showFeedback(saved.outcome.text, saved.outcome.success);
            if (saved.committed || saved.commitFailed) model_.refresh();
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
    runInFolder([limits = model_.timeLimits](const QString& cwd) { return undoLastCommit(cwd, limits); },
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
    runInFolder(
        [limits = model_.timeLimits, branch = model_.currentBranch()](const QString& cwd) {
            return upload(cwd, QStringLiteral("origin"), branch, QString(), limits);
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
        runInBackground<GitActionResult>(
            self,
            [cwd, branch, url = created.text, limits = self->model_.timeLimits] {
                return publishToNewRemote(cwd, url, branch, limits);
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

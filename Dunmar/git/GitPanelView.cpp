#include "git/GitPanelView.h"

#include "chrome/ChromeAnimation.h"
#include "chrome/SidebarContextMenu.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelModel.h"
#include "git/GitPanelStyle.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/PlainText.h"
#include "settings/VertCenteredTextField.h"

#include <QContextMenuEvent>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace gitstyle;

GitPanelView::GitPanelView(QWidget* parent, GitHubEndpoints endpoints)
    : QWidget(parent), model_(new GitPanelModel(std::move(endpoints), this)),
      actions_(new GitPanelActions(*model_, this)) {
    setAttribute(Qt::WA_StyledBackground, false);
    setupScrollAndStack();
    buildMoveButtons();
    for (QWidget* card :
         {buildHeaderCard(), buildNoRepoCard(), buildFilesCard(), buildCommitCard(), buildGithubCard()})
        contentStack_->addWidget(card);
    contentStack_->addStretch(1);
    buildNewRepoOverlay();
    moveUpBtn->raise();
    moveDownBtn->raise();
    refreshLanguage();
    connect(&LanguageNotifier::shared(), &LanguageNotifier::appLanguageChanged, this,
            &GitPanelView::refreshLanguage);
    wireModelAndActions();
    updateGithubCard();
}

GitPanelView::~GitPanelView() {
    // The model's watchers and timers go with it; the callbacks into this view must not outlive it.
    model_->onUpdated = nullptr;
    model_->onSyncLine = nullptr;
    model_->github().onInitialTokenResolved = nullptr;
}

void GitPanelView::wireModelAndActions() {
    model_->onUpdated = [this](const QString& projectName) { updateLayout(projectName); };
    model_->onSyncLine = [this](const SyncLine& line) { showSyncLine(line); };
    GitHubClient& github = model_->github();
    const QPointer<GitPanelView> self(this);
    // The token is looked up in the background; once it is known, the card shows the user.
    const auto fetchUser = [self] {
        if (!self) return;
        self->updateGithubCard();
        if (!self->model_->github().isAuthenticated()) return;
        self->model_->github().fetchUser([self](const UserLookup&) {
            if (self) self->updateGithubCard();
        });
    };
    if (github.initialTokenResolved())
        fetchUser();
    else
        github.onInitialTokenResolved = fetchUser;

    actions_->onFeedbackChanged = [this] { showFeedback(); };
    actions_->onControlsChanged = [this] { updateControls(); };
    actions_->onShowNewRepoOverlay = [this] { showNewRepoOverlay(); };
    actions_->onNewRepoDone = [this] { cancelNewRepo(); };
    actions_->onGithubCardChanged = [this] { updateGithubCard(); };
    actions_->onTokenAccepted = [this] { tokenField->clear(); };
}

// ---- Refresh cycle ---------------------------------------------------------------------------

void GitPanelView::startRefreshing(const QString& cwd) {
    model_->startRefreshing(cwd);
}

void GitPanelView::updateCwd(const QString& cwd) {
    model_->updateCwd(cwd);
}

void GitPanelView::stopRefreshing() {
    model_->stopRefreshing();
}

void GitPanelView::refresh() {
    model_->refresh();
}

bool GitPanelView::isRefreshing() const {
    return model_->refreshInterval() > 0;
}

QString GitPanelView::lastCwd() const {
    return model_->lastCwd();
}

// ---- Showing the model -----------------------------------------------------------------------

void GitPanelView::setStatusText() {
    if (!model_->isGitRepo()) {
        statusLabel->setText(qs(Loc::noTracking()));
    } else if (!model_->fileEntries().empty()) {
        statusLabel->setText(qs(Loc::filesChanged(static_cast<std::int64_t>(model_->fileEntries().size()))));
    } else {
        statusLabel->setText(qs(Loc::allSaved()));
    }
}

void GitPanelView::updateLayout(const QString& projectName) {
    const bool repo = model_->isGitRepo();
    const bool changes = repo && !model_->fileEntries().empty();
    projectLabel->setText(projectName);
    const QString& branch = model_->currentBranch();
    if (!branch.isEmpty()) branchBadge->setText(QLatin1Char(' ') + branch + QLatin1Char(' '));
    branchBadge->setVisible(!branch.isEmpty());
    setStatusText();
    setLabelColor(statusLabel, !repo ? kStatusNoTracking : changes ? kStatusChanges : kStatusAllSaved);
    noRepoCard->setVisible(!repo);
    filesCard->setVisible(changes);
    if (repo) rebuildFilesStack();
    commitCard->setVisible(repo);
    githubCard->setVisible(repo);
    updateGithubCard();
    if (!repo) actions_->resetUndoConfirmState();
    const std::optional<QString>& summary = model_->lastCommitSummary();
    if (summary) {
        plaintext::setLabelText(undoCommitLabel, summary->size() > kUndoSummaryLength
                                                     ? summary->left(kUndoSummaryLength) + QStringLiteral("…")
                                                     : *summary);
    }
    undoCommitRow->setVisible(summary.has_value());
}

void GitPanelView::updateGithubCard() {
    const GitHubClient& github = model_->github();
    const bool signedIn = github.isAuthenticated();
    githubAuthStack->setVisible(!signedIn);
    githubConnectedStack->setVisible(signedIn);
    if (signedIn)
        plaintext::setLabelText(githubUserLabel,
                                QStringLiteral("🔗  @") + github.username().value_or(qs(Loc::verbunden())));
}

void GitPanelView::showSyncLine(const SyncLine& line) {
    plaintext::setLabelText(githubSyncLabel, line.text);
    setLabelColor(githubSyncLabel, line.color);
    uploadBtn->setVisible(line.uploadVisible);
    updateBtn->setVisible(line.updateVisible);
}

void GitPanelView::showFeedback() {
    const GitOutcome& feedback = actions_->feedback();
    // Git's and the server's own words, which may run over several lines.
    plaintext::setLabelText(feedbackLabel, feedback.text, plaintext::Lines::kept);
    setLabelColor(feedbackLabel, feedback.success ? kFeedbackSuccess : kFeedbackFailure);
    feedbackLabel->setVisible(actions_->feedbackVisible());
}

void GitPanelView::updateControls() {
    commitField->setEnabled(!actions_->saving());
    saveBtn->setEnabled(!actions_->saving());
    uploadBtn->setEnabled(!actions_->uploading());
    updateBtn->setEnabled(!actions_->updating());
    repoCreateBtn->setEnabled(!actions_->creatingRepo());
    repoCreateBtn->setText(
        plaintext::menuText(qs(actions_->creatingRepo() ? Loc::creating() : Loc::createAndUpload())));
    tokenSaveBtn->setEnabled(!actions_->checkingToken());
    tokenSaveBtn->setText(qs(actions_->checkingToken() ? Loc::checking() : Loc::connect()));
    const bool confirming = actions_->undoConfirming();
    undoCommitBtn->setText(confirming ? qs(Loc::sure()) : QStringLiteral("↩"));
    setButtonTint(undoCommitBtn, confirming ? kUndoConfirm : white(0.35));
}

void GitPanelView::saveFromField() {
    if (actions_->saveClicked(commitField->text()))
        commitField->clear();
    else
        commitField->setFocus();
}

// ---- New-repository overlay ------------------------------------------------------------------

namespace {

QGraphicsOpacityEffect* opacityOf(QWidget* w) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(w->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(w);
        w->setGraphicsEffect(effect);
    }
    return effect;
}

QPropertyAnimation* fade(QWidget* w, double to, int ms) {
    QGraphicsOpacityEffect* effect = opacityOf(w);
    auto* animation = new QPropertyAnimation(effect, "opacity", w);
    animation->setDuration(ms);
    animation->setStartValue(effect->opacity());
    animation->setEndValue(to);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    return animation;
}

} // namespace

void GitPanelView::showNewRepoOverlay() {
    repoNameField->setText(model_->lastCwd().section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty));
    newRepoOverlayVisible_ = true;
    opacityOf(newRepoOverlay)->setOpacity(0);
    placeOverlayAndButtons();
    newRepoOverlay->show();
    newRepoOverlay->raise();
    fade(newRepoOverlay, 1, 200);
    repoNameField->setFocus();
}

void GitPanelView::cancelNewRepo() {
    newRepoOverlayVisible_ = false;
    QPropertyAnimation* out = fade(newRepoOverlay, 0, 150);
    const QPointer<GitPanelView> self(this);
    connect(out, &QPropertyAnimation::finished, this, [self] {
        // A show that came in during the fade keeps the overlay.
        if (self && !self->newRepoOverlayVisible_) self->newRepoOverlay->hide();
    });
}

void GitPanelView::repoVisibilityChanged(QAbstractButton* sender) {
    repoIsPrivate_ = sender == repoPrivateBtn;
    repoPublicBtn->setChecked(!repoIsPrivate_);
    repoPrivateBtn->setChecked(repoIsPrivate_);
}

// ---- Move buttons, placement and menu --------------------------------------------------------

void GitPanelView::setMoveButtonsEnabled(bool up, bool down) {
    const bool any = up || down;
    moveUpBtn->setVisible(any);
    moveDownBtn->setVisible(any);
    moveUpBtn->setEnabled(up);
    moveDownBtn->setEnabled(down);
    chrome::setWidgetAlpha(moveUpBtn, up ? 1.0 : 0.35);
    chrome::setWidgetAlpha(moveDownBtn, down ? 1.0 : 0.35);
}

void GitPanelView::placeOverlayAndButtons() {
    const int w = width();
    const int h = height();
    scrollView->setGeometry(rect());
    // Measured from the panel's top right corner: both 6 px below the top edge.
    moveUpBtn->setGeometry(w - 46, 6, 18, 18);
    moveDownBtn->setGeometry(w - 22, 6, 18, 18);
    const int overlayWidth = std::max(0, w - 24);
    const int overlayHeight = newRepoOverlay->layout()->heightForWidth(overlayWidth) > 0
                                  ? newRepoOverlay->layout()->heightForWidth(overlayWidth)
                                  : newRepoOverlay->sizeHint().height();
    newRepoOverlay->setGeometry(12, (h - overlayHeight) / 2, overlayWidth, overlayHeight);
}

void GitPanelView::resizeEvent(QResizeEvent*) {
    placeOverlayAndButtons();
}

void GitPanelView::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), kPanelBackground);
}

void GitPanelView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    showSidebarContextMenu(this, event->globalPos(), sidebarMenuHost);
}

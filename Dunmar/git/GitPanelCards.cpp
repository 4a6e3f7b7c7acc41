// The git panel's cards, built once with the panel.
#include "chrome/ElidedLabel.h"
#include "git/CappedScrollArea.h"
#include "git/GitPanelActions.h"
#include "git/GitPanelStyle.h"
#include "git/GitPanelView.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "settings/VertCenteredTextField.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace gitstyle;

namespace {

QVBoxLayout* cardStack(QWidget* card, int inset, int spacing) {
    auto* stack = new QVBoxLayout(card);
    stack->setContentsMargins(inset, inset, inset, inset);
    stack->setSpacing(spacing);
    return stack;
}

// A field on a light rounded background with no frame.
void styleField(QLineEdit* field, double points, bool mono, double backgroundAlpha, int height) {
    field->setFont(mono ? monoFont(points) : systemFont(points));
    field->setFrame(false);
    field->setFixedHeight(height);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    field->setStyleSheet(
        QStringLiteral("QLineEdit { color: %1; background: %2; border: none; border-radius: 6px;"
                       " padding-left: 6px; }")
            .arg(css(white(0.85)), css(white(1.0, backgroundAlpha))));
}

QScrollArea* plainScrollArea(QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setWidgetResizable(true);
    area->viewport()->setAutoFillBackground(false);
    followViewportWidth(area);
    return area;
}

// A short shake sideways: "this needs something first".
void shake(QWidget* w) {
    if (w->property("shaking").toBool()) return;
    w->setProperty("shaking", true);
    const QPoint home = w->pos();
    auto* animation = new QPropertyAnimation(w, "pos", w);
    animation->setDuration(350);
    const int offsets[] = {-8, 8, -6, 6, -4, 4, 0};
    animation->setStartValue(home);
    for (int i = 0; i < 7; ++i) animation->setKeyValueAt((i + 1) / 7.0, home + QPoint(offsets[i], 0));
    QObject::connect(animation, &QPropertyAnimation::finished, w, [w] { w->setProperty("shaking", false); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

void GitPanelView::setupScrollAndStack() {
    // Nothing inside paints a background of its own, and the scroll bars are thin and light, as
    // overlay scrollers are.
    setStyleSheet(QStringLiteral(
        "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
        "QScrollBar:vertical { width: 6px; background: transparent; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(255,255,255,0.25); border-radius: 3px; min-height: "
        "20px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));
    scrollView = plainScrollArea(this);
    auto* document = new QWidget;
    document->setAutoFillBackground(false);
    contentStack_ = new QVBoxLayout(document);
    contentStack_->setSpacing(8);
    contentStack_->setContentsMargins(10, 12, 10, 16);
    scrollView->setWidget(document);
}

void GitPanelView::buildMoveButtons() {
    moveUpBtn = borderlessButton(QStringLiteral("▲"), 9, QFont::Medium, white(0.55), this);
    moveDownBtn = borderlessButton(QStringLiteral("▼"), 9, QFont::Medium, white(0.55), this);
    for (QPushButton* b : {moveUpBtn, moveDownBtn}) {
        b->setStyleSheet(
            b->styleSheet().replace(QStringLiteral("padding: 0 2px"), QStringLiteral("padding: 0")));
        b->hide();
    }
    connect(moveUpBtn, &QPushButton::clicked, this, [this] {
        if (onMoveUp) onMoveUp();
    });
    connect(moveDownBtn, &QPushButton::clicked, this, [this] {
        if (onMoveDown) onMoveDown();
    });
}

QWidget* GitPanelView::buildHeaderCard() {
    headerCard = new GitCard(kHeaderCardBackground);
    QVBoxLayout* stack = cardStack(headerCard, 12, 5);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    // The folder's and the branch's names end in "…" when the panel is too narrow for them.
    projectLabel = new chrome::ElidedLabel(QString(), systemFont(13, QFont::DemiBold), white(0.85));
    projectLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    branchBadge = new chrome::ElidedLabel(QString(), monoFont(10, QFont::Medium), kGreen);
    branchBadge->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    branchBadge->setStyleSheet(
        QStringLiteral("QLabel { background: %1; border-radius: 4px; }").arg(css(withAlpha(kGreen, 0.12))));
    branchBadge->hide();
    refreshBtn = borderlessButton(QStringLiteral("↻"), 14, QFont::Normal, white(0.35));
    refreshBtn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(refreshBtn, &QPushButton::clicked, this, &GitPanelView::refresh);
    row->addWidget(projectLabel, 0, Qt::AlignVCenter);
    row->addWidget(branchBadge, 0, Qt::AlignVCenter);
    row->addStretch(1);
    row->addWidget(refreshBtn, 0, Qt::AlignVCenter);
    stack->addLayout(row);
    statusLabel = wrappingLabel(11, QFont::Normal, white(0.5));
    statusLabel->setMaximumHeight(statusLabel->fontMetrics().lineSpacing() * 2 + 2);
    stack->addWidget(statusLabel);
    return headerCard;
}

QWidget* GitPanelView::buildNoRepoCard() {
    noRepoCard = new GitCard(kCardBackground);
    QVBoxLayout* stack = cardStack(noRepoCard, 14, 8);
    noRepoTitleLabel = wrappingLabel(12, QFont::Medium, white(0.6));
    noRepoSubLabel = wrappingLabel(10.5, QFont::Normal, white(0.4));
    noRepoInitBtn = tintedButton(QString(), 11, QFont::Medium, kGreen, 0.12);
    noRepoInitBtn->setMinimumHeight(26);
    connect(noRepoInitBtn, &QPushButton::clicked, this, [this] { actions_->initRepoClicked(); });
    stack->addWidget(noRepoTitleLabel);
    stack->addWidget(noRepoSubLabel);
    stack->addWidget(noRepoInitBtn, 0, Qt::AlignLeft);
    noRepoCard->hide();
    return noRepoCard;
}

QWidget* GitPanelView::buildFilesCard() {
    filesCard = new GitCard(kCardBackground);
    QVBoxLayout* stack = cardStack(filesCard, 12, 6);
    filesHeaderLabel = label(10, QFont::DemiBold, kHeading);
    filesScrollView = new CappedScrollArea(kMaxFilesHeight, filesCard);
    filesStackWidget = new QWidget;
    filesStackWidget->setAutoFillBackground(false);
    filesStack = new QVBoxLayout(filesStackWidget);
    filesStack->setContentsMargins(0, 0, 0, 0);
    filesStack->setSpacing(2);
    filesStack->setAlignment(Qt::AlignTop);
    filesScrollView->setWidget(filesStackWidget);
    stack->addWidget(filesHeaderLabel);
    stack->addWidget(filesScrollView);
    filesCard->hide();
    return filesCard;
}

QWidget* GitPanelView::buildCommitCard() {
    commitCard = new GitCard(kCardBackground);
    QVBoxLayout* stack = cardStack(commitCard, 12, 8);
    commitHeaderLabel = label(10, QFont::DemiBold, kHeading);
    commitField = new VertCenteredTextField;
    commitField->setLeftPad(10);
    styleField(commitField, 11, false, 0.06, 28);
    commitField->setStyleSheet(
        commitField->styleSheet().replace(QStringLiteral("padding-left: 6px; "), QString()));
    connect(commitField, &QLineEdit::returnPressed, this, &GitPanelView::saveFromField);
    saveBtn = tintedButton(QString(), 11, QFont::DemiBold, kGreen, 0.12);
    saveBtn->setFixedHeight(30);
    connect(saveBtn, &QPushButton::clicked, this, &GitPanelView::saveFromField);
    feedbackLabel = wrappingLabel(10, QFont::Medium, kFeedbackSuccess);
    feedbackLabel->setMaximumHeight(feedbackLabel->fontMetrics().lineSpacing() * 2 + 2);
    feedbackLabel->hide();
    undoCommitRow = new QWidget;
    auto* undoRow = new QHBoxLayout(undoCommitRow);
    undoRow->setContentsMargins(0, 0, 0, 0);
    undoRow->setSpacing(6);
    undoCommitLabel = label(10, QFont::Normal, white(0.4), nullptr, true);
    undoCommitLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    undoCommitBtn = borderlessButton(QStringLiteral("↩"), 12, QFont::Normal, white(0.35));
    undoCommitBtn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(undoCommitBtn, &QPushButton::clicked, this, [this] { actions_->undoCommitClicked(); });
    undoRow->addWidget(undoCommitLabel, 1);
    undoRow->addWidget(undoCommitBtn);
    undoCommitRow->hide();
    stack->addWidget(commitHeaderLabel);
    stack->addWidget(commitField);
    stack->addWidget(saveBtn);
    stack->addSpacing(4); // 12 after the button instead of 8
    stack->addWidget(feedbackLabel);
    stack->addWidget(undoCommitRow);
    commitCard->hide();
    return commitCard;
}

QWidget* GitPanelView::buildGithubCard() {
    githubCard = new GitCard(kGithubCardBackground);
    QVBoxLayout* outer = cardStack(githubCard, 12, 0);

    githubAuthStack = new QWidget;
    auto* auth = new QVBoxLayout(githubAuthStack);
    auth->setContentsMargins(0, 0, 0, 0);
    auth->setSpacing(8);
    githubAuthTitleLabel = wrappingLabel(11, QFont::Medium, white(0.55));
    tokenField = new QLineEdit;
    tokenField->setEchoMode(QLineEdit::Password); // a token is never shown in clear
    styleField(tokenField, 10.5, true, 0.06, 26);
    auto* tokenRow = new QHBoxLayout;
    tokenRow->setSpacing(12);
    tokenSaveBtn = tintedButton(QString(), 10, QFont::Medium, kGreen, 0.0);
    tokenLinkBtn = borderlessButton(QString(), 9.5, QFont::Normal, white(0.38));
    connect(tokenSaveBtn, &QPushButton::clicked, this,
            [this] { actions_->saveTokenClicked(tokenField->text()); });
    connect(tokenLinkBtn, &QPushButton::clicked, this, [this] { actions_->openTokenPage(); });
    tokenRow->addWidget(tokenSaveBtn);
    tokenRow->addWidget(tokenLinkBtn);
    tokenRow->addStretch(1);
    auth->addWidget(githubAuthTitleLabel);
    auth->addWidget(tokenField);
    auth->addLayout(tokenRow);

    githubConnectedStack = new QWidget;
    auto* connected = new QVBoxLayout(githubConnectedStack);
    connected->setContentsMargins(0, 0, 0, 0);
    connected->setSpacing(8);
    auto* userRow = new QHBoxLayout;
    userRow->setSpacing(0);
    githubUserLabel = label(11, QFont::DemiBold, kBlue);
    disconnectBtn = borderlessButton(QString(), 9, QFont::Normal, white(0.35));
    connect(disconnectBtn, &QPushButton::clicked, this, [this] { actions_->disconnectClicked(); });
    userRow->addWidget(githubUserLabel);
    userRow->addStretch(1);
    userRow->addWidget(disconnectBtn);
    githubSyncLabel = wrappingLabel(10.5, QFont::Normal, white(0.55));
    githubSyncLabel->setMaximumHeight(githubSyncLabel->fontMetrics().lineSpacing() * 2 + 2);
    uploadBtn = tintedButton(QString(), 11, QFont::DemiBold, kBlue, 0.1);
    uploadBtn->setFixedHeight(30);
    updateBtn = tintedButton(QString(), 11, QFont::Medium, kAmber, 0.1);
    updateBtn->setFixedHeight(28);
    connect(uploadBtn, &QPushButton::clicked, this, [this] { actions_->uploadClicked(); });
    connect(updateBtn, &QPushButton::clicked, this, [this] { actions_->updateClicked(); });
    connected->addLayout(userRow);
    connected->addWidget(githubSyncLabel);
    connected->addWidget(uploadBtn);
    connected->addWidget(updateBtn);

    outer->addWidget(githubAuthStack);
    outer->addWidget(githubConnectedStack);
    githubConnectedStack->hide();
    githubCard->hide();
    return githubCard;
}

void GitPanelView::buildNewRepoOverlay() {
    auto* overlay = new QWidget(this);
    overlay->setObjectName(QStringLiteral("newRepoOverlay"));
    overlay->setAttribute(Qt::WA_StyledBackground);
    overlay->setStyleSheet(
        QStringLiteral("#newRepoOverlay { background: %1; border: 1px solid %2; border-radius: 10px; }")
            .arg(css(white(0.08, 0.97)), css(white(1.0, 0.1))));
    newRepoOverlay = overlay;
    QVBoxLayout* stack = cardStack(overlay, 16, 10);
    newRepoTitleLabel = wrappingLabel(13, QFont::DemiBold, white(0.85));
    repoNameField = new QLineEdit;
    styleField(repoNameField, 11, true, 0.07, 28);
    auto* visRow = new QHBoxLayout;
    visRow->setSpacing(12);
    newRepoVisLabel = wrappingLabel(10.5, QFont::Normal, white(0.5));
    newRepoVisLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    repoPublicBtn = new QRadioButton;
    repoPrivateBtn = new QRadioButton;
    for (QRadioButton* radio : {repoPublicBtn, repoPrivateBtn}) {
        radio->setAutoExclusive(false); // repoVisibilityChanged sets both
        radio->setFont(systemFont(10.5));
        radio->setStyleSheet(QStringLiteral("QRadioButton { color: %1; }").arg(css(white(0.65))));
        connect(radio, &QRadioButton::clicked, this, [this, radio] { repoVisibilityChanged(radio); });
    }
    repoPrivateBtn->setChecked(true);
    visRow->addWidget(newRepoVisLabel);
    visRow->addWidget(repoPublicBtn);
    visRow->addWidget(repoPrivateBtn);
    visRow->addStretch(1);
    repoCreateBtn = tintedButton(QString(), 11, QFont::DemiBold, kGreen, 0.12);
    repoCreateBtn->setFixedHeight(30);
    connect(repoCreateBtn, &QPushButton::clicked, this, [this] {
        if (!actions_->createRepoClicked(repoNameField->text(), repoIsPrivate_)) shake(repoCreateBtn);
    });
    newRepoCancelBtn = tintedButton(QString(), 11, QFont::Medium, white(0.45), 0.12);
    newRepoCancelBtn->setMinimumHeight(26);
    connect(newRepoCancelBtn, &QPushButton::clicked, this, &GitPanelView::cancelNewRepo);
    stack->addWidget(newRepoTitleLabel);
    stack->addWidget(repoNameField);
    stack->addLayout(visRow);
    stack->addWidget(repoCreateBtn);
    stack->addWidget(newRepoCancelBtn);
    overlay->hide();
}

void GitPanelView::refreshLanguage() {
    noRepoTitleLabel->setText(qs(Loc::noProjectYet()));
    noRepoSubLabel->setText(qs(Loc::clickToStartTracking()));
    noRepoInitBtn->setText(qs(Loc::startTracking()));
    setHeading(filesHeaderLabel, qs(Loc::changedFiles()));
    setHeading(commitHeaderLabel, qs(Loc::whatChanged()));
    commitField->setPlaceholderText(qs(Loc::commitPlaceholder()));
    saveBtn->setText(qs(Loc::save()));
    githubAuthTitleLabel->setText(qs(Loc::notConnectedGH()));
    tokenField->setPlaceholderText(qs(Loc::pasteToken()));
    updateControls(); // the token button's title depends on a check under way
    tokenLinkBtn->setText(qs(Loc::createToken()));
    uploadBtn->setText(qs(Loc::uploadGH()));
    updateBtn->setText(qs(Loc::updateGH()));
    disconnectBtn->setText(qs(Loc::logout()));
    newRepoTitleLabel->setText(qs(Loc::createProject()));
    repoNameField->setPlaceholderText(qs(Loc::projectNamePlaceholder()));
    newRepoVisLabel->setText(qs(Loc::visibility()));
    repoPublicBtn->setText(qs(Loc::public_()));
    repoPrivateBtn->setText(qs(Loc::private_()));
    newRepoCancelBtn->setText(qs(Loc::cancel()));
    setStatusText();
}

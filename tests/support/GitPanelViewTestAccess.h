#pragma once

// The git panel's cards and controls, which tests look at and press; the program reaches them only
// through the panel's own operations. Only tests include this header.

#include "git/GitPanelView.h"

class GitPanelViewTestAccess {
public:
    explicit GitPanelViewTestAccess(const GitPanelView& panel) : p_(panel) {}

    QWidget* headerCard() const { return p_.headerCard; }
    QLabel* projectLabel() const { return p_.projectLabel; }
    QLabel* branchBadge() const { return p_.branchBadge; }
    QLabel* statusLabel() const { return p_.statusLabel; }
    QPushButton* refreshBtn() const { return p_.refreshBtn; }
    QWidget* noRepoCard() const { return p_.noRepoCard; }
    QLabel* noRepoTitleLabel() const { return p_.noRepoTitleLabel; }
    QLabel* noRepoSubLabel() const { return p_.noRepoSubLabel; }
    QPushButton* noRepoInitBtn() const { return p_.noRepoInitBtn; }
    QWidget* filesCard() const { return p_.filesCard; }
    QLabel* filesHeaderLabel() const { return p_.filesHeaderLabel; }
    QWidget* filesStackWidget() const { return p_.filesStackWidget; }
    QVBoxLayout* filesStack() const { return p_.filesStack; }
    QScrollArea* filesScrollView() const { return p_.filesScrollView; }
    QWidget* commitCard() const { return p_.commitCard; }
    QLabel* commitHeaderLabel() const { return p_.commitHeaderLabel; }
    VertCenteredTextField* commitField() const { return p_.commitField; }
    QPushButton* saveBtn() const { return p_.saveBtn; }
    QLabel* feedbackLabel() const { return p_.feedbackLabel; }
    QWidget* undoCommitRow() const { return p_.undoCommitRow; }
    QLabel* undoCommitLabel() const { return p_.undoCommitLabel; }
    QPushButton* undoCommitBtn() const { return p_.undoCommitBtn; }
    QWidget* githubCard() const { return p_.githubCard; }
    QWidget* githubConnectedStack() const { return p_.githubConnectedStack; }
    QWidget* githubAuthStack() const { return p_.githubAuthStack; }
    QLabel* githubAuthTitleLabel() const { return p_.githubAuthTitleLabel; }
    QLabel* githubUserLabel() const { return p_.githubUserLabel; }
    QLabel* githubSyncLabel() const { return p_.githubSyncLabel; }
    QPushButton* uploadBtn() const { return p_.uploadBtn; }
    QPushButton* updateBtn() const { return p_.updateBtn; }
    QPushButton* disconnectBtn() const { return p_.disconnectBtn; }
    QLineEdit* tokenField() const { return p_.tokenField; }
    QPushButton* tokenSaveBtn() const { return p_.tokenSaveBtn; }
    QPushButton* tokenLinkBtn() const { return p_.tokenLinkBtn; }
    QWidget* newRepoOverlay() const { return p_.newRepoOverlay; }
    QLabel* newRepoTitleLabel() const { return p_.newRepoTitleLabel; }
    QLineEdit* repoNameField() const { return p_.repoNameField; }
    QLabel* newRepoVisLabel() const { return p_.newRepoVisLabel; }
    QRadioButton* repoPublicBtn() const { return p_.repoPublicBtn; }
    QRadioButton* repoPrivateBtn() const { return p_.repoPrivateBtn; }
    QPushButton* repoCreateBtn() const { return p_.repoCreateBtn; }
    QPushButton* newRepoCancelBtn() const { return p_.newRepoCancelBtn; }
    QPushButton* moveUpBtn() const { return p_.moveUpBtn; }
    QPushButton* moveDownBtn() const { return p_.moveDownBtn; }
    QScrollArea* scrollView() const { return p_.scrollView; }
    QVBoxLayout* contentStack_() const { return p_.contentStack_; }

private:
    const GitPanelView& p_;
};

// `internals(*panel).statusLabel()`
inline GitPanelViewTestAccess internals(const GitPanelView& panel) {
    return GitPanelViewTestAccess(panel);
}

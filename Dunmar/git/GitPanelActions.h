#pragma once

#include "git/GitOutcome.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>

class GitPanelModel;

// The git panel's operations: init, commit everything, the two-click undo, push, the smart pull,
// ignoring a file, signing in and out, and creating a repository on the service with its first
// push. git runs off the GUI thread in the folder followed when the operation started; outcomes,
// the feedback line and every state the controls show change on the GUI thread. The view binds
// its controls to these calls and shows what the `on...` callbacks report.
class GitPanelActions : public QObject {
    Q_OBJECT
public:
    explicit GitPanelActions(GitPanelModel& model, QObject* parent = nullptr);

    void initRepoClicked();
    // False, with the reason on the feedback line, when the message is empty (the view then puts
    // the keyboard focus back into its field); the view clears its field otherwise.
    bool saveClicked(const QString& message);
    // The first click asks for confirmation; a second within `undoConfirmMs` undoes the last commit.
    void undoCommitClicked();
    void resetUndoConfirmState();
    // Pushes; without a remote it asks the view for the new-repository overlay instead.
    void uploadClicked();
    void updateClicked();
    void addToGitignore(const QString& path);
    void saveTokenClicked(const QString& token);
    void openTokenPage();
    void disconnectClicked();
    // False when the name is empty (the view shakes its button).
    bool createRepoClicked(const QString& typedName, bool isPrivate);

    void showFeedback(const QString& text, bool success);

    // The feedback line: the last outcome, shown for `feedbackMs` after it arrived.
    const GitOutcome& feedback() const { return feedback_; }
    bool feedbackVisible() const { return feedbackVisible_; }
    bool undoConfirming() const { return undoConfirmTimer_ != nullptr; }
    // Operations under way, whose controls are disabled meanwhile.
    bool saving() const { return saving_; }
    bool uploading() const { return uploading_; }
    bool updating() const { return updating_; }
    bool creatingRepo() const { return creatingRepo_; }
    bool checkingToken() const { return checkingToken_; }

    // Opens a web page in the user's browser; tests catch it instead.
    std::function<void(const QUrl&)> openUrl;

    int feedbackMs = 4000;
    int undoConfirmMs = 4000;

    std::function<void()> onFeedbackChanged;    // shown, replaced or hidden
    std::function<void()> onControlsChanged;    // an operation started or ended; the undo button's state
    std::function<void()> onShowNewRepoOverlay; // uploading without a remote
    std::function<void()> onNewRepoDone;        // the repository exists: close the overlay
    std::function<void()> onGithubCardChanged;  // signed in or out
    std::function<void()> onTokenAccepted;      // clear the token field

private:
    void runInFolder(std::function<GitOutcome(const QString& cwd)> work,
                     std::function<void(GitOutcome)> done);
    void setBusy(bool& flag, bool busy);
    void controlsChanged();

    GitPanelModel& model_;
    GitOutcome feedback_;
    bool feedbackVisible_ = false;
    QTimer feedbackTimer_;
    QTimer* undoConfirmTimer_ = nullptr;
    bool saving_ = false;
    bool uploading_ = false;
    bool updating_ = false;
    bool creatingRepo_ = false;
    bool checkingToken_ = false;
};

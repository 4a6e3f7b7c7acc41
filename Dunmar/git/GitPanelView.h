#pragma once

#include "git/GitHubClient.h"
#include "git/GitStatus.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class GitPanelActions;
class GitPanelModel;
class QAbstractButton;
class QLabel;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class SidebarMenuHost;
class VertCenteredTextField;
struct SyncLine;

// The git panel of a tab, beside or below its terminal: a header with the project, branch and
// status; a card to start tracking a folder outside a repository; the changed files with their
// inline diffs; the commit card with the last commit and its undo; and the code-hosting card to
// sign in, push, pull and create the repository there. The panel keeps its repository's state
// current (`model()`) and runs its buttons through `actions()`.
class GitPanelView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxFileRows = 30;
    static constexpr int kMaxFilesHeight = 160;
    static constexpr int kUndoSummaryLength = 35;

    explicit GitPanelView(QWidget* parent = nullptr, GitHubEndpoints endpoints = {});
    ~GitPanelView() override;

    GitPanelModel& model() const { return *model_; }
    GitPanelActions& actions() const { return *actions_; }

    // The refresh cycle: follow `cwd` (refreshing on a timer and on repository changes), follow
    // another folder, stop the timer and watchers, refresh once.
    void startRefreshing(const QString& cwd);
    void updateCwd(const QString& cwd);
    void stopRefreshing();
    void refresh();
    bool isRefreshing() const;
    QString lastCwd() const;

    // The controller's view of the side panels: the move buttons show when the panel can move at
    // all, each enabled for its own direction.
    void setMoveButtonsEnabled(bool up, bool down);
    std::function<void()> onMoveUp;
    std::function<void()> onMoveDown;
    // Answers the right click on the panel with the side panels' menu; none: no menu.
    SidebarMenuHost* sidebarMenuHost = nullptr;

    // Brings every card up to the model's state.
    void updateLayout(const QString& projectName);
    void updateGithubCard();
    void rebuildFilesStack();
    // Opens the diff of `path` below its row, or closes it when it is open.
    void toggleDiff(const QString& path, QChar x, QChar y);
    void showNewRepoOverlay();
    void cancelNewRepo();
    void repoVisibilityChanged(QAbstractButton* sender);
    void refreshLanguage();

    bool repoIsPrivate() const { return repoIsPrivate_; }
    bool newRepoOverlayVisible() const { return newRepoOverlayVisible_; }
    const std::optional<QString>& expandedDiffFile() const { return expandedDiffFile_; }
    QWidget* currentDiffView() const { return currentDiffView_; }
    const QString& lastFilesKey() const { return lastFilesKey_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class GitPanelViewTestAccess;

    // The cards and their controls; tests reach them through GitPanelViewTestAccess.
    QWidget* headerCard = nullptr;
    QLabel* projectLabel = nullptr;
    QLabel* branchBadge = nullptr;
    QLabel* statusLabel = nullptr;
    QPushButton* refreshBtn = nullptr;
    QWidget* noRepoCard = nullptr;
    QLabel* noRepoTitleLabel = nullptr;
    QLabel* noRepoSubLabel = nullptr;
    QPushButton* noRepoInitBtn = nullptr;
    QWidget* filesCard = nullptr;
    QLabel* filesHeaderLabel = nullptr;
    QWidget* filesStackWidget = nullptr;
    QVBoxLayout* filesStack = nullptr;
    QScrollArea* filesScrollView = nullptr;
    QWidget* commitCard = nullptr;
    QLabel* commitHeaderLabel = nullptr;
    VertCenteredTextField* commitField = nullptr;
    QPushButton* saveBtn = nullptr;
    QLabel* feedbackLabel = nullptr;
    QWidget* undoCommitRow = nullptr;
    QLabel* undoCommitLabel = nullptr;
    QPushButton* undoCommitBtn = nullptr;
    QWidget* githubCard = nullptr;
    QWidget* githubConnectedStack = nullptr;
    QWidget* githubAuthStack = nullptr;
    QLabel* githubAuthTitleLabel = nullptr;
    QLabel* githubUserLabel = nullptr;
    QLabel* githubSyncLabel = nullptr;
    QPushButton* uploadBtn = nullptr;
    QPushButton* updateBtn = nullptr;
    QPushButton* disconnectBtn = nullptr;
    QLineEdit* tokenField = nullptr;
    QPushButton* tokenSaveBtn = nullptr;
    QPushButton* tokenLinkBtn = nullptr;
    QWidget* newRepoOverlay = nullptr;
    QLabel* newRepoTitleLabel = nullptr;
    QLineEdit* repoNameField = nullptr;
    QLabel* newRepoVisLabel = nullptr;
    QRadioButton* repoPublicBtn = nullptr;
    QRadioButton* repoPrivateBtn = nullptr;
    QPushButton* repoCreateBtn = nullptr;
    QPushButton* newRepoCancelBtn = nullptr;
    QPushButton* moveUpBtn = nullptr;
    QPushButton* moveDownBtn = nullptr;
    QScrollArea* scrollView = nullptr;

    void setupScrollAndStack();
    void buildMoveButtons();
    QWidget* buildHeaderCard();
    QWidget* buildNoRepoCard();
    QWidget* buildFilesCard();
    QWidget* buildCommitCard();
    QWidget* buildGithubCard();
    void buildNewRepoOverlay();
    void wireModelAndActions();
    void placeOverlayAndButtons();
    void setStatusText();
    void showSyncLine(const SyncLine& line);
    void showFeedback();
    void updateControls();
    void saveFromField();

    GitPanelModel* model_;
    GitPanelActions* actions_;
    QVBoxLayout* contentStack_ = nullptr;
    bool repoIsPrivate_ = true;
    bool newRepoOverlayVisible_ = false;
    QString lastFilesKey_;
    std::optional<QString> expandedDiffFile_;
    QPointer<QWidget> currentDiffView_;
    quint64 diffRequest_ = 0;
};

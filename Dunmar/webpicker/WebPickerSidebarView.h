#pragma once

#include <QColor>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QMenu>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "webpicker/HotReloadWatcher.h"
#include "webpicker/PickEntry.h"

class ChromeCDPClient;
class Defaults;
class FlippedClipView;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class PickRowView;
class StatusDotView;
class VertCenteredTextField;

// The web element picker's side panel: it connects to a tab of the local Chromium-family browser
// over the DevTools protocol and shows the connection in one of three states (disconnected,
// connecting, connected), with the controls of the picker below.
class WebPickerSidebarView : public QWidget {
    Q_OBJECT
public:
    explicit WebPickerSidebarView(Defaults& defaults, QWidget* parent = nullptr);
    ~WebPickerSidebarView() override;

    // The picker's accent.
    static QColor teal();

    // Set by the controller.
    std::function<void()> onClose;
    std::function<void()> onConnected;
    std::function<void()> onMoveUp;
    std::function<void()> onMoveDown;
    // Pastes a pick's markup into our terminal that has the keyboard focus, if one has it.
    std::function<void(const QString&)> pasteIntoFocusedTerminal;

    // Both buttons hide when neither way is open; a closed way dims its button.
    void setMoveButtonsEnabled(bool up, bool down);

    // From the availability test (starting the browser when it does not answer) to a tab's channel.
    void connect();
    // Ends the connection, closes the tab the picker opened itself and forgets the remembered tab.
    void disconnect();
    // Ends the connection but keeps the tab and the remembered tab for the next connect.
    void softDisconnect();

    void showDisconnectedState();
    void showConnectingState(const QString& text);
    void showConnectedState(const QString& hostname, bool navigating);
    void refreshLanguage();

    ChromeCDPClient& cdp() { return *cdp_; }
    bool isConnected() const { return isConnected_; }
    std::optional<QString> currentTargetId() const { return currentTargetId_; }
    QString statusText() const;
    QColor statusColor() const;
    QPushButton* connectButton() const { return connectBtn_; }
    QPushButton* pickButton() const { return pickBtn_; }
    QPushButton* disconnectButton() const { return disconnectBtn_; }
    QPushButton* moveUpButton() const { return moveUpBtn_; }
    QPushButton* moveDownButton() const { return moveDownBtn_; }
    bool isMoveUpEnabled() const;
    bool isMoveDownEnabled() const;

    // The picks, oldest first, and their rows.
    const std::vector<PickEntry>& picks() const { return picks_; }
    qint64 nextPickId() const { return nextPickId_; }
    QList<PickRowView*> pickRows() const;
    bool isPickListHeaderShown() const;
    QPushButton* clearPicksButton() const { return clearPicksBtn_; }
    QLabel* feedbackLabel() const { return feedbackLabel_; }
    // The menu a right click on a pick row opened last.
    QMenu* pickMenu() const { return pickMenu_; }

    QPushButton* replButton() const { return replBtn_; }
    QLineEdit* replField() const { return replField_; }
    QLabel* replResultLabel() const { return replResultLabel_; }
    const QStringList& replHistory() const { return replHistory_; }
    bool isREPLExpanded() const { return replExpanded_; }

    QLineEdit* urlField() const;
    QWidget* suggestBox() const { return suggestBox_; }
    QWidget* tabBox() const { return tabBox_; }
    QPushButton* tabSwitcherButton() const { return tabSwitcherBtn_; }

    QPushButton* hotReloadButton() const { return hotReloadBtn_; }
    bool isHotReloadEnabled() const { return hotReloadEnabled_; }
    QWidget* watchRow() const { return watchRow_; }
    QPushButton* watchFolderButton() const { return watchFolderBtn_; }
    QString watchStatusText() const;
    HotReloadWatcher& hotReloadWatcher() { return watcher_; }

    // Intervals of the title poll and of the retry after a failed channel, shortened by tests.
    void setTitlePollIntervalMs(int ms) { titlePollIntervalMs_ = ms; }
    void setTabSearchDelayMs(int ms) { tabSearchDelayMs_ = ms; }
    void setPickPollIntervalMs(int ms) { pickPollIntervalMs_ = ms; }

    static constexpr int kTitlePollMs = 3000;
    static constexpr int kTabSearchMs = 2000;
    static constexpr int kWindowPlacementDelayMs = 400;
    static constexpr int kBrowserWindowWidth = 777;
    static constexpr int kMaxPicks = 20;
    static constexpr int kPickPollMs = 300;
    static constexpr int kPasteDelayMs = 150;
    static constexpr int kReplHistoryMax = 20;
    static constexpr int kMaxTabRows = 8;
    static constexpr int kSuggestionsHideDelayMs = 150;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupUI();
    void layoutContents();
    void styleTealButton(QPushButton* button, bool enabled);
    void setStatusDot(const QColor& color);
    void setStatusLabelTrailing(bool connected);
    // Picks and picking.
    void startPicking();
    void pollPick();
    void onHTMLPicked(const QString& html, const QString& selector, const QString& innerText, const QString& xpath);
    void savePicksToDisk();
    void restorePicksFromDisk();
    void clearPickList();
    void clearAllPicksAction();
    void removePick(qint64 id, PickRowView* row);
    void showPickListHeader(bool shown);
    void resetPickButton();

    // Pick rows and their actions.
    void addPickRow(const PickEntry& entry);
    void highlightPick(qint64 id, const QString& hex, const QString& selector);
    void unhighlightPick(qint64 id, const QString& selector);
    void fetchComputedStyle(qint64 pickId);
    void showPickMenu(const QString& html, const QString& selector, const QString& innerText,
                      const QString& xpath, qint64 pickId, const QPoint& at);
    void menuCopyAny(const QString& text);
    void triggerElementScreenshot(qint64 pickId);
    void showFeedback(const QString& text, int hideAfterMs);
    void showCopiedFeedback();

    // The script console.
    void toggleREPL();
    void evaluateREPL();
    bool replHistoryKey(int key);

    // The address bar and the tab switcher.
    void navigateURL();
    void addToHistory(const QString& url);
    void updateSuggestions(const QString& query);
    void hideSuggestions();
    void selectSuggestion(const QString& url);
    void toggleTabSwitcher();
    void hideTabBox();
    void selectTab(const QString& webSocketUrl);

    // Hot reload.
    void toggleHotReload();
    void startAutoDetectWatch();
    void selectWatchFolder();
    void startFileWatcher(const QString& path);
    void startPollingWatcher(const QString& directory);
    void triggerHotReload();
    void showWatchRow(bool forLocalhost);
    void hideWatchRow();
    void stopWatching();
    void stopHotReload();
    void setWatchRowHeight(int height, int durationMs);

    void connectToTab();
    void doConnect(const QString& url);
    void handleUnexpectedDisconnect(const QString& message);
    void refreshTabTitle(const QString& targetId);
    void startTitlePolling();
    void scheduleTabSearch();
    void stopTimers();
    void openChromeInspect();
    void openDebugJSON();

    Defaults& defaults_;
    ChromeCDPClient* cdp_;
    QTimer* pollTimer_ = nullptr;
    QTimer* tabSearchTimer_ = nullptr;
    QTimer* titlePollTimer_ = nullptr;
    bool isConnected_ = false;
    std::optional<QString> currentTargetId_;
    // Every connect and disconnect starts a new attempt; answers of an older one are ignored.
    quint64 attempt_ = 0;
    // Tabs this sidebar opened itself: only those are closed when it disconnects.
    QSet<QString> openedTargetIds_;

    QPushButton* moveUpBtn_;
    QPushButton* moveDownBtn_;
    QLabel* titleLabel_;
    QPushButton* closeBtn_;
    QLabel* debugLink1_;
    QLabel* debugLink2_;
    QWidget* titleSep_;
    StatusDotView* statusDot_;
    QLabel* statusLabel_;
    QPushButton* pickBtn_;
    QPushButton* connectBtn_;
    QPushButton* disconnectBtn_;
    QWidget* urlBg_;
    VertCenteredTextField* urlField_;
    QPushButton* tabSwitcherBtn_;
    QPushButton* hotReloadBtn_;
    QWidget* tabBox_;
    int tabBoxH_ = 0;
    bool hotReloadEnabled_ = false;
    QWidget* watchRow_;
    QPushButton* watchFolderBtn_;
    QLabel* watchStatusLabel_;
    int watchRowH_ = 0;
    bool replExpanded_ = false;
    QPushButton* replBtn_;
    QWidget* replWrap_;
    QWidget* replBox_;
    int replHeightC_ = 0;
    QLineEdit* replField_;
    QLabel* replResultLabel_;
    QWidget* previewSep_;
    QLabel* picksHeaderLabel_;
    QWidget* picksSep_;
    QPushButton* clearPicksBtn_;
    QWidget* picksStack_;
    QVBoxLayout* picksStackLayout_;
    FlippedClipView* picksScrollView_;
    QLabel* feedbackLabel_;
    bool statusLabelTrailingConnected_ = false;
    QWidget* suggestBox_;
    int suggestBoxH_ = 0;

    std::vector<PickEntry> picks_;
    qint64 nextPickId_ = 0;
    QPointer<QMenu> pickMenu_;
    QStringList replHistory_;
    int replHistoryIdx_ = -1;
    HotReloadWatcher watcher_;
    // The watch row's text from before a "reloaded" note, put back when the note ends.
    QString watchStatusBeforeNote_;
    bool reloadNoteShown_ = false;
    quint64 reloadNote_ = 0;
    // Every switch of hot reload is its own detection: a late answer of an earlier one is dropped.
    quint64 watchDetection_ = 0;

    int titlePollIntervalMs_ = kTitlePollMs;
    int pickPollIntervalMs_ = kPickPollMs;
    int tabSearchDelayMs_ = kTabSearchMs;
};

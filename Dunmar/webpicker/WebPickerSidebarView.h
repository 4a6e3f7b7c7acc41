#pragma once

#include <QColor>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

class ChromeCDPClient;
class Defaults;
class FlippedClipView;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
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

    // Intervals of the title poll and of the retry after a failed channel, shortened by tests.
    void setTitlePollIntervalMs(int ms) { titlePollIntervalMs_ = ms; }
    void setTabSearchDelayMs(int ms) { tabSearchDelayMs_ = ms; }

    static constexpr int kTitlePollMs = 3000;
    static constexpr int kTabSearchMs = 2000;
    static constexpr int kWindowPlacementDelayMs = 400;
    static constexpr int kBrowserWindowWidth = 777;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupUI();
    void layoutContents();
    void styleTealButton(QPushButton* button, bool enabled);
    void setStatusDot(const QColor& color);
    void setStatusLabelTrailing(bool connected);
    void clearPickList();
    void hideSuggestions();
    void hideTabBox();
    void closeREPL();
    void stopHotReload();

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

    int titlePollIntervalMs_ = kTitlePollMs;
    int tabSearchDelayMs_ = kTabSearchMs;
};

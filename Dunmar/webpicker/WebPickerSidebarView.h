#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>

class Defaults;
class PickListModel;
class PickListView;
class QLabel;
class QPushButton;
class ScriptConsole;
class ScriptConsoleView;
class StatusDotView;
class VertCenteredTextField;
class WebPickerConnection;
class WebPickerHotReload;

namespace devtools {
struct ListedPage;
}

// The web element picker's side panel. It binds the picker's parts to their views: the DevTools
// connection (status line and the connect and disconnect buttons), the pick list, the script
// console and hot reload, with the address bar and the tab switcher. Its display states (connected,
// connecting, disconnected) follow the connection.
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
    bool isMoveUpEnabled() const;
    bool isMoveDownEnabled() const;

    // The connection's life, as the controller asks for it.
    void connect();
    void disconnect();
    void softDisconnect();

    WebPickerConnection& connection() { return *connection_; }
    PickListModel& pickList() { return *picks_; }
    ScriptConsole& console() { return *console_; }
    WebPickerHotReload& hotReload() { return *hotReload_; }

    void showDisconnectedState();
    void showConnectingState(const QString& text);
    void showConnectedState(const QString& hostname, bool navigating);
    void refreshLanguage();
    QString statusText() const;
    QColor statusColor() const;

    static constexpr int kPasteDelayMs = 150;
    static constexpr int kMaxTabRows = 8;
    static constexpr int kSuggestionsHideDelayMs = 150;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class WebPickerTestAccess;

    void setupUI();
    void bindConnection();
    void bindPicks();
    void bindHotReload();
    void layoutContents();
    void styleTealButton(QPushButton* button, bool enabled);
    void setStatusLabelTrailing(bool connected);
    void resetPickButton();
    void connectionEnded(const QString& message);

    // The address bar and the tab switcher.
    void navigateURL();
    void addToHistory(const QString& url);
    void updateSuggestions(const QString& query);
    void hideSuggestions();
    void selectSuggestion(const QString& url);
    void toggleTabSwitcher();
    void showTabRows(std::vector<devtools::ListedPage> pages);
    void hideTabBox();
    void selectTab(const QString& webSocketUrl);

    // The watch row of hot reload.
    void selectWatchFolder();
    void showWatchRow(bool folderButton);
    void setWatchRowHeight(int height, int durationMs);
    void openDebugJSON();

    Defaults& defaults_;
    WebPickerConnection* connection_;
    PickListModel* picks_;
    ScriptConsole* console_;
    WebPickerHotReload* hotReload_;

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
    QWidget* watchRow_;
    QPushButton* watchFolderBtn_;
    QLabel* watchStatusLabel_;
    int watchRowH_ = 0;
    QPushButton* replBtn_;
    ScriptConsoleView* consoleView_;
    QWidget* previewSep_;
    PickListView* pickListView_;
    bool statusLabelTrailingConnected_ = false;
    QWidget* suggestBox_;
    int suggestBoxH_ = 0;
};

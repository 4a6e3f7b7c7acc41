#pragma once

// Shared pieces of the terminal view tests: a fixture with a private home directory and settings
// store, a stand-in for the application controller, and readers of what a view shows.

#include "ShellHarness.h"
#include "terminalview/TerminalView.h"
#include "terminalview/TerminalViewHost.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Records what a pane asks of the controller.
class RecordingHost : public TerminalViewHost {
public:
    // Commands are recorded by their action's name; quitting is counted on its own.
    bool perform(Action action) override {
        if (action == Action::quit)
            ++quitRequests;
        else
            calls << QString::fromLatin1(actions::name(action));
        return true;
    }
    void shellSwitched(TerminalView*) override { calls << QStringLiteral("shellSwitched"); }
    void ringBell(TerminalView* view) override { bells.push_back(view); }
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView*) const override {
        return highlights;
    }
    int searchCurrentIndex(const TerminalView*) const override { return currentHighlight; }
    bool isRemoteStreamConnected() const override { return remoteConnected; }
    void sendRemoteOutput(const QString& text) override { remoteText += text; }
    bool isShown(Action toggle) const override {
        return (toggle == Action::toggleGitPanel && gitShown) ||
               (toggle == Action::toggleWebPicker && pickerShown) ||
               (toggle == Action::toggleSSHManager && sshShown);
    }
    bool isSettingsOpen() const override { return settingsOpen; }
    void hideSettings() override {
        calls << QStringLiteral("hideSettings");
        settingsOpen = false;
    }
    bool isCommandPaletteShown() const override { return paletteShown; }
    void dismissCommandPalette() override {
        calls << QStringLiteral("dismissCommandPalette");
        paletteShown = false;
    }
    void handleBorderHover(bool nearEdge) override {
        calls << QStringLiteral("handleBorderHover %1").arg(nearEdge);
    }

    int quitRequests = 0;
    std::vector<TerminalView*> bells;
    std::vector<SearchHighlight> highlights;
    int currentHighlight = -1;
    bool remoteConnected = false;
    QString remoteText;
    QStringList calls; // the controller commands asked for, in order
    bool gitShown = false;
    bool pickerShown = false;
    bool sshShown = false;
    bool settingsOpen = false;
    bool paletteShown = false;
};

class ViewTest : public PtyTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A view with a real shell, as the controller makes one.
    std::unique_ptr<TerminalView> makeView(const QString& shell = QStringLiteral("/bin/bash"),
                                           QSize size = QSize(660, 420), const QString& historyId = {});
    // A view whose "shell" prints nothing and reads its terminal until it hangs up, for tests that
    // feed the engine themselves and look at pixels.
    std::unique_ptr<TerminalView> makeQuietView(QSize size = QSize(660, 420));
    // A view whose "shell" puts its terminal in raw mode, prints "ready" and copies every byte it
    // reads into a file (InputDump reads it), for tests of what keys, mouse and pastes send.
    std::unique_ptr<TerminalView> makeDumpView(QSize size = QSize(660, 420));
    // Feeds bytes to the view's engine as if the shell had printed them, without the read path.
    static void feed(TerminalView& view, const QByteArray& bytes);
    // Shows the view as an active window with the keyboard focus.
    static void showFocused(TerminalView& view);

    RecordingHost host;
    // The host the views made by makeView report to; null for a pane without an owner.
    TerminalViewHost* viewHost = &host;
    QString quietShell;
    QString dumpShell;
    QString dumpPath;
};

// The bytes a dump view's child has read, taken piece by piece.
class InputDump {
public:
    explicit InputDump(QString path) : path_(std::move(path)) {}
    // Waits until `count` bytes beyond those taken arrived (or a few seconds passed) and takes them.
    QByteArray take(qsizetype count, int timeoutMs = 5000);
    // Everything not taken yet: `view` sends a marker byte after it, and what came before the
    // marker is all there is (0xff, which no key, paste or mouse report sends).
    QByteArray rest(TerminalView& view, int timeoutMs = 5000);

private:
    QByteArray readAll() const;
    QString path_;
    qsizetype taken_ = 0;
};

// The bytes as a readable string: printable ASCII as it is, the rest as \xNN.
std::string visible(const QByteArray& bytes);

// The text of grid row y, trailing blanks removed.
QString gridLine(const Terminal& terminal, std::int64_t y);
// All grid rows joined with line feeds.
QString screenText(const Terminal& terminal);
// The text of a scrollback line, trailing blanks removed.
QString scrollbackLine(const Terminal& terminal, std::size_t i);
// Waits until the screen holds `needle`; false after the timeout.
bool waitForScreen(const TerminalView& view, const QString& needle, int timeoutMs = 20000);
// Types a command line into the shell and waits until `marker` appears on the screen.
bool runAndWait(TerminalView& view, const QString& command, const QString& marker, int timeoutMs = 20000);

// The view's pixels at one device pixel per point.
QImage grabImage(TerminalView& view);
// The rectangle of a cell in the view.
QRect cellRect(const TerminalView& view, int row, int col);
// How many pixels of the rectangle are within `tolerance` of the colour in every channel.
int countPixels(const QImage& image, const QRect& rect, QColor color, int tolerance = 12);

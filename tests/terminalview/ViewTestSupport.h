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
    void handleQuitRequest() override { ++quitRequests; }
    void ringBell(TerminalView* view) override { bells.push_back(view); }
    const std::vector<SearchHighlight>& searchHighlights(const TerminalView*) const override {
        return highlights;
    }
    int searchCurrentIndex(const TerminalView*) const override { return currentHighlight; }
    bool isRemoteStreamConnected() const override { return remoteConnected; }
    void sendRemoteOutput(const QString& text) override { remoteText += text; }

    int quitRequests = 0;
    std::vector<TerminalView*> bells;
    std::vector<SearchHighlight> highlights;
    int currentHighlight = -1;
    bool remoteConnected = false;
    QString remoteText;
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
    // Feeds bytes to the view's engine as if the shell had printed them, without the read path.
    static void feed(TerminalView& view, const QByteArray& bytes);
    // Shows the view as an active window with the keyboard focus.
    static void showFocused(TerminalView& view);

    RecordingHost host;
    QString quietShell;
};

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

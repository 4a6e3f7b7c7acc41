#pragma once

#include "terminalview/PaneSettings.h"
#include "terminalview/Utf8StreamDecoder.h"
#include "terminalview/WriteQueue.h"

#include <QByteArrayView>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <sys/types.h>
#include <termios.h>

class QSocketNotifier;

// Where a session finds the home directory (tests point it elsewhere), and the settings its pane
// starts with.
struct PtySessionSettings {
    QString homeDirectory; // empty: the user's home directory
    PaneSettings pane;
};

// Traffic with the shell, for the diagnostics overlay.
struct PtyCounters {
    quint64 readBytes = 0;
    quint64 readCount = 0; // pieces of output
    quint64 writeBytes = 0;
    quint64 writeCount = 0; // calls of write(), empty ones included
};

// The window size record of a pseudo-terminal; every field is 16 bits wide.
struct PtyWindowSize {
    quint16 rows = 24;
    quint16 cols = 80;
    quint16 pixelWidth = 0;
    quint16 pixelHeight = 0;
    bool operator==(const PtyWindowSize&) const = default;
};

// One login shell on a pseudo-terminal, for one terminal pane. Reads its output on the GUI thread
// in bounded slices, queues input that the terminal cannot take yet, reports the window size, and
// hands an ended or replaced shell to the ChildReaper. Main thread only.
class PtySession : public QObject {
    Q_OBJECT
public:
    // tabId names the history file; empty gives a fresh UUID.
    explicit PtySession(const QString& tabId = {}, PtySessionSettings settings = {},
                        QObject* parent = nullptr);
    // Closes the master (the shell sees its terminal hang up) and leaves the child to the reaper.
    ~PtySession() override;

    // What the next shell starts with; a running shell keeps what it started with.
    void setPaneSettings(const PaneSettings& pane);

    // Starts a login shell and begins reading. A shell that is not executable is replaced by the
    // user's login shell. An empty cwd means the home directory. False when no pseudo-terminal or
    // process could be made (the session then stays empty) or a shell is already running.
    bool start(const QString& shellPath, const QString& cwd = {});
    // Replaces the running shell by a new one in the home directory, keeping the history file.
    // The replaced shell gets SIGHUP and produces no end-of-output notification.
    void switchShell(const QString& shellPath);

    // Input for the shell, delivered whole and in order; what the terminal cannot take now waits,
    // and so does everything written before the shell's first output (typing ahead of a slow
    // start).
    void write(QByteArrayView bytes);
    // As UTF-8; a text holding unpaired surrogates is not written at all.
    void write(const QString& text);

    // SIGKILL to the foreground job's process group, unless the shell itself is in the foreground.
    void killForegroundProcess();
    // Kills the foreground job, restores the start attributes and sends Control-L.
    void resetTermiosModes();

    // The size reported to the shell. The first report after a start goes out at once; later ones
    // wait kWindowSizeDebounceMs after the last change, so a burst reaches the shell once. Without
    // a shell the size is kept for the next start. Values are clamped to 0..65535.
    void setWindowSize(int rows, int cols, int pixelWidth, int pixelHeight);

    bool isRunning() const { return masterFd_ >= 0; }
    int masterFd() const { return masterFd_; }
    pid_t childPid() const { return childPid_; }
    QString currentShell() const { return currentShell_; }
    QString tabId() const { return tabId_; }
    QString historyFilePath() const;
    bool shellReady() const { return shellReady_; }
    bool hasUserInput() const { return hasUserInput_; }
    const PtyCounters& counters() const { return counters_; }
    PtyWindowSize windowSize() const { return windowSize_; }
    const termios& savedTermios() const { return savedTermios_; }
    qsizetype pendingInputBytes() const { return writeQueue_.pendingBytes(); }

    // Each piece of output, as read.
    std::function<void(QByteArrayView)> onOutput;
    // The first piece after a start (the view then loads the shell history).
    std::function<void()> onFirstOutput;
    // The output as text, only whole UTF-8 characters; pieces that are not UTF-8 are left out.
    std::function<void(const QString&)> onRemoteOutput;
    // When set, output is decoded for onRemoteOutput only while this answers true (a remote viewer
    // is connected), so that an unwatched flood costs no decoding.
    std::function<bool()> remoteOutputWanted;
    // The shell's output ended (it exited or hung up); called once, on a later event-loop turn,
    // and not when switchShell replaced the shell in between.
    std::function<void()> onOutputEnded;

    // Which pane's output is read first when several have some (see ReadScheduler): higher first.
    // Unset: 0.
    std::function<int()> readPriority;
    int currentReadPriority() const { return readPriority ? readPriority() : 0; }

    // What one pass of the ReadScheduler may still read, over all panes.
    struct ReadBudget {
        QElapsedTimer clock;
        qsizetype bytes = 0;
        bool spent() const;
    };
    enum class ReadResult {
        drained,  // nothing more to read now; the session waits for the next readiness
        moreLeft, // the budget ran out with output still waiting
        stopped,  // the output ended, or the shell or the session went away meanwhile
    };
    // Reads pieces until the terminal is drained or the budget is spent. Called by the scheduler.
    ReadResult readSome(ReadBudget& budget);

    static constexpr qsizetype kReadBufferSize = 32768;
    static constexpr int kWindowSizeDebounceMs = 50;

private:
    bool launch(const QString& shellPath, const QString& cwd);
    void readReady();
    void flushInput();
    void endOfOutput();
    void releaseDescriptor();
    void applyWindowSize();
    QString homeDirectory() const;

    PtySessionSettings settings_;
    QString tabId_;
    QString currentShell_ = QStringLiteral("/bin/zsh");
    int masterFd_ = -1;
    pid_t childPid_ = 0;
    quint64 generation_ = 0; // one per started shell
    bool shellReady_ = false;
    bool hasUserInput_ = false;
    termios savedTermios_{};
    PtyCounters counters_;
    PtyWindowSize windowSize_;
    bool isFirstResize_ = true;
    QTimer windowSizeTimer_;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    WriteQueue writeQueue_;
    Utf8StreamDecoder remoteDecoder_;
};

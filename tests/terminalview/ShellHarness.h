#pragma once

#include "platform/Defaults.h"
#include "support/Waits.h"
#include "terminalview/PtySession.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A temporary home directory (with the configuration folder the program creates at start and an
// empty .zshrc, so zsh skips its first-run wizard) and a settings store inside it. HOME points at
// it while a test runs, so the shells read no start-up files of the machine's user.
class PtyTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    PtySessionSettings settings() { return {home.path(), pane}; }

    QTemporaryDir home;
    std::unique_ptr<Defaults> defaults;
    // What panes and sessions made by the test start with.
    PaneSettings pane;

private:
    QByteArray savedHome_;
    QByteArray savedShell_;
};

// A session with its output collected. Markers are written as `$((6*7))` expressions so the echo of
// the typed command never matches the marker that the shell prints.
class ShellHarness {
public:
    explicit ShellHarness(PtySessionSettings settings, const QString& tabId = {});

    bool start(const QString& shell, const QString& cwd = {});
    // Absolute offset of the next output byte.
    qint64 mark() const { return dropped_ + output_.size(); }
    // Output from an absolute offset (as far as it is still kept).
    QByteArray outputSince(qint64 offset) const;
    // Waits until needle appears after offset; false after timeoutMs.
    bool waitFor(const QByteArray& needle, qint64 offset = 0, int timeoutMs = 20000) const;
    // Runs a command line and returns what it printed, without carriage returns; empty on timeout.
    QByteArray run(const QString& command, int timeoutMs = 20000);
    // Waits until the shell has printed something (its prompt).
    bool waitReady(int timeoutMs = 20000) const;

    PtySession session;
    int endedCount = 0;
    int firstOutputCount = 0;
    QString remoteText;
    QList<QByteArray> pieces; // the first pieces of output, as read (for tests of piece boundaries)
    // Time spent on each piece, standing in for the terminal engine that parses it in the program.
    int costPerPieceMicroseconds = 0;

private:
    QByteArray output_;
    qint64 dropped_ = 0;
};

#include "terminalview/PtySession.h"

#include "terminalview/ChildReaper.h"
#include "terminalview/PtyLaunch.h"
#include "terminalview/ReadScheduler.h"
#include "terminalview/ShellList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QUuid>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {
quint16 clamp16(int value) {
    return quint16(std::clamp(value, 0, 65535));
}

bool hasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) return true;
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}
} // namespace

PtySession::PtySession(const QString& tabId, PtySessionSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)),
      tabId_(tabId.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() : tabId) {
    // The SIGCHLD handler must be in place before the first child can end.
    ChildReaper::shared();
    windowSizeTimer_.setSingleShot(true);
    windowSizeTimer_.setInterval(kWindowSizeDebounceMs);
    connect(&windowSizeTimer_, &QTimer::timeout, this, &PtySession::applyWindowSize);
}

PtySession::~PtySession() {
    const pid_t pid = childPid_;
    releaseDescriptor();
    childPid_ = 0;
    ChildReaper::shared().reap(pid);
}

void PtySession::setPaneSettings(const PaneSettings& pane) {
    settings_.pane = pane;
}

QString PtySession::homeDirectory() const {
    return settings_.homeDirectory.isEmpty() ? QDir::homePath() : settings_.homeDirectory;
}

QString PtySession::historyFilePath() const {
    return historyFileFor(homeDirectory(), tabId_);
}

bool PtySession::start(const QString& shellPath, const QString& cwd) {
    if (masterFd_ >= 0) return false;
    return launch(shellPath, cwd);
}

bool PtySession::launch(const QString& shellPath, const QString& cwd) {
    PtyLaunchOptions options;
    options.shellPath = chooseShell(shellPath);
    options.workingDirectory = cwd;
    options.homeDirectory = homeDirectory();
    options.tabId = tabId_;
    options.syntaxHighlighting = settings_.pane.syntaxHighlighting;
    options.promptTheme = settings_.pane.promptTheme;
    currentShell_ = options.shellPath;

    const PtyLaunchPlan plan = makeLaunchPlan(options, currentEnvironment());
    const termios attributes = initialTermios();
    winsize size{};
    size.ws_row = windowSize_.rows;
    size.ws_col = windowSize_.cols;
    size.ws_xpixel = windowSize_.pixelWidth;
    size.ws_ypixel = windowSize_.pixelHeight;

    ++generation_;
    shellReady_ = false;
    remoteDecoder_.reset();
    const PtyChild child = spawnOnPty(plan, attributes, size);
    if (child.masterFd < 0) {
        masterFd_ = -1;
        childPid_ = 0;
        return false;
    }
    masterFd_ = child.masterFd;
    childPid_ = child.pid;
    savedTermios_ = attributes;

    readNotifier_ = new QSocketNotifier(masterFd_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &PtySession::readReady);
    writeNotifier_ = new QSocketNotifier(masterFd_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &PtySession::flushInput);
    return true;
}

bool PtySession::ReadBudget::spent() const {
    return bytes >= ReadScheduler::kBudgetBytes || clock.elapsed() >= ReadScheduler::kBudgetMs;
}

void PtySession::readReady() {
    // The notifier stays quiet while the session waits in the scheduler's queue; reading until
    // the terminal is drained arms it again.
    if (readNotifier_) readNotifier_->setEnabled(false);
    ReadScheduler::shared().enqueue(this);
}

PtySession::ReadResult PtySession::readSome(ReadBudget& budget) {
    if (masterFd_ < 0) return ReadResult::stopped;
    // A callback may replace the shell or delete the session; stop touching it when that happens.
    const QPointer<PtySession> self(this);
    const quint64 generation = generation_;
    const auto stillCurrent = [&] { return self && generation_ == generation; };

    char buffer[kReadBufferSize];
    for (;;) {
        const ssize_t n = ::read(masterFd_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (readNotifier_) readNotifier_->setEnabled(true);
            return ReadResult::drained;
        }
        if (n <= 0) {
            // End of file, or EIO once the last holder of the terminal's other side has gone.
            endOfOutput();
            return ReadResult::stopped;
        }
        const QByteArrayView piece(buffer, n);
        counters_.readBytes += quint64(n);
        counters_.readCount += 1;
        if (!shellReady_) {
            shellReady_ = true;
            if (onFirstOutput) onFirstOutput();
            if (!stillCurrent()) return ReadResult::stopped;
            // What was typed while the shell started goes out now, in order.
            flushInput();
        }
        if (onRemoteOutput && (!remoteOutputWanted || remoteOutputWanted())) {
            const std::optional<QString> text = remoteDecoder_.decode(piece);
            if (text && !text->isEmpty()) onRemoteOutput(*text);
            if (!stillCurrent()) return ReadResult::stopped;
        } else {
            remoteDecoder_.reset();
        }
        if (onOutput) onOutput(piece);
        if (!stillCurrent()) return ReadResult::stopped;

        // The rest waits for the next pass, so that a flood (`yes`) in any number of panes cannot
        // starve painting, timers and input.
        budget.bytes += n;
        if (budget.spent()) return ReadResult::moreLeft;
    }
}

void PtySession::endOfOutput() {
    ::tcflush(masterFd_, TCIFLUSH);
    const pid_t pid = childPid_;
    releaseDescriptor();
    childPid_ = 0;
    ChildReaper::shared().reap(pid);
    const quint64 generation = generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation != generation_ || !onOutputEnded) return;
        // The owner often closes the pane here, deleting this session and the callback with it.
        const std::function<void()> callback = onOutputEnded;
        callback();
    });
}

void PtySession::releaseDescriptor() {
    windowSizeTimer_.stop();
    // This may run inside the read notifier's own signal (end of output, or a callback that switches
    // the shell), so the notifiers are silenced now and deleted once control is back in the loop.
    for (QSocketNotifier* notifier : {readNotifier_, writeNotifier_}) {
        if (!notifier) continue;
        notifier->setEnabled(false);
        notifier->deleteLater();
    }
    readNotifier_ = nullptr;
    writeNotifier_ = nullptr;
    if (masterFd_ >= 0) ::close(masterFd_);
    masterFd_ = -1;
    writeQueue_.clear();
}

void PtySession::switchShell(const QString& shellPath) {
    const pid_t previous = childPid_;
    releaseDescriptor();
    childPid_ = 0;
    if (previous > 0) {
        ::kill(previous, SIGHUP);
        ChildReaper::shared().reap(previous);
    }
    launch(shellPath, QString());
}

void PtySession::write(QByteArrayView bytes) {
    if (masterFd_ < 0) return;
    hasUserInput_ = true;
    counters_.writeBytes += quint64(bytes.size());
    counters_.writeCount += 1;
    if (bytes.isEmpty()) return;
    writeQueue_.append(bytes);
    // Until the shell's first output the input waits: the shell has not set up its line editor
    // yet, and the terminal would echo the keys once more before the prompt. While the notifier
    // waits for room, earlier bytes are queued; writing now would reorder.
    if (shellReady_ && !writeNotifier_->isEnabled()) flushInput();
}

void PtySession::write(const QString& text) {
    if (hasUnpairedSurrogate(text)) return;
    write(QByteArrayView(text.toUtf8()));
}

void PtySession::flushInput() {
    if (masterFd_ < 0) return;
    const WriteQueue::Result result = writeQueue_.flush(masterFd_);
    // A failure means the shell's side is gone; the read side reports the end.
    writeNotifier_->setEnabled(result == WriteQueue::Result::WouldBlock);
}

void PtySession::killForegroundProcess() {
    if (masterFd_ < 0) return;
    const pid_t foreground = ::tcgetpgrp(masterFd_);
    const pid_t shellGroup = ::getpgid(childPid_);
    if (foreground >= 1 && foreground != shellGroup) ::killpg(foreground, SIGKILL);
}

void PtySession::resetTermiosModes() {
    if (masterFd_ < 0) return;
    killForegroundProcess();
    ::tcsetattr(masterFd_, TCSANOW, &savedTermios_);
    write(QByteArrayView("\x0c", 1));
}

void PtySession::setWindowSize(int rows, int cols, int pixelWidth, int pixelHeight) {
    windowSize_ = {clamp16(rows), clamp16(cols), clamp16(pixelWidth), clamp16(pixelHeight)};
    if (masterFd_ < 0) return;
    if (isFirstResize_) {
        // The shell starts drawing at once; give it the real size without delay.
        isFirstResize_ = false;
        applyWindowSize();
        return;
    }
    windowSizeTimer_.start();
}

void PtySession::applyWindowSize() {
    if (masterFd_ < 0) return;
    winsize size{};
    size.ws_row = windowSize_.rows;
    size.ws_col = windowSize_.cols;
    size.ws_xpixel = windowSize_.pixelWidth;
    size.ws_ypixel = windowSize_.pixelHeight;
    ::ioctl(masterFd_, TIOCSWINSZ, &size);
}

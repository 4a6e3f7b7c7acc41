#include "ShellHarness.h"

#include "terminalview/ChildReaper.h"

#include <QElapsedTimer>
#include <QTest>

void PtyTest::SetUp() {
    ASSERT_TRUE(home.isValid());
    QFile zshrc(home.filePath(".zshrc"));
    ASSERT_TRUE(zshrc.open(QIODevice::WriteOnly));
    zshrc.close();
    defaults = std::make_unique<Defaults>(home.filePath("defaults.json"));
    savedHome_ = qgetenv("HOME");
    savedShell_ = qgetenv("SHELL");
    qputenv("HOME", QFile::encodeName(home.path()));
    // Inherited by the children; the settings alone decide it.
    qunsetenv("PK_SYNTAX_HL");
}

void PtyTest::TearDown() {
    // Shells of finished tests are still hanging up; collect them before the process exits.
    EXPECT_TRUE(QTest::qWaitFor([] { return ChildReaper::shared().watchedCount() == 0; }, 10000))
        << "a shell did not end after its terminal hung up";
    qputenv("HOME", savedHome_);
    if (savedShell_.isNull())
        qunsetenv("SHELL");
    else
        qputenv("SHELL", savedShell_);
}

ShellHarness::ShellHarness(PtySessionSettings settings, const QString& tabId) : session(tabId, settings) {
    session.onOutput = [this](QByteArrayView piece) {
        if (costPerPieceMicroseconds > 0) {
            QElapsedTimer busy;
            busy.start();
            while (busy.nsecsElapsed() < costPerPieceMicroseconds * 1000LL) {
            }
        }
        if (pieces.size() < 1000) pieces.append(piece.toByteArray());
        output_.append(piece.data(), piece.size());
        // A flood (`yes`) must not grow without bound; markers are searched near the end.
        constexpr qsizetype kKeep = 1 << 20;
        if (output_.size() > 4 * kKeep) {
            const qsizetype drop = output_.size() - kKeep;
            output_.remove(0, drop);
            dropped_ += drop;
        }
    };
    session.onFirstOutput = [this] { ++firstOutputCount; };
    session.onRemoteOutput = [this](const QString& text) { remoteText += text; };
    session.onOutputEnded = [this] { ++endedCount; };
}

bool ShellHarness::start(const QString& shell, const QString& cwd) {
    return session.start(shell, cwd);
}

QByteArray ShellHarness::outputSince(qint64 offset) const {
    const qint64 from = std::max<qint64>(0, offset - dropped_);
    return output_.mid(from);
}

bool ShellHarness::waitFor(const QByteArray& needle, qint64 offset, int timeoutMs) const {
    return QTest::qWaitFor([&] { return outputSince(offset).contains(needle); }, timeoutMs);
}

bool ShellHarness::waitReady(int timeoutMs) const {
    return QTest::qWaitFor([&] { return session.counters().readBytes > 0; }, timeoutMs);
}

QByteArray ShellHarness::run(const QString& command, int timeoutMs) {
    const qint64 from = mark();
    session.write(QStringLiteral("echo __BEGIN__$((6*7)); %1; echo __END__$((6*7))\r").arg(command));
    if (!waitFor("__END__42", from, timeoutMs)) return {};
    QByteArray out = outputSince(from);
    const qsizetype begin = out.indexOf("__BEGIN__42");
    const qsizetype end = out.indexOf("__END__42", begin);
    if (begin < 0 || end < 0) return {};
    const qsizetype lineStart = out.indexOf('\n', begin);
    if (lineStart < 0 || lineStart > end) return {};
    out = out.mid(lineStart + 1, end - lineStart - 1);
    out.replace("\r", "");
    return out;
}

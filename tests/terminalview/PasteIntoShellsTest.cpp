// Hostile clipboard contents pasted into real shells, with and without bracketed paste: none of
// them gets a line editor or the terminal to act on a control character, so no marker file appears
// and the window keeps its title.
#include "ViewTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

struct ShellCase {
    const char* name;
    QString shell;
    QString setup; // typed before the pastes
    bool bracketed;
};

// Each runs `touch %1` only if a control character in it is acted on; %1 is the marker's path.
const char* const kPayloads[] = {
    "#\x15touch %1\r",           // Control-U kills the commented line
    "#\x03touch %1\r",           // Control-C abandons it
    ": #\x01touch %1;\r",        // Control-A goes to the start of the line
    "#\x7ftouch %1\r",           // DEL erases the "#"
    "#\x08touch %1\r",           // and so does Control-H in a line editor
    "#\x17touch %1\r",           // Control-W erases the word
    "# \x1b[201~\x15touch %1\r", // a forged end of the bracketed paste
    "#\x1bqtouch %1\r",          // ESC q pushes the line away in zsh
    "#\xc2\x9b" "201~\x15touch %1\r", // the same with the one-character CSI
};
// These would retitle the window "pwned..." if the command ran with its ESC or C1 control intact.
const char* const kTitlePayloads[] = {
    "echo '\x1b]0;pwned%1\x07'\r",
    "echo '\xc2\x9d" "0;pwned%1\xc2\x9c'\r",
};

} // namespace

TEST_F(ViewTest, HostilePastesIntoRealShellsRunNothingOfTheirOwn) {
    const ShellCase shells[] = {
        {"sh", "/bin/sh", "", false},
        {"zsh", "/usr/bin/zsh", "bindkey -e; unset zle_bracketed_paste", false},
        {"zsh bracketed", "/usr/bin/zsh", "bindkey -e; PS1='P> '", true},
        {"bash bracketed", "/bin/bash", "PS1='P> '", true},
    };
    int syncs = 0;
    // Waits until the shell has run everything typed before; the echo of the typed line never
    // matches what it prints.
    const auto sync = [&](TerminalView& view) {
        ++syncs;
        return runAndWait(view, QStringLiteral("echo $((6*7))sync%1").arg(syncs),
                          QStringLiteral("42sync%1").arg(syncs));
    };
    int n = 0;
    for (const ShellCase& shell : shells) {
        SCOPED_TRACE(shell.name);
        auto view = makeView(shell.shell);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->shellReady(); }, 20000));
        if (!shell.setup.isEmpty()) view->writePTY(shell.setup + QLatin1Char('\r'));
        ASSERT_TRUE(sync(*view));
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->terminal().mode(Mode::bracketedPaste) == shell.bracketed; },
                                    5000))
            << "the shell has bracketed paste " << (shell.bracketed ? "on" : "off");
        // `shown` is a piece of the text that the line editor shows once it has the paste.
        const auto pasteAndSettle = [&](const QString& text, const QString& shown) {
            view->pasteText(text);
            if (shell.bracketed) {
                if (!waitForScreen(*view, shown)) return false;
                // A bracketed paste waits in the line editor: abandon it unrun, and type on once
                // the new prompt shows (the shell drops what was typed ahead of it).
                view->writePTY(QByteArrayView("\x03", 1));
                const Terminal& t = view->terminal();
                if (!QTest::qWaitFor([&] { return gridLine(t, t.cursorY()) == "P>" && t.cursorX() == 3; },
                                     20000))
                    return false;
            }
            return sync(*view);
        };
        for (const char* payload : kPayloads) {
            const QString marker = home.filePath(QStringLiteral("marker%1x").arg(++n));
            const QString text = QString::fromUtf8(payload).arg(marker);
            ASSERT_TRUE(pasteAndSettle(text, QFileInfo(marker).fileName())) << visible(text.toUtf8()) << "\n" << screenText(view->terminal()).toStdString();
            EXPECT_FALSE(QFile::exists(marker)) << visible(text.toUtf8());
        }
        for (const char* payload : kTitlePayloads) {
            const QString shown = QStringLiteral("pwned%1x").arg(++n);
            ASSERT_TRUE(pasteAndSettle(QString::fromUtf8(payload).arg(QStringLiteral("%1x").arg(n)), shown))
                << visible(payload);
            EXPECT_FALSE(QString::fromStdString(view->terminal().currentTitle()).startsWith("pwned"))
                << visible(payload);
        }
    }
}

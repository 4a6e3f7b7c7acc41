// A real shell in a background pane asks a numbered question and rings; the preview answers it.
#include "BellTestSupport.h"
#include "bell/BellPreviewPanel.h"
#include "chrome/ChromeTestSupport.h"
#include "terminalview/ChildReaper.h"
#include "terminalview/PtySession.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace belltest;

namespace {

// A terminal pane as the program builds one: a shell on a pseudo-terminal feeding a Terminal,
// whose bell goes to the bell manager.
class ShellPane : public QObject, public BellPane {
public:
    ShellPane(BellManager& bell, const PtySessionSettings& settings)
        : session(QStringLiteral("shell-pane"), settings) {
        session.onOutput = [this](QByteArrayView bytes) {
            terminal.process(std::string_view(bytes.data(), std::size_t(bytes.size())));
        };
        terminal.onResponse = [this](const std::string& reply) { session.write(QByteArrayView(reply)); };
        terminal.onBell = [this, &bell] { bell.ringQueued(this); };
        session.setWindowSize(int(terminal.rows()), int(terminal.cols()), 0, 0);
    }

    QObject* bellPaneObject() override { return this; }
    QString bellPaneId() const override { return session.tabId(); }
    QStringList lastScreenLines(int count) const override { return extractLastLines(terminal, count); }
    bool applicationCursorMode() const override { return terminal.mode(Mode::appCursor); }
    void writeToShell(const QByteArray& bytes) override { session.write(QByteArrayView(bytes)); }

    bool screenContains(const QString& text) const {
        return extractLastLines(terminal, int(terminal.rows())).join('\n').contains(text);
    }

    Terminal terminal{80, 24};
    PtySession session;
};


} // namespace

TEST_F(BellTest, AShellInABackgroundTabIsAnsweredFromThePreview) {
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    const QString script = qEnvironmentVariable("DUNMAR_SOURCE_DIR") + "/tests/fixtures/bell/menu.sh";
    ASSERT_TRUE(QFile::exists(script)) << script.toStdString();

    QWidget window;
    window.resize(860, 480);
    window.show();
    ScreenPane onShow("on-show");
    {
        ShellPane shell(*bell, {dir.path(), {}});
        host.content = &window;
        host.tabs = {{&onShow, nullptr, {}, false}, {&shell, nullptr, "installer", false}};
        host.activeTab = 0;

        ASSERT_TRUE(shell.session.start("/bin/bash"));
        shell.session.write(QStringLiteral("bash '%1'\r").arg(script));

        ASSERT_TRUE(QTest::qWaitFor([&] { return bell->previews().panel() != nullptr; }, 20000))
            << "no preview; the screen reads:\n"
            << shell.lastScreenLines(24).join('\n').toStdString();
        chrometest::finishAnimations(&window);
        BellPreviewPanel& panel = *bell->previews().panel();
        EXPECT_EQ(panel.titleText(), "● installer");
        EXPECT_EQ(panel.options(), (std::vector<BellOption>{{1, "yes"}, {2, "no"}}));
        EXPECT_EQ(panel.selectedIndex(), 0);
        EXPECT_TRUE(host.tabs[1].bellMark);

        const quint64 writtenBefore = shell.session.counters().writeBytes;
        QTest::keyClick(panel.inputField(), Qt::Key_Down);
        EXPECT_EQ(panel.selectedIndex(), 1);
        QTest::keyClick(panel.inputField(), Qt::Key_Return);
        (void)QTest::qWaitFor([&] { return shell.session.counters().writeBytes >= writtenBefore + 4; }, 5000);
        EXPECT_EQ(shell.session.counters().writeBytes, writtenBefore + 4)
            << "ESC [ B and the carriage return";

        EXPECT_TRUE(QTest::qWaitFor([&] { return shell.screenContains("answer: no"); }, 20000))
            << "the screen reads:\n"
            << shell.lastScreenLines(24).join('\n').toStdString();
        EXPECT_TRUE(onShow.written.isEmpty());
        chrometest::finishAnimations(&window);
        EXPECT_EQ(bell->previews().panel(), nullptr);
    }
    EXPECT_TRUE(QTest::qWaitFor([] { return ChildReaper::shared().watchedCount() == 0; }, 10000));
    qputenv("HOME", savedHome);
}

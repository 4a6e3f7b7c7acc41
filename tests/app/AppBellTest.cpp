// The bell through the whole program: a shell in a background tab asks a numbered question and
// rings; the tab is marked, the preview opens under the header, and the answer chosen there reaches
// that tab's shell while the tab on show receives nothing.
#include "AppTestSupport.h"
#include "bell/BellPreviewItem.h"
#include "bell/BellPreviewPanel.h"
#include "bell/BellPreviewQueue.h"
#include "terminalview/TerminalView.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace apptest;

namespace {

QString screenOf(const TerminalView* view) {
    return extractLastLines(view->terminal(), int(view->terminal().rows())).join('\n');
}

class AppBell : public AppTest {};

} // namespace

TEST_F(AppBell, ABackgroundTabIsMarkedAndAnsweredFromThePreview) {
    const QString script = qEnvironmentVariable("DUNMAR_SOURCE_DIR") + "/tests/fixtures/bell/menu.sh";
    ASSERT_TRUE(QFile::exists(script)) << script.toStdString();

    launch();
    app->workspace().addTab();
    settle();
    ASSERT_EQ(app->workspace().tabs().count(), 2);
    app->workspace().renameTab(1, QStringLiteral("installer"));
    ASSERT_TRUE(waitForShell(view(0)));
    ASSERT_TRUE(waitForShell(view(1)));
    app->workspace().switchToTab(0);
    settle();

    const quint64 onShowWritten = view(0)->session().counters().writeBytes;
    view(1)->writePTY(QStringLiteral("bash '%1'\r").arg(script));

    ASSERT_TRUE(QTest::qWaitFor([&] { return bell->previews().panel() != nullptr; }, 20000))
        << "no preview; the background tab reads:\n"
        << screenOf(view(1)).toStdString();
    EXPECT_TRUE(tab(1).hasBell);
    EXPECT_FALSE(tab(0).hasBell);
    settle();

    BellPreviewPanel& panel = *bell->previews().panel();
    EXPECT_TRUE(panel.titleText().contains(QStringLiteral("installer")));
    EXPECT_EQ(panel.options(), (std::vector<BellOption>{{1, "yes"}, {2, "no"}}));
    QTest::keyClick(panel.inputField(), Qt::Key_Down);
    QTest::keyClick(panel.inputField(), Qt::Key_Return);

    EXPECT_TRUE(QTest::qWaitFor([&] { return screenOf(view(1)).contains(QStringLiteral("answer: no")); }, 20000))
        << "the background tab reads:\n"
        << screenOf(view(1)).toStdString();
    EXPECT_EQ(view(0)->session().counters().writeBytes, onShowWritten) << "the tab on show got input";
    EXPECT_EQ(app->workspace().activeTab(), 0) << "answering switched the tab";
}

TEST_F(AppBell, TheBellNamesATabAsTheStripShowsIt) {
    launch();
    app->workspace().createTab(QStringLiteral("/bin/bash"), folder("work"));
    settle();
    ASSERT_TRUE(waitForCwd(view(1), folder("work")));
    app->workspace().updateHeaderTabs();
    const QString shown = stripTitles().value(1);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(BellPreviewQueue::tabName(*app, 1), shown) << "not \"Tab 2\"";
    app->workspace().renameTab(1, QStringLiteral("build"));
    EXPECT_EQ(BellPreviewQueue::tabName(*app, 1), QStringLiteral("build"));
}

// Renders the bell preview under a real header over a window-like backdrop and saves the pictures
// in the build folder's "artifacts", for a person to look at. It only checks that the pictures were
// written: "Artifact" in its name gives it the CTest label `artifacts`.
#include "BellTestSupport.h"
#include "bell/BellPreviewPanel.h"
#include "chrome/ChromeStyle.h"
#include "chrome/ChromeTestSupport.h"
#include "chrome/HeaderBarView.h"
#include "chrome/ScreenshotBackdrop.h"
#include "support/Artifacts.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

using namespace belltest;

TEST_F(BellTest, ArtifactScreenshotOfThePreviewPanel) {
    chrometest::ScreenshotBackdrop window(
        {QStringLiteral("~/src/dunmar on main"), QStringLiteral("$ cmake --build build -j4"),
         QStringLiteral("[212/212] Linking CXX executable Dunmar"),
         QStringLiteral("$ ctest --test-dir build -j4"),
         QStringLiteral("100% tests passed, 0 tests failed out of 412"), QStringLiteral("$ _")},
        HeaderBarView::barHeight);
    window.resize(860, 330);
    auto* header = new HeaderBarView(&window);
    header->setGeometry(0, 0, 860, HeaderBarView::barHeight);
    window.show();

    ScreenPane shown("shown");
    ScreenPane agent("agent");
    agent.show("Edit file src/main.cpp\r\n"
               "Do you want to make this edit to main.cpp?\r\n"
               "\xe2\x9d\xaf 1. Yes\r\n"
               "  2. Yes, and don't ask again this session\r\n"
               "  3. No, and tell the assistant what to do differently\r\n");
    host.tabs = {{&shown, nullptr, {}, false}, {&agent, nullptr, "assistant", false}};
    host.activeTab = 0;
    host.content = &window;
    host.previewTop = HeaderBarView::barHeight;

    bell->ring(&agent);
    ASSERT_NE(bell->previews().panel(), nullptr);
    header->updateTabs(2, 0, {QStringLiteral("~/src/dunmar"), QStringLiteral("assistant")},
                       {QColor(90, 160, 255), QColor(255, 170, 90)}, {false, true});
    window.textTop = HeaderBarView::barHeight + bell->previews().panelHeight();
    chrometest::finishAnimations(&window);
    BellPreviewPanel* panel = bell->previews().panel();
    QTest::keyClick(panel->inputField(), Qt::Key_Down);
    chrometest::finishAnimations(&window);

    const QImage image = testsupport::snapshot(&window);
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(testsupport::artifactsDir() + QStringLiteral("/bell-preview.png")));

    // The panel without choices: the last lines and a free reply.
    ScreenPane plain("plain");
    plain.show("$ git push\r\nUsername for 'https://example.com': ");
    host.tabs.push_back({&plain, nullptr, {}, false});
    bell->dismissPreview();
    chrometest::finishAnimations(&window);
    chrometest::flushDeletes();
    now += std::chrono::seconds(1);
    bell->ring(&plain);
    ASSERT_NE(bell->previews().panel(), nullptr);
    header->updateTabs(
        3, 0, {QStringLiteral("~/src/dunmar"), QStringLiteral("assistant"), QStringLiteral("~")},
        {QColor(90, 160, 255), QColor(255, 170, 90), QColor(120, 220, 150)}, {false, false, true});
    window.textTop = HeaderBarView::barHeight + bell->previews().panelHeight();
    QTest::keyClicks(bell->previews().panel()->inputField(), "octocat");
    chrometest::finishAnimations(&window);
    EXPECT_TRUE(testsupport::snapshot(&window).save(testsupport::artifactsDir() +
                                                    QStringLiteral("/bell-preview-lines.png")));
}

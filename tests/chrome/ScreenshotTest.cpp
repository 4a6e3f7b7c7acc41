// Renders the header and the footer over a window-like backdrop and saves the pictures in the build
// folder's "artifacts", for a person to look at. It only checks that the pictures were written:
// "Artifact" in its name gives it the CTest label `artifacts`.
#include "ChromeTestSupport.h"
#include "ScreenshotBackdrop.h"
#include "chrome/ChromeStyle.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/UnsavedAlertView.h"
#include "support/Artifacts.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

TEST(ArtifactScreenshots, HeaderWithThreeTabsAndFooter) {
    chrometest::ScreenshotBackdrop window(
        {QStringLiteral("~/src/dunmar on main"), QStringLiteral("$ cmake --build build -j4"),
         QStringLiteral("[47/47] Linking CXX executable Dunmar"), QStringLiteral("$ _")},
        HeaderBarView::barHeight);
    window.resize(1000, 260);
    auto* header = new HeaderBarView(&window);
    header->setGeometry(0, 0, 1000, HeaderBarView::barHeight);
    auto* footer = new FooterBarView(&window);
    footer->setGeometry(0, 260 - FooterBarView::barHeight, 1000, FooterBarView::barHeight);
    window.show();

    header->updateTabs(
        3, 1, {QStringLiteral("zsh — ~/src/dunmar"), QStringLiteral("build"), QStringLiteral("notes.md")},
        {QColor(90, 160, 255), QColor(120, 220, 150), QColor(255, 170, 90)}, {false, false, true});
    header->setGitActive(true);
    header->setSplitActive(true, true);
    footer->update(QStringLiteral("/bin/zsh"), 1);
    chrometest::finishAnimations(&window);

    const QImage top = testsupport::snapshot(&window, header->geometry());
    const QImage bottom = testsupport::snapshot(&window, footer->geometry());
    ASSERT_FALSE(top.isNull());
    ASSERT_FALSE(bottom.isNull());
    const QString dir = testsupport::artifactsDir();
    EXPECT_TRUE(top.save(dir + QStringLiteral("/chrome-header.png")));
    EXPECT_TRUE(bottom.save(dir + QStringLiteral("/chrome-footer.png")));

    // The whole window with an editor tab and the alert over it.
    header->setFileButtonsVisible(true);
    header->setPreviewButtonVisible(true);
    footer->setEditorMode(true);
    footer->setActiveEditorMode(EditorInputMode::vim);
    window.resize(1000, 420);
    footer->setGeometry(0, 420 - FooterBarView::barHeight, 1000, FooterBarView::barHeight);
    UnsavedAlertView::show(&window, QStringLiteral("Unsaved Changes"),
                           QStringLiteral("Save changes before closing?"), QStringLiteral("Save"),
                           QStringLiteral("Discard"), QStringLiteral("Cancel"), {}, {}, {});
    chrometest::finishAnimations(&window);
    EXPECT_TRUE(
        testsupport::snapshot(&window, window.rect()).save(dir + QStringLiteral("/chrome-editor-alert.png")));
}

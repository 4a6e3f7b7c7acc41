// Renders the header and the footer over a window-like backdrop and saves the pictures in the build
// folder's "artifacts", for a person to look at.
#include "support/Artifacts.h"
#include "ChromeTestSupport.h"
#include "chrome/ChromeStyle.h"
#include "chrome/FooterBarView.h"
#include "chrome/HeaderBarView.h"
#include "chrome/UnsavedAlertView.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

// Stands in for the translucent window: a dark, slightly tinted blur of a desktop.
class Backdrop : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QLinearGradient g(0, 0, width(), height());
        g.setColorAt(0, QColor(24, 26, 38));
        g.setColorAt(0.55, QColor(30, 24, 44));
        g.setColorAt(1, QColor(18, 30, 40));
        p.fillRect(rect(), g);
        QRadialGradient glow(QPointF(width() * 0.25, 0), width() * 0.5);
        glow.setColorAt(0, QColor(70, 90, 160, 70));
        glow.setColorAt(1, QColor(70, 90, 160, 0));
        p.fillRect(rect(), glow);
        p.setPen(QColor(200, 205, 215));
        p.setFont(chrome::monoFont(12));
        const char* lines[] = {"~/src/dunmar on main", "$ cmake --build build -j4",
                               "[47/47] Linking CXX executable Dunmar", "$ _"};
        int y = HeaderBarView::barHeight + 24;
        for (const char* line : lines) {
            p.drawText(16, y, QString::fromUtf8(line));
            y += 18;
        }
    }
};

} // namespace

TEST(Screenshots, HeaderWithThreeTabsAndFooter) {
    Backdrop window;
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
    EXPECT_TRUE(testsupport::snapshot(&window, window.rect()).save(dir + QStringLiteral("/chrome-editor-alert.png")));
}

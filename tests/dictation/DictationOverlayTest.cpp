// The live overlay: where it goes, what it says, and that it never takes the keyboard.
#include "dictation/DictationOverlay.h"

#include "platform/Defaults.h"
#include "support/Artifacts.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(DictationOverlay, PlacementUnderTheWindowOrNearTheScreenBottom) {
    // A 1440x900 screen whose visible area stops 30 above its bottom (a panel).
    const QRect visible(0, 0, 1440, 870);
    const QSize panel(320, 48);
    struct Case {
        const char* name;
        std::optional<QRect> window;
        std::optional<QRect> visible;
        std::optional<QPoint> at;
    };
    const std::vector<Case> cases = {
        {"centred 8 below the window", QRect(400, 100, 640, 400), visible, QPoint(560, 508)},
        {"window reaching the screen bottom: 4 above the visible bottom", QRect(400, 300, 640, 560), visible,
         QPoint(560, 818)},
        {"window at the left edge: partly off screen", QRect(-200, 100, 300, 200), visible,
         QPoint(-210, 308)},
        {"no window: 60 above the visible bottom", std::nullopt, visible, QPoint(560, 762)},
        {"no window and no screen", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DictationOverlay::placement(c.window, c.visible, panel, 900), c.at);
    }
}

class OverlayTest : public testing::Test {
protected:
    QTemporaryDir dir;
    Defaults defaults{dir.filePath(QStringLiteral("defaults.json"))};
    DictationOverlay overlay{defaults};
};

TEST_F(OverlayTest, ShowsListeningForEmptyTextAndCutsLongTextAtItsEnd) {
    overlay.hide(); // nothing built yet: nothing happens
    EXPECT_EQ(overlay.panel(), nullptr);

    QWidget window;
    window.setGeometry(200, 100, 800, 400);
    window.show();
    overlay.show(QString(), &window);
    ASSERT_NE(overlay.panel(), nullptr);
    EXPECT_EQ(overlay.label()->text(), QStringLiteral("Listening\u2026"));
    EXPECT_EQ(overlay.panel()->size(), QSize(320, 48));
    EXPECT_TRUE(overlay.panel()->isVisible());
    EXPECT_EQ(overlay.panel()->x(), window.frameGeometry().center().x() + 1 - 160);
    // It never takes the keyboard from the pane that will receive the text.
    EXPECT_TRUE(overlay.panel()->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(overlay.panel()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_NE(QApplication::activeWindow(), overlay.panel());

    const QString longText =
        QStringLiteral("list all files in the current folder sorted by size and then by name please");
    overlay.show(longText, &window);
    const QString shown = overlay.label()->text();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("\u2026")));
    EXPECT_TRUE(longText.startsWith(shown.chopped(1)));
    EXPECT_LE(overlay.label()->fontMetrics().horizontalAdvance(shown), 296);
    testsupport::snapshot(overlay.panel())
        .save(testsupport::artifactsDir() + QStringLiteral("/dictation-overlay.png"));

    // Switched off while shown: it stays until hidden and then is not shown again.
    defaults.setValue(QStringLiteral("dictationShowOverlay"), false);
    overlay.show(QStringLiteral("more"), &window);
    EXPECT_TRUE(overlay.panel()->isVisible());
    EXPECT_EQ(overlay.label()->text(), shown);
    overlay.hide();
    EXPECT_FALSE(overlay.panel()->isVisible());
    overlay.show(QStringLiteral("more"), &window);
    EXPECT_FALSE(overlay.panel()->isVisible());
}

} // namespace

// Renders the open settings panel over a window-like backdrop and saves the pictures in the build
// folder's "artifacts", for a person to look at.
#include "SettingsTestSupport.h"
#include "chrome/ChromeStyle.h"
#include "chrome/ScreenshotBackdrop.h"
#include "settings/ColorThemeRow.h"
#include "settings/SettingsRowView.h"
#include "support/Artifacts.h"

#include <QDir>
#include <QImage>
#include <QPainter>

using namespace settingstest;
using namespace chrometest;

namespace {

// The terminal behind the panel: a listing, long enough to fill any backdrop.
QStringList listing() {
    QStringList lines;
    for (int i = 0; i < 80; ++i)
        lines << (i % 3 ? QStringLiteral("$ ls -la ~/src/dunmar") : QStringLiteral("drwxr-xr-x  dunmar"));
    return lines;
}

} // namespace

TEST(Screenshots, SettingsPanel) {
    SettingsEnvironment env;
    env.defaults->setValue("appLanguage", QStringLiteral("en"));
    env.defaults->setValue("terminalFontSize", 13.0);
    env.defaults->setValue("promptTheme", QStringLiteral("cyberpunk"));
    env.defaults->setValue("autoDim", true);
    FakeHost host;
    host.token = true;

    // The whole column, tall enough to show every row.
    ScreenshotBackdrop tall(listing());
    auto* panel = new SettingsOverlay(*env.defaults, &host, &tall);
    const int fullHeight = SettingsOverlay::headerH + panel->contentDoc()->height();
    tall.resize(560, fullHeight + 8);
    panel->setGeometry(0, 0, 560, fullHeight);
    tall.show();
    // One row under the pointer, to show the hover look.
    QWidget* hovered = rowNamed(*panel, "slider:terminalFontSize");
    enter(hovered);
    finishAnimations(&tall);
    const QImage full = panel->grab().toImage();
    ASSERT_FALSE(full.isNull());
    EXPECT_TRUE(testsupport::snapshot(&tall).save(testsupport::artifactsDir() +
                                                  QStringLiteral("/settings-panel.png")));

    // The panel as it opens in an 860 × 480 window, above where the footer sits.
    ScreenshotBackdrop window(listing());
    window.resize(860, 480);
    auto* open = new SettingsOverlay(*env.defaults, &host, &window);
    window.show();
    open->animateOpen(window.size());
    finishAnimations(&window);
    EXPECT_EQ(open->geometry(), SettingsOverlay::openFrame(window.size()));
    EXPECT_TRUE(testsupport::snapshot(&window).save(testsupport::artifactsDir() +
                                                    QStringLiteral("/settings-panel-window.png")));

    // The pixels are the panel's: dark and not transparent where the rows are.
    const QColor middle = full.pixelColor(full.width() / 2, full.height() / 2);
    EXPECT_LT(middle.lightnessF(), 0.4);
    EXPECT_GT(middle.alphaF(), 0.8);
}

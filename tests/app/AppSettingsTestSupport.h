#pragma once

// The controller under test with the settings: as AppTest, plus a private home, configuration and
// cache folder for each test (the reset deletes folders there and the launch-at-login entry lives
// there), and the process-wide colours and desktop palette put back afterwards.

#include "AppTestSupport.h"
#include "app/settings/SettingsApplier.h"
#include "app/settings/SettingsPanelController.h"
#include "theme/ThemeColors.h"

#include <QApplication>
#include <QPalette>
#include <QTemporaryDir>
#include <QTest>

namespace apptest {

class AppSettingsTest : public AppTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(homeDir.isValid());
        saved_ = {{"HOME", qgetenv("HOME")},
                  {"XDG_CONFIG_HOME", qgetenv("XDG_CONFIG_HOME")},
                  {"XDG_CACHE_HOME", qgetenv("XDG_CACHE_HOME")}};
        home = QDir(homeDir.path()).canonicalPath();
        QDir().mkpath(home + "/.config");
        QDir().mkpath(home + "/.cache");
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/.config"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home + "/.cache"));
        savedPalette_ = QApplication::palette();
        initColorGlobals();
        AppTest::SetUp();
    }

    void TearDown() override {
        AppTest::TearDown();
        setApplyThemeHook({});
        setSystemAppearanceIsLight({});
        initColorGlobals();
        QApplication::setPalette(savedPalette_);
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    // A palette whose window colour is light or dark, as a desktop theme would give it.
    static QPalette desktopPalette(bool light) {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Window, light ? QColor(236, 236, 236) : QColor(40, 40, 44));
        return palette;
    }

    QTemporaryDir homeDir;
    QString home;

private:
    QList<std::pair<const char*, QByteArray>> saved_;
    QPalette savedPalette_;
};

// The pane's screen as text.
inline QString screenOf(const TerminalView* view) {
    return view ? view->accessibilityValue() : QString();
}

inline bool waitForScreen(const TerminalView* view, const QString& text, int timeoutMs = 20000) {
    return QTest::qWaitFor([view, text] { return screenOf(view).contains(text); }, timeoutMs);
}

} // namespace apptest

#include "settings/SettingsReset.h"

#include "SettingsTestSupport.h"
#include "chrome/HoverButton.h"
#include "settings/Autostart.h"
#include "settings/ResetRowView.h"
#include "settings/SettingsStyle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace settingstest;
using namespace chrometest;

namespace {

struct Panel : PanelFixture {
    ResetRowView* row() const { return qobject_cast<ResetRowView*>(panel->resetRow()); }
    HoverButton* button(const char* name) const {
        return panel->confirmView() ? panel->confirmView()->findChild<HoverButton*>(name) : nullptr;
    }
};

void writeFile(const QString& path, const QByteArray& content = "x") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

TEST(ResetRow, AtDefaultsTheRowIsGreyAndDoesNothing) {
    Panel p;
    p.build();
    ASSERT_TRUE(p.row());
    EXPECT_TRUE(p.row()->isDisabled());
    EXPECT_EQ(p.row()->background(), ResetRowView::disabledBg());
    EXPECT_EQ(settingsui::labelColor(p.panel->resetLabel()), chrome::white(0.35, 0.4));
    click(p.row());
    EXPECT_EQ(p.panel->confirmView(), nullptr);

    // The owner recomputes after the window moved.
    p.env.defaults->setValue("windowX", 40.0);
    p.panel->updateResetButtonState();
    EXPECT_FALSE(p.row()->isDisabled());
    EXPECT_EQ(p.row()->background(), ResetRowView::normalBg());
    EXPECT_EQ(settingsui::labelColor(p.panel->resetLabel()), chrome::rgb(0.9, 0.35, 0.35, 0.8));
}

TEST(ResetRow, QuestionWithdrawsByItselfAfterFourSecondsReportingNothing) {
    Panel p;
    p.env.defaults->setValue("autoDim", true);
    p.build();
    click(p.row());
    QWidget* confirm = p.panel->confirmView();
    ASSERT_TRUE(confirm);
    EXPECT_FALSE(p.panel->resetLabel()->isVisible());
    EXPECT_EQ(confirm->geometry(), p.row()->rect());
    EXPECT_EQ(confirm->findChild<QLabel*>("prompt")->text(), "Sure?");
    QTimer* timer = p.panel->resetConfirmTimer();
    ASSERT_TRUE(timer);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 4000);

    // A second click neither adds a question nor restarts the wait (which has begun to run down).
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer->remainingTime() < timer->interval(); }, 5000));
    const int remaining = timer->remainingTime();
    click(p.row());
    EXPECT_EQ(p.panel->confirmView(), confirm);
    EXPECT_EQ(p.panel->resetConfirmTimer(), timer);
    EXPECT_LE(timer->remainingTime(), remaining);

    // Let the wait run out (shortened here), then the fade-out.
    timer->setInterval(10);
    QTRY_VERIFY_WITH_TIMEOUT(p.panel->resetConfirmTimer() == nullptr, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(p.panel->confirmView() == nullptr, 2000);
    EXPECT_TRUE(p.panel->resetLabel()->isVisible());
    EXPECT_TRUE(p.reports.isEmpty());
}

TEST(ResetRow, YesReportsTheResetOnceAndNoReportsNothing) {
    Panel p;
    p.env.defaults->setValue("autoDim", true);
    p.build();

    click(p.row());
    click(p.button("no"));
    EXPECT_EQ(p.panel->resetConfirmTimer(), nullptr) << "an answer ends the wait at once";
    QTRY_VERIFY_WITH_TIMEOUT(p.panel->confirmView() == nullptr, 2000);
    EXPECT_TRUE(p.reports.isEmpty());

    click(p.row());
    HoverButton* yes = p.button("yes");
    ASSERT_TRUE(yes);
    EXPECT_EQ(yes->frame().size(), QSize(22, 22));
    click(yes);
    click(yes); // a second press during the fade-out is no second answer
    ASSERT_EQ(p.reports.size(), 1);
    EXPECT_EQ(p.reports.at(0).key, "resetDefaults");
    EXPECT_EQ(p.reports.at(0).value, QVariant(true));
    QTRY_VERIFY_WITH_TIMEOUT(p.panel->confirmView() == nullptr, 2000);
    EXPECT_TRUE(p.panel->resetLabel()->isVisible());
}

TEST(ResetToDefaults, ReturnsTheStoreAndFilesToTheFirstStartState) {
    Panel p;
    const QString config = settings::configDirectory();
    EXPECT_EQ(config, p.env.home + "/.local/state/dunmar");
    writeFile(config + "/crash.log");
    writeFile(config + "/history/tab-1", "ls\n");
    writeFile(p.env.cache + "/pocketShell/cache.db");
    writeFile(p.env.cache + "/com.k9rt.dunmar/x");
    writeFile(p.env.config + "/pocketShell.plist");
    const QString keep = p.env.cache + "/other-app/data";
    writeFile(keep);
    ASSERT_TRUE(SettingsOverlay::setAutoStart(true));
    ASSERT_TRUE(QFile::exists(autostart::entryPath()));

    Defaults& d = *p.env.defaults;
    d.setValue("terminalFontSize", 14.0);
    d.setValue("sessionTabs", QVariantList{QStringLiteral("a")});
    d.setValue("dockedWindowX", 100.0);
    d.setValue("remotePairingCode", QStringLiteral("123456"));
    d.setValue("autoStartEnabled", true);

    settings::resetToDefaults(d, p.host);

    // The folder is there again, empty and private, so histories and the crash log can follow.
    const QFileInfo folder(config);
    EXPECT_TRUE(folder.isDir());
    EXPECT_TRUE(QDir(config).isEmpty());
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    EXPECT_FALSE(QFile::exists(autostart::entryPath()));
    EXPECT_FALSE(QFile::exists(p.env.cache + "/pocketShell"));
    EXPECT_FALSE(QFile::exists(p.env.cache + "/com.k9rt.dunmar"));
    EXPECT_FALSE(QFile::exists(p.env.config + "/pocketShell.plist"));
    EXPECT_TRUE(QFile::exists(keep));

    EXPECT_FALSE(d.hasStoredValue("sessionTabs"));
    EXPECT_FALSE(d.hasStoredValue("dockedWindowX"));
    EXPECT_FALSE(d.hasStoredValue("remotePairingCode"));
    EXPECT_DOUBLE_EQ(d.doubleValue("terminalFontSize"), 10.0);
    EXPECT_EQ(d.storedKeys().size(), 29) << "every setting written explicitly";
    EXPECT_TRUE(settings::isAtDefaults(d));
    // Saved to disk as well.
    Defaults reloaded(d.filePath());
    EXPECT_EQ(reloaded.storedKeys().size(), 29);

    EXPECT_EQ(p.host.calls, (QStringList{"deleteCodeHostingToken", "resetPanes", "closeTabsForReset",
                                         "restartFirstShell", "resetWindow", "finishReset"}));

    // The next panel shows the reset row disabled.
    p.build();
    EXPECT_TRUE(p.row()->isDisabled());
}

TEST(ResetToDefaults, ALinkedConfigurationFolderLosesOnlyTheLink) {
    Panel p;
    const QString elsewhere = p.env.home + "/elsewhere";
    writeFile(elsewhere + "/precious.txt");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settings::configDirectory()).path()));
    ASSERT_TRUE(QFile::link(elsewhere, settings::configDirectory()));
    settings::resetToDefaults(*p.env.defaults, p.host);
    EXPECT_TRUE(QFile::exists(elsewhere + "/precious.txt"));
    EXPECT_TRUE(QFileInfo(settings::configDirectory()).isDir());
    EXPECT_FALSE(QFileInfo(settings::configDirectory()).isSymLink());
}

// Which bells count, and what a counted bell does besides notifying: sound, flash and tab mark.
#include "BellTestSupport.h"

#include <QFileInfo>
#include <QTest>

using namespace belltest;
using namespace std::chrono_literals;

namespace {

// Tab 0 is on show with two panes; tab 1 is in the background.
struct TwoTabs {
    ScreenPane shown{"shown"};
    ScreenPane shownSecond{"shown-second"};
    ScreenPane background{"background"};

    void install(FakeBellHost& host) {
        host.tabs = {{&shown, &shownSecond, {}, false}, {&background, nullptr, {}, false}};
        host.activeTab = 0;
    }
};

} // namespace

TEST_F(BellTest, TheCooldownDropsABellHalfASecondAfterTheLastAndKeepsOneJustLater) {
    TwoTabs tabs;
    tabs.install(host);
    host.hide();

    bell->ring(&tabs.background);
    ASSERT_EQ(host.markedTabs, (QList<int>{1}));
    const auto first = bell->lastRingTime();
    EXPECT_EQ(bell->sound().playCount(), 1);

    // Exactly 0.50 s later: dropped whole, and the clock of the last bell stays.
    advance(500ms);
    bell->ring(&tabs.background);
    EXPECT_EQ(host.markedTabs.size(), 1);
    EXPECT_EQ(bell->sound().playCount(), 1);
    EXPECT_EQ(bell->lastRingTime(), first);

    // 0.51 s after the first: counts.
    advance(10ms);
    bell->ring(&tabs.background);
    EXPECT_EQ(host.markedTabs.size(), 2);
    EXPECT_EQ(bell->sound().playCount(), 2);

    // The cooldown is shared by all tabs: another pane 0.3 s later is dropped too.
    advance(300ms);
    bell->ring(&tabs.shown);
    EXPECT_EQ(bell->sound().playCount(), 2);
}

TEST_F(BellTest, SuppressionAndADisabledBellChangeNothing) {
    TwoTabs tabs;
    tabs.install(host);
    host.hide();

    bell->setSuppressed(true);
    bell->ring(&tabs.background);
    bell->ringForTest(); // the test bell is not suppressed: only restoring tabs is
    EXPECT_FALSE(bell->lastRingTime().has_value()) << "a suppressed bell must not move the clock";
    EXPECT_TRUE(host.markedTabs.isEmpty());
    EXPECT_EQ(bell->sound().playCount(), 1);
    bell->setSuppressed(false);

    defaults->setValue("bellEnabled", false);
    const int played = bell->sound().playCount();
    host.dimmedStates.clear();
    bell->ring(&tabs.background);
    bell->ringForTest();
    EXPECT_EQ(bell->sound().playCount(), played);
    EXPECT_TRUE(host.markedTabs.isEmpty());
    EXPECT_TRUE(bell->previews().items().empty());
    EXPECT_FALSE(bell->lastRingTime().has_value());

    // A bell setting that was never written (nor registered) counts as on.
    Defaults bare(dir.filePath("bare.json"));
    BellManager fresh(bare, *notifications, soundDirectory());
    fresh.setHost(&host);
    fresh.ring(&tabs.background);
    EXPECT_EQ(host.markedTabs, (QList<int>{1}));
}

TEST_F(BellTest, OnlyABackgroundTabsPrimaryPaneIsMarkedAndPreviewed) {
    TwoTabs tabs;
    tabs.install(host);
    ScreenPane backgroundSecond("background-second");
    host.tabs[1].second = &backgroundSecond;
    ScreenPane stray("stray");

    for (BellPane* pane : std::initializer_list<BellPane*>{&tabs.shown, &tabs.shownSecond, &backgroundSecond,
                                                           &stray, nullptr}) {
        advance(1s);
        bell->ring(pane);
    }
    EXPECT_TRUE(host.markedTabs.isEmpty());
    EXPECT_TRUE(bell->previews().items().empty());

    advance(1s);
    bell->ring(&tabs.background);
    EXPECT_EQ(host.markedTabs, (QList<int>{1}));
    EXPECT_TRUE(host.tabs[1].bellMark);
    ASSERT_EQ(bell->previews().items().size(), 1u);
    EXPECT_EQ(bell->previews().items().front().tabName, "Tab 2");

    // A tab whose marks the controller cannot set (it is going away) is not previewed.
    struct Refusing : FakeBellHost {
        bool markTabBell(int) override { return false; }
    } noMarks;
    noMarks.tabs = host.tabs;
    bell->setHost(&noMarks);
    advance(1s);
    bell->ring(&tabs.background);
    EXPECT_EQ(bell->previews().items().size(), 1u);
}

TEST_F(BellTest, TheChosenSoundIsLoadedFromTheSoundsFolderAndAMissingOneLeavesTheBellSilent) {
    // Every name the settings offer has its file.
    for (const QString& name : BellManager::soundNames()) {
        defaults->setValue("bellSoundName", name);
        bell->reloadSound();
        EXPECT_TRUE(bell->sound().isLoaded()) << name.toStdString();
        EXPECT_EQ(QFileInfo(bell->sound().filePath()).fileName(), name + ".wav");
    }
    defaults->removeObject("bellSoundName");
    bell->reloadSound();
    EXPECT_EQ(QFileInfo(bell->sound().filePath()).fileName(), "Purr.wav");

    // A name with no sound, or one that tries to leave the folder: silent, but the bell still
    // flashes and marks.
    TwoTabs tabs;
    tabs.install(host);
    host.hide();
    for (const char* name :
         {"Submarine", "../sounds/Purr", "/usr/share/sounds/alsa/Front_Center", ".hidden"}) {
        defaults->setValue("bellSoundName", QString::fromUtf8(name));
        bell->reloadSound();
        EXPECT_FALSE(bell->sound().isLoaded()) << name;
    }
    bell->ring(&tabs.background);
    EXPECT_EQ(bell->sound().playCount(), 0);
    EXPECT_TRUE(bell->flash().isRunning());
    EXPECT_EQ(host.markedTabs, (QList<int>{1}));
}

TEST_F(BellTest, PlayingWithoutAnAudioDeviceReturnsAndStaysQuiet) {
    ASSERT_TRUE(bell->sound().isLoaded());
    for (int i = 0; i < 3; ++i) bell->ringForTest();
    bell->sound().waitForIdle(); // the worker has handed every request over without hanging
    EXPECT_EQ(bell->sound().playCount(), 3);
}

TEST_F(BellTest, TheTrayIconFlashesTwiceWhileTheWindowIsNotInFront) {
    TwoTabs tabs;
    tabs.install(host);

    // In front (visible, opaque, key): no flash.
    bell->ring(&tabs.shown);
    EXPECT_FALSE(bell->flash().isRunning());

    // Visible but not key: the flash runs six ticks and ends with the icon normal.
    host.key = false;
    advance(1s);
    bell->ringForTest();
    ASSERT_TRUE(bell->flash().isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bell->flash().isRunning(); }, 5000));
    EXPECT_EQ(host.dimmedStates, (QList<bool>{false, true, false, true, false, false}));

    // A new bell restarts a running flash from zero.
    host.dimmedStates.clear();
    bell->ringForTest();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.dimmedStates.size() >= 2; }, 5000));
    bell->ringForTest();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bell->flash().isRunning(); }, 5000));
    EXPECT_EQ(host.dimmedStates.mid(2), (QList<bool>{false, true, false, true, false, false}));
}

// The picker sidebar's display states and move buttons, without a browser.
#include "localisation/LanguageNotifier.h"
#include "platform/Defaults.h"
#include "support/Artifacts.h"
#include "support/Waits.h"
#include "support/WebPickerTestAccess.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QColor kGrey(142, 142, 147);
const QColor kOrange(255, 159, 10);

struct SidebarFixture : ::testing::Test {
    QTemporaryDir dir;
    Defaults defaults{dir.filePath("defaults.json")};
    WebPickerSidebarView sidebar{defaults};

    void SetUp() override { sidebar.resize(320, 420); }
};

} // namespace

TEST_F(SidebarFixture, TheThreeDisplayStates) {
    // A new sidebar is disconnected.
    EXPECT_EQ(sidebar.statusText(), "Not connected");
    EXPECT_EQ(sidebar.statusColor(), kGrey);
    EXPECT_FALSE(ui(sidebar).connectButton()->isHidden());
    EXPECT_TRUE(ui(sidebar).connectButton()->isEnabled());
    EXPECT_TRUE(ui(sidebar).pickButton()->isHidden());
    EXPECT_TRUE(ui(sidebar).disconnectButton()->isHidden());

    sidebar.showConnectingState("Waiting for Chrome..");
    EXPECT_EQ(sidebar.statusText(), "Waiting for Chrome..");
    EXPECT_EQ(sidebar.statusColor(), kOrange);
    EXPECT_FALSE(ui(sidebar).connectButton()->isHidden());
    EXPECT_FALSE(ui(sidebar).connectButton()->isEnabled());

    struct Case {
        QString host;
        bool navigating;
        QString text;
        QColor light;
        bool pickEnabled;
    };
    for (const Case& c : {Case{"", false, "Connected", WebPickerSidebarView::teal(), true},
                          Case{"example.com", false, "example.com", WebPickerSidebarView::teal(), true},
                          Case{"", true, "Navigate to a website", kOrange, false}}) {
        sidebar.showConnectedState(c.host, c.navigating);
        EXPECT_EQ(sidebar.statusText(), c.text);
        EXPECT_EQ(sidebar.statusColor(), c.light) << c.text.toStdString();
        EXPECT_FALSE(ui(sidebar).pickButton()->isHidden());
        EXPECT_EQ(ui(sidebar).pickButton()->isEnabled(), c.pickEnabled) << c.text.toStdString();
        EXPECT_TRUE(ui(sidebar).connectButton()->isHidden());
        EXPECT_FALSE(ui(sidebar).disconnectButton()->isHidden());
    }

    // A language change while not connected shows the disconnected state afresh.
    LanguageNotifier::shared().post();
    EXPECT_EQ(sidebar.statusText(), "Not connected");
    EXPECT_FALSE(ui(sidebar).connectButton()->isHidden());
    EXPECT_TRUE(ui(sidebar).connectButton()->isEnabled());
}

TEST_F(SidebarFixture, MoveButtons) {
    sidebar.setMoveButtonsEnabled(false, false);
    EXPECT_TRUE(ui(sidebar).moveUpButton()->isHidden());
    EXPECT_TRUE(ui(sidebar).moveDownButton()->isHidden());
    sidebar.setMoveButtonsEnabled(true, false);
    EXPECT_FALSE(ui(sidebar).moveUpButton()->isHidden());
    EXPECT_FALSE(ui(sidebar).moveDownButton()->isHidden());
    EXPECT_TRUE(sidebar.isMoveUpEnabled());
    EXPECT_FALSE(sidebar.isMoveDownEnabled());
    int moved = 0;
    sidebar.onMoveUp = [&] { ++moved; };
    ui(sidebar).moveUpButton()->click();
    EXPECT_EQ(moved, 1);
}

TEST_F(SidebarFixture, ArtifactThreeStates) {
    sidebar.show();
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({&sidebar}));
    testsupport::snapshot(&sidebar).save(testsupport::artifactsDir() + "/webpicker-disconnected.png");
    sidebar.showConnectingState("Connecting...");
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({&sidebar}));
    testsupport::snapshot(&sidebar).save(testsupport::artifactsDir() + "/webpicker-connecting.png");
    sidebar.showConnectedState("example.com", false);
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({&sidebar}));
    testsupport::snapshot(&sidebar).save(testsupport::artifactsDir() + "/webpicker-connected.png");
    SUCCEED();
}

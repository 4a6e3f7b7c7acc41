// The pick list without a browser: the stored format, what a damaged store does, the colours by id,
// and what a disconnect and a removal leave behind.
#include "platform/Defaults.h"
#include "support/WebPickerTestAccess.h"
#include "webpicker/PickEntry.h"
#include "webpicker/PickListModel.h"
#include "webpicker/PickRowView.h"
#include "webpicker/WebPickerSidebarView.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct PickListFixture : ::testing::Test {
    QTemporaryDir dir;
    Defaults defaults{dir.filePath("defaults.json")};
    std::unique_ptr<WebPickerSidebarView> sidebar;

    // The connected state restores the stored list; no page is needed for that.
    void showConnected() {
        sidebar = std::make_unique<WebPickerSidebarView>(defaults);
        sidebar->showConnectedState("example.com", false);
    }
};

} // namespace

TEST(PickRecords, WrittenInOrderAndReadBackWithColoursById) {
    std::vector<PickEntry> picks{{3, "<a>\n\"x\"</a>", "#96CEB4", {}, "a.b", "x", "/html/body/a"},
                                 {7, "<b></b>", "#F7DC6F", {}, "", "", ""}};
    const QByteArray json = encodePickRecords(picks);
    EXPECT_TRUE(json.startsWith(
        R"([{"id":3,"html":"<a>\n\"x\"</a>","hex":"#96CEB4","selector":"a.b","innerText":"x","xpath":"/html/body/a"},)"))
        << json.toStdString();
    const auto back = decodePickRecords(json);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[0].html, picks[0].html);
    EXPECT_EQ((*back)[0].color, pickColors()[3].color);
    EXPECT_EQ((*back)[1].color, pickColors()[2].color);
    EXPECT_EQ(pickColorFor(5).hex, "#FF6B6B");
    EXPECT_EQ(pickColorFor(-1).hex, "#DE99DE");
    EXPECT_EQ(encodePickRecords({}), "[]");

    for (const char* damaged : {R"([{"id":1,"html":"","hex":"","selector":"","innerText":""}])",
                                R"([{"id":"1","html":"","hex":"","selector":"","innerText":"","xpath":""}])",
                                R"([{"id":1.5,"html":"","hex":"","selector":"","innerText":"","xpath":""}])",
                                R"({"id":1})", "not json", R"([1])"})
        EXPECT_FALSE(decodePickRecords(damaged)) << damaged;
}

TEST_F(PickListFixture, ADamagedStoreRestoresNothingAndStays) {
    const QString damaged = R"([{"id":1,"html":"<p></p>","hex":"#45B7D1","selector":"p","innerText":""}])";
    defaults.setValue("webPickerPicks", damaged);
    showConnected();
    EXPECT_TRUE(sidebar->pickList().picks().empty());
    EXPECT_FALSE(ui(*sidebar).pickListView().isHeaderShown());
    EXPECT_EQ(defaults.object("webPickerPicks").toString(), damaged);
}

TEST_F(PickListFixture, RestoredListSurvivesADisconnectAndARemovalIsStored) {
    defaults.setValue("webPickerPicks",
                      QString::fromUtf8(encodePickRecords({{3, "<p>3</p>", "#96CEB4", {}, "#a", "3", ""},
                                                           {7, "<p>7</p>", "#F7DC6F", {}, "", "7", ""}})));
    showConnected();
    ASSERT_EQ(sidebar->pickList().picks().size(), 2u);
    EXPECT_EQ(sidebar->pickList().nextPickId(), 8);
    EXPECT_TRUE(ui(*sidebar).pickListView().isHeaderShown());
    EXPECT_EQ(ui(*sidebar).pickRows().size(), 2);

    // A disconnect empties what is shown, not what is stored; the next connection shows it again.
    sidebar->showDisconnectedState();
    EXPECT_TRUE(sidebar->pickList().picks().empty());
    EXPECT_EQ(sidebar->pickList().nextPickId(), 0);
    EXPECT_FALSE(ui(*sidebar).pickListView().isHeaderShown());
    sidebar->showConnectedState("example.com", false);
    ASSERT_EQ(sidebar->pickList().picks().size(), 2u);
    EXPECT_EQ(sidebar->pickList().picks()[1].id, 7);

    // Removing the rows stores an empty array; the header stays.
    ui(*sidebar).pickRows().front()->removeButton()->click();
    ui(*sidebar).pickRows().back()->removeButton()->click();
    EXPECT_TRUE(sidebar->pickList().picks().empty());
    EXPECT_EQ(defaults.object("webPickerPicks").toString(), "[]");
    EXPECT_TRUE(ui(*sidebar).pickListView().isHeaderShown());
}

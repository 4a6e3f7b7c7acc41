// The address bar's history and suggestions, and the switcher between the browser's pages.
#include "ConnectedSidebar.h"
#include "WebPickerTestSupport.h"
#include "webpicker/UrlHistory.h"

#include <QApplication>
#include <QFocusEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>

namespace {

QList<QPushButton*> rowsOf(QWidget* box) {
    QList<QPushButton*> rows;
    for (QPushButton* row : box->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (!row->isHidden()) rows << row;
    return rows;
}

QStringList history(Defaults& defaults) {
    return defaults.object("webPickerURLHistory").toStringList();
}

} // namespace

TEST(UrlHistory, SchemesOrderAndLimit) {
    struct Case {
        QString typed;
        std::optional<QString> stored;
    };
    for (const Case& c :
         {Case{"localhost:3000", "http://localhost:3000"}, Case{"127.0.0.1/x", "http://127.0.0.1/x"},
          Case{"0.0.0.0:8080", "http://0.0.0.0:8080"}, Case{" example.com\t", "https://example.com"},
          Case{"localhost.example.com", "http://localhost.example.com"},
          Case{"view-source:x://y", "view-source:x://y"}, Case{"ftp://host", "ftp://host"},
          Case{" \t ", std::nullopt}})
        EXPECT_EQ(urlhistory::historyEntry(c.typed), c.stored) << c.typed.toStdString();

    QStringList list;
    for (int i = 0; i < 16; ++i) list = urlhistory::visited(list, QStringLiteral("site%1.org").arg(i));
    ASSERT_EQ(list.size(), 15);
    EXPECT_EQ(list.front(), "https://site15.org");
    EXPECT_EQ(list.back(), "https://site1.org") << "the oldest dropped";
    list = urlhistory::visited(list, "https://site7.org");
    EXPECT_EQ(list.size(), 15);
    EXPECT_EQ(list.front(), "https://site7.org");
    EXPECT_EQ(list.count("https://site7.org"), 1);
    EXPECT_EQ(urlhistory::visited(list, "  "), list);

    const QStringList mixed{"https://a.org", "http://b.org",  "https://c.org/HTTPS", "https://d.org",
                            "https://e.org", "https://f.org", "https://g.org"};
    EXPECT_EQ(urlhistory::suggestions(mixed, ""), mixed.mid(0, 5));
    EXPECT_EQ(urlhistory::suggestions(mixed, " HTTPS "),
              QStringList({"https://a.org", "https://c.org/HTTPS", "https://d.org", "https://e.org",
                           "https://f.org"}));
    EXPECT_EQ(urlhistory::suggestions(mixed, "b.o"), QStringList({"http://b.org"}));
    EXPECT_TRUE(urlhistory::suggestions(mixed, "zzz").isEmpty());
}

TEST(UrlBar, SuggestsFromTheHistoryAndNavigatesWithoutReordering) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    defaults.setValue("webPickerURLHistory",
                      QStringList{"https://a.org", "http://localhost:3000", "https://c.org", "https://d.org",
                                  "https://e.org", "https://f.org"});
    WebPickerSidebarView sidebar(defaults);
    sidebar.resize(320, 520);
    sidebar.showConnectedState("example.com", false);
    QLineEdit* field = ui(sidebar).urlField();

    // Focusing the empty field lists the five newest; typing filters.
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(field, &focusIn);
    EXPECT_FALSE(ui(sidebar).suggestBox()->isHidden());
    EXPECT_EQ(rowsOf(ui(sidebar).suggestBox()).size(), 5);
    QTest::keyClicks(field, "LOCAL");
    ASSERT_EQ(rowsOf(ui(sidebar).suggestBox()).size(), 1);
    EXPECT_EQ(rowsOf(ui(sidebar).suggestBox()).front()->objectName(), "http://localhost:3000");
    QTest::keyClicks(field, "zzz");
    EXPECT_TRUE(ui(sidebar).suggestBox()->isHidden());

    // A chosen suggestion goes into the field and keeps its place in the history.
    field->clear();
    QTest::keyClicks(field, "d.");
    rowsOf(ui(sidebar).suggestBox()).front()->click();
    EXPECT_EQ(field->text(), "https://d.org");
    EXPECT_TRUE(ui(sidebar).suggestBox()->isHidden());
    EXPECT_EQ(history(defaults)[3], "https://d.org");

    // Return stores what was typed, with its scheme, at the front.
    field->setText("  example.net ");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(history(defaults).front(), "https://example.net");
    EXPECT_EQ(history(defaults).size(), 7);
    field->setText(" \t");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(history(defaults).size(), 7);
}

using testsupport::ConnectedSidebarTest;
using TabSwitcher = ConnectedSidebarTest;

TEST_F(TabSwitcher, OffersEightPagesMarksTheCurrentAndSwitches) {
    pages().addPage("/tab", "<!doctype html><title>tab</title>");
    QStringList opened;
    for (int i = 0; i < 9; ++i) {
        const auto body =
            testsupport::devtoolsRequest(chromium().port(), "PUT", "/json/new?" + pages().url("/tab"));
        ASSERT_TRUE(body);
        opened << QJsonDocument::fromJson(*body).object().value("id").toString();
    }
    // The sidebar attaches to the first page the browser lists, so that it is among the rows.
    const auto list = testsupport::devtoolsRequest(chromium().port(), "GET", "/json/list");
    ASSERT_TRUE(list);
    for (const QJsonValue& target : QJsonDocument::fromJson(*list).array()) {
        if (target.toObject().value("type").toString() != "page") continue;
        defaults->setValue("webPickerLastTargetId", target.toObject().value("id").toString());
        break;
    }
    recreateSidebar();
    const QString connectedTo = sidebar->connection().currentTargetId().value_or(QString());
    EXPECT_EQ(QVariant(connectedTo), defaults->object("webPickerLastTargetId"));

    ui(*sidebar).tabSwitcherButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ui(*sidebar).tabBox()->isHidden(); }, 20000));
    const QList<QPushButton*> rows = rowsOf(ui(*sidebar).tabBox());
    ASSERT_EQ(rows.size(), WebPickerSidebarView::kMaxTabRows);
    int marked = 0;
    for (QPushButton* row : rows) {
        const QString title = row->property("fullTitle").toString();
        if (title.startsWith("▶ ")) {
            ++marked;
            EXPECT_TRUE(row->objectName().endsWith(connectedTo));
        } else {
            // The title, or the address while the page has none yet.
            EXPECT_TRUE(title.startsWith("   ")) << title.toStdString();
        }
    }
    EXPECT_EQ(marked, 1);

    // The button closes the list again; choosing a row connects to that page.
    ui(*sidebar).tabSwitcherButton()->click();
    EXPECT_TRUE(ui(*sidebar).tabBox()->isHidden());
    ui(*sidebar).tabSwitcherButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ui(*sidebar).tabBox()->isHidden(); }, 20000));
    QPushButton* other = nullptr;
    for (QPushButton* row : rowsOf(ui(*sidebar).tabBox()))
        if (!row->property("fullTitle").toString().startsWith("▶ ")) other = row;
    ASSERT_TRUE(other);
    const QString wanted = other->objectName();
    other->click();
    EXPECT_TRUE(ui(*sidebar).tabBox()->isHidden());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar->connection().isConnected(); }, 20000));
    EXPECT_TRUE(wanted.endsWith(sidebar->connection().currentTargetId().value_or("none")));

    sidebar.reset();
    for (const QString& id : opened)
        testsupport::devtoolsRequest(chromium().port(), "GET", "/json/close/" + id);
}

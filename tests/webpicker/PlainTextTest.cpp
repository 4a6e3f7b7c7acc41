// The hostile texts from a real page, through every place of the sidebar that shows the page's
// words: the console's result line, the status line with the page's address, the switcher's rows
// with the pages' titles, and the address bar's remembered addresses.
#include "ConnectedSidebar.h"
#include "WebPickerTestSupport.h"
#include "support/HostileText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>

namespace {

using testsupport::ConnectedSidebarTest;
using testsupport::hostileTexts;

using PlainTextPage = ConnectedSidebarTest;

QString jsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QList<QPushButton*> rowsOf(QWidget* box) {
    QList<QPushButton*> rows;
    for (QPushButton* row : box->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
        if (!row->isHidden()) rows << row;
    return rows;
}

} // namespace

TEST_F(PlainTextPage, TheConsoleShowsAResultAsItsCharacters) {
    pages().addPage("/console", "<!doctype html><title>Console</title>");
    connectTo("/console");
    sidebar->resize(600, 520);
    ui(*sidebar).replButton()->click();
    QString answered;
    QObject::connect(&sidebar->console(), &ScriptConsole::answered, sidebar.get(),
                     [&](const ConsoleAnswer& answer) { answered = answer.text; });
    QLabel* result = ui(*sidebar).replResultLabel();
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        answered.clear();
        ui(*sidebar).replField()->setText(jsString(raw));
        QTest::keyClick(ui(*sidebar).replField(), Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answered.isEmpty(); }, 20000));
        EXPECT_EQ(answered, "= \"" + raw + "\"") << "the page's own string";
        testsupport::expectPlainLabel(result, answered);
        testsupport::expectPlainToolTip(result->toolTip(), answered);
    }
}

TEST_F(PlainTextPage, TheStatusLineShowsADataAddressAsText) {
    connectTo("/blank");
    const QString address = "data:text/html,<b>bold</b><img src=\"file:///etc/x.png\">&lt;i&gt;";
    sidebar->connection().cdp().cdpCommand("Page.navigate", {{"url", address}},
                                           [](std::optional<QJsonObject>) {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sidebar->statusText().startsWith("data:"); }, 20000))
        << sidebar->statusText().toStdString();
    // The address as the browser lists it.
    const auto list = testsupport::devtoolsRequest(chromium().port(), "GET", "/json/list");
    ASSERT_TRUE(list);
    QString listed;
    for (const QJsonValue& target : QJsonDocument::fromJson(*list).array())
        if (target.toObject().value("id").toString() == sidebar->connection().currentTargetId())
            listed = target.toObject().value("url").toString();
    ASSERT_TRUE(listed.contains("<b>bold</b>")) << listed.toStdString();
    testsupport::expectPlainLabel(ui(*sidebar).statusLabel(), listed);
}

TEST_F(PlainTextPage, TheSwitcherShowsEachTitleAsThePageHasIt) {
    connectTo("/blank");
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        // The browser keeps a title as the page's document.title gives it (blanks collapsed).
        const QString title = eval("document.title = " + jsString(raw) + ", document.title").toString();
        ASSERT_FALSE(title.isEmpty());
        ui(*sidebar).tabSwitcherButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ui(*sidebar).tabBox()->isHidden(); }, 20000));
        QPushButton* current = nullptr;
        for (QPushButton* row : rowsOf(ui(*sidebar).tabBox()))
            if (row->property("fullTitle").toString().startsWith("▶ ")) current = row;
        ASSERT_TRUE(current);
        testsupport::expectMenuText(current->text(), "▶ " + title);
        testsupport::expectPlainToolTip(current->toolTip(), pages().url("/blank"));
        ui(*sidebar).tabSwitcherButton()->click();
        ASSERT_TRUE(ui(*sidebar).tabBox()->isHidden());
    }
    // The two the browser's list escapes: an ampersand shows, an entity stays as written.
    for (const QString& title : {QStringLiteral("Fish & Chips"), QStringLiteral("a &lt; b &amp;amp;")}) {
        eval("document.title = " + jsString(title));
        ui(*sidebar).tabSwitcherButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !ui(*sidebar).tabBox()->isHidden(); }, 20000));
        const QList<QPushButton*> rows = rowsOf(ui(*sidebar).tabBox());
        const auto current = std::find_if(rows.begin(), rows.end(), [](QPushButton* row) {
            return row->property("fullTitle").toString().startsWith("▶ ");
        });
        ASSERT_NE(current, rows.end());
        EXPECT_EQ((*current)->text(), "▶ " + QString(title).replace("&", "&&"));
        ui(*sidebar).tabSwitcherButton()->click();
    }
}

TEST(PlainTextUrlBar, RememberedAddressesShowEveryAmpersandAndNoMarkup) {
    QTemporaryDir dir;
    Defaults defaults(dir.filePath("defaults.json"));
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        defaults.setValue("webPickerURLHistory", QStringList{"https://example.org/?q=" + raw});
        WebPickerSidebarView sidebar(defaults);
        sidebar.resize(320, 520);
        sidebar.showConnectedState("example.org", false);
        QFocusEvent focusIn(QEvent::FocusIn);
        QApplication::sendEvent(ui(sidebar).urlField(), &focusIn);
        const QList<QPushButton*> rows = rowsOf(ui(sidebar).suggestBox());
        ASSERT_EQ(rows.size(), 1);
        testsupport::expectMenuText(rows.front()->text(), "https://example.org/?q=" + raw);
    }
}

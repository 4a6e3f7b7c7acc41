// Picking elements in a real headless Chromium: the selector and XPath the page computes lead back
// to the element, the list keeps 20 and its marks in the page, the list outlives the sidebar, and a
// reset lets the page have its clicks back.
#include "ConnectedSidebar.h"
#include "webpicker/PickEntry.h"
#include "webpicker/PickRowView.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>

namespace {

using testsupport::ConnectedSidebarTest;

const QByteArray kPickPage = R"(<!doctype html><html><head><title>Picks</title></head><body>
<div id="menu"><ul><li>one</li><li>two</li><li>three</li></ul></div>
<div><section><span class="a:b c d">classes</span><span>second</span></section></div>
<p id="1abc">digit id</p>
<p id="nl">line-break id</p>
<p id="long"></p>
<button id="counter" onclick="window.clicks=(window.clicks||0)+1">count</button>
<script>
document.getElementById('nl').id = 'x\ny';
document.getElementById('long').textContent = 'a'.repeat(499) + '\u{1F600}' + 'b'.repeat(50);
</script>
</body></html>)";

class Picks : public ConnectedSidebarTest {
protected:
    void SetUp() override {
        ConnectedSidebarTest::SetUp();
        pages().addPage("/picks", kPickPage);
    }

    // Whether the pick's selector and XPath both find the element `finder` finds.
    void expectLeadsBack(const PickEntry& entry, const QString& finder) {
        const QString quote = QString::fromUtf8(
            QJsonDocument(QJsonArray{entry.selector, entry.xpath}).toJson(QJsonDocument::Compact));
        const QString script =
            QStringLiteral("(function(a){var el=%1;return document.querySelector(a[0])===el && "
                           "document.evaluate(a[1],document,null,9,null).singleNodeValue===el;})(%2)")
                .arg(finder, quote);
        EXPECT_EQ(eval(script), QJsonValue(true))
            << entry.selector.toStdString() << " " << entry.xpath.toStdString();
    }
};

QByteArray storedPicks(Defaults& defaults) {
    return defaults.object("webPickerPicks").toString().toUtf8();
}

} // namespace

TEST_F(Picks, SelectorAndXPathLeadBackToThePickedElement) {
    connectTo("/picks");
    struct Case {
        QString click;
        QString finder;
        QString selector; // empty: only that it leads back
        QString xpath;
    };
    const Case cases[] = {
        {"#menu li:nth-child(3)", "document.querySelectorAll('li')[2]", "#menu > ul > li:nth-child(3)",
         "/html/body/div/ul/li[3]"},
        {"span", "document.querySelector('span')", "div:nth-child(2) > section > span:nth-child(1).a\\:b.c",
         "/html/body/div[2]/section/span"},
        {"[id='1abc']", "document.getElementById('1abc')", "#\\31 abc", "/html/body/p"},
        {"[id='x\\a y']", "document.getElementById('x\\ny')", "", "/html/body/p[2]"},
    };
    for (const Case& c : cases) {
        ASSERT_NO_FATAL_FAILURE(pick(c.click));
        const PickEntry& entry = sidebar->pickList().picks().back();
        if (!c.selector.isEmpty()) {
            EXPECT_EQ(entry.selector, c.selector);
        }
        EXPECT_EQ(entry.xpath, c.xpath);
        expectLeadsBack(entry, c.finder);
    }

    // The picked markup, as the page has it, is on the clipboard; the element carries the pick's mark.
    EXPECT_EQ(QApplication::clipboard()->text(), sidebar->pickList().picks().back().html);
    EXPECT_EQ(sidebar->pickList().picks().back().html, "<p id=\"x\ny\">line-break id</p>");
    EXPECT_EQ(eval("document.getElementById('x\\ny').hasAttribute('data-pk-pick-3')"), QJsonValue(true));

    // Visible text is cut to 500 units, never inside a surrogate pair, and still stored and read back.
    ASSERT_NO_FATAL_FAILURE(pick("#long"));
    const PickEntry& longEntry = sidebar->pickList().picks().back();
    EXPECT_EQ(longEntry.innerText, QString(499, 'a'));
    const auto stored = decodePickRecords(storedPicks(*defaults));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->back().innerText, longEntry.innerText);
    EXPECT_EQ(ui(*sidebar).pickRows().size(), 5);
    EXPECT_TRUE(ui(*sidebar).pickListView().isHeaderShown());
}

TEST_F(Picks, TwentyPicksAtMostAndTheListOutlivesTheSidebar) {
    // Twenty stored picks whose selectors find elements of the page, and one more element.
    QByteArray page = "<!doctype html><title>many</title><body>";
    std::vector<PickEntry> stored;
    for (int i = 0; i < 21; ++i) {
        page += QStringLiteral("<p id=\"e%1\">item %1</p>").arg(i).toUtf8();
        if (i < 20)
            stored.push_back({i,
                              QStringLiteral("<p id=\"e%1\">item %1</p>").arg(i),
                              pickColorFor(i).hex,
                              {},
                              QStringLiteral("#e%1").arg(i),
                              QStringLiteral("item %1").arg(i),
                              {}});
    }
    // A selector with quotes, a backslash and a line separator reaches the page intact.
    page += "<p title=\"a&quot;b\\c&#x2028;d\">odd</p>";
    stored[19].selector = QStringLiteral("[title=\"a\\\"b\\\\c") + QChar(0x2028) + QStringLiteral("d\"]");
    pages().addPage("/many", page);
    defaults->setValue("webPickerPicks", QString::fromUtf8(encodePickRecords(stored)));

    connectTo("/many");
    // The page was loaded after connecting: the marks come back by a new connection.
    recreateSidebar();
    ASSERT_EQ(sidebar->pickList().picks().size(), 20u);
    EXPECT_EQ(sidebar->pickList().nextPickId(), 20);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return eval("document.querySelectorAll('#e0[data-pk-pick-0],[title][data-pk-pick-19]').length")
                       .toInt() == 2;
        },
        5000));

    ASSERT_NO_FATAL_FAILURE(pick("#e20"));
    ASSERT_EQ(sidebar->pickList().picks().size(), 20u);
    EXPECT_EQ(sidebar->pickList().picks().front().id, 1);
    EXPECT_EQ(sidebar->pickList().picks().back().id, 20);
    EXPECT_EQ(sidebar->pickList().picks().back().hex, "#FF6B6B");
    EXPECT_EQ(ui(*sidebar).pickRows().size(), 20);
    EXPECT_EQ(ui(*sidebar).pickRows().front()->currentPickId(), 1);
    EXPECT_EQ(eval("document.querySelector('[data-pk-pick-0]') === null && "
                   "document.getElementById('e20').hasAttribute('data-pk-pick-20')"),
              QJsonValue(true));
    EXPECT_EQ(decodePickRecords(storedPicks(*defaults))->size(), 20u);

    // After a restart, with the store read again from its file, a new sidebar shows the same picks
    // with the same ids and colours.
    sidebar.reset();
    ASSERT_TRUE(defaults->synchronize());
    defaults = std::make_unique<Defaults>(dir.filePath("defaults.json"));
    recreateSidebar();
    ASSERT_EQ(sidebar->pickList().picks().size(), 20u);
    EXPECT_EQ(sidebar->pickList().picks().front().id, 1);
    EXPECT_EQ(sidebar->pickList().picks().back().id, 20);
    EXPECT_EQ(sidebar->pickList().nextPickId(), 21);
    EXPECT_EQ(sidebar->pickList().picks().back().hex, "#FF6B6B");

    // × removes one pick: from the list, the store and the page.
    ui(*sidebar).pickRows().back()->removeButton()->click();
    EXPECT_EQ(sidebar->pickList().picks().size(), 19u);
    EXPECT_EQ(decodePickRecords(storedPicks(*defaults))->size(), 19u);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return eval("document.querySelector('[data-pk-pick-20]') === null").toBool(); }, 15000));
}

TEST_F(Picks, ResetMarksWhileWaitingGivesThePageItsClickBack) {
    connectTo("/picks");
    ui(*sidebar).pickButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return eval("window.__pkPickerActive === true").toBool(); }, 15000));
    ui(*sidebar).clearPicksButton()->click();
    EXPECT_TRUE(ui(*sidebar).pickButton()->isEnabled());
    EXPECT_EQ(ui(*sidebar).pickButton()->text(), "✦  Pick Element");

    click("#counter");
    EXPECT_EQ(eval("window.clicks").toInt(), 1) << "the click reached the page";
    EXPECT_EQ(eval("document.querySelector('[data-pk-picked]') === null && !window.__pkPickedHTML"),
              QJsonValue(true));
    EXPECT_TRUE(sidebar->pickList().picks().empty());

    // A new picking after the reset installs one picker only: one click makes one pick, and the page
    // has its clicks again afterwards.
    ASSERT_NO_FATAL_FAILURE(pick("#counter"));
    EXPECT_EQ(eval("window.clicks").toInt(), 1);
    click("#counter");
    EXPECT_EQ(eval("window.clicks").toInt(), 2);

    // A disconnect also takes the picker's handlers away.
    ui(*sidebar).pickButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return eval("window.__pkPickerActive === true").toBool(); }, 15000));
    sidebar->softDisconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sidebar->connection().cdp().isOpen(); }, 15000));
    // The clean-up went out before the channel closed; a new connection looks at the page.
    recreateSidebar();
    click("#counter");
    EXPECT_EQ(eval("window.clicks").toInt(), 3);
}

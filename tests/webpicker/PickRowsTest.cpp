// Pick rows against a real headless Chromium: hovering tints the element, a click copies the
// markup and opens the computed style, the menu copies each part or a screenshot.
#include "ConnectedSidebar.h"
#include "webpicker/PickRowView.h"

#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

using testsupport::ConnectedSidebarTest;

const QByteArray kRowsPage = R"(<!doctype html><html><head><title>Rows</title></head><body style="margin:0">
<div id="box" style="width:120px;height:40px;background:#00f;color:rgb(255, 255, 255);font:16px Helvetica, sans-serif">
boxed
text</div>
<div id="round" style="width:50px;height:20px;border-radius:4px;background:#0f0"></div>
<img id="empty" style="width:10px;height:10px">
</body></html>)";

class PickRows : public ConnectedSidebarTest {
protected:
    void SetUp() override {
        ConnectedSidebarTest::SetUp();
        pages().addPage("/rows", kRowsPage);
    }

    QAction* menuItem(const QString& title) {
        for (QAction* action : ui(*sidebar).pickMenu()->actions())
            if (action->text() == title) return action;
        ADD_FAILURE() << "no item " << title.toStdString();
        return nullptr;
    }
};

} // namespace

TEST_F(PickRows, HoverClickStyleAndMenu) {
    connectTo("/rows");
    ASSERT_NO_FATAL_FAILURE(pick("#box"));
    ASSERT_NO_FATAL_FAILURE(pick("#round"));
    ASSERT_NO_FATAL_FAILURE(pick("#empty"));
    ASSERT_EQ(ui(*sidebar).pickRows().size(), 3);
    PickRowView* box = ui(*sidebar).pickRows()[0];
    EXPECT_FALSE(box->markupLine().contains('\n')) << "one line";
    sidebar->show();

    // Hovering tints the element in the pick's colour; leaving clears it.
    QEnterEvent enter(QPointF(40, 9), QPointF(40, 9), QPointF(40, 9));
    QApplication::sendEvent(box, &enter);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return eval("document.getElementById('box').style.boxShadow") ==
                   QJsonValue("rgba(255, 107, 107, 0.22) 0px 0px 0px 9999px inset");
        },
        5000))
        << eval("document.getElementById('box').style.boxShadow").toString().toStdString();
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(box, &leave);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return eval("document.getElementById('box').style.boxShadow").toString().isEmpty(); }, 15000));

    // A click copies the whole markup, line feeds included, and opens the computed style.
    QApplication::clipboard()->clear();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(40, 9));
    EXPECT_EQ(QApplication::clipboard()->text(), sidebar->pickList().picks()[0].html);
    EXPECT_TRUE(sidebar->pickList().picks()[0].html.contains('\n'));
    EXPECT_EQ(ui(*sidebar).feedbackLabel()->text(), "✓ Copied!");
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->isStylesExpanded(); }, 15000));
    EXPECT_EQ(box->stylesText(), "16px Helvetica | rgb(255, 255, 255) bg:rgb(0, 0, 255)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->height() == PickRowView::kOpenHeight; }, 15000));
    // A click on the open row closes it without copying.
    QApplication::clipboard()->clear();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(40, 9));
    EXPECT_FALSE(box->isStylesExpanded());
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->height() == PickRowView::kClosedHeight; }, 15000));

    PickRowView* round = ui(*sidebar).pickRows()[1];
    QTest::mouseClick(round, Qt::LeftButton, {}, QPoint(40, 9));
    ASSERT_TRUE(QTest::qWaitFor([&] { return round->isStylesExpanded(); }, 15000));
    EXPECT_TRUE(round->stylesText().endsWith(" r:4px")) << round->stylesText().toStdString();

    // The menu: four things to copy and a screenshot.
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(40, 9));
    ASSERT_TRUE(ui(*sidebar).pickMenu());
    QStringList titles;
    for (QAction* action : ui(*sidebar).pickMenu()->actions())
        titles << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(titles,
              QStringList({"outerHTML", "innerText", "CSS Selector", "XPath", "-", "Copy Screenshot"}));
    EXPECT_TRUE(menuItem("outerHTML")->isChecked());
    menuItem("CSS Selector")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "#box");
    menuItem("XPath")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "/html/body/div");
    menuItem("innerText")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "boxed text");

    menuItem("Copy Screenshot")->trigger();
    EXPECT_EQ(ui(*sidebar).feedbackLabel()->text(), "📷 capturing…");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return ui(*sidebar).feedbackLabel()->text() == "✓ Screenshot kopiert!"; }, 20000));
    const QImage shot = QApplication::clipboard()->image();
    EXPECT_EQ(shot.size(), QSize(120, 40));
    EXPECT_EQ(shot.pixelColor(60, 20), QColor(0, 0, 255));

    // An element without text has nothing to copy; one that is gone has no screenshot.
    PickRowView* empty = ui(*sidebar).pickRows()[2];
    QTest::mouseClick(empty, Qt::RightButton, {}, QPoint(40, 9));
    menuItem("innerText")->trigger();
    EXPECT_EQ(ui(*sidebar).feedbackLabel()->text(), "–– not available");
    eval("document.getElementById('round').remove()");
    QTest::mouseClick(round, Qt::RightButton, {}, QPoint(40, 9));
    menuItem("Copy Screenshot")->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ui(*sidebar).feedbackLabel()->text() == "⚠ Element nicht sichtbar"; }, 20000));
}

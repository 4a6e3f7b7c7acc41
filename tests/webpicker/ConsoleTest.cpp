// The script console against a real headless Chromium: what the result line shows for values and
// errors, and the history the arrow keys walk.
#include "ConnectedSidebar.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using testsupport::ConnectedSidebarTest;

class Console : public ConnectedSidebarTest {
protected:
    QString evaluate(const QString& expression) {
        ui(*sidebar).replField()->setText(expression);
        QTest::keyClick(ui(*sidebar).replField(), Qt::Key_Return);
        EXPECT_EQ(ui(*sidebar).replResultLabel()->text(), "…");
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui(*sidebar).replResultLabel()->text() != "…"; }, 20000));
        return ui(*sidebar).replResultLabel()->text();
    }
};

} // namespace

TEST_F(Console, ShowsValuesErrorsAndKeepsTwentyExpressions) {
    pages().addPage("/console", "<!doctype html><title>Console</title>");
    connectTo("/console");
    sidebar->resize(600, 520);
    ui(*sidebar).replButton()->click();
    EXPECT_TRUE(ui(*sidebar).consoleView().isExpanded());

    struct Case {
        QString expression;
        QString shown;
    };
    for (const Case& c :
         {Case{"2+2", "= 4"}, Case{"  document.title\t", "= \"Console\""}, Case{"undefined", "= undefined"},
          Case{"null", "= null"}, Case{"1.5", "= 1.5"}, Case{"1 < 2", "= true"},
          Case{"(function(){})()", "= undefined"}, Case{"({a: 1})", "= {…}"}, Case{"[1, 2]", "= {…}"},
          Case{"throw new Error('boom')", "✕ Error: boom"},
          Case{"1 +", "✕ SyntaxError: Unexpected end of input"}}) {
        const QString shown = evaluate(c.expression);
        EXPECT_TRUE(shown.startsWith(c.shown)) << c.expression.toStdString() << " -> " << shown.toStdString();
    }
    EXPECT_EQ(sidebar->console().history().front(), "1 +");
    EXPECT_EQ(sidebar->console().history()[9], "document.title") << "trimmed of blanks";

    // Twenty are kept, the same text twice as two entries.
    for (int i = 0; i < 10; ++i) evaluate("7");
    ASSERT_EQ(sidebar->console().history().size(), 20);
    EXPECT_EQ(sidebar->console().history().back(), "document.title");
    EXPECT_EQ(sidebar->console().history().count("7"), 10);

    // Up walks to older entries and stops at the oldest; down walks back and clears the line.
    QLineEdit* field = ui(*sidebar).replField();
    field->clear();
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "7");
    for (int i = 0; i < 25; ++i) QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->text(), "document.title");
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(field->text(), "undefined");

    // Not connected: nothing is evaluated and the history stays.
    sidebar->softDisconnect();
    EXPECT_FALSE(ui(*sidebar).consoleView().isExpanded()) << "the disconnected state closes the console";
    field->setText("3+3");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(sidebar->console().history().size(), 20);
    EXPECT_EQ(sidebar->console().history().front(), "7");
}

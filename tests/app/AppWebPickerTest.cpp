// A pick's markup reaches our terminal that has the keyboard focus through the terminal's own paste.
#include "AppTestSupport.h"
#include "app/webpicker/WebPickerHostAdapter.h"
#include "terminalview/TerminalView.h"

#include <QApplication>
#include <QTest>

using namespace apptest;

namespace {
using AppWebPicker = AppTest;
} // namespace

TEST_F(AppWebPicker, PicksArePastedOnlyIntoTheFocusedTerminal) {
    launch();
    ASSERT_TRUE(waitForShell(view(0)));
    settle();
    app->window()->activateWindow();
    view(0)->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == view(0); }, 5000));

    WebPickerHostAdapter host;
    host.pasteIntoFocusedTerminal("<p id=\"x\">picked</p>");
    EXPECT_TRUE(waitForScreenText(view(0), "<p id=\"x\">picked</p>"));
}

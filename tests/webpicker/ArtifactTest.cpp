// Pictures of the picker sidebar for a person to look at: picks in the list, the console open with a
// result, and the address suggestions.
#include "ConnectedSidebar.h"
#include "support/Artifacts.h"
#include "support/Waits.h"
#include "webpicker/PickRowView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using PickerPictures = testsupport::ConnectedSidebarTest;

TEST_F(PickerPictures, ArtifactPicksConsoleAndSuggestions) {
    pages().addPage("/pictures", R"(<!doctype html><title>Pictures</title><body>
<h1 class="title main">Heading</h1><p id="intro">Some <b>bold</b> text.</p><ul><li>one</li><li>two</li></ul>
<a href="#" class="button primary">Go</a></body>)");
    defaults->setValue("webPickerURLHistory", QStringList{"http://localhost:3000", "https://example.com/docs",
                                                          "https://github.com", "http://127.0.0.1:8080/app"});
    connectTo("/pictures");
    for (const char* selector : {"h1", "#intro", "li:nth-child(2)", "a"})
        ASSERT_NO_FATAL_FAILURE(pick(selector));
    sidebar->resize(320, 560);
    sidebar->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sidebar.get()));
    // Shown alone, the sidebar's window gives its first field the focus, which lists suggestions.
    ui(*sidebar).urlField()->clearFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ui(*sidebar).suggestBox()->isHidden(); }, 15000));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({sidebar.get()}));
    testsupport::snapshot(sidebar.get()).save(testsupport::artifactsDir() + "/webpicker-picks.png");

    ui(*sidebar).replButton()->click();
    ui(*sidebar).replField()->setText("document.title");
    QTest::keyClick(ui(*sidebar).replField(), Qt::Key_Return);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ui(*sidebar).replResultLabel()->text() == "= \"Pictures\""; }, 20000));
    ASSERT_TRUE(testsupport::waitForAnimationsToEnd({sidebar.get()}));
    testsupport::snapshot(sidebar.get()).save(testsupport::artifactsDir() + "/webpicker-console.png");

    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(ui(*sidebar).urlField(), &focusIn);
    ASSERT_FALSE(ui(*sidebar).suggestBox()->isHidden());
    testsupport::snapshot(sidebar.get()).save(testsupport::artifactsDir() + "/webpicker-suggestions.png");
}

// The hostile texts through the chrome's own drawing: tab titles (a terminal's title, a folder's or
// a restored tab's name), the in-window question's title and message, and the eliding label of
// outside names. Each draws exactly what its visible-escapes form draws: one line, in its order.
#include "ChromeTestSupport.h"
#include "chrome/AlertSheetView.h"
#include "chrome/ElidedLabel.h"
#include "chrome/HeaderBarView.h"
#include "chrome/TabItemView.h"
#include "support/HostileText.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

using plaintext::visibleEscapes;
using testsupport::hostileTexts;

namespace {

QImage drawn(QWidget* w) {
    return w->grab().toImage();
}

} // namespace

TEST(PlainTextChrome, TabTitlesDrawOnOneLineInTheirOwnOrder) {
    QWidget window;
    window.resize(1200, 300);
    auto* header = new HeaderBarView(&window);
    header->setGeometry(0, 0, 1200, HeaderBarView::barHeight);
    window.show();
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        // The hostile title and its escaped form side by side, neither active, in one colour.
        const QColor colour = QColor::fromHsvF(0.3, 0.6, 1.0);
        header->updateTabs(3, 2, {raw, visibleEscapes(raw), QStringLiteral("x")}, {colour, colour, colour},
                           {false, false, false});
        chrometest::finishAnimations(header);
        ASSERT_EQ(header->tabItems().size(), 3);
        TabItemView* hostile = header->tabItems()[0].data();
        TabItemView* escaped = header->tabItems()[1].data();
        testsupport::expectShownAsText(hostile->title(), raw);
        EXPECT_EQ(hostile->accessibleName(), visibleEscapes(raw));
        EXPECT_EQ(drawn(hostile), drawn(escaped));
    }
}

TEST(PlainTextChrome, AQuestionDrawsItsTitleAndMessageAsText) {
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        QWidget host;
        host.resize(600, 400);
        host.show();
        const AlertSheetView::Answer ok{.label = QStringLiteral("OK")};
        AlertSheetView* hostile = AlertSheetView::show(&host, raw, raw, {ok});
        chrometest::finishAnimations(&host);
        const QImage shown = drawn(hostile);
        hostile->withdraw();
        AlertSheetView* escaped = AlertSheetView::show(&host, visibleEscapes(raw),
                                                       visibleEscapes(raw, plaintext::Lines::kept), {ok});
        chrometest::finishAnimations(&host);
        EXPECT_EQ(shown, drawn(escaped));
    }
}

TEST(PlainTextChrome, AnElidedNameIsPlainAndEndsInAnEllipsis) {
    for (const auto& [name, raw] : hostileTexts()) {
        SCOPED_TRACE(name);
        chrome::ElidedLabel hostile(raw, QFont(), Qt::white);
        chrome::ElidedLabel escaped(visibleEscapes(raw), QFont(), Qt::white);
        for (chrome::ElidedLabel* label : {&hostile, &escaped}) {
            label->resize(120, label->sizeHint().height());
            label->show();
        }
        EXPECT_EQ(hostile.textFormat(), Qt::PlainText);
        EXPECT_EQ(hostile.text(), raw) << "the label holds the name as it is";
        testsupport::expectShownAsText(hostile.shownText(), raw);
        EXPECT_EQ(drawn(&hostile), drawn(&escaped));
    }
    chrome::ElidedLabel branch(QStringLiteral("feature/a-very-long-branch-name-that-does-not-fit"), QFont(),
                               Qt::white);
    branch.resize(120, branch.sizeHint().height());
    EXPECT_TRUE(branch.shownText().endsWith(QChar(0x2026))) << branch.shownText().toStdString();
    EXPECT_LE(branch.fontMetrics().horizontalAdvance(branch.shownText()), 120);
}

#include "palette/HelpViewer.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

std::vector<HelpViewer::StyledLine> manyLines(int n) {
    std::vector<HelpViewer::StyledLine> lines;
    for (int i = 0; i < n; ++i)
        lines.push_back({QStringLiteral("line %1").arg(i), HelpViewer::LineStyle::normal});
    return lines;
}

} // namespace

TEST(ChangelogScroll, RelaxesTowardsCruisingAndNeverMovesBelowTheStart) {
    ChangelogScroll s{-100, -100, 0.3};
    EXPECT_FALSE(s.tick());
    EXPECT_DOUBLE_EQ(s.y, -99.7);
    s.wheel(10); // the text moves back down
    EXPECT_DOUBLE_EQ(s.speed, 0.3 - 1.5);
    s.tick();
    EXPECT_DOUBLE_EQ(s.y, -100) << "stopped at the start";
    EXPECT_DOUBLE_EQ(s.speed, 0);
    s.tick();
    EXPECT_DOUBLE_EQ(s.speed, 0.3 * 0.04);
    s.wheel(-40); // faster up
    int ticks = 0;
    while (!s.tick() && ticks < 10000) ++ticks;
    EXPECT_GE(s.y, 0);
    EXPECT_LT(ticks, 100);
}

TEST(HelpViewer, FindsTheCompiledInChangelogAndFilesBesideIt) {
    EXPECT_TRUE(HelpViewer::findFile(QStringLiteral("CHANGELOG.md")).startsWith(QStringLiteral("# Dunmar")));
    QTemporaryDir dir;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(HelpViewer::findFile(QStringLiteral("NOTES.md")), QString());
    QFile file(dir.filePath(QStringLiteral("NOTES.md")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("notes");
    file.close();
    EXPECT_EQ(HelpViewer::findFile(QStringLiteral("NOTES.md")), QStringLiteral("notes"));
    QDir::setCurrent(saved);
}

TEST(HelpViewer, AShortDocumentClosesAtTheFirstTick) {
    QWidget main;
    main.setGeometry(100, 100, 900, 500);
    main.show();
    HelpViewer viewer;
    viewer.setStartDelay(0);
    viewer.showLines(manyLines(3), &main, 720);
    ASSERT_NE(viewer.window(), nullptr);
    const QPoint offCentre = viewer.window()->geometry().center() - main.frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2) << "centred on the main window";
    EXPECT_TRUE(viewer.window()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(viewer.documentView()->y(), 0) << "the top of the text at the top of the window";
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.window() == nullptr; }, 5000))
        << "the timer started and its first tick closed the viewer";
}

TEST(HelpViewer, ScrollsUpWheelsBackAndClosesOnEscapeOrASecondShow) {
    QWidget main;
    main.setGeometry(100, 100, 900, 500);
    main.show();
    HelpViewer viewer;
    viewer.showLines(manyLines(40), &main, 720);
    QWidget* document = viewer.documentView();
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(viewer.isScrolling()) << "it waits three seconds first";
    const int start = document->y();
    for (int i = 0; i < 10; ++i) viewer.tick();
    EXPECT_LT(document->y(), start) << "the text moves up";
    QWheelEvent back(QPointF(10, 10), QPointF(110, 110), QPoint(0, 200), QPoint(0, 0), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&main, &back);
    EXPECT_LT(viewer.currentSpeed(), 0);
    viewer.tick();
    EXPECT_EQ(document->y(), start) << "back down no further than the start";
    EXPECT_EQ(viewer.currentSpeed(), 0);

    // A key other than Escape passes; Escape closes and is swallowed.
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    EXPECT_FALSE(QApplication::sendEvent(&main, &other) && viewer.window() == nullptr);
    EXPECT_NE(viewer.window(), nullptr);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&main, &escape);
    EXPECT_EQ(viewer.window(), nullptr);
    EXPECT_FALSE(viewer.isScrolling());

    // Shown again, a second show request closes it and opens nothing.
    viewer.showLines(manyLines(40), &main, 720);
    ASSERT_NE(viewer.window(), nullptr);
    QTest::mouseClick(viewer.window(), Qt::LeftButton);
    EXPECT_NE(viewer.window(), nullptr) << "a click inside keeps it";
    viewer.showLines(manyLines(40), &main, 720);
    EXPECT_EQ(viewer.window(), nullptr);

    viewer.showLines(manyLines(40), &main, 720);
    QTest::mouseClick(&main, Qt::LeftButton);
    EXPECT_EQ(viewer.window(), nullptr) << "a click into another window closes it";
}

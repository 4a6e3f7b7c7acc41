// The pointer as the program in the terminal and the user see it: mouse reports in each mode and
// encoding, Command-clicks on hyperlinks, the pointer's shape, and the click routing to the
// controller.
#include "ViewTestSupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>

namespace {

void mouse(TerminalView& view, QEvent::Type type, QPointF pos, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent event(type, pos, view.mapToGlobal(pos), button, buttons, mods);
    QApplication::sendEvent(&view, &event);
}

void press(TerminalView& view, QPointF pos, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers mods = Qt::NoModifier) {
    mouse(view, QEvent::MouseButtonPress, pos, button, button, mods);
}

void release(TerminalView& view, QPointF pos, Qt::MouseButton button = Qt::LeftButton) {
    mouse(view, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}

void drag(TerminalView& view, QPointF pos, Qt::MouseButtons buttons = Qt::LeftButton) {
    mouse(view, QEvent::MouseMove, pos, Qt::NoButton, buttons);
}

QPointF cellCenter(const TerminalView& view, int row, int col) {
    return QPointF(TerminalView::paddingX + (col + 0.5) * view.cellW(),
                   TerminalView::paddingY + (row + 0.5) * view.cellH());
}

// Waits for exactly these bytes from the child.
void expectSent(InputDump& dump, const QByteArray& expected, const char* what = "") {
    EXPECT_EQ(visible(dump.take(expected.size())), visible(expected)) << what;
}

// Receives the links the desktop would open.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace

TEST_F(ViewTest, PressesAndReleasesAreReportedInSgrAndLegacyForms) {
    // Wide enough for column 300.
    auto view = makeDumpView(QSize(3200, 300));
    InputDump dump(dumpPath);
    ASSERT_GT(view->terminal().cols(), 301);
    feed(*view, "\x1b[?1000h\x1b[?1006h");
    const QPointF origin = cellCenter(*view, 0, 0);
    press(*view, origin);
    release(*view, origin);
    expectSent(dump, QByteArray("\x1b[<0;1;1M\x1b[<0;1;1m"));
    press(*view, cellCenter(*view, 2, 300), Qt::RightButton);
    release(*view, cellCenter(*view, 2, 300), Qt::RightButton);
    press(*view, cellCenter(*view, 1, 4), Qt::MiddleButton);
    release(*view, cellCenter(*view, 1, 4), Qt::MiddleButton);
    expectSent(dump, QByteArray("\x1b[<2;301;3M\x1b[<2;301;3m\x1b[<1;5;2M\x1b[<1;5;2m"));
    EXPECT_EQ(view->contextMenu(), nullptr) << "the right button belongs to the program";

    // The legacy form: one byte per value, a release is button 3, coordinates capped at 223.
    feed(*view, "\x1b[?1006l");
    press(*view, origin);
    release(*view, origin);
    expectSent(dump, QByteArray("\x1b[M\x20\x21\x21\x1b[M\x23\x21\x21"));
    press(*view, cellCenter(*view, 0, 300));
    expectSent(dump, QByteArray("\x1b[M\x20\xff\x21"));
    release(*view, cellCenter(*view, 0, 300));
    expectSent(dump, QByteArray("\x1b[M\x23\xff\x21"));

    // UTF-8 (1005): small values are the same bytes; column 301 is one two-byte character.
    feed(*view, "\x1b[?1005h");
    ASSERT_EQ(view->terminal().mouseEncoding(), MouseEncoding::utf8);
    press(*view, origin);
    expectSent(dump, QByteArray("\x1b[M\x20\x21\x21"));
    press(*view, cellCenter(*view, 0, 300));
    // 301 + 32 = 333 = U+014D.
    expectSent(dump, QByteArray("\x1b[M\x20\xc5\x8d\x21"));
    release(*view, cellCenter(*view, 0, 300));
    expectSent(dump, QByteArray("\x1b[M\x23\xc5\x8d\x21"));
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, EachMouseModeReportsItsOwnMotion) {
    auto view = makeDumpView();
    showFocused(*view);
    InputDump dump(dumpPath);
    const QPointF a = cellCenter(*view, 1, 1);
    const QPointF aNudged = a + QPointF(1, 1);
    const QPointF b = cellCenter(*view, 1, 3);

    feed(*view, "\x1b[?1000h\x1b[?1006h");
    press(*view, a);
    drag(*view, b);
    mouse(*view, QEvent::MouseMove, b, Qt::NoButton, Qt::NoButton);
    release(*view, b);
    expectSent(dump, QByteArray("\x1b[<0;2;2M\x1b[<0;4;2m"), "1000: no motion at all");
    EXPECT_FALSE(view->selStart().has_value()) << "no selection while reporting";

    feed(*view, "\x1b[?1002h");
    press(*view, a);
    drag(*view, aNudged); // the same cell: reported once at most
    drag(*view, b);
    mouse(*view, QEvent::MouseMove, a, Qt::NoButton, Qt::NoButton);
    release(*view, b);
    expectSent(dump, QByteArray("\x1b[<0;2;2M\x1b[<32;4;2M\x1b[<0;4;2m"), "1002");

    feed(*view, "\x1b[?1003h");
    mouse(*view, QEvent::MouseMove, a, Qt::NoButton, Qt::NoButton);
    mouse(*view, QEvent::MouseMove, aNudged, Qt::NoButton, Qt::NoButton);
    mouse(*view, QEvent::MouseMove, b, Qt::NoButton, Qt::NoButton);
    expectSent(dump, QByteArray("\x1b[<35;2;2M\x1b[<35;4;2M"), "1003");
    // Legacy motion codes are 32 + 32 and 35 + 32.
    feed(*view, "\x1b[?1006l");
    mouse(*view, QEvent::MouseMove, a, Qt::NoButton, Qt::NoButton);
    expectSent(dump, QByteArray("\x1b[M\x43\x22\x22"));
    EXPECT_EQ(visible(dump.rest(*view)), "");
}

TEST_F(ViewTest, OptionClicksMoveTheWindowInEveryModeAndAreNeverReported) {
    auto view = makeDumpView();
    InputDump dump(dumpPath);
    feed(*view, "\x1b[?1002h\x1b[?1006h");
    const QPointF a = cellCenter(*view, 1, 1);
    press(*view, a, Qt::LeftButton, Qt::AltModifier);
    mouse(*view, QEvent::MouseMove, cellCenter(*view, 2, 5), Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
    release(*view, cellCenter(*view, 2, 5));
    EXPECT_EQ(visible(dump.rest(*view)), "");
    feed(*view, "\x1b[?1002l");
    press(*view, a, Qt::LeftButton, Qt::AltModifier);
    mouse(*view, QEvent::MouseMove, cellCenter(*view, 2, 5), Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
    release(*view, cellCenter(*view, 2, 5));
    EXPECT_FALSE(view->selStart().has_value()) << "an Option drag selects nothing";
}

TEST_F(ViewTest, CommandClickOpensTheLinkUnderThePointerAlsoInHistory) {
    LinkCatcher catcher;
    for (const char* scheme : {"https", "http", "mailto", "ftp"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
    auto view = makeQuietView();
    feed(*view, "\x1b]8;;https://example.com/old\x1b\\old link\x1b]8;;\x1b\\\r\n");
    for (int i = 0; i < 40; ++i) feed(*view, "filler\r\n");
    feed(*view, "\x1b[H\x1b]8;;HTTPS://example.com/live\x1b\\live link\x1b]8;;\x1b\\ "
                "\x1b]8;;ftp://example.com/f\x1b\\ftp link\x1b]8;;\x1b\\");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    ASSERT_GT(sb, 0);

    const QPointF live = cellCenter(*view, 0, 2);
    press(*view, live, Qt::LeftButton, Qt::MetaModifier);
    release(*view, live);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.last().toString(), "https://example.com/live");
    // A plain click opens nothing; neither does a link to another scheme.
    press(*view, live);
    release(*view, live);
    const QPointF ftp = cellCenter(*view, 0, 12);
    ASSERT_EQ(view->hyperlinkAt(ftp), "ftp://example.com/f");
    press(*view, ftp, Qt::LeftButton, Qt::MetaModifier);
    release(*view, ftp);
    EXPECT_EQ(catcher.opened.size(), 1);

    // Scrolled back to the oldest line: the link drawn there is the one opened, not the live one.
    view->setSmoothScrollY(view->cellH() * double(sb));
    ASSERT_EQ(view->gridPos(live).row, 0);
    EXPECT_EQ(view->hyperlinkAt(live), "https://example.com/old");
    press(*view, live, Qt::LeftButton, Qt::MetaModifier);
    release(*view, live);
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened.last().toString(), "https://example.com/old");
    EXPECT_FALSE(view->selStart().has_value());
    for (const char* scheme : {"https", "http", "mailto", "ftp"}) QDesktopServices::unsetUrlHandler(scheme);
}

TEST_F(ViewTest, ThePointerShowsLinksTextAndTheWindowEdges) {
    auto view = makeQuietView();
    showFocused(*view);
    feed(*view, "\x1b]8;;https://example.com\x1b\\link\x1b]8;;\x1b\\ text");
    const auto move = [&](QPointF p) { mouse(*view, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); };
    move(cellCenter(*view, 0, 1));
    EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
    move(cellCenter(*view, 0, 6));
    EXPECT_EQ(view->cursor().shape(), Qt::IBeamCursor);
    move(QPointF(3, 100));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeHorCursor);
    move(QPointF(view->width() - 3, 100));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeHorCursor);
    move(QPointF(100, view->height() - 3));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeVerCursor);
    move(QPointF(3, view->height() - 3));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeBDiagCursor);
    move(QPointF(view->width() - 3, view->height() - 3));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeFDiagCursor);
    EXPECT_TRUE(view->isInEdgeZone(QPoint(5, 50)));
    EXPECT_FALSE(view->isInEdgeZone(QPoint(20, 5))) << "the top edge is not a resize zone";

    // While the settings panel is open the pointer is left alone.
    host.settingsOpen = true;
    move(cellCenter(*view, 0, 1));
    EXPECT_EQ(view->cursor().shape(), Qt::SizeFDiagCursor);
    host.settingsOpen = false;

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view.get(), &leave);
    EXPECT_TRUE(host.calls.contains("handleBorderHover 0"));
}

TEST_F(ViewTest, ALeftPressClosesThePaletteAndTheSettingsAndStillSelects) {
    auto view = makeQuietView();
    feed(*view, "hello world");
    host.paletteShown = true;
    host.settingsOpen = true;
    const QPointF h = cellCenter(*view, 0, 0);
    press(*view, h);
    drag(*view, cellCenter(*view, 0, 4));
    release(*view, cellCenter(*view, 0, 4));
    EXPECT_EQ(host.calls, QStringList({"dismissCommandPalette", "hideSettings"}));
    EXPECT_EQ(view->selectedText(), "hello");
}

#include "TerminalViewMouseTest.moc"

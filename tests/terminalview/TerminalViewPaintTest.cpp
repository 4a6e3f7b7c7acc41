// What a pane draws, checked on its pixels. The engine is fed directly, in a pane whose shell
// prints nothing.
#include "ViewTestSupport.h"
#include "theme/ThemeColors.h"
#include "engine/Sixel.h"

#include <QTest>
#include <set>

namespace {

// A colour as it lands in an 8-bit image.
QRgb rgb(const ColorRGBA& c) {
    return QColor::fromRgbF(float(c.r), float(c.g), float(c.b)).rgb();
}

// A pixel near a cell's top-left corner: away from glyphs and from the underline.
QPoint cellProbe(const TerminalView& view, int row, int col) {
    const QRect r = cellRect(view, row, col);
    return QPoint(r.left() + 1, r.top() + 1);
}

// Pixels of a rectangle that differ from `background`.
int inkIn(const QImage& image, const QRect& rect, QColor background) {
    return rect.width() * rect.height() - countPixels(image, rect, background, 6);
}

// The x extent of the ink in a rectangle.
std::pair<int, int> inkSpan(const QImage& image, const QRect& rect, QColor background) {
    int lo = INT_MAX, hi = INT_MIN;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (countPixels(image, QRect(x, y, 1, 1), background, 6) == 0) {
                lo = std::min(lo, x);
                hi = std::max(hi, x);
            }
    return {lo, hi};
}

class PaintTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        initColorGlobals();
        pane.fontSize = 14.0;
        view = makeQuietView(QSize(700, 460));
    }
    void TearDown() override {
        view.reset();
        ViewTest::TearDown();
    }
    // The pane's background where nothing is drawn.
    QColor background(const QImage& image) const {
        return image.pixelColor(view->width() - 3, view->height() - 3);
    }
    std::unique_ptr<TerminalView> view;
};

} // namespace

TEST_F(PaintTest, CellsShowTheirColoursInverseAndHiddenText) {
    view->show();
    feed(
        *view,
        "\x1b[41m  \x1b[48;2;10;200;30m  \x1b[0m \x1b[32m\xe2\x96\x88\x1b[38;2;250;20;120m\xe2\x96\x88\x1b[0m"
        " \x1b[7m \x1b[0m \x1b[8;4;58;2;255;0;0mH\x1b[0m");
    const QImage image = grabImage(*view);
    EXPECT_EQ(image.pixel(cellProbe(*view, 0, 0)), rgb(kAnsiColorCache[1]));
    EXPECT_EQ(image.pixel(cellProbe(*view, 0, 2)), qRgb(10, 200, 30));
    // Full blocks fill their cell with the foreground.
    const QRect block16 = cellRect(*view, 0, 5);
    const QRect blockTrue = cellRect(*view, 0, 6);
    EXPECT_EQ(image.pixel(block16.center()), rgb(kAnsiColorCache[2]));
    EXPECT_EQ(image.pixel(blockTrue.center()), qRgb(250, 20, 120));
    // Inverse swaps the default colours: the cell is filled with the default foreground.
    EXPECT_EQ(image.pixel(cellProbe(*view, 0, 8)), rgb(kDefaultFG));
    // Hidden text takes its background as foreground: only its underline shows.
    const QRect hidden = cellRect(*view, 0, 10);
    const int underlineY = hidden.top() + int(view->cellH()) - 2;
    EXPECT_EQ(countPixels(image, QRect(hidden.left(), underlineY, hidden.width(), 1), Qt::red, 8),
              hidden.width());
    EXPECT_EQ(inkIn(image, QRect(hidden.left(), hidden.top(), hidden.width(), underlineY - hidden.top()),
                    background(image)),
              0);
}

TEST_F(PaintTest, EveryUnderlineStyleDrawsItsOwnLine) {
    view->show();
    struct Case {
        const char* sgr;
        const char* name;
    };
    const Case cases[] = {{"4", "single"},   {"4:2", "double"}, {"4:3", "curly"},
                          {"4:4", "dotted"}, {"4:5", "dashed"}, {"4:9", "unknown style"}};
    QByteArray bytes;
    for (const Case& c : cases) bytes += QByteArray("\x1b[") + c.sgr + ";58;2;255;0;0m    \x1b[0m\r\n";
    // A hyperlink is always dashed in the link colour, whatever its style.
    bytes += "\x1b]8;;https://example.org\x1b\\\x1b[4:3;58;2;255;0;0m    \x1b[0m\x1b]8;;\x1b\\\r\n";
    feed(*view, bytes);
    const QImage image = grabImage(*view);
    const int cellW = int(view->cellW());
    const int width = 4 * cellW;
    auto redPerLine = [&](int row) {
        const QRect cells = cellRect(*view, row, 0);
        std::vector<int> counts;
        for (int y = cells.top(); y < cells.top() + int(view->cellH()); ++y)
            counts.push_back(countPixels(image, QRect(cells.left(), y, width, 1), Qt::red, 8));
        return counts;
    };
    const int ulY = int(view->cellH()) - 2;
    auto onlyAt = [](const std::vector<int>& counts, std::set<int> lines) {
        for (int y = 0; y < int(counts.size()); ++y)
            if ((counts[y] > 0) != (lines.count(y) > 0)) return false;
        return true;
    };
    std::vector<int> single = redPerLine(0);
    EXPECT_TRUE(onlyAt(single, {ulY}));
    EXPECT_EQ(single[ulY], width);
    std::vector<int> doubled = redPerLine(1);
    EXPECT_TRUE(onlyAt(doubled, {ulY, ulY - 2}));
    EXPECT_EQ(doubled[ulY - 2], width);
    // The wave rises and falls around the underline position.
    const QRect curlyCells(cellRect(*view, 2, 0).left(), cellRect(*view, 2, 0).top(), width,
                           int(view->cellH()));
    int curlyLines = 0;
    for (int y = curlyCells.top(); y <= curlyCells.bottom(); ++y)
        curlyLines += inkIn(image, QRect(curlyCells.left(), y, width, 1), background(image)) > 0;
    EXPECT_GE(curlyLines, 3);
    int dotsPerCell = 0, dashPerCell = 0;
    for (int at = 0; at < cellW; at += 3) ++dotsPerCell;
    for (int at = 0; at < cellW; at += 6) dashPerCell += std::min(4, cellW - at);
    std::vector<int> dotted = redPerLine(3);
    EXPECT_TRUE(onlyAt(dotted, {ulY}));
    EXPECT_EQ(dotted[ulY], 4 * dotsPerCell);
    std::vector<int> dashed = redPerLine(4);
    EXPECT_TRUE(onlyAt(dashed, {ulY}));
    EXPECT_EQ(dashed[ulY], 4 * dashPerCell);
    EXPECT_EQ(redPerLine(5), single);

    const QRect link = cellRect(*view, 6, 0);
    EXPECT_EQ(countPixels(image, QRect(link.left(), link.top(), width, int(view->cellH())), Qt::red, 60), 0);
    int linkInk = 0;
    for (int y = link.top(); y < link.top() + int(view->cellH()); ++y) {
        const int ink = inkIn(image, QRect(link.left(), y, width, 1), background(image));
        if (y == link.top() + ulY) {
            linkInk = ink;
        } else {
            EXPECT_EQ(ink, 0) << "line " << y - link.top();
        }
    }
    EXPECT_NEAR(linkInk, width / 2, 4);
}

TEST_F(PaintTest, TheSixCursorStylesAndNoCursorWithoutFocus) {
    showFocused(*view);
    const QColor cursorColor(rgb(kCursorColor));
    const QRect cell = cellRect(*view, 0, 0);
    for (int style = 1; style <= 6; ++style) {
        view->terminal().process("\x1b[" + std::to_string(style) + " q");
        view->update();
        view->noteKeystroke(); // a blinking cursor is lit right after a key
        const QImage image = grabImage(*view);
        const QColor bg = background(image);
        const int barPixels =
            countPixels(image, QRect(cell.left(), cell.top(), 2, cell.height()), cursorColor, 3);
        const int linePixels =
            countPixels(image, QRect(cell.left(), cell.bottom() - 1, cell.width(), 2), cursorColor, 3);
        QColor blended;
        blended.setRgbF(bg.redF() * 0.65f + 0.4f * 0.35f, bg.greenF() * 0.65f + 0.7f * 0.35f,
                        bg.blueF() * 0.65f + 1.0f * 0.35f);
        const int blockPixels = countPixels(image, cell, blended, 3);
        if (style == 5 || style == 6) {
            EXPECT_EQ(barPixels, 2 * cell.height()) << style;
            EXPECT_EQ(linePixels, 4) << style; // where the bar crosses the bottom rows
        } else if (style == 3 || style == 4) {
            EXPECT_EQ(linePixels, 2 * cell.width()) << style;
            EXPECT_EQ(barPixels, 4) << style;
        } else {
            EXPECT_EQ(blockPixels, cell.width() * cell.height()) << style;
        }
        EXPECT_EQ(view->isCursorBlinkTimerActive(), style % 2 == 1) << style;
    }
    view->clearFocus();
    const QImage unfocused = grabImage(*view);
    EXPECT_EQ(inkIn(unfocused, cell, background(unfocused)), 0);
    EXPECT_FALSE(view->isCursorBlinkTimerActive());

    // The user's choice applies while the shell chose none.
    view->terminal().process("\x1b[0 q");
    struct Case {
        int userStyle;
        bool blink;
        int drawn;
    };
    for (const Case c : {Case{2, true, 1}, Case{2, false, 2}, Case{1, true, 5}, Case{1, false, 6},
                         Case{0, true, 3}, Case{0, false, 4}, Case{7, false, 4}}) {
        view->setUserCursorStyle(c.userStyle);
        view->setUserCursorBlink(c.blink);
        EXPECT_EQ(view->effectiveCursorStyle(), c.drawn) << c.userStyle << " " << c.blink;
    }
}

TEST_F(PaintTest, ADoubleWidthLineShowsEachCharacterTwiceAsWide) {
    view->show();
    feed(*view, "\x1b#6E\r\n\r\nE");
    const QImage image = grabImage(*view);
    const QColor bg = background(image);
    const int band = 4 * int(view->cellW());
    const auto wide =
        inkSpan(image, QRect(cellRect(*view, 0, 0).topLeft(), QSize(band, int(view->cellH()))), bg);
    const auto normal =
        inkSpan(image, QRect(cellRect(*view, 2, 0).topLeft(), QSize(band, int(view->cellH()))), bg);
    ASSERT_GT(normal.second, normal.first);
    const double ratio = double(wide.second - wide.first + 1) / double(normal.second - normal.first + 1);
    EXPECT_GT(ratio, 1.6);
    EXPECT_LT(ratio, 2.4);
}

// A character with marks that have no precomposed form is drawn with them, inside its own cell.
TEST_F(PaintTest, MarksAreDrawnOnTheirBase) {
    view->show();
    feed(*view, "o\r\n\r\no\xcc\xb2\xcc\x88");
    const QImage image = grabImage(*view);
    const QColor bg = background(image);
    const int plain = inkIn(image, cellRect(*view, 0, 0), bg);
    const int marked = inkIn(image, cellRect(*view, 2, 0), bg);
    EXPECT_GT(plain, 0);
    EXPECT_GT(marked, plain + 4);
    EXPECT_LT(inkIn(image, cellRect(*view, 2, 1), bg), marked / 4) << "drawn where its base stands";
}

TEST_F(PaintTest, ImagesAreDrawnInPlaceAndScaledDownToFit) {
    view->show();
    // A sixel image of one colour (percentages of red, green and blue), w x h pixels.
    auto solid = [](int w, int h, int r, int g, int b) {
        std::string text = "\x1bPq\"1;1;" + std::to_string(w) + ";" + std::to_string(h) + "#1;2;" +
                           std::to_string(r) + ";" + std::to_string(g) + ";" + std::to_string(b);
        for (int top = 0; top < h; top += 6) {
            const int rows = std::min(6, h - top);
            text += (top ? "-#1!" : "#1!") + std::to_string(w) + char(63 + (1 << rows) - 1);
        }
        return QByteArray::fromStdString(text + "\x1b\\");
    };
    Terminal& t = view->terminal();
    feed(*view, "\x1b[3;4H" + solid(30, 12, 100, 0, 0));
    // Far wider than the room right of column 5: scaled to end at the last column.
    feed(*view, "\x1b[7;6H" + solid(2000, 200, 0, 0, 100));
    ASSERT_EQ(t.sixelImages().size(), 2u);
    view->update();
    QImage image = grabImage(*view);
    const QRect at = cellRect(*view, 2, 3);
    EXPECT_EQ(countPixels(image, QRect(at.topLeft(), QSize(30, 12)), Qt::red, 2), 30 * 12);
    EXPECT_EQ(countPixels(image, QRect(at.left() + 30, at.top(), 4, 12), Qt::red, 2), 0) << "never enlarged";
    const double k = view->cellW() * double(t.cols() - 5) / 2000.0;
    const int right = int(TerminalView::paddingX + view->cellW() * double(t.cols()));
    const QRect wide = cellRect(*view, 6, 5);
    EXPECT_EQ(countPixels(image, QRect(right - 3, wide.top() + 1, 2, 2), Qt::blue, 2), 4);
    EXPECT_EQ(countPixels(image, QRect(right + 2, wide.top() + 1, 2, 2), Qt::blue, 2), 0);
    const int bottom = wide.top() + int(200 * k);
    EXPECT_EQ(countPixels(image, QRect(wide.left() + 4, bottom - 2, 1, 1), Qt::blue, 2), 1);
    EXPECT_EQ(countPixels(image, QRect(wide.left() + 4, bottom + 2, 1, 1), Qt::blue, 2), 0);

    // Scrolled back into history the images are not shown.
    for (int i = 0; i < 60; ++i) feed(*view, "line\r\n");
    view->setSmoothScrollY(view->cellH() * 10);
    image = grabImage(*view);
    EXPECT_EQ(countPixels(image, image.rect(), Qt::red, 2), 0);
}

TEST_F(PaintTest, SelectionStopsAtTheLastTextColumnAndSearchMatchesShow) {
    view->show();
    feed(*view, "\x1b[Hhello\r\n\r\nfind me");
    const auto sb = std::int64_t(view->terminal().scrollback().size());
    view->setSelection(GridPos{sb, 0}, GridPos{sb, 20});
    host.highlights = {{2, 0, 4}, {2, 5, 2}};
    host.currentHighlight = 0;
    QImage image = grabImage(*view);
    const QColor bg = background(image);
    const QColor selection = image.pixelColor(cellProbe(*view, 0, 1));
    EXPECT_NE(selection, bg);
    EXPECT_EQ(image.pixelColor(cellProbe(*view, 0, 4)), selection);
    EXPECT_EQ(image.pixelColor(cellProbe(*view, 0, 5)), bg) << "past the last character";
    EXPECT_EQ(image.pixelColor(cellProbe(*view, 0, 12)), bg);
    const QColor current = image.pixelColor(cellProbe(*view, 2, 1) + QPoint(2, 0));
    const QColor other = image.pixelColor(cellProbe(*view, 2, 5) + QPoint(2, 0));
    EXPECT_GT(current.red(), current.blue() + 60) << "the current match glows orange";
    EXPECT_GT(other.red(), other.blue()) << "other matches are tinted yellow";
    EXPECT_NE(current, other);

    // Matches on grid rows are not drawn while history is shown; the badge is.
    for (int i = 0; i < 60; ++i) feed(*view, "line\r\n");
    host.highlights = {{2, 0, 4}};
    view->clearSelection();
    view->setSmoothScrollY(view->cellH() * 12);
    image = grabImage(*view);
    EXPECT_EQ(image.pixelColor(cellProbe(*view, 2, 1) + QPoint(2, 0)), background(image));
    const QColor badge = image.pixelColor(view->width() - 12, 7);
    EXPECT_LT(badge.lightness(), background(image).lightness() - 60) << "the badge is dark";
}

TEST_F(PaintTest, HalfARowOrLessDrawsTheLiveScreen) {
    showFocused(*view);
    for (int i = 0; i < 80; ++i) feed(*view, QByteArray("line ") + QByteArray::number(i) + "\r\n");
    view->terminal().process("\x1b[2 q"); // a steady block
    const QImage live = grabImage(*view);
    for (double offset : {0.3, 1.0, view->cellH() * 0.5}) {
        view->setSmoothScrollY(offset);
        EXPECT_FALSE(view->isScrolledBack()) << offset;
        EXPECT_EQ(grabImage(*view), live) << offset;
    }
    view->setSmoothScrollY(view->cellH() * 0.5 + 1);
    EXPECT_TRUE(view->isScrolledBack());
    EXPECT_NE(grabImage(*view), live);
    // A whole row back shows the last history line on top and no cursor.
    view->setSmoothScrollY(view->cellH());
    const QImage back = grabImage(*view);
    const QRect cursorCell = cellRect(*view, int(view->terminal().cursorY()) + 1, 0);
    EXPECT_EQ(inkIn(back, cursorCell, background(back)), 0);
}

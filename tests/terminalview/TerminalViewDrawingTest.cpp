// Characters drawn from the cell's geometry or from another font than the terminal's, checked on
// the pixels of a pane fed directly, at several font sizes. Each test leaves its picture in the
// build folder's "artifacts".
#include "ViewTestSupport.h"
#include "support/Artifacts.h"

#include <QTest>
#include <functional>
#include <vector>

namespace {

const QColor kInk(255, 255, 255);
const QByteArray kWhite = "\x1b[38;2;255;255;255m";

bool isInk(const QImage& image, int x, int y) {
    return countPixels(image, QRect(x, y, 1, 1), kInk, 12) == 1;
}

// Cells row0..row1 and col0..col1, both ends included.
QRect cellsRect(const TerminalView& view, int row0, int col0, int row1, int col1) {
    return cellRect(view, row0, col0).united(cellRect(view, row1, col1));
}

// The number of 4-connected regions of pixels in a rectangle that `inRegion` accepts.
int regions(const QRect& rect, const std::function<bool(int, int)>& inRegion) {
    std::vector<char> seen(std::size_t(rect.width() * rect.height()), 0);
    const auto at = [&](int x, int y) -> char& {
        return seen[std::size_t((y - rect.top()) * rect.width() + (x - rect.left()))];
    };
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (at(x, y) || !inRegion(x, y)) continue;
            ++count;
            std::vector<QPoint> stack{QPoint(x, y)};
            at(x, y) = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint n = p + step;
                    if (!rect.contains(n) || at(n.x(), n.y()) || !inRegion(n.x(), n.y())) continue;
                    at(n.x(), n.y()) = 1;
                    stack.push_back(n);
                }
            }
        }
    }
    return count;
}

// The least number of ink pixels across a rectangle, per pixel column or per pixel row.
int thinnestSpot(const QImage& image, const QRect& rect, bool alongX) {
    int least = INT_MAX;
    const int outer = alongX ? rect.width() : rect.height();
    const int inner = alongX ? rect.height() : rect.width();
    for (int i = 0; i < outer; ++i) {
        int ink = 0;
        for (int j = 0; j < inner; ++j)
            ink += alongX ? isInk(image, rect.left() + i, rect.top() + j)
                          : isInk(image, rect.left() + j, rect.top() + i);
        least = std::min(least, ink);
    }
    return least;
}

// Where the ink of a rectangle lies across, on average, or -1 without ink.
double inkCentreX(const QImage& image, const QRect& rect, QColor background) {
    double sum = 0;
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (countPixels(image, QRect(x, y, 1, 1), background, 40) == 0) {
                sum += x;
                ++count;
            }
    return count ? sum / count : -1;
}

class DrawingTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        view = makeQuietView(QSize(760, 460));
        view->show();
    }
    void TearDown() override {
        view.reset();
        ViewTest::TearDown();
    }
    QImage show(double fontSize, const QByteArray& bytes) {
        view->updateFontSize(fontSize);
        feed(*view, "\x1b[0m\x1b[2J\x1b[H" + bytes);
        return grabImage(*view);
    }
    std::unique_ptr<TerminalView> view;
};

} // namespace

TEST_F(DrawingTest, BoxLinesJoinAndBlocksTileAtEverySize) {
    const QByteArray screen = kWhite + "\xe2\x94\x80\xe2\x94\x80\xe2\x94\x80\xe2\x94\x80 " // ────
                                       "\xe2\x94\x81\xe2\x94\x81\xe2\x94\x81\xe2\x94\x81 " // ━━━━
                                       "\xe2\x95\x90\xe2\x95\x90\xe2\x95\x90\xe2\x95\x90 " // ════
                                       "\xe2\x96\x90\xe2\x96\x8c      \xe2\x96\x88\xe2\x96\x88\r\n" // ▐▌ ██
                                       "\xe2\x94\x82\xe2\x94\x83\xe2\x95\x91 "                // │┃║
                                       "\xe2\x94\x8c\xe2\x94\x80\xe2\x94\x90 "                // ┌─┐
                                       "\xe2\x94\x8f\xe2\x94\x81\xe2\x94\x93 "                // ┏━┓
                                       "\xe2\x95\x94\xe2\x95\x90\xe2\x95\x97 "                // ╔═╗
                                       "\xe2\x95\xad\xe2\x94\x80\xe2\x95\xae "                // ╭─╮
                                       "\xe2\x96\x84  \xe2\x96\x88\xe2\x96\x88\r\n"           // ▄  ██
                                       "\xe2\x94\x82\xe2\x94\x83\xe2\x95\x91 "                // │┃║
                                       "\xe2\x94\x82 \xe2\x94\x82 \xe2\x94\x83 \xe2\x94\x83 " // │ │ ┃ ┃
                                       "\xe2\x95\x91 \xe2\x95\x91 \xe2\x94\x82 \xe2\x94\x82 " // ║ ║ │ │
                                       "\xe2\x96\x80\r\n"                                     // ▀
                                       "\xe2\x94\x82\xe2\x94\x83\xe2\x95\x91 "                // │┃║
                                       "\xe2\x94\x94\xe2\x94\x80\xe2\x94\x98 "                // └─┘
                                       "\xe2\x94\x97\xe2\x94\x81\xe2\x94\x9b "                // ┗━┛
                                       "\xe2\x95\x9a\xe2\x95\x90\xe2\x95\x9d "                // ╚═╝
                                       "\xe2\x95\xb0\xe2\x94\x80\xe2\x95\xaf\r\n"             // ╰─╯
                                       "\xe2\x94\x82\xe2\x94\x83\xe2\x95\x91 "                // │┃║
                                       "\xe2\x94\x84\xe2\x94\x84 \xe2\x95\xb1\xe2\x95\xb2 "   // ┄┄ ╱╲
                                       "\xe2\x96\x91\xe2\x96\x92\xe2\x96\x93 "                // ░▒▓
                                       "\xe2\x96\x9b\xe2\x96\x9c\xe2\x96\x99\xe2\x96\x9f";    // ▛▜▙▟
    for (const double size : {9.0, 11.0, 13.0, 14.5, 17.0, 23.0}) {
        SCOPED_TRACE(size);
        const QImage image = show(size, screen);
        ASSERT_TRUE(
            image.save(testsupport::artifactsDir() + QStringLiteral("/box-drawing-%1px.png").arg(size)));
        const QColor background = image.pixelColor(view->width() - 3, view->height() - 3);
        const int cellW = int(view->cellW());
        const int cellH = int(view->cellH());

        // Runs of horizontal lines have ink in every pixel column, two strokes for the double line;
        // columns of vertical lines in every pixel row.
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 0, 0, 0, 3), true), 1) << "light horizontal";
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 0, 5, 0, 8), true), 2) << "heavy horizontal";
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 0, 10, 0, 13), true), 2) << "double horizontal";
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 1, 0, 4, 0), false), 1) << "light vertical";
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 1, 1, 4, 1), false), 2) << "heavy vertical";
        EXPECT_GE(thinnestSpot(image, cellsRect(*view, 1, 2, 4, 2), false), 2) << "double vertical";

        // A closed box parts its cells into the inside and the outside; a double box has the room
        // between its two lines as well. Any gap at a join runs two of them together.
        const auto notInk = [&](int x, int y) {
            return countPixels(image, QRect(x, y, 1, 1), background, 3) == 1;
        };
        EXPECT_EQ(regions(cellsRect(*view, 1, 4, 3, 6), notInk), 2) << "light box";
        EXPECT_EQ(regions(cellsRect(*view, 1, 8, 3, 10), notInk), 2) << "heavy box";
        EXPECT_EQ(regions(cellsRect(*view, 1, 12, 3, 14), notInk), 3) << "double box";
        EXPECT_EQ(regions(cellsRect(*view, 1, 16, 3, 18), notInk), 2) << "rounded box";
        const auto ink = [&](int x, int y) { return isInk(image, x, y); };
        EXPECT_EQ(regions(cellsRect(*view, 1, 12, 3, 14), ink), 2) << "double box lines touch";

        // Blocks fill exactly their part of the cells: halves of neighbours make one cell, with no
        // seam between them, and full blocks cover their cells whole.
        const QRect halves = cellsRect(*view, 0, 15, 0, 16);
        for (int y = halves.top(); y <= halves.bottom(); ++y)
            ASSERT_EQ(countPixels(image, QRect(halves.left(), y, halves.width(), 1), kInk), cellW)
                << "right half and left half, pixel row " << y;
        const QRect stacked = cellsRect(*view, 1, 20, 2, 20);
        for (int x = stacked.left(); x <= stacked.right(); ++x)
            ASSERT_EQ(countPixels(image, QRect(x, stacked.top(), 1, stacked.height()), kInk), cellH)
                << "lower half over upper half, pixel column " << x;
        EXPECT_EQ(countPixels(image, cellsRect(*view, 0, 23, 1, 24), kInk), 4 * cellW * cellH);
    }
}

TEST_F(DrawingTest, ArtifactOfEveryBoxDrawingCharacterAndBlock) {
    // Each character doubled, so that it shows how it meets itself across a cell edge, over rows
    // doubled so that it shows the same downwards.
    QByteArray table = kWhite;
    for (char32_t first = 0x2500; first < 0x25A0; first += 16) {
        QString row;
        for (char32_t ch = first; ch < first + 16; ++ch) row += QString::fromUcs4(&ch, 1).repeated(2) + " ";
        table += (row + "\r\n" + row + "\r\n").toUtf8();
    }
    const QImage image = show(14.0, table);
    ASSERT_TRUE(image.save(testsupport::artifactsDir() + "/box-drawing-all.png"));
}

TEST_F(DrawingTest, EmojiDrawInColour) {
    // The last is a heart asked for in emoji presentation (U+2764 U+FE0F): one column wide.
    const QImage image =
        show(15.0, "emoji \xf0\x9f\x98\x80 \xf0\x9f\x8c\x88 \xe2\x9c\x85 \xe2\x9d\xa4\xef\xb8\x8f done");
    ASSERT_TRUE(image.save(testsupport::artifactsDir() + "/colour-emoji.png"));
    const auto colouredIn = [&](const QRect& cells) {
        int coloured = 0;
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                coloured +=
                    std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60;
            }
        return coloured;
    };
    // 😀 in columns 6-7, 🌈 in 9-10, ✅ in 12-13.
    for (const int col : {6, 9, 12}) {
        const QRect cells = cellsRect(*view, 0, col, 0, col + 1);
        EXPECT_GT(colouredIn(cells), cells.width() * cells.height() / 8) << "column " << col;
    }
    const QRect heart = cellRect(*view, 0, 15);
    EXPECT_GT(colouredIn(heart), heart.width() * heart.height() / 8) << "the heart is red, in its own cell";
    EXPECT_EQ(colouredIn(cellRect(*view, 0, 16)), 0) << "and stays there";
}

TEST_F(DrawingTest, ItalicTextLeansWhenTheFontHasNoItalic) {
    const QImage image = show(18.0, kWhite + "| I   \x1b[3m| I  slanted italic\x1b[23m upright");
    ASSERT_TRUE(image.save(testsupport::artifactsDir() + "/italic.png"));
    const QColor background = image.pixelColor(view->width() - 3, view->height() - 3);
    // How far the ink of a glyph leans: its centre across in the top half less that in the bottom.
    const auto lean = [&](int col) {
        const QRect cell = cellRect(*view, 0, col);
        const QRect top(cell.left() - 3, cell.top(), cell.width() + 6, cell.height() / 2);
        const QRect bottom(cell.left() - 3, cell.top() + cell.height() / 2, cell.width() + 6,
                           cell.height() / 2);
        return inkCentreX(image, top, background) - inkCentreX(image, bottom, background);
    };
    for (const int col : {0, 2}) EXPECT_LT(std::abs(lean(col)), 0.75) << "upright column " << col;
    for (const int col : {6, 8}) EXPECT_GT(lean(col), 1.5) << "italic column " << col;
}

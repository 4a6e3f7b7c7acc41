// Sixel strings through the whole intake: parser, decoder, image store and the view's callback.
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace enginetest;

namespace {

std::string sixel(const std::string& data, const std::string& end = "\x1b\\") {
    return "\x1bPq" + data + end;
}

struct Pixel {
    int r, g, b, a;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

Pixel at(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

TEST(SixelIntake, ImageLandsAtTheCursorWhichStays) {
    Terminal t(20, 6);
    int told = 0;
    t.onSixelImage = [&] { ++told; };
    feed(t, "\x1b[3;5H\x1bP0;1;0q\"1;1;2;6#1~~-#2!3@\x1b\\after");
    ASSERT_EQ(t.sixelImages().size(), 1u);
    EXPECT_EQ(told, 1);
    const SixelImage& placed = t.sixelImages()[0];
    EXPECT_EQ(placed.row, 2);
    EXPECT_EQ(placed.col, 4);
    ASSERT_TRUE(placed.image);
    EXPECT_EQ(placed.image->width, 3);
    EXPECT_EQ(placed.image->height, 7);
    EXPECT_EQ(at(*placed.image, 0, 0), (Pixel{51, 51, 204, 255}));
    EXPECT_EQ(at(*placed.image, 2, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(at(*placed.image, 2, 6), (Pixel{51, 204, 51, 255}));
    // The cursor does not move: the text after the image starts where the image does.
    EXPECT_EQ(rowText(t, 2), "    after");
    EXPECT_EQ(t.diagnostics().dcsCount, 6); // "0;1;0q"
}

TEST(SixelIntake, EveryTerminatorEndsTheImage) {
    for (const std::string end : {"\x1b\\", "\x07", "\xc2\x9c"}) {
        Terminal t(10, 2);
        feed(t, sixel("~", end) + "z");
        EXPECT_EQ(t.sixelImages().size(), 1u) << visible(end);
        EXPECT_EQ(rowText(t, 0), "z");
        EXPECT_EQ(t.pstate(), Terminal::PState::ground);
    }
}

TEST(SixelIntake, EmptyImagesAreNotPlaced) {
    Terminal t(10, 2);
    int told = 0;
    t.onSixelImage = [&] { ++told; };
    feed(t, sixel("") + sixel("$-$--") + sixel("\"1;1;10;10") + sixel("!5$"));
    EXPECT_TRUE(t.sixelImages().empty());
    EXPECT_EQ(told, 0);
}

// A DCS whose final is "q" after an intermediate is another request, not an image: DECRQSS
// ("$q", which editors send to ask for the cursor style or the rendition) would otherwise draw
// its question as sixel data.
TEST(SixelIntake, DcsWithAnIntermediateIsNoImage) {
    Terminal t(10, 2);
    feed(t, "\x1bP$qm\x1b\\\x1bP1$q q\x1b\\\x1bP+q544e\x1b\\\x1bP q~~\x07x");
    EXPECT_TRUE(t.sixelImages().empty());
    EXPECT_EQ(rowText(t, 0), "x");
    EXPECT_EQ(t.pstate(), Terminal::PState::ground);
}

TEST(SixelIntake, DataSplitAcrossPiecesDecodesTheSame) {
    const std::string bytes = sixel("#5;2;100;50;0#5!12~$#1;1;120;50;100#1!3N-~", "\x07");
    Terminal whole(10, 2);
    feed(whole, bytes);
    Terminal pieces(10, 2);
    for (char c : bytes) feed(pieces, std::string(1, c));
    ASSERT_EQ(whole.sixelImages().size(), 1u);
    ASSERT_EQ(pieces.sixelImages().size(), 1u);
    EXPECT_EQ(whole.sixelImages()[0].image->pixels, pieces.sixelImages()[0].image->pixels);
    const RgbaImage& image = *whole.sixelImages()[0].image;
    EXPECT_EQ(at(image, 11, 0), (Pixel{255, 127, 0, 255}));
    EXPECT_EQ(at(image, 0, 4), (Pixel{255, 127, 0, 255}));
    // HLS hue 120 is red on the DEC circle that sixel uses.
    EXPECT_EQ(at(image, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(at(image, 0, 6), (Pixel{255, 0, 0, 255}));
}

TEST(SixelIntake, TheFiftyFirstImageRemovesTheOldest) {
    Terminal t(80, 4);
    std::string bytes;
    for (int i = 0; i < 51; ++i) bytes += "\x1b[" + std::to_string(i + 1) + "G" + sixel("~");
    feed(t, bytes);
    ASSERT_EQ(t.sixelImages().size(), SixelImageStore::kMaxImages);
    EXPECT_EQ(t.sixelImages()[0].col, 1);
    EXPECT_EQ(t.sixelImages()[49].col, 50);
}

TEST(SixelIntake, ImagesScrollWithTheText) {
    Terminal t(10, 4);
    feed(t, "\x1b[2;1H" + sixel("~") + "\x1b[4;1H" + sixel("~"));
    ASSERT_EQ(t.sixelImages().size(), 2u);
    feed(t, "\n");
    EXPECT_EQ(t.sixelImages()[0].row, 0);
    EXPECT_EQ(t.sixelImages()[1].row, 2);
    feed(t, "\n");
    ASSERT_EQ(t.sixelImages().size(), 1u) << "an image scrolled off the top is gone";
    EXPECT_EQ(t.sixelImages()[0].row, 1);
    // Scrolling down, inserting lines and resizing leave images where they are.
    feed(t, "\x1b[T\x1b[1;1H\x1b[L");
    t.resize(12, 5);
    EXPECT_EQ(t.sixelImages()[0].row, 1);
    feed(t, "\x1b"
            "c");
    EXPECT_TRUE(t.sixelImages().empty()) << "a full reset clears them";
}

TEST(SixelIntake, HugeCountsStayCheapAndBounded) {
    Terminal t(10, 2);
    feed(t, sixel("#1!999999999~!999999999~$!999999999~") + "ok");
    ASSERT_EQ(t.sixelImages().size(), 1u);
    EXPECT_EQ(t.sixelImages()[0].image->width, SixelDecoder::kMaxWidth);
    EXPECT_EQ(t.sixelImages()[0].image->height, 6);
    EXPECT_EQ(rowText(t, 0), "ok");

    // Bands past the height bound are dropped however many arrive.
    std::string tall;
    for (int i = 0; i < 2000; ++i) tall += "~-";
    feed(t, sixel(tall));
    ASSERT_EQ(t.sixelImages().size(), 2u);
    EXPECT_EQ(t.sixelImages()[1].image->height, SixelDecoder::kMaxHeight);
    EXPECT_LE(t.sixelImages().totalBytes(), SixelImageStore::kMaxTotalBytes);
}

// However a piece of output repeats its painting or grows images, it writes at most one largest
// image's worth of pixels; the next piece has a grant of its own, and an image of the largest
// size sent in one piece is painted whole.
TEST(SixelIntake, EachPieceOfOutputDoesBoundedWork) {
    const std::int64_t grant = SixelDecoder::kPaintPerPiece;
    // One image painted over and over, in two pieces; images that each grow to the largest size
    // with one pixel at their bottom and nothing across their width.
    std::string repaint;
    while (repaint.size() < 32000) repaint += "!2500~$";
    std::string growers;
    const std::string grower = "\x1bPq" + std::string(416, '-') + "@!2499?\x1b\\";
    while (growers.size() + grower.size() < 32768) growers += grower;
    const std::pair<std::string, std::string> streams[] = {{"\x1bPq#1", repaint}, {"", growers}};
    for (const auto& [start, piece] : streams) {
        Terminal t(10, 2);
        feed(t, start + piece);
        EXPECT_LE(t.sixelPixelsWritten(), grant);
        EXPECT_GT(t.sixelPixelsDropped(), 0);
        const std::int64_t first = t.sixelPixelsWritten();
        feed(t, piece);
        EXPECT_GT(t.sixelPixelsWritten(), first);
        EXPECT_LE(t.sixelPixelsWritten() - first, grant);
    }

    std::string largest = "#1";
    for (int band = 0; band < SixelDecoder::kMaxHeight / 6 + 1; ++band) largest += "!2500~-";
    Terminal t(10, 2);
    feed(t, sixel(largest));
    EXPECT_EQ(t.sixelPixelsDropped(), 0);
    ASSERT_EQ(t.sixelImages().size(), 1u);
    const RgbaImage& image = *t.sixelImages()[0].image;
    EXPECT_EQ(image.width, SixelDecoder::kMaxWidth);
    EXPECT_EQ(image.height, SixelDecoder::kMaxHeight);
    EXPECT_EQ(image.pixel(image.width - 1, image.height - 1)[3], 255);
}

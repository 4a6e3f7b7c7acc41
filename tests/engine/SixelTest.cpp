#include "engine/Sixel.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Pixel {
    int r, g, b, a;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

constexpr Pixel kClear{0, 0, 0, 0};
constexpr Pixel kWhite{255, 255, 255, 255};

Pixel at(const RgbaImage& image, int x, int y) {
    const std::uint8_t* p = image.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

Pixel opaque(int r, int g, int b) {
    return {r, g, b, 255};
}

// Every pixel of the image has the given colour.
testing::AssertionResult filledWith(const RgbaImage& image, Pixel want) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const Pixel got = at(image, x, y);
            if (!(got == want)) {
                return testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << testing::PrintToString(got);
            }
        }
    }
    return testing::AssertionSuccess();
}

} // namespace

TEST(Sixel, ColumnsRepeatsAndBands) {
    struct Case {
        const char* data;
        int width, height;
        Pixel fill;
    };
    const Case cases[] = {
        {"#1~", 1, 6, opaque(51, 51, 204)},
        {"~", 1, 6, kWhite},
        {"!5~", 5, 6, kWhite},
        {"!0~", 1, 6, kWhite},
        {"!1~", 1, 6, kWhite},
        {"!~", 1, 6, kWhite},
        {"!5$~", 1, 6, kWhite}, // the repeat without its data byte is dropped, "$" still acts
        {"~-~", 1, 12, kWhite},
        {"@", 1, 1, kWhite},
        {"~$~", 1, 6, kWhite},
        {"#2!3~-#2!3~", 3, 12, opaque(51, 204, 51)},
        {"\"1;1;10;10~", 1, 6, kWhite}, // raster attributes do not size the image
        {"~\r\n\x01-~", 1, 12, kWhite}, // controls are skipped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto image = decodeSixel(c.data);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, c.width);
        EXPECT_EQ(image->height, c.height);
        EXPECT_EQ(image->pixels.size(), std::size_t(c.width) * c.height * 4);
        EXPECT_TRUE(filledWith(*image, c.fill));
    }
}

TEST(Sixel, UnsetPixelsAreTransparent) {
    const auto skip = decodeSixel("?~");
    ASSERT_TRUE(skip);
    EXPECT_EQ(skip->width, 2);
    EXPECT_EQ(skip->height, 6);
    for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(at(*skip, 0, y), kClear);
        EXPECT_EQ(at(*skip, 1, y), kWhite);
    }

    // "A" sets only the second row of its band; "??" widens the image without setting pixels.
    const auto sparse = decodeSixel("A$-??$-#4@");
    ASSERT_TRUE(sparse);
    EXPECT_EQ(sparse->width, 2);
    EXPECT_EQ(sparse->height, 13);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 2; ++x) {
            Pixel want = kClear;
            if (x == 0 && y == 1) want = kWhite;
            if (x == 0 && y == 12) want = opaque(204, 51, 51);
            EXPECT_EQ(at(*sparse, x, y), want) << x << ", " << y;
        }
    }

    // A later colour over the same pixels replaces them; other pixels keep theirs.
    const auto over = decodeSixel("#1!3~$#2@");
    ASSERT_TRUE(over);
    EXPECT_EQ(at(*over, 0, 0), opaque(51, 204, 51));
    EXPECT_EQ(at(*over, 0, 1), opaque(51, 51, 204));
    EXPECT_EQ(at(*over, 2, 0), opaque(51, 51, 204));
}

// Each band is wider than the last: the rows drawn before keep their pixels where they were, and
// what the image gained beside them is transparent.
TEST(Sixel, RowsDrawnBeforeTheImageWidensKeepTheirPlace) {
    const auto image = decodeSixel("#1~-#2!3~-#3!40~-#4!700~");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 700);
    EXPECT_EQ(image->height, 24);
    const Pixel colours[] = {opaque(51, 51, 204), opaque(51, 204, 51), opaque(51, 204, 204), opaque(204, 51, 51)};
    const int widths[] = {1, 3, 40, 700};
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 700; ++x) {
            const Pixel want = x < widths[y / 6] ? colours[y / 6] : kClear;
            ASSERT_EQ(at(*image, x, y), want) << x << ", " << y;
        }
    }
}

TEST(Sixel, NothingDrawnGivesNoImage) {
    for (const char* data : {"", "$", "-", "$-$-", "!5$", "#1", "#1;2;100;0;0", "\"1;1;20;20", "!9"}) {
        EXPECT_FALSE(decodeSixel(data)) << data;
    }
    // Columns were reached but no pixel was set.
    EXPECT_FALSE(decodeSixel("???"));
}

TEST(Sixel, ColourRegisters) {
    struct Case {
        const char* data;
        Pixel want;
    };
    const Case cases[] = {
        {"#20;2;100;0;0#20~", opaque(255, 0, 0)},
        {"#20;2;50;50;50#20~", opaque(127, 127, 127)},
        {"#20;2;200;0;100#20~", opaque(255, 0, 255)}, // clamped to 100
        {"#7;2;100;0;0~", opaque(255, 0, 0)},         // a definition also selects
        // HLS hues go round the DEC circle: 0 blue, 120 red, 240 green.
        {"#21;1;120;50;100#21~", opaque(255, 0, 0)},
        {"#1;1;120;50;100#1~", opaque(255, 0, 0)},
        {"#22;1;0;50;0#22~", opaque(127, 127, 127)},
        {"#23;1;0;50;100#23~", opaque(0, 0, 255)},
        {"#23;1;240;50;100#23~", opaque(0, 255, 0)},
        {"#23;1;60;50;100#23~", opaque(255, 0, 255)},
        {"#23;1;180;50;100#23~", opaque(255, 255, 0)},
        {"#23;1;300;50;100#23~", opaque(0, 255, 255)},
        {"#23;1;999;50;100#23~", opaque(0, 0, 255)}, // hue clamped to 360, which is 0
        {"#23;1;60;100;100#23~", opaque(255, 255, 255)},
        {"#300;2;100;0;0#300~", kWhite},     // register 300 cannot be defined
        {"#99~", kWhite},                    // undefined register
        {"#5;2;1;2~", opaque(204, 51, 204)}, // three numbers: nothing defined, 5 selected
        {"#5;2;10;20;~", opaque(25, 51, 0)}, // an empty field is 0
        {"#5;2;;;~", opaque(0, 0, 0)},
        {"#3;7;1;2;3~", opaque(51, 204, 204)},        // unknown colour space
        {"#;2;0;0;100~", opaque(0, 0, 255)},          // no digits: register 0
        {"#1;2;100;0;0;55;66#1~", opaque(255, 0, 0)}, // extra numbers are ignored
        {"#15~", kWhite},
        {"#8~", opaque(85, 85, 85)},
        {"#14~", opaque(255, 255, 85)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const auto image = decodeSixel(c.data);
        ASSERT_TRUE(image);
        EXPECT_TRUE(filledWith(*image, c.want));
    }
}

TEST(Sixel, EveryImageStartsFromTheDefaultPalette) {
    SixelDecoder decoder;
    decoder.feed("#1;2;100;0;0#1~");
    const auto first = decoder.finish();
    ASSERT_TRUE(first);
    EXPECT_EQ(at(*first, 0, 0), opaque(255, 0, 0));

    decoder.feed("#1~");
    const auto second = decoder.finish();
    ASSERT_TRUE(second);
    EXPECT_EQ(at(*second, 0, 0), opaque(51, 51, 204));

    // Colour and position start again too.
    decoder.feed("#2!4~-");
    decoder.begin();
    decoder.feed("@");
    const auto third = decoder.finish();
    ASSERT_TRUE(third);
    EXPECT_EQ(third->width, 1);
    EXPECT_EQ(third->height, 1);
    EXPECT_EQ(at(*third, 0, 0), kWhite);
}

TEST(Sixel, BytesMayArriveInAnyPieces) {
    const std::string data = "#20;2;100;0;0#21;1;240;50;100#20!12~$#21!3N-!100?#2A$!7@";
    const auto whole = decodeSixel(data);
    ASSERT_TRUE(whole);
    for (std::size_t split = 0; split <= data.size(); ++split) {
        SixelDecoder decoder;
        decoder.feed(std::string_view(data).substr(0, split));
        decoder.feed(std::string_view(data).substr(split));
        const auto pieces = decoder.finish();
        ASSERT_TRUE(pieces) << split;
        EXPECT_EQ(pieces->width, whole->width);
        EXPECT_EQ(pieces->height, whole->height);
        EXPECT_EQ(pieces->pixels, whole->pixels) << "split at " << split;
    }
    SixelDecoder bytewise;
    for (char c : data) bytewise.feed(static_cast<std::uint8_t>(c));
    const auto single = bytewise.finish();
    ASSERT_TRUE(single);
    EXPECT_EQ(single->pixels, whole->pixels);
    EXPECT_EQ(whole->width, 101);
    EXPECT_EQ(whole->height, 8);
}

TEST(Sixel, HugeCountsAndSizesAreBounded) {
    constexpr int kW = SixelDecoder::kMaxWidth;
    constexpr int kH = SixelDecoder::kMaxHeight;

    // A repeat count of a billion stops at the width bound at once.
    const auto wide = decodeSixel("#1!999999999~");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, kW);
    EXPECT_EQ(wide->height, 6);
    EXPECT_TRUE(filledWith(*wide, opaque(51, 51, 204)));

    // Counts beyond any integer saturate rather than overflow.
    const auto overflow = decodeSixel("!99999999999999999999999999~$#2@");
    ASSERT_TRUE(overflow);
    EXPECT_EQ(overflow->width, kW);
    EXPECT_EQ(at(*overflow, 0, 0), opaque(51, 204, 51));
    EXPECT_EQ(at(*overflow, kW - 1, 5), kWhite);

    // Columns beyond the bound are dropped, the rest of the band still draws.
    const auto clipped = decodeSixel("!" + std::to_string(kW - 1) + "?#2!10~");
    ASSERT_TRUE(clipped);
    EXPECT_EQ(clipped->width, kW);
    EXPECT_EQ(at(*clipped, kW - 1, 0), opaque(51, 204, 51));
    EXPECT_EQ(at(*clipped, kW - 2, 0), kClear);

    // Bands beyond the height bound are dropped.
    std::string tall;
    for (int band = 0; band < 1000; ++band) tall += "~-";
    const auto high = decodeSixel(tall);
    ASSERT_TRUE(high);
    EXPECT_EQ(high->width, 1);
    EXPECT_EQ(high->height, kH);
    EXPECT_TRUE(filledWith(*high, kWhite));
    EXPECT_FALSE(decodeSixel(std::string(800, '-') + "~")) << "a band wholly below the bound draws nothing";

    // Huge register numbers and colour values saturate.
    const auto reg = decodeSixel("#99999999999999999999;2;100;0;0~");
    ASSERT_TRUE(reg);
    EXPECT_EQ(at(*reg, 0, 0), kWhite);
    const auto value = decodeSixel("#1;2;99999999999999999999;0;0#1~");
    ASSERT_TRUE(value);
    EXPECT_EQ(at(*value, 0, 0), opaque(255, 0, 0));
}

TEST(SixelImageStore, TheFiftyFirstImageRemovesTheOldest) {
    SixelImageStore store;
    const auto image = std::make_shared<const RgbaImage>(*decodeSixel("~"));
    for (int i = 0; i < 51; ++i) store.add({i, i * 2, image});
    ASSERT_EQ(store.size(), 50u);
    EXPECT_EQ(store[0].row, 1);
    EXPECT_EQ(store[0].col, 2);
    EXPECT_EQ(store[49].row, 50);

    store.removeIf([](const SixelImage& entry) { return entry.row % 2 == 0; });
    ASSERT_EQ(store.size(), 25u);
    EXPECT_EQ(store[0].row, 1);
    EXPECT_EQ(store[24].row, 49);

    for (SixelImage& entry : store) entry.row -= 1;
    EXPECT_EQ(store[0].row, 0);

    store.clear();
    EXPECT_TRUE(store.empty());
}

TEST(SixelImageStore, PixelsStayWithinTheByteBudget) {
    const auto image = std::make_shared<const RgbaImage>(*decodeSixel("!10~")); // 240 bytes
    ASSERT_EQ(image->pixels.size(), 240u);
    SixelImageStore store(1000);
    for (int i = 0; i < 5; ++i) store.add({i, 0, image});
    ASSERT_EQ(store.size(), 4u);
    EXPECT_EQ(store[0].row, 1);
    EXPECT_EQ(store.totalBytes(), 960u);

    // One image larger than the budget is still kept, alone.
    const auto big = std::make_shared<const RgbaImage>(*decodeSixel("!50~"));
    store.add({9, 0, big});
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store[0].row, 9);
}

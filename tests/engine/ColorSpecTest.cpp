#include "engine/ColorSpec.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {
std::string show(const std::optional<RGB>& c) {
    if (!c) return "absent";
    return "(" + std::to_string(c->r) + ", " + std::to_string(c->g) + ", " + std::to_string(c->b) + ")";
}
} // namespace

TEST(ColorSpec, ParsesTheSupportedForms) {
    struct Case {
        const char* spec;
        std::optional<RGB> want;
    };
    const Case cases[] = {
        // rgb: with two and four digits
        {"rgb:ff/0/8000", RGB{255, 0, 128}},
        {"rgb:ff/00/80", RGB{255, 0, 128}},
        {"rgb:ffff/0000/0000", RGB{255, 0, 0}},
        {"rgb:FF/aB/0c", RGB{255, 171, 12}},
        {"rgb:10/20/30", RGB{16, 32, 48}},
        // Every width is scaled to its own maximum, so full intensity is white at any width.
        {"rgb:f/f/f", RGB{255, 255, 255}},
        {"rgb:fff/fff/fff", RGB{255, 255, 255}},
        {"rgb:8/0/f", RGB{136, 0, 255}},
        {"rgb:800/7ff/001", RGB{128, 127, 0}},
        {"rgb:7fff/8000/0101", RGB{127, 128, 1}},
        {"rgb:1/0/0", RGB{17, 0, 0}},
        // Empty components between separators do not count.
        {"rgb:ff//00/00", RGB{255, 0, 0}},
        {"rgb:/ff/00/00/", RGB{255, 0, 0}},
        // "#" forms: the digits are the high bits of each component.
        {"#ff0080", RGB{255, 0, 128}},
        {"#102030", RGB{16, 32, 48}},
        {"#fff", RGB{240, 240, 240}},
        {"#f08", RGB{240, 0, 128}},
        {"#fffeee000", RGB{255, 238, 0}},
        {"#ffff80000000", RGB{255, 128, 0}},
        {"#ABCDEF", RGB{171, 205, 239}},
    };
    for (const Case& c : cases) EXPECT_EQ(show(parseColorSpec(c.spec)), show(c.want)) << c.spec;
}

TEST(ColorSpec, RejectsMalformedSpecifications) {
    const char* const bad[] = {
        "",
        "red",
        "rgb:",
        "rgb:ff/ff",
        "rgb:ff/ff/ff/ff",
        "rgb:fffff/0/0",
        "rgb:gg/00/00",
        "rgb:ff/00/0x",
        "rgb:ff/ 0/00",
        "rgb:-1/00/00",
        "rgb:+f/00/00",
        "RGB:ff/00/00",
        "rgbi:1/0/0",
        "rgb ff/00/00",
        "#",
        "#f",
        "#ff",
        "#ffff",
        "#fffff",
        "#fffffff",
        "#fffffffffffff",
        "#gggggg",
        "#ff 000",
        " #ff0000",
        "ff0000",
    };
    for (const char* spec : bad) EXPECT_EQ(show(parseColorSpec(spec)), "absent") << '"' << spec << '"';
}

TEST(ColorSpec, RepliesWithTwoLowerCaseHexDigitsPerComponent) {
    struct Case {
        const char* head;
        ColorRGBA color;
        const char* want;
    };
    const Case cases[] = {
        {"10", {0.85, 0.85, 0.85, 1}, "\x1b]10;rgb:d8/d8/d8\x1b\\"},
        {"11", {0.11, 0.11, 0.13, 1}, "\x1b]11;rgb:1c/1c/21\x1b\\"},
        {"12", {0.4, 0.7, 1.0, 1}, "\x1b]12;rgb:66/b2/ff\x1b\\"},
        {"4;1", {0.8, 0.22, 0.22, 1}, "\x1b]4;1;rgb:cc/38/38\x1b\\"},
        {"4;255", {238 / 255.0, 238 / 255.0, 238 / 255.0, 1}, "\x1b]4;255;rgb:ee/ee/ee\x1b\\"},
        {"4;0", {0, 0, 0, 1}, "\x1b]4;0;rgb:00/00/00\x1b\\"},
        // Out-of-range components stay two digits.
        {"11", {1.5, -0.2, 0.999, 1}, "\x1b]11;rgb:ff/00/fe\x1b\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(oscColorReply(c.head, c.color), c.want) << c.head;
}

TEST(ColorSpec, EightBitColoursSurviveTheReply) {
    // A colour the shell set as 8-bit components is answered with the same components.
    for (int v = 0; v < 256; ++v) {
        char spec[16];
        std::snprintf(spec, sizeof spec, "#%02x0000", v);
        const auto parsed = parseColorSpec(spec);
        ASSERT_TRUE(parsed) << spec;
        char want[16];
        std::snprintf(want, sizeof want, "rgb:%02x/00/00", v);
        EXPECT_EQ(colorSpecReplyText(colorFromRgb8(*parsed)), want);
    }
}

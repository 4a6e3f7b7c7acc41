// Decodes sixel streams that libsixel's img2sixel makes from images of our own and compares the pixels
// with the source. img2sixel quantises: it picks a palette from a histogram with 5 bits per channel and
// writes colours as percentages, so a channel may come back up to 7 + 3 levels off; the tolerance
// allows that and nothing more. Every source image uses few, well separated colours and no dithering,
// so each pixel maps to its own palette entry.
#include "engine/Sixel.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTolerance = 10;

struct SourceImage {
    int width = 0;
    int height = 0;
    std::vector<std::array<std::uint8_t, 3>> pixels; // row by row

    const std::array<std::uint8_t, 3>& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

SourceImage makeImage(int width, int height, const std::function<std::array<std::uint8_t, 3>(int, int)>& f) {
    SourceImage image{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.pixels.push_back(f(x, y));
    }
    return image;
}

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBE32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
}

// A PNG of 8-bit RGB whose zlib stream uses stored (uncompressed) blocks: small enough to write by hand,
// valid for every decoder.
std::string encodePng(const SourceImage& image) {
    std::string raw;
    for (int y = 0; y < image.height; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < image.width; ++x) {
            for (std::uint8_t c : image.at(x, y)) raw += char(c);
        }
    }
    std::string zlib = "\x78\x01";
    for (std::size_t pos = 0; pos < raw.size() || pos == 0; pos += 65535) {
        const std::size_t len = std::min<std::size_t>(65535, raw.size() - pos);
        zlib += char(pos + len >= raw.size() ? 1 : 0);
        zlib += char(len & 0xFF);
        zlib += char(len >> 8);
        zlib += char(~len & 0xFF);
        zlib += char((~len >> 8) & 0xFF);
        zlib += raw.substr(pos, len);
        if (raw.empty()) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    putBE32(zlib, (b << 16) | a);

    std::string png = "\x89PNG\r\n\x1a\n";
    auto chunk = [&png](const std::string& type, const std::string& data) {
        putBE32(png, std::uint32_t(data.size()));
        png += type + data;
        putBE32(png, crc32(type + data));
    };
    std::string header;
    putBE32(header, std::uint32_t(image.width));
    putBE32(header, std::uint32_t(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    chunk("IHDR", header);
    chunk("IDAT", zlib);
    chunk("IEND", "");
    return png;
}

class Img2Sixel : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "dunmar-sixel-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // The data of the sixel string img2sixel writes for the image (the bytes after "q").
    std::string sixelDataFor(const SourceImage& image, int colors) {
        const auto path = dir_ / "image.png";
        std::ofstream(path, std::ios::binary) << encodePng(image);
        const std::string command =
            "img2sixel -p " + std::to_string(colors) + " -d none '" + path.string() + "' 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return {};
        std::string out;
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        const int status = pclose(pipe);
        EXPECT_EQ(status, 0) << "img2sixel (Debian package libsixel-bin) failed: " << out;
        const std::size_t start = out.find("\x1bP");
        const std::size_t q = out.find('q', start == std::string::npos ? 0 : start);
        const std::size_t end = out.find("\x1b\\", q == std::string::npos ? 0 : q);
        EXPECT_TRUE(start != std::string::npos && q != std::string::npos && end != std::string::npos)
            << "no sixel string in: " << out;
        if (start == std::string::npos || q == std::string::npos || end == std::string::npos) return {};
        return out.substr(q + 1, end - q - 1);
    }

    static void expectMatches(const RgbaImage& decoded, const SourceImage& source) {
        ASSERT_EQ(decoded.width, source.width);
        ASSERT_EQ(decoded.height, source.height);
        int mismatches = 0;
        for (int y = 0; y < source.height && mismatches < 5; ++y) {
            for (int x = 0; x < source.width && mismatches < 5; ++x) {
                const std::uint8_t* got = decoded.pixel(x, y);
                const auto& want = source.at(x, y);
                bool close = got[3] == 255;
                for (int c = 0; c < 3; ++c)
                    close = close && std::abs(int(got[c]) - int(want[c])) <= kTolerance;
                if (!close) {
                    ++mismatches;
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << int(got[0]) << ", "
                                  << int(got[1]) << ", " << int(got[2]) << ", " << int(got[3]) << "; want "
                                  << int(want[0]) << ", " << int(want[1]) << ", " << int(want[2]);
                }
            }
        }
    }

    std::filesystem::path dir_;
};

using Rgb = std::array<std::uint8_t, 3>;
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0},
    kGrey{128, 128, 128}, kYellow{255, 255, 0};

} // namespace

TEST_F(Img2Sixel, BlocksOfSixColoursAcrossBands) {
    // 14 rows: two full bands and a partial third.
    const Rgb colors[] = {kRed, kGreen, kBlue, kWhite, kBlack, kGrey};
    const auto source = makeImage(16, 14, [&](int x, int y) { return colors[(x / 4 + y / 5) % 6]; });
    const std::string data = sixelDataFor(source, 8);
    ASSERT_FALSE(data.empty());
    const auto decoded = decodeSixel(data);
    ASSERT_TRUE(decoded);
    expectMatches(*decoded, source);
}

TEST_F(Img2Sixel, PixelPatternFedInPieces) {
    const Rgb colors[] = {kRed, kBlue, kYellow, kBlack};
    const auto source = makeImage(24, 19, [&](int x, int y) { return colors[(x + y) % 4]; });
    const std::string data = sixelDataFor(source, 4);
    ASSERT_FALSE(data.empty());
    // The parser hands the decoder whatever each read of the pseudo-terminal brought.
    SixelDecoder decoder;
    for (std::size_t pos = 0; pos < data.size(); pos += 7)
        decoder.feed(std::string_view(data).substr(pos, 7));
    const auto decoded = decoder.finish();
    ASSERT_TRUE(decoded);
    expectMatches(*decoded, source);
}

TEST_F(Img2Sixel, LongRunsUseRepeats) {
    const auto source = makeImage(300, 9, [](int x, int y) { return x < 170 || y > 4 ? kGreen : kWhite; });
    const std::string data = sixelDataFor(source, 2);
    ASSERT_NE(data.find('!'), std::string::npos) << data;
    const auto decoded = decodeSixel(data);
    ASSERT_TRUE(decoded);
    expectMatches(*decoded, source);
}

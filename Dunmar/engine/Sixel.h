#pragma once

#include "engine/Colors.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// Sixel images: the decoder of the data of a sixel DCS string and the bounded list of images placed on
// the grid.

// A decoded bitmap: 8 bits per component in the order R, G, B, A, rows of 4 x width bytes, top row
// first. Pixels are either unset (all zero) or opaque, so the data is valid premultiplied as well as
// straight alpha.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    // The four bytes of pixel (x, y); no bounds check.
    const std::uint8_t* pixel(int x, int y) const {
        return pixels.data() +
               (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) *
                   4;
    }
};

// Decodes the bytes after the "q" of a sixel DCS string as they arrive: begin() at the "q", feed()
// every data byte, finish() at the end of the string. Pixels no byte set stay transparent; the image
// is as wide as the widest column reached and as high as the lowest pixel set. The DCS parameters
// and the raster attributes are not used: the aspect ratio is always 1:1.
//
// A shell can ask for any repeat count or any number of bands, so the image is bounded to
// kMaxWidth x kMaxHeight pixels (larger than the images programs send, as in other terminals): what
// lies beyond is dropped, and numbers saturate while they are read. Only the rows down to the
// lowest pixel set are held, in one buffer that becomes the image's own, so memory stays below
// 4 x kMaxWidth x kMaxHeight bytes however long the data is or whatever size it declares.
//
// The work is bounded as well: a repeat of six bytes paints up to 15,000 pixels, so a piece of
// output that repaints the same area over and over would hold the window for as long as it pleases,
// and so would many small images each growing its buffer to the largest size. The owner grants a
// number of pixel writes per piece of output (allowPaint()), which painting and the growth of the
// buffer (whose new pixels are cleared) both spend; what a piece asks beyond it is dropped and
// counted. The grant of kPaintPerPiece is a whole image of the largest size (its buffer cleared and
// every pixel painted), more than a program's image brings in one read.
class SixelDecoder {
public:
    static constexpr int kMaxWidth = 2500;
    static constexpr int kMaxHeight = 2500;
    static constexpr std::int64_t kPaintPerPiece = 2 * std::int64_t{kMaxWidth} * kMaxHeight;

    SixelDecoder();

    // Starts a new image: the 16 default colour registers, the colour white, column 0, band 0, no
    // pixels. Whatever an earlier image left is dropped.
    void begin();
    void feed(std::uint8_t byte);
    void feed(std::string_view bytes);
    // Ends the image. Nothing when no pixel was set; the decoder is ready for the next image either way.
    std::optional<RgbaImage> finish();

    // The pixel writes allowed from now until the next grant, over all images.
    void allowPaint(std::int64_t pixels) { paintLeft_ = pixels; }
    // Pixels written (painted or cleared while the buffer grew), and pixels not painted for want
    // of a grant, since the decoder was made.
    std::int64_t pixelsWritten() const { return written_; }
    std::int64_t pixelsDropped() const { return dropped_; }

private:
    enum class State { ground, repeatCount, colorRegister, colorParams };

    void ground(std::uint8_t byte);
    void draw(std::uint8_t sixel, std::int64_t count);
    void endColorIntroducer();
    void selectRegister(std::int64_t reg);
    std::uint8_t* pixelRow(std::int64_t row, std::int64_t minWidth);
    void growPixels(std::size_t bytes);

    std::array<RGB, 256> registers_{};
    std::bitset<256> defined_;
    RGB color_{255, 255, 255};
    std::int64_t x_ = 0;
    std::int64_t band_ = 0;
    std::int64_t width_ = 0;
    // The pixels, height_ rows of stride_ pixels (at least as wide as any row drawn so far).
    std::vector<std::uint8_t> pixels_;
    std::int64_t stride_ = 0;
    std::int64_t height_ = 0;

    State state_ = State::ground;
    std::int64_t number_ = 0; // repeat count or register number being read
    std::int64_t colorRegister_ = 0;
    std::array<std::int64_t, 4> params_{};
    std::size_t paramCount_ = 0;

    std::int64_t paintLeft_ = kPaintPerPiece;
    std::int64_t written_ = 0;
    std::int64_t dropped_ = 0;
};

// Decodes one whole sixel data string.
std::optional<RgbaImage> decodeSixel(std::string_view data);

// An image placed on the grid: row and column of the cursor at the end of its DCS string.
struct SixelImage {
    std::int64_t row = 0;
    std::int64_t col = 0;
    std::shared_ptr<const RgbaImage> image;
};

// The images of one terminal, oldest first. At most kMaxImages: a newer image pushes the oldest out.
// Their pixels together stay within a byte budget (kMaxTotalBytes) as well (the newest image is always kept),
// so that a stream of large images cannot take unbounded memory.
class SixelImageStore {
public:
    static constexpr std::size_t kMaxImages = 50;
    // Room for one image of the largest size and a few ordinary ones beside it.
    static constexpr std::size_t kMaxTotalBytes = std::size_t{32} << 20;

    explicit SixelImageStore(std::size_t byteBudget = kMaxTotalBytes) : byteBudget_(byteBudget) {}

    void add(SixelImage image);
    void clear();
    // Removes the images for which the predicate holds, keeping the order of the others.
    void removeIf(const std::function<bool(const SixelImage&)>& predicate);

    std::size_t size() const { return images_.size(); }
    bool empty() const { return images_.empty(); }
    const SixelImage& operator[](std::size_t i) const { return images_[i]; }
    // The pixel bytes of all images.
    std::size_t totalBytes() const;

    // Mutable iteration lets the screen move images when it scrolls.
    auto begin() { return images_.begin(); }
    auto end() { return images_.end(); }
    auto begin() const { return images_.begin(); }
    auto end() const { return images_.end(); }

private:
    std::vector<SixelImage> images_;
    std::size_t byteBudget_;
};

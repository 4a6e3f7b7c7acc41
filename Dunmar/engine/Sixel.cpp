#include "engine/Sixel.h"

#include "engine/HugePages.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The colours every image starts with, registers 0-15.
constexpr std::array<RGB, 16> kDefaultSixelRegisters = {{
    {0, 0, 0},
    {51, 51, 204},
    {51, 204, 51},
    {51, 204, 204},
    {204, 51, 51},
    {204, 51, 204},
    {204, 204, 51},
    {170, 170, 170},
    {85, 85, 85},
    {85, 85, 255},
    {85, 255, 85},
    {85, 255, 255},
    {255, 85, 85},
    {255, 85, 255},
    {255, 255, 85},
    {255, 255, 255},
}};

// Numbers stop growing here: far above any meaningful count or register, far below overflow.
constexpr std::int64_t kNumberCap = 1'000'000'000;
// Once an image's pixels pass this size, the rest of its buffer is asked for in huge pages: a small
// image keeps ordinary pages (a huge one would cost it 2 MiB), a large one is spared thousands of
// page faults.
constexpr std::size_t kHugePageAdviceBytes = std::size_t{4} << 20;
// Bands beyond the height bound only drop their pixels; the band counter stops just past it.
constexpr std::int64_t kBandCap = SixelDecoder::kMaxHeight / 6 + 1;

bool isDigit(std::uint8_t b) {
    return b >= '0' && b <= '9';
}
bool isSixelData(std::uint8_t b) {
    return b >= 0x3F && b <= 0x7E;
}

std::int64_t appendDigit(std::int64_t number, std::uint8_t digit) {
    return std::min(number * 10 + (digit - '0'), kNumberCap);
}

std::int64_t clampTo(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return std::clamp(v, lo, hi);
}

double hueToChannel(double p, double q, double t) {
    if (t < 0) t += 360;
    if (t > 360) t -= 360;
    if (t < 60) return p + (q - p) * t / 60;
    if (t < 180) return q;
    if (t < 240) return p + (q - p) * (240 - t) / 60;
    return p;
}

// Hue in degrees on the DEC circle that sixel data uses (0 blue, 120 red, 240 green, as the
// terminals that introduced sixel and the programs that write it agree), lightness and saturation
// in percent. The DEC circle is the usual one turned by 120 degrees: DEC hue h is the usual hue
// h + 240.
RGB hlsToRgb(std::int64_t decHue, std::int64_t lightness, std::int64_t saturation) {
    const double h = static_cast<double>((decHue + 240) % 360);
    const double l = static_cast<double>(lightness) / 100.0;
    const double s = static_cast<double>(saturation) / 100.0;
    double r = l, g = l, b = l;
    if (s != 0) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        r = hueToChannel(p, q, h + 120);
        g = hueToChannel(p, q, h);
        b = hueToChannel(p, q, h - 120);
    }
    auto channel = [](double c) { return static_cast<std::uint8_t>(std::clamp(c * 255.0, 0.0, 255.0)); };
    return {channel(r), channel(g), channel(b)};
}

std::uint8_t percentToByte(std::int64_t percent) {
    return static_cast<std::uint8_t>(clampTo(percent, 0, 100) * 255 / 100);
}

} // namespace

SixelDecoder::SixelDecoder() {
    begin();
}

void SixelDecoder::begin() {
    registers_.fill(RGB{});
    defined_.reset();
    for (std::size_t i = 0; i < kDefaultSixelRegisters.size(); ++i) {
        registers_[i] = kDefaultSixelRegisters[i];
        defined_.set(i);
    }
    color_ = {255, 255, 255};
    x_ = 0;
    band_ = 0;
    width_ = 0;
    pixels_.clear();
    stride_ = 0;
    height_ = 0;
    state_ = State::ground;
    number_ = 0;
    colorRegister_ = 0;
    paramCount_ = 0;
}

void SixelDecoder::feed(std::string_view bytes) {
    for (char c : bytes) feed(static_cast<std::uint8_t>(c));
}

void SixelDecoder::feed(std::uint8_t byte) {
    switch (state_) {
    case State::ground:
        ground(byte);
        return;
    case State::repeatCount:
        if (isDigit(byte)) {
            number_ = appendDigit(number_, byte);
            return;
        }
        state_ = State::ground;
        if (isSixelData(byte)) {
            draw(byte, std::max<std::int64_t>(number_, 1));
        } else {
            // A repeat without its data byte is dropped; the byte is read as usual.
            ground(byte);
        }
        return;
    case State::colorRegister:
        if (isDigit(byte)) {
            number_ = appendDigit(number_, byte);
            return;
        }
        colorRegister_ = number_;
        if (byte == ';') {
            state_ = State::colorParams;
            number_ = 0;
            paramCount_ = 0;
            return;
        }
        endColorIntroducer();
        ground(byte);
        return;
    case State::colorParams:
        if (isDigit(byte)) {
            number_ = appendDigit(number_, byte);
            return;
        }
        // An empty field counts as 0; fields after the fourth are not needed.
        if (paramCount_ < params_.size()) params_[paramCount_] = number_;
        paramCount_ = std::min(paramCount_ + 1, params_.size() + 1);
        number_ = 0;
        if (byte == ';') return;
        endColorIntroducer();
        ground(byte);
        return;
    }
}

void SixelDecoder::ground(std::uint8_t byte) {
    if (isSixelData(byte)) {
        draw(byte, 1);
    } else if (byte == '!') {
        state_ = State::repeatCount;
        number_ = 0;
    } else if (byte == '#') {
        state_ = State::colorRegister;
        number_ = 0;
        paramCount_ = 0;
    } else if (byte == '$') {
        x_ = 0;
    } else if (byte == '-') {
        band_ = std::min(band_ + 1, kBandCap);
        x_ = 0;
    }
    // Everything else (raster attributes, stray digits and separators, controls) is skipped.
}

// Ends "#Pc" or "#Pc;Pu;Px;Py;Pz": defines the register when the definition is complete, then
// selects it.
void SixelDecoder::endColorIntroducer() {
    state_ = State::ground;
    const std::int64_t reg = colorRegister_;
    if (paramCount_ >= 4 && reg >= 0 && reg <= 255) {
        const auto [pu, px, py, pz] = params_;
        std::optional<RGB> color;
        if (pu == 2) {
            color = RGB{percentToByte(px), percentToByte(py), percentToByte(pz)};
        } else if (pu == 1) {
            color = hlsToRgb(clampTo(px, 0, 360), clampTo(py, 0, 100), clampTo(pz, 0, 100));
        }
        if (color) {
            registers_[static_cast<std::size_t>(reg)] = *color;
            defined_.set(static_cast<std::size_t>(reg));
        }
    }
    selectRegister(reg);
}

void SixelDecoder::selectRegister(std::int64_t reg) {
    const bool known = reg >= 0 && reg <= 255 && defined_.test(static_cast<std::size_t>(reg));
    color_ = known ? registers_[static_cast<std::size_t>(reg)] : RGB{255, 255, 255};
}

// Row `row` with room for minWidth pixels, or nullptr when the grant does not pay for the rows
// and columns the buffer would have to grow by (growing writes every new pixel, painted or not).
// The buffer reserves the largest image once, as address space only, so it never moves. Rows are
// stride_ pixels apart; a wider row spreads the rows already drawn in place (the stride at least
// doubling, so an image growing wider column by column is spread a few times, not once per column).
std::uint8_t* SixelDecoder::pixelRow(std::int64_t row, std::int64_t minWidth) {
    const std::int64_t stride =
        minWidth > stride_ ? std::min<std::int64_t>(std::max(minWidth, stride_ * 2), kMaxWidth) : stride_;
    const std::int64_t height = std::max(height_, row + 1);
    const std::int64_t growth = height * stride - height_ * stride_;
    if (growth > paintLeft_) return nullptr;
    paintLeft_ -= growth;
    written_ += growth;
    if (pixels_.capacity() == 0) pixels_.reserve(std::size_t{4} * kMaxWidth * kMaxHeight);
    if (stride > stride_) {
        growPixels(std::size_t(height_ * stride * 4));
        // From the last row up, each row moves to a place after its old one; the gap it leaves at
        // its end is cleared.
        for (std::int64_t y = height_ - 1; y > 0; --y) {
            std::uint8_t* const to = pixels_.data() + y * stride * 4;
            std::memmove(to, pixels_.data() + y * stride_ * 4, std::size_t(stride_ * 4));
            std::memset(to + stride_ * 4, 0, std::size_t((stride - stride_) * 4));
        }
        if (height_ > 0) std::memset(pixels_.data() + stride_ * 4, 0, std::size_t((stride - stride_) * 4));
        stride_ = stride;
    }
    if (height > height_) {
        growPixels(std::size_t(height * stride_ * 4));
        height_ = height;
    }
    return pixels_.data() + row * stride_ * 4;
}

// The buffer grows within its reservation; the new bytes are cleared.
void SixelDecoder::growPixels(std::size_t bytes) {
    const std::size_t before = pixels_.size();
    if (before < kHugePageAdviceBytes && bytes >= kHugePageAdviceBytes)
        adviseHugePages(pixels_.data() + before, pixels_.capacity() - before);
    pixels_.resize(bytes, 0);
}

void SixelDecoder::draw(std::uint8_t sixel, std::int64_t count) {
    const int bits = sixel - 0x3F;
    // One pixel's four bytes, copied whole: the loop below becomes wide stores.
    const std::array<std::uint8_t, 4> pixel = {color_.r, color_.g, color_.b, 255};
    const std::int64_t end = std::min<std::int64_t>(x_ + count, kMaxWidth);
    // Rows past the height bound are dropped.
    const std::int64_t rowsLeft = std::clamp<std::int64_t>(kMaxHeight - band_ * 6, 0, 6);
    for (int k = 0; k < rowsLeft && x_ < end; ++k) {
        if (!(bits & (1 << k))) continue;
        std::uint8_t* const bytes = pixelRow(band_ * 6 + k, end);
        // The columns the grant still pays for.
        const std::int64_t paintEnd = bytes ? std::min(end, x_ + paintLeft_) : x_;
        paintLeft_ -= paintEnd - x_;
        written_ += paintEnd - x_;
        dropped_ += end - paintEnd;
        for (std::int64_t x = x_; x < paintEnd; ++x) std::memcpy(bytes + x * 4, pixel.data(), pixel.size());
    }
    // Columns past the width bound are dropped; x stops at the bound.
    x_ = end;
    width_ = std::max(width_, x_);
}

std::optional<RgbaImage> SixelDecoder::finish() {
    // A colour introducer at the very end still selects its register; a repeat without its data byte
    // is dropped. A byte that means nothing ends either.
    if (state_ != State::ground) feed(std::uint8_t{0});
    std::optional<RgbaImage> result;
    if (width_ > 0 && height_ > 0) {
        // The rows are closed up to the image's width in place (each moves left, never over a row
        // not yet moved), and the buffer becomes the image's: a full-width image is never copied.
        // Columns reached with nothing drawn in them are transparent; without a grant for them
        // they are left out.
        if (width_ > stride_ && !pixelRow(0, width_)) width_ = stride_;
        const std::size_t stride = std::size_t(width_) * 4;
        if (width_ != stride_) {
            for (std::int64_t y = 1; y < height_; ++y) {
                std::memmove(pixels_.data() + std::size_t(y) * stride, pixels_.data() + y * stride_ * 4,
                             stride);
            }
        }
        pixels_.resize(stride * std::size_t(height_));
        // Give back the address space reserved past the image (a copy, of the image's size only).
        if (pixels_.capacity() > pixels_.size() + pixels_.size() / 4) pixels_.shrink_to_fit();
        RgbaImage image;
        image.width = static_cast<int>(width_);
        image.height = static_cast<int>(height_);
        image.pixels = std::move(pixels_);
        pixels_ = {};
        result = std::move(image);
    }
    begin();
    return result;
}

std::optional<RgbaImage> decodeSixel(std::string_view data) {
    SixelDecoder decoder;
    decoder.feed(data);
    return decoder.finish();
}

void SixelImageStore::add(SixelImage image) {
    images_.push_back(std::move(image));
    if (images_.size() > kMaxImages) images_.erase(images_.begin());
    while (images_.size() > 1 && totalBytes() > byteBudget_) images_.erase(images_.begin());
}

void SixelImageStore::clear() {
    images_.clear();
}

void SixelImageStore::removeIf(const std::function<bool(const SixelImage&)>& predicate) {
    std::erase_if(images_, predicate);
}

std::size_t SixelImageStore::totalBytes() const {
    std::size_t total = 0;
    for (const auto& entry : images_) {
        if (entry.image) total += entry.image->pixels.size();
    }
    return total;
}

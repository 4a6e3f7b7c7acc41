#include "engine/ColorSpec.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of one to four hex digits, or nothing.
std::optional<std::uint32_t> hexNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int v = hexValue(c);
        if (v < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(v);
    }
    return value;
}

// An "rgb:" component is a fraction of its own width's maximum (f of 15, fff of 4095), rounded to the
// nearest 8-bit level, so that every width reaches full intensity.
std::uint8_t scaledComponent(std::uint32_t value, std::size_t digits) {
    const std::uint32_t max = (1u << (4 * digits)) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// A "#" component's digits are its most significant bits.
std::uint8_t highBitsComponent(std::uint32_t value, std::size_t digits) {
    const int shift = 4 * static_cast<int>(digits) - 8;
    return static_cast<std::uint8_t>(shift >= 0 ? value >> shift : value << -shift);
}

std::optional<RGB> parseRgbForm(std::string_view body) {
    std::array<std::string_view, 3> parts;
    std::size_t count = 0;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t slash = body.find('/', start);
        if (slash == std::string_view::npos) slash = body.size();
        const std::string_view part = body.substr(start, slash - start);
        // Empty components between separators do not count.
        if (!part.empty()) {
            if (count == parts.size()) return std::nullopt;
            parts[count++] = part;
        }
        start = slash + 1;
    }
    if (count != 3) return std::nullopt;
    std::array<std::uint8_t, 3> rgb{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto value = hexNumber(parts[i]);
        if (!value) return std::nullopt;
        rgb[i] = scaledComponent(*value, parts[i].size());
    }
    return RGB{rgb[0], rgb[1], rgb[2]};
}

std::optional<RGB> parseHashForm(std::string_view digits) {
    if (digits.empty() || digits.size() % 3 != 0 || digits.size() > 12) return std::nullopt;
    const std::size_t width = digits.size() / 3;
    std::array<std::uint8_t, 3> rgb{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto value = hexNumber(digits.substr(i * width, width));
        if (!value) return std::nullopt;
        rgb[i] = highBitsComponent(*value, width);
    }
    return RGB{rgb[0], rgb[1], rgb[2]};
}

void appendHexByte(std::string& out, double component) {
    static constexpr char kDigits[] = "0123456789abcdef";
    double scaled = std::trunc(component * 255.0);
    if (!(scaled >= 0)) scaled = 0; // NaN and negatives
    if (scaled > 255) scaled = 255;
    const auto byte = static_cast<unsigned>(scaled);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

} // namespace

std::optional<RGB> parseColorSpec(std::string_view spec) {
    if (spec.starts_with("rgb:")) return parseRgbForm(spec.substr(4));
    if (spec.starts_with("#")) return parseHashForm(spec.substr(1));
    return std::nullopt;
}

std::string colorSpecReplyText(const ColorRGBA& color) {
    std::string out = "rgb:";
    appendHexByte(out, color.r);
    out += '/';
    appendHexByte(out, color.g);
    out += '/';
    appendHexByte(out, color.b);
    return out;
}

std::string oscColorReply(std::string_view head, const ColorRGBA& color) {
    std::string out = "\x1b]";
    out += head;
    out += ';';
    out += colorSpecReplyText(color);
    out += "\x1b\\";
    return out;
}

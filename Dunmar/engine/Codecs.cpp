#include "engine/Codecs.h"

#include "engine/Utf8Decoder.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace {

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> base64Values() {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<std::int8_t>(i);
    return values;
}
constexpr std::array<std::int8_t, 256> kBase64Values = base64Values();

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    auto byteAt = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k]));
    };
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t v = byteAt(i) << 16 | byteAt(i + 1) << 8 | byteAt(i + 2);
        out += kBase64Alphabet[v >> 18];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const std::uint32_t v = byteAt(i) << 16 | (rest == 2 ? byteAt(i + 1) << 8 : 0);
        out += kBase64Alphabet[v >> 18];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> base64Decode(std::string_view text, std::size_t maxBytes) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
    const std::size_t decodedSize = text.size() / 4 * 3 - padding;
    if (decodedSize > maxBytes) return std::nullopt;
    const std::string_view body = text.substr(0, text.size() - padding);
    std::string out;
    out.reserve(decodedSize);
    std::uint32_t acc = 0;
    int bits = 0;
    for (char c : body) {
        const int v = kBase64Values[static_cast<unsigned char>(c)];
        if (v < 0) return std::nullopt; // "=" inside the text lands here as well
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    Utf8Decoder decoder;
    char32_t scalar = 0;
    for (char c : bytes) {
        const auto result = decoder.step(static_cast<std::uint8_t>(c), scalar);
        if (result == Utf8Decoder::Result::invalid || result == Utf8Decoder::Result::invalidRetry)
            return false;
    }
    return !decoder.pending();
}

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hexDigit(text[i + 1]);
            const int lo = hexDigit(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<std::int64_t> decimalNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

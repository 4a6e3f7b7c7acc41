#include "engine/Compose.h"

#include <array>
#include <cstdint>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace {

const icu::Normalizer2* nfcInstance() {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    return nfc;
}

std::u32string toU32(const icu::UnicodeString& s) {
    std::u32string out;
    for (std::int32_t i = 0; i < s.length(); i = s.moveIndex32(i, 1)) out.push_back(char32_t(s.char32At(i)));
    return out;
}

ComposedMark composeWithIcu(char32_t base, char32_t mark) {
    const char32_t pair[2] = {base, mark};
    const std::u32string composed = normalizeNfc(std::u32string_view(pair, 2));
    if (composed.empty()) return {base, false};
    return {composed[0], composed.size() == 1};
}

// Text with combining marks repeats the same few pairs (a language's accented letters), and a
// normalisation through ICU costs far more than printing a character: recent pairs are remembered.
struct ComposeCache {
    struct Entry {
        char32_t base = 0;
        char32_t mark = 0; // 0: the entry is empty (a mark is never 0)
        ComposedMark result;
    };
    std::array<Entry, 1024> entries{};
};

} // namespace

std::u32string normalizeNfc(std::u32string_view text) {
    const icu::Normalizer2* nfc = nfcInstance();
    if (!nfc) return std::u32string(text);
    icu::UnicodeString s;
    for (char32_t c : text) s.append(UChar32(c));
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString normalised = nfc->normalize(s, status);
    if (U_FAILURE(status) || normalised.isEmpty()) return std::u32string(text);
    return toU32(normalised);
}

ComposedMark composeWithMark(char32_t base, char32_t mark) {
    thread_local ComposeCache cache;
    const std::uint64_t key = std::uint64_t(base) << 21 | mark;
    const std::size_t slot = std::size_t((key * 0x9E3779B97F4A7C15ull) >> 54); // top 10 bits
    ComposeCache::Entry& e = cache.entries[slot];
    if (e.mark == mark && e.base == base && mark != 0) return e.result;
    const ComposedMark result = composeWithIcu(base, mark);
    e = {base, mark, result};
    return result;
}

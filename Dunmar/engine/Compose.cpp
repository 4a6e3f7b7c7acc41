#include "engine/Compose.h"

#include <array>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace {

char32_t composeWithIcu(char32_t base, char32_t mark) {
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (!nfc) return base;
    icu::UnicodeString text;
    text.append(UChar32(base));
    text.append(UChar32(mark));
    status = U_ZERO_ERROR;
    icu::UnicodeString composed = nfc->normalize(text, status);
    if (U_FAILURE(status) || composed.isEmpty()) return base;
    return char32_t(composed.char32At(0));
}

// Text with combining marks repeats the same few pairs (a language's accented letters), and a
// normalisation through ICU costs far more than printing a character: recent pairs are remembered.
struct ComposeCache {
    struct Entry {
        char32_t base = 0;
        char32_t mark = 0; // 0: the entry is empty (a mark is never 0)
        char32_t result = 0;
    };
    std::array<Entry, 1024> entries{};
};

} // namespace

char32_t composeWithMark(char32_t base, char32_t mark) {
    thread_local ComposeCache cache;
    const std::uint64_t key = std::uint64_t(base) << 21 | mark;
    const std::size_t slot = std::size_t((key * 0x9E3779B97F4A7C15ull) >> 54); // top 10 bits
    ComposeCache::Entry& e = cache.entries[slot];
    if (e.mark == mark && e.base == base && mark != 0) return e.result;
    const char32_t result = composeWithIcu(base, mark);
    e = {base, mark, result};
    return result;
}

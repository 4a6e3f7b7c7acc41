#include "engine/Compose.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

char32_t composeWithMark(char32_t base, char32_t mark) {
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

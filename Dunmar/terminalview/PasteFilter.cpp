#include "terminalview/PasteFilter.h"

#include <algorithm>
#include <iterator>

namespace pasting {

std::u16string withoutControls(std::u16string_view text) {
    std::u16string kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), keptInPaste);
    return kept;
}

} // namespace pasting

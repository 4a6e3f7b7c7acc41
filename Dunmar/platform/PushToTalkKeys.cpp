#include "platform/PushToTalkKeys.h"

#include <algorithm>

namespace pushtotalk {

bool Key::matches(std::uint32_t keysym) const {
    return std::find(keysyms.begin(), keysyms.end(), keysym) != keysyms.end();
}

const std::vector<Key>& keys() {
    // Right Alt is AltGr (ISO_Level3_Shift) on many layouts outside the US, and the usual Linux
    // keymap gives the key labelled F13 the symbol XF86Tools: the same key either way.
    static const std::vector<Key> table{
        {QStringLiteral("Right Ctrl"), {0xffe4}},
        {QStringLiteral("Right Alt"), {0xffea, 0xfe03}},
        {QStringLiteral("F13"), {0xffca, 0x1008ff81}},
    };
    return table;
}

const Key& key(long long index) {
    const std::vector<Key>& all = keys();
    if (index < 0 || index >= static_cast<long long>(all.size())) return all.front();
    return all[static_cast<std::size_t>(index)];
}

bool isModifier(std::uint32_t keysym) {
    // Shift_L to Hyper_R; the ISO lock, level and group keys; Mode_switch; Num Lock.
    return (keysym >= 0xffe1 && keysym <= 0xffee) || (keysym >= 0xfe01 && keysym <= 0xfe13) ||
           keysym == 0xff7e || keysym == 0xff7f;
}

} // namespace pushtotalk

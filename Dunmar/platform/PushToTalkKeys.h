#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// The keys that can be held to dictate, in the order the settings offer them. Linux keyboards give
// the Fn key no event, so a key of their own stands in for it: the right Control key (the default),
// the right Alt key, or F13, which no program in a terminal and no desktop uses for anything else,
// so holding it never does a second thing (keyboards made for the Mac have it; on others any key
// can be mapped to it). A key is told by its X11 key symbol, as the keyboard map gives it without
// modifiers.
namespace pushtotalk {

struct Key {
    // As the tooltip, the settings and the tip name it.
    QString name;
    std::vector<std::uint32_t> keysyms;

    bool matches(std::uint32_t keysym) const;
};

const std::vector<Key>& keys();
// The key of a stored choice; an index outside the list is the first key.
const Key& key(long long index);

// Whether a key only changes what other keys do (Shift, Control, Alt, Super, the lock and level
// keys): holding one with the push-to-talk key is no chord of it.
bool isModifier(std::uint32_t keysym);

} // namespace pushtotalk

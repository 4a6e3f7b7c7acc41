#include "engine/Diagnostics.h"

void ParserDiagnostics::recordUnhandled(const std::string& seq) {
    if (auto it = unhandledMap.find(seq); it != unhandledMap.end()) {
        ++unhandled[it->second].count;
        return;
    }
    unhandledMap.emplace(seq, unhandled.size());
    unhandled.push_back({seq, 1});
    if (unhandled.size() > kMaxUnhandled) {
        unhandled.erase(unhandled.begin());
        unhandledMap.clear();
        for (std::size_t i = 0; i < unhandled.size(); ++i) unhandledMap.emplace(unhandled[i].seq, i);
    }
}

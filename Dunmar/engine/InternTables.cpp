#include "engine/InternTables.h"

#include <algorithm>

namespace {

// A sane ceiling on link ids, far beyond what the byte limit below lets live at once.
constexpr std::size_t kMaxLinkIds = (1u << 30) - 1;

// Text of all hyperlinks kept at once: compaction starts at the first figure; links beyond the
// second stay unlinked until output scrolls the old ones away.
constexpr std::size_t kMinLinkByteLimit = std::size_t(4) << 20;
constexpr std::size_t kMaxLinkBytes = std::size_t(64) << 20;

// After a compaction the next one waits until the table has grown by as much again, so the cost
// of walking the cells is paid at most once per that many new values.
std::size_t nextLimit(std::size_t liveCount) {
    return std::max(kMinCompactionLimit, liveCount * 2);
}

} // namespace

HyperlinkTable::HyperlinkTable() : limit_(kMinCompactionLimit), byteLimit_(kMinLinkByteLimit) {
    uris_.emplace_back();
}

std::uint32_t HyperlinkTable::intern(std::string_view uri) {
    if (uri.empty() || uri.size() > kMaxUriBytes) return 0;
    auto it = index_.find(std::string(uri));
    if (it != index_.end()) return it->second;
    if (uris_.size() >= kMaxLinkIds || bytes_ + uri.size() > kMaxLinkBytes) {
        ++refused_;
        return 0;
    }
    auto id = std::uint32_t(uris_.size());
    bytes_ += uri.size();
    uris_.emplace_back(uri);
    index_.emplace(uris_.back(), id);
    return id;
}

std::string_view HyperlinkTable::get(std::uint32_t id) const {
    return id < uris_.size() ? std::string_view(uris_[id]) : std::string_view();
}

std::vector<std::uint32_t> HyperlinkTable::compact(const std::vector<bool>& live) {
    std::vector<std::uint32_t> remap(uris_.size(), 0);
    std::vector<std::string> kept;
    kept.emplace_back();
    index_.clear();
    bytes_ = 0;
    for (std::size_t id = 1; id < uris_.size(); ++id) {
        if (id >= live.size() || !live[id]) continue;
        remap[id] = std::uint32_t(kept.size());
        bytes_ += uris_[id].size();
        kept.push_back(std::move(uris_[id]));
        index_.emplace(kept.back(), remap[id]);
    }
    uris_ = std::move(kept);
    limit_ = nextLimit(uris_.size());
    byteLimit_ = std::max(kMinLinkByteLimit, bytes_ * 2);
    refused_ = 0;
    return remap;
}

std::size_t HyperlinkTable::memoryFootprint() const {
    auto heapBytes = [](const std::string& s) { return s.capacity() > 15 ? s.capacity() + 1 : 0; };
    std::size_t bytes = uris_.capacity() * sizeof(std::string);
    for (const std::string& uri : uris_) bytes += heapBytes(uri);
    // One node per key (a pointer, the key string and the id) and one pointer per bucket.
    bytes += index_.bucket_count() * sizeof(void*);
    for (const auto& [uri, id] : index_) bytes += sizeof(void*) + sizeof(uri) + sizeof(id) + heapBytes(uri);
    return bytes;
}

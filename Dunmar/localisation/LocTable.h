#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace dunmar::loc {

constexpr std::size_t kKeyCount = 167;

struct LocEntry {
    std::string_view key;
    std::string_view text;
};

// The texts of one interface language: every key once, in the order of the English table.
struct LocTable {
    std::string_view code;
    std::array<LocEntry, kKeyCount> entries;
};

extern const LocTable kTableEn;
extern const LocTable kTableDe;
extern const LocTable kTableTr;
extern const LocTable kTableEs;
extern const LocTable kTableFr;
extern const LocTable kTableIt;
extern const LocTable kTableAr;
extern const LocTable kTableJa;
extern const LocTable kTableZh;
extern const LocTable kTableRu;

// The ten tables in the order the language picker lists them.
const std::array<const LocTable*, 10>& allTables();

} // namespace dunmar::loc

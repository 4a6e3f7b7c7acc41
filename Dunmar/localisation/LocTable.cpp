#include "localisation/LocTable.h"

namespace dunmar::loc {

const std::array<const LocTable*, 10>& allTables() {
    static const std::array<const LocTable*, 10> tables{&kTableEn, &kTableDe, &kTableTr, &kTableEs,
                                                        &kTableFr, &kTableIt, &kTableAr, &kTableJa,
                                                        &kTableZh, &kTableRu};
    return tables;
}

} // namespace dunmar::loc

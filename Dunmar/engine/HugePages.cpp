#include "engine/HugePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

void adviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // madvise wants a page-aligned start; the pages the range only partly covers are left out.
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t alignedBegin = (begin + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t end = (begin + bytes) & ~(pageSize - 1);
    if (end <= alignedBegin) return;
    // Advice only: a kernel without transparent huge pages refuses it, and the buffer works as before.
    (void)madvise(reinterpret_cast<void*>(alignedBegin), end - alignedBegin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

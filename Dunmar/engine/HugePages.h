#pragma once

#include <cstddef>

// Asks the kernel to back [data, data + bytes) with huge pages where it can. A buffer of tens of
// megabytes written for the first time otherwise takes one page fault per 4 KiB, which on some
// machines (virtual ones above all) costs more than the writing itself. Nothing where the system
// has no such advice; the memory stays ordinary memory either way.
void adviseHugePages(void* data, std::size_t bytes);

// Memory blocks on POSIX calls, with Linux's advice for huge pages.
#include <sys/mman.h>

#include <cstdlib>

#include "platform/memory_block.h"

namespace dravonix {

void* AllocateBlock(std::size_t bytes, std::size_t alignment, bool huge_pages) {
    void* block = std::aligned_alloc(alignment, bytes);
    if (block != nullptr && huge_pages) (void)::madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}

void FreeBlock(void* block) { std::free(block); }

void PopulateBlock(void* block, std::size_t bytes) {
    // MADV_POPULATE_WRITE faults the range in writable without storing into
    // it, so it may run beside a thread that owns the memory.
    (void)::madvise(block, bytes, MADV_POPULATE_WRITE);
}

}  // namespace dravonix

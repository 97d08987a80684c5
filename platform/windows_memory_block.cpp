// Memory blocks on the C run-time of Windows. Huge pages need a privilege an
// ordinary user lacks, and the system has no way to supply fresh pages ahead
// of their first use without storing into them, so both pieces of advice are
// left out: the results are the same without them.
#include <malloc.h>

#include "platform/memory_block.h"

namespace dravonix {

void* AllocateBlock(std::size_t bytes, std::size_t alignment, bool /*huge_pages*/) {
    return ::_aligned_malloc(bytes, alignment);
}

void FreeBlock(void* block) { ::_aligned_free(block); }

void PopulateBlock(void* /*block*/, std::size_t /*bytes*/) {}

}  // namespace dravonix

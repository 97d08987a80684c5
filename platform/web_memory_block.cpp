// Memory blocks in the web page: the browser's memory takes no advice.
#include <cstdlib>

#include "platform/memory_block.h"

namespace dravonix {

void* AllocateBlock(std::size_t bytes, std::size_t alignment, bool /*huge_pages*/) {
    return std::aligned_alloc(alignment, bytes);
}

void FreeBlock(void* block) { std::free(block); }

void PopulateBlock(void* /*block*/, std::size_t /*bytes*/) {}

}  // namespace dravonix

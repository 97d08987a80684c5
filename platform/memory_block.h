// Large aligned blocks of memory with advice to the kernel on how to back them.
#pragma once

#include <cstddef>

namespace dravonix {

/// Allocates bytes of memory aligned to alignment (a power of two that
/// divides bytes). With huge_pages, asks the system to back the block by huge
/// pages where it can (only advice). Null when no memory is left. Free the
/// block with FreeBlock.
void* AllocateBlock(std::size_t bytes, std::size_t alignment, bool huge_pages);

/// Frees a block from AllocateBlock; null is ignored.
void FreeBlock(void* block);

/// Has the system supply the pages of bytes of fresh memory at block now, so
/// that the first writes to them do not wait (only advice: without it the
/// pages come on first use). The content is unchanged.
void PopulateBlock(void* block, std::size_t bytes);

}  // namespace dravonix

#include "platform/prefault.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/memory_block.h"

namespace dravonix {

namespace {

struct FreeMemory {
    void operator()(char* memory) const { FreeBlock(memory); }
};
using Memory = std::unique_ptr<char, FreeMemory>;

constexpr std::size_t kSize = std::size_t{4} << 20;

Memory Allocate() { return Memory(static_cast<char*>(AllocateBlock(kSize, 4096, false))); }

TEST(Prefaulter, RangesStayUsableAndPendingWorkIsAwaited) {
    Memory first = Allocate();
    Memory second = Allocate();
    ASSERT_TRUE(first && second);
    {
        Prefaulter prefaulter;
        prefaulter.Wait();  // nothing started yet
        prefaulter.Start(first.get(), kSize);
        prefaulter.Start(second.get(), kSize);  // waits for the first range
        prefaulter.Wait();
        std::memset(first.get(), 0x5A, kSize);
        EXPECT_EQ(first.get()[kSize - 1], 0x5A);
        prefaulter.Start(first.get(), kSize);  // left running: the destructor waits
    }
    std::memset(second.get(), 0x3C, kSize);
    EXPECT_EQ(second.get()[kSize / 2], 0x3C);
}

}  // namespace

}  // namespace dravonix

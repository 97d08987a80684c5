#include "platform/prefault.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace dravonix {

namespace {

struct FreeMemory {
    void operator()(char* memory) const { std::free(memory); }
};
using Memory = std::unique_ptr<char, FreeMemory>;

constexpr std::size_t kSize = std::size_t{4} << 20;

Memory Allocate() { return Memory(static_cast<char*>(std::aligned_alloc(4096, kSize))); }

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

#include "testing/failing_allocation.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

thread_local long new_countdown = 0;
thread_local long libxml_countdown = 0;

bool FailsNow(long& countdown) { return countdown > 0 && --countdown == 0; }

void* Allocate(std::size_t size) {
    if (FailsNow(new_countdown)) throw std::bad_alloc();
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* AllocateOrNull(std::size_t size) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* TestMalloc(std::size_t size) {
    return FailsNow(libxml_countdown) ? nullptr : std::malloc(size);
}
void* TestRealloc(void* block, std::size_t size) {
    return FailsNow(libxml_countdown) ? nullptr : std::realloc(block, size);
}
char* TestStrdup(const char* text) { return FailsNow(libxml_countdown) ? nullptr : ::strdup(text); }

}  // namespace

// Every form that frees by plain operator delete is replaced too, so that the
// sanitizers see matching pairs.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNull(size);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace dravonix {

void FailNthNew(long nth) { new_countdown = nth; }
long NewCountdown() { return new_countdown; }

FailingLibxmlAllocator::FailingLibxmlAllocator() {
    xmlMemGet(&free_, &malloc_, &realloc_, &strdup_);
    xmlMemSetup(std::free, TestMalloc, TestRealloc, TestStrdup);
}

FailingLibxmlAllocator::~FailingLibxmlAllocator() {
    xmlMemSetup(free_, malloc_, realloc_, strdup_);
}

void FailingLibxmlAllocator::FailNth(long nth) { libxml_countdown = nth; }
long FailingLibxmlAllocator::Countdown() { return libxml_countdown; }

}  // namespace dravonix

// Making allocations fail on demand, for tests of the paths taken when memory
// runs out: operator new of the whole unit test program, and the allocator
// of libxml2, as a program that links the library may set it. Each counts
// down on the calling thread and fails the allocation that finds it at 1.
#pragma once

#include <libxml/xmlmemory.h>

namespace dravonix {

/// Makes the nth allocation through operator new on this thread from now on
/// throw std::bad_alloc (0: none). Only in the unit test program, which
/// replaces the global operator new.
void FailNthNew(long nth);
/// The count left: 0 once the failure happened (or none was asked for).
long NewCountdown();

/// For the life of the object, libxml2 allocates through a test allocator in
/// which the nth allocation on this thread fails (FailNth; 0: none).
class FailingLibxmlAllocator {
public:
    FailingLibxmlAllocator();
    ~FailingLibxmlAllocator();
    FailingLibxmlAllocator(const FailingLibxmlAllocator&) = delete;
    FailingLibxmlAllocator& operator=(const FailingLibxmlAllocator&) = delete;

    static void FailNth(long nth);
    /// The count left: 0 once the failure happened (or none was asked for).
    static long Countdown();

private:
    xmlFreeFunc free_ = nullptr;
    xmlMallocFunc malloc_ = nullptr;
    xmlReallocFunc realloc_ = nullptr;
    xmlStrdupFunc strdup_ = nullptr;
};

}  // namespace dravonix

#include "platform/prefault.h"

#include <sys/mman.h>

#include <system_error>

namespace dravonix {

Prefaulter::~Prefaulter() { Wait(); }

void Prefaulter::Start(void* data, std::size_t size) {
    Wait();
    try {
        // MADV_POPULATE_WRITE faults the range in writable without storing
        // into it, so the thread never touches what the caller will own.
        thread_ = std::thread([data, size] { (void)::madvise(data, size, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {
        // No thread to spare: the pages come on first use instead.
    }
}

void Prefaulter::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace dravonix

#include "platform/prefault.h"

#include <system_error>

#include "platform/memory_block.h"

namespace dravonix {

Prefaulter::~Prefaulter() { Wait(); }

void Prefaulter::Start(void* data, std::size_t size) {
    Wait();
    try {
        // The pages are supplied without storing into them, so the thread
        // never touches what the caller will own.
        thread_ = std::thread([data, size] { PopulateBlock(data, size); });
    } catch (const std::system_error&) {
        // No thread to spare: the pages come on first use instead.
    }
}

void Prefaulter::Wait() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace dravonix

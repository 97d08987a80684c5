#include "platform/interrupt.h"

#include <atomic>

namespace dravonix {

namespace {

enum State : int { kNotCaught, kCatching, kCaught };

std::atomic<int> state{kNotCaught};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers change the state");

}  // namespace

bool Interrupted() { return state.load() == kCaught; }

bool TakeInterrupt() {
    int catching = kCatching;
    return state.compare_exchange_strong(catching, kCaught);
}

void StartCatchingInterrupts() {
    int not_caught = kNotCaught;
    (void)state.compare_exchange_strong(not_caught, kCatching);
}

}  // namespace dravonix

// The web page has no threads to supply pages ahead of use: its memory is
// handed out already backed, so there is nothing to wait for either.
#include "platform/prefault.h"

namespace dravonix {

Prefaulter::~Prefaulter() = default;

void Prefaulter::Start(void* /*data*/, std::size_t /*size*/) {}

void Prefaulter::Wait() {}

}  // namespace dravonix

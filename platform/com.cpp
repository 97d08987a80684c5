#include "platform/com.h"

namespace dravonix {

namespace {
thread_local int init_count = 0;
}

HRESULT CoInitialize(void* /*reserved*/) {
    ++init_count;
    return init_count == 1 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (init_count > 0) --init_count;
}

bool ComInitialized() { return init_count > 0; }

}  // namespace dravonix

// Stand-in for the COM runtime: a per-thread initialisation count. The DOM
// refuses to create documents on a thread where the runtime is not started.
#pragma once

#include "platform/status.h"

namespace dravonix {

/// Starts the runtime on the calling thread. Returns S_OK on the first call,
/// S_FALSE when it was already started (each call must be paired with
/// CoUninitialize). The reserved argument is ignored.
[[nodiscard]] HRESULT CoInitialize(void* reserved);

/// Undoes one CoInitialize of the calling thread; does nothing when the
/// runtime is not started.
void CoUninitialize();

/// True while the calling thread has the runtime started.
bool ComInitialized();

}  // namespace dravonix

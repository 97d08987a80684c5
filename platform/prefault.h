// Backing fresh memory with pages ahead of use, on another thread.
#pragma once

#include <cstddef>
#include <thread>

namespace dravonix {

/// Has the kernel supply the pages of a range of fresh memory on a thread of
/// its own. A large document spends much of its building time waiting for the
/// kernel to clear new pages; clearing the next block while the current one
/// fills lets that work run beside it. Purely an optimisation: when no thread
/// can be started or the kernel cannot populate ahead, the pages simply come
/// on first use, as they would anyway.
class Prefaulter {
public:
    Prefaulter() = default;
    Prefaulter(const Prefaulter&) = delete;
    Prefaulter& operator=(const Prefaulter&) = delete;
    /// Waits for the range being populated.
    ~Prefaulter();

    /// Waits for the previous range, then starts populating size bytes at
    /// data, which the caller must neither touch nor free before Wait.
    void Start(void* data, std::size_t size);
    /// Returns once the range last started is populated.
    void Wait();

private:
    std::thread thread_;
};

}  // namespace dravonix

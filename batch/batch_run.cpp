#include "batch/batch_run.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "platform/com.h"

namespace dravonix {

std::vector<JobResult> RunBatch(FileSystem& files, const std::string& source_root,
                                const std::string& dest_root,
                                const std::vector<std::string>& keyboards,
                                const BatchOptions& options, std::size_t jobs,
                                BatchProgress& progress) {
    // Named before the threads start, so that a job that runs out of memory
    // can be reported without allocating.
    std::vector<JobResult> results(keyboards.size());
    for (std::size_t i = 0; i < keyboards.size(); ++i) results[i].relative = keyboards[i];
    std::atomic<std::size_t> next{0};
    std::mutex report_lock;
    auto work = [&] {
        (void)CoInitialize(nullptr);  // cannot fail; each thread needs its own
        for (std::size_t i = next++; i < keyboards.size(); i = next++) {
            try {
                JobResult result = RunJob(files, source_root, dest_root, keyboards[i], options);
                std::lock_guard<std::mutex> hold(report_lock);
                results[i] = std::move(result);
            } catch (const std::bad_alloc&) {
                results[i].outcome = JobOutcome::kFailed;
                results[i].error = "out of memory";  // short: kept in place
            }
            std::lock_guard<std::mutex> hold(report_lock);
            progress.Done(results[i]);
        }
        CoUninitialize();
    };
    const std::size_t count = std::min(std::max<std::size_t>(jobs, 1), keyboards.size());
    std::vector<std::thread> threads;
    threads.reserve(count);
    for (std::size_t t = 1; t < count; ++t) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // the system gives no more threads: fewer do the work
        }
    }
    work();
    for (std::thread& thread : threads) thread.join();
    return results;
}

}  // namespace dravonix

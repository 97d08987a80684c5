#include "batch/batch_run.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "platform/com.h"
#include "platform/name_case.h"

namespace dravonix {

namespace {

/// Fails every keyboard whose outputs have the names of an earlier one's but
/// for letter case; true for each keyboard so failed.
std::vector<bool> RefuseCollisions(const std::vector<std::string>& keyboards,
                                   std::vector<JobResult>& results) {
    std::vector<bool> refused(keyboards.size());
    std::map<std::string, std::size_t> first;  // outputs' name key -> first keyboard
    for (std::size_t i = 0; i < keyboards.size(); ++i) {
        const auto [at, fresh] = first.emplace(NameCaseKey(OutputsOf(keyboards[i]).xml), i);
        if (fresh) continue;
        refused[i] = true;
        results[i].error = "its outputs would take the names of those of '" +
                           keyboards[at->second] +
                           "' (the names differ only in letter case); rename one of them";
    }
    return refused;
}

}  // namespace

std::vector<JobResult> RunBatch(FileSystem& files, const std::string& source_root,
                                const std::string& dest_root,
                                const std::vector<std::string>& keyboards,
                                const BatchOptions& options, std::size_t jobs,
                                BatchProgress& progress, const std::function<bool()>& stopped) {
    // Named before the threads start, so that a job that runs out of memory
    // can be reported without allocating.
    std::vector<JobResult> results(keyboards.size());
    for (std::size_t i = 0; i < keyboards.size(); ++i) results[i].relative = keyboards[i];
    const std::vector<bool> refused = RefuseCollisions(keyboards, results);
    std::vector<std::string> outputs = {kIndexPageName, kSummaryName};
    for (const std::string& keyboard : keyboards) {
        const JobOutputs named = OutputsOf(keyboard);
        outputs.insert(outputs.end(), {named.xml, named.report, named.preview});
    }
    MediaCopies copies(outputs);
    std::atomic<std::size_t> next{0};
    std::mutex report_lock;
    auto work = [&] {
        (void)CoInitialize(nullptr);  // cannot fail; each thread needs its own
        for (std::size_t i = next++; i < keyboards.size(); i = next++) {
            if (stopped && stopped()) break;
            if (!refused[i]) {
                try {
                    JobResult result =
                        RunJob(files, source_root, dest_root, keyboards[i], options, &copies);
                    std::lock_guard<std::mutex> hold(report_lock);
                    results[i] = std::move(result);
                } catch (const std::bad_alloc&) {
                    results[i].outcome = JobOutcome::kFailed;
                    results[i].error = "out of memory";  // short: kept in place
                }
            }
            results[i].done = true;
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

// Running the jobs of a batch on several threads.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "batch/batch_job.h"

namespace dravonix {

/// Told of each keyboard as it is done, one call at a time, from the worker
/// threads.
class BatchProgress {
public:
    virtual ~BatchProgress() = default;
    virtual void Done(const JobResult& result) = 0;
};

/// The files a batch writes besides those of each keyboard, in the
/// destination folder.
inline constexpr const char* kIndexPageName = "index.html";
inline constexpr const char* kSummaryName = "summary.json";

/// Runs RunJob for every keyboard through files on jobs threads (at least
/// one; each with the COM runtime started), reporting each result to
/// progress. One keyboard's failure, running out of memory included, never
/// stops the others. Keyboards whose outputs would have the same names but
/// for letter case (pad.kbd and pad.KBD, which cannot both be on Windows):
/// the first in the order of keyboards is converted, every other fails
/// unconverted, so that no output is ever written over another's. The jobs
/// share one MediaCopies, so that a media file several keyboards name is
/// copied once. Once stopped (when given) returns true, no further keyboard
/// is taken up: those taken finish, the others are left not done. Returns
/// the results in the order of keyboards.
std::vector<JobResult> RunBatch(FileSystem& files, const std::string& source_root,
                                const std::string& dest_root,
                                const std::vector<std::string>& keyboards,
                                const BatchOptions& options, std::size_t jobs,
                                BatchProgress& progress, const std::function<bool()>& stopped = {});

}  // namespace dravonix

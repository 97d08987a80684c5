// Bytes held in memory, read as a file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace dravonix {

/// A ReadableFile over bytes in memory, which must outlive it; its reads
/// never fail. Each read delivers at most piece bytes, so that tests can
/// read it as a pipe delivers.
class MemoryFile final : public ReadableFile {
public:
    explicit MemoryFile(std::string_view bytes,
                        std::size_t piece = std::numeric_limits<std::size_t>::max())
        : rest_(bytes), piece_(piece) {}

    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string*) override {
        *got = std::min({size, piece_, rest_.size()});
        rest_.copy(buffer, *got);
        rest_.remove_prefix(*got);
        return true;
    }

private:
    std::string_view rest_;
    std::size_t piece_;
};

}  // namespace dravonix

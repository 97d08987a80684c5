// Bytes held in memory, read as a file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace dravonix {

/// A ReadableFile over bytes in memory, which must outlive it; its reads
/// never fail.
class MemoryFile final : public ReadableFile {
public:
    explicit MemoryFile(std::string_view bytes) : rest_(bytes) {}

    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string*) override {
        *got = std::min(size, rest_.size());
        rest_.copy(buffer, *got);
        rest_.remove_prefix(*got);
        return true;
    }

private:
    std::string_view rest_;
};

}  // namespace dravonix

// A decoded picture held in memory, as the picture's converters pass it on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dravonix {

/// Pixels row by row from the top, each of channels bytes: 1 (an index
/// into palette), 3 (red, green, blue) or 4 (red, green, blue, alpha).
struct Raster {
    std::size_t width = 0;
    std::size_t height = 0;
    int channels = 3;
    std::vector<std::uint8_t> palette;  // red, green, blue of each index, for 1 channel
    std::vector<std::uint8_t> pixels;   // width * height * channels bytes
};

}  // namespace dravonix

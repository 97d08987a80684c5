#include "render/png_encode.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

namespace dravonix {

namespace {

void AppendBe32(std::uint32_t value, std::string& out) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

/// Appends a chunk: length, type, data, and the CRC of type and data.
void AppendChunk(std::string_view type, std::string_view data, std::string& out) {
    AppendBe32(static_cast<std::uint32_t>(data.size()), out);
    const std::size_t start = out.size();
    out.append(type).append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
    AppendBe32(static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))),
               out);
}

std::uint8_t Paeth(int left, int up, int up_left) {
    const int estimate = left + up - up_left;
    const int to_left = std::abs(estimate - left);
    const int to_up = std::abs(estimate - up);
    const int to_up_left = std::abs(estimate - up_left);
    if (to_left <= to_up && to_left <= to_up_left) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(to_up <= to_up_left ? up : up_left);
}

/// The rows of raster, each after its filter byte. An indexed picture is not
/// filtered; the others take, row by row, the filter whose bytes sum
/// smallest as signed numbers (the usual rule of thumb for what compresses
/// best).
std::vector<std::uint8_t> FilteredRows(const Raster& raster) {
    const std::size_t pixel = static_cast<std::size_t>(raster.channels);
    const std::size_t row_bytes = raster.width * pixel;
    std::vector<std::uint8_t> rows;
    rows.reserve((row_bytes + 1) * raster.height);
    std::vector<std::uint8_t> candidate(row_bytes);
    std::vector<std::uint8_t> best(row_bytes);
    const std::vector<std::uint8_t> zeros(row_bytes, 0);
    for (std::size_t y = 0; y < raster.height; ++y) {
        const std::uint8_t* row = raster.pixels.data() + y * row_bytes;
        if (pixel == 1) {
            rows.push_back(0);
            rows.insert(rows.end(), row, row + row_bytes);
            continue;
        }
        const std::uint8_t* up = y == 0 ? zeros.data() : row - row_bytes;
        std::uint64_t best_sum = std::numeric_limits<std::uint64_t>::max();
        std::uint8_t best_filter = 0;
        for (std::uint8_t filter = 0; filter < 5; ++filter) {
            std::uint64_t sum = 0;
            for (std::size_t i = 0; i < row_bytes; ++i) {
                const int left = i >= pixel ? row[i - pixel] : 0;
                const int up_left = i >= pixel ? up[i - pixel] : 0;
                int predicted = 0;
                switch (filter) {
                    case 1:
                        predicted = left;
                        break;
                    case 2:
                        predicted = up[i];
                        break;
                    case 3:
                        predicted = (left + up[i]) / 2;
                        break;
                    case 4:
                        predicted = Paeth(left, up[i], up_left);
                        break;
                    default:
                        break;
                }
                const auto value = static_cast<std::uint8_t>(row[i] - predicted);
                candidate[i] = value;
                sum += value < 128 ? value : 256 - value;
            }
            if (sum < best_sum) {
                best_sum = sum;
                best_filter = filter;
                best.swap(candidate);
            }
        }
        rows.push_back(best_filter);
        rows.insert(rows.end(), best.begin(), best.end());
    }
    return rows;
}

}  // namespace

bool EncodePng(const Raster& raster, std::string* png) {
    if (raster.width == 0 || raster.height == 0 || raster.width > 0x7FFFFFFF ||
        raster.height > 0x7FFFFFFF) {
        return false;
    }
    const std::vector<std::uint8_t> rows = FilteredRows(raster);
    uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packed_size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size, rows.data(),
                  static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK) {
        return false;
    }
    packed.resize(packed_size);

    std::string header;
    AppendBe32(static_cast<std::uint32_t>(raster.width), header);
    AppendBe32(static_cast<std::uint32_t>(raster.height), header);
    const char color_type = raster.channels == 1 ? 3 : raster.channels == 4 ? 6 : 2;
    header.append({8, color_type, 0, 0, 0});  // 8 bits; deflate; adaptive filters; no interlace

    png->assign("\x89PNG\r\n\x1A\n");
    AppendChunk("IHDR", header, *png);
    if (raster.channels == 1) {
        AppendChunk("PLTE",
                    std::string_view(reinterpret_cast<const char*>(raster.palette.data()),
                                     raster.palette.size()),
                    *png);
    }
    AppendChunk("IDAT", packed, *png);
    AppendChunk("IEND", {}, *png);
    return true;
}

}  // namespace dravonix

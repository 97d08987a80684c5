#include "render/bmp_decode.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace dravonix {

namespace {

constexpr std::uint32_t kRgb = 0;             // uncompressed
constexpr std::uint32_t kBitFields = 3;       // uncompressed, with masks
constexpr std::uint32_t kAlphaBitFields = 6;  // the same with an alpha mask

std::uint32_t Le16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t Le32(std::string_view b, std::size_t at) {
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

/// One channel under a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t bits) : mask(bits) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        max = mask >> shift;
    }
    std::uint8_t Of(std::uint32_t value) const {
        if (max == 0) return 0;
        return static_cast<std::uint8_t>(
            (static_cast<std::uint64_t>((value & mask) >> shift) * 255 + max / 2) / max);
    }
};

/// What the headers say.
struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: the rows run from the top
    unsigned bits = 0;
    std::uint32_t compression = kRgb;
    std::size_t palette_at = 0;
    std::size_t palette_entry = 4;  // bytes per palette entry
    std::size_t palette_count = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};

bool ReadLayout(std::string_view b, BmpLayout* layout) {
    if (b.size() < 26 || b.substr(0, 2) != "BM") return false;
    const std::uint32_t header = Le32(b, 14);
    if (header == 12) {  // the oldest header: 16-bit sizes, 3-byte palette entries
        layout->width = Le16(b, 18);
        layout->height = Le16(b, 20);
        layout->bits = Le16(b, 24);
        layout->palette_entry = 3;
        layout->palette_at = 26;
    } else if (header >= 40 && header <= 124) {
        if (b.size() < 14 + static_cast<std::size_t>(header)) return false;
        layout->width = static_cast<std::int32_t>(Le32(b, 18));
        layout->height = static_cast<std::int32_t>(Le32(b, 22));
        layout->bits = Le16(b, 28);
        layout->compression = Le32(b, 30);
        layout->palette_count = Le32(b, 46);
        layout->palette_at = 14 + header;
        if (layout->compression == kBitFields || layout->compression == kAlphaBitFields) {
            // The masks end the larger headers, or follow the basic one.
            const std::size_t masks = layout->compression == kAlphaBitFields ? 4 : 3;
            std::size_t at = 54;
            if (header == 40) {
                if (b.size() < at + 4 * masks) return false;
                layout->palette_at += 4 * masks;
            }
            const std::size_t given =
                header == 40 ? masks : std::min<std::size_t>(4, (header - 40) / 4);
            for (std::size_t i = 0; i < given; ++i) layout->masks[i] = Le32(b, at + 4 * i);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool DecodeBmp(std::string_view b, Raster* raster) {
    BmpLayout layout;
    if (!ReadLayout(b, &layout)) return false;
    const bool fields = layout.compression == kBitFields || layout.compression == kAlphaBitFields;
    const unsigned bits = layout.bits;
    const bool known_bits = layout.compression == kRgb ? bits == 1 || bits == 4 || bits == 8 ||
                                                             bits == 16 || bits == 24 || bits == 32
                                                       : fields && (bits == 16 || bits == 32);
    if (!known_bits) return false;
    if (layout.compression == kRgb && bits == 16) {
        layout.masks[0] = 0x7C00;
        layout.masks[1] = 0x03E0;
        layout.masks[2] = 0x001F;
    }
    const bool top_down = layout.height < 0;
    const std::int64_t width = layout.width;
    const std::int64_t height = top_down ? -layout.height : layout.height;
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 ||
        static_cast<std::uint64_t>(width * height) > kMaxBmpPixels) {
        return false;
    }
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t offset = Le32(b, 10);
    if (offset > b.size() || stride * static_cast<std::uint64_t>(height) > b.size() - offset) {
        return false;
    }

    raster->width = static_cast<std::size_t>(width);
    raster->height = static_cast<std::size_t>(height);
    raster->palette.clear();
    raster->pixels.clear();
    if (bits <= 8) {
        // Every index the bits can hold gets an entry; those the file lacks
        // are black.
        const std::size_t entries = std::size_t{1} << bits;
        std::size_t given =
            layout.palette_count == 0 ? entries : std::min(layout.palette_count, entries);
        if (layout.palette_at > b.size()) given = 0;
        given = std::min(given,
                         (b.size() - std::min(layout.palette_at, b.size())) / layout.palette_entry);
        raster->channels = 1;
        raster->palette.assign(3 * entries, 0);
        for (std::size_t i = 0; i < given; ++i) {
            const std::size_t at = layout.palette_at + i * layout.palette_entry;
            raster->palette[3 * i] = static_cast<std::uint8_t>(b[at + 2]);
            raster->palette[3 * i + 1] = static_cast<std::uint8_t>(b[at + 1]);
            raster->palette[3 * i + 2] = static_cast<std::uint8_t>(b[at]);
        }
    } else {
        raster->channels = layout.masks[3] != 0 ? 4 : 3;
    }
    const Channel red(layout.masks[0]);
    const Channel green(layout.masks[1]);
    const Channel blue(layout.masks[2]);
    const Channel alpha(layout.masks[3]);
    const auto channels = static_cast<std::size_t>(raster->channels);
    raster->pixels.resize(raster->width * raster->height * channels);
    bool some_alpha = false;
    std::uint8_t* out = raster->pixels.data();
    for (std::int64_t y = 0; y < height; ++y) {
        const std::int64_t row = top_down ? y : height - 1 - y;
        const auto* in = reinterpret_cast<const unsigned char*>(b.data()) + offset +
                         static_cast<std::uint64_t>(row) * stride;
        for (std::int64_t x = 0; x < width; ++x) {
            if (bits <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
                const unsigned byte = in[bit / 8];
                *out++ =
                    static_cast<std::uint8_t>((byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1));
            } else if (bits == 24 || (bits == 32 && !fields)) {
                const unsigned char* pixel = in + x * (bits / 8);
                *out++ = pixel[2];
                *out++ = pixel[1];
                *out++ = pixel[0];
            } else {
                const unsigned char* pixel = in + x * (bits / 8);
                std::uint32_t value = pixel[0] | static_cast<std::uint32_t>(pixel[1]) << 8;
                if (bits == 32) {
                    value |= static_cast<std::uint32_t>(pixel[2]) << 16 |
                             static_cast<std::uint32_t>(pixel[3]) << 24;
                }
                *out++ = red.Of(value);
                *out++ = green.Of(value);
                *out++ = blue.Of(value);
                if (channels == 4) {
                    const std::uint8_t a = alpha.Of(value);
                    some_alpha = some_alpha || a != 0;
                    *out++ = a;
                }
            }
        }
    }
    // An alpha mask over nothing but zeros means an opaque picture, as the
    // readers of such files take it.
    if (channels == 4 && !some_alpha) {
        for (std::size_t i = 3; i < raster->pixels.size(); i += 4) raster->pixels[i] = 255;
    }
    return true;
}

}  // namespace dravonix

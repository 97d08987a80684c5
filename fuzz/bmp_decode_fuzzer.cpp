// Fuzz target: arbitrary bytes are read as a bitmap and, when they decode,
// written as PNG. Neither may fault; a decoded picture has the pixels its
// size says, and its PNG the signature.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "render/bmp_decode.h"
#include "render/png_encode.h"

using namespace dravonix;

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Raster raster;
    if (!DecodeBmp(bytes, &raster)) return 0;
    const std::size_t channels = static_cast<std::size_t>(raster.channels);
    if (raster.pixels.size() != raster.width * raster.height * channels) {
        Fail("the pixels do not fill the picture");
    }
    if (channels == 1 && raster.palette.size() < 3 * 2) Fail("an indexed picture without palette");
    std::string png;
    if (EncodePng(raster, &png) && !png.starts_with("\x89PNG\r\n\x1A\n")) Fail("no PNG signature");
    return 0;
}

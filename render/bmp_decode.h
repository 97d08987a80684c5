// Reading the pixels of a Windows bitmap (BMP) file, the picture format of
// many old keyboards, so that a picture can carry it as PNG instead.
#pragma once

#include <string_view>

#include "render/raster.h"

namespace dravonix {

/// The largest bitmap decoded, in pixels: 4096 by 4096.
inline constexpr std::size_t kMaxBmpPixels = std::size_t{1} << 24;

/// Decodes the BMP file held in bytes into *raster: uncompressed bitmaps of
/// 1, 4, 8, 16, 24 and 32 bits per pixel and those with bit fields, under
/// any of the usual headers, bottom-up or top-down. False, with *raster
/// unspecified, for anything else (run-length encoded or embedded JPEG and
/// PNG bitmaps, broken or cut-short files, more than kMaxBmpPixels): such a
/// file is embedded as it is. A palette index past the palette reads as
/// black; alpha is kept only where a bit field gives it and some pixel uses
/// it. bytes may be hostile.
bool DecodeBmp(std::string_view bytes, Raster* raster);

}  // namespace dravonix

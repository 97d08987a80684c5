// Writing a picture as a PNG file, to embed a bitmap much smaller than it
// is. The compression is zlib's (Debian's zlib1g-dev; for Windows and the web
// page built from Debian's source by scripts/zlib-static.sh); a build without
// it (DRAVONIX_PNG=OFF) has no encoder.
#pragma once

#include <string>

#include "render/raster.h"

namespace dravonix {

/// raster as a PNG file in *png: 8 bits per channel, an indexed, RGB or RGBA
/// picture as raster is, each row filtered the way that compresses it best.
/// False when this build has no PNG encoder or compression fails.
bool EncodePng(const Raster& raster, std::string* png);

}  // namespace dravonix

// A build without zlib has no PNG encoder: bitmaps are embedded as they are.
#include "render/png_encode.h"

namespace dravonix {

bool EncodePng(const Raster&, std::string*) { return false; }

}  // namespace dravonix

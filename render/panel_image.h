// A panel's image: finding the file its Windows-style name means, telling
// its format and size from its first bytes, and embedding it as a data: URI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dravonix {

/// Finds the file that name means when read relative to folder the way
/// Windows reads it: "\" and "/" separate folders, and every part of the
/// name matches an entry of its folder without regard to letter case (an
/// entry of exactly that name is preferred; among several that differ only
/// in case, the first in byte order). name is UTF-8; folder and the result
/// are in the platform's path encoding ("" for folder means the current
/// one). False when some part has no entry, or name is absolute (a drive
/// letter or a leading separator).
[[nodiscard]] bool FindImageFile(const std::string& folder, std::string_view name,
                                 std::string* path);

/// What the first bytes of an image file tell.
struct ImageFormat {
    std::string_view media_type;  // "image/jpeg", "image/png", "image/gif", "image/bmp";
                                  // empty when the bytes are none of these
    std::int64_t width = 0;       // size in pixels, 0 when the header does not say
    std::int64_t height = 0;
};

/// The format and size of an image held in bytes.
ImageFormat SniffImage(std::string_view bytes);

/// bytes as a data: URI of media_type, base64-encoded.
std::string DataUri(std::string_view media_type, std::string_view bytes);

/// A panel image ready to draw: the URI and size of a file that was found and
/// recognised, or else the reason it cannot be drawn.
struct PanelImage {
    bool usable = false;
    std::string uri;
    ImageFormat format;
    std::string problem;  // "not found", "cannot be read", "not a JPEG, PNG, GIF or BMP picture"
};

/// Looks up name (narrow text from the model) relative to folder and loads it.
PanelImage LoadPanelImage(const std::string& folder, std::string_view narrow_name);

}  // namespace dravonix

// A panel's image: finding the file its Windows-style name means, inside
// the keyboard's folder, telling its format and size from its first bytes,
// and embedding it as a data: URI. A keyboard file is untrusted input: its
// image names never reach a file outside the keyboard's folder, a device or
// a pipe, nor one too large to embed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace dravonix {

/// The largest image file embedded in a picture: 32 MiB.
inline constexpr std::size_t kMaxImageBytes = std::size_t{32} << 20;

/// Why a panel's image cannot be drawn.
enum class ImageProblem {
    kNone,
    kNotFound,       // no file of that name
    kOutsideFolder,  // the name, or a link on its way, leads out of the keyboard's folder
    kNotAFile,       // a folder, device or pipe
    kTooLarge,       // more than kMaxImageBytes
    kUnreadable,     // the file cannot be opened or read
    kNotAPicture,    // not a JPEG, PNG, GIF or BMP picture
};

/// The words for a problem, as the picture's note gives them after "image ":
/// "not found", "outside the keyboard's folder", "not a regular file",
/// "larger than 32 MiB", "cannot be read", "not a JPEG, PNG, GIF or BMP
/// picture"; "" for kNone.
std::string_view ImageProblemText(ImageProblem problem);

/// Finds the file that name means when read relative to folder the way
/// Windows reads it: "\" and "/" separate folders, and every part of the
/// name matches an entry of its folder without regard to letter case (an
/// entry of exactly that name is preferred; among several that differ only
/// in case, the first in byte order). name is UTF-8; folder and the result
/// are in the platform's path encoding ("" for folder means the current
/// one). kNotFound when some part has no entry, or name is absolute (a drive
/// letter or a leading separator); kOutsideFolder when a ".." step or a
/// symbolic link leads out of folder. kNone when found, with the path in
/// *path.
[[nodiscard]] ImageProblem FindImageFile(FileSystem& files, const std::string& folder,
                                         std::string_view name, std::string* path);

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
    ImageProblem problem = ImageProblem::kNone;
};

/// Looks up name (narrow text from the model) relative to folder, the
/// keyboard's, through files and loads it: a regular file of at most
/// kMaxImageBytes, opened so that it cannot block. A bitmap that
/// render/bmp_decode.h decodes is embedded as PNG where the build has an
/// encoder (its format still says image/bmp, with the bitmap's size). Its problem says why an
/// image cannot be drawn, for the picture's note and for a check of the
/// keyboard.
PanelImage LoadPanelImage(FileSystem& files, const std::string& folder,
                          std::string_view narrow_name);

}  // namespace dravonix

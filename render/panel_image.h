// A panel's image: the file its Windows-style name means inside the
// keyboard's folder (platform/file_lookup.h), its format and size told from
// its first bytes, embedded as a data: URI. A keyboard file is untrusted
// input: its image names never reach a file outside the keyboard's folder, a
// device or a pipe, nor one too large to embed (kMaxImageBytes of
// model/keyboard_media.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/keyboard_media.h"
#include "platform/file_lookup.h"
#include "platform/file_system.h"

namespace dravonix {

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

/// Looks up name (narrow text from the model, in code page page, decoded
/// whole before it is split at its separators) relative to folder, the
/// keyboard's, through files and loads it: a regular file of at most
/// kMaxImageBytes, opened so that it cannot block. A bitmap that
/// render/bmp_decode.h decodes is embedded as PNG where the build has an
/// encoder (its format still says image/bmp, with the bitmap's size). Its problem says why an
/// image cannot be drawn, for the picture's note and for a check of the
/// keyboard.
PanelImage LoadPanelImage(FileSystem& files, const std::string& folder,
                          std::string_view narrow_name, CodePage page = CodePage());
/// LoadPanelImage through a lookup of the keyboard's folder that the images
/// of all its panels share, so that each folder is listed once.
PanelImage LoadPanelImage(FileSystem& files, FileLookup& folder, std::string_view narrow_name,
                          CodePage page);

}  // namespace dravonix

#include "render/panel_image.h"

#include "platform/file_lookup.h"
#include "render/bmp_decode.h"
#include "render/png_encode.h"

namespace dravonix {

namespace {

/// Unsigned little- and big-endian numbers at offset of bytes (which the
/// caller has checked to be long enough).
std::uint32_t Le16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t Be16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}
std::uint32_t Le32(std::string_view b, std::size_t at) {
    return Le16(b, at) | Le16(b, at + 2) << 16;
}
std::uint32_t Be32(std::string_view b, std::size_t at) {
    return Be16(b, at) << 16 | Be16(b, at + 2);
}

/// The size in a JPEG's first start-of-frame segment; false when none is found.
bool JpegSize(std::string_view b, std::int64_t* width, std::int64_t* height) {
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (static_cast<unsigned char>(b[at]) != 0xFF) return false;
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {  // no length
            at += 2;
            continue;
        }
        const std::size_t length = Be16(b, at + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && at + 9 <= b.size()) {
            *height = Be16(b, at + 5);
            *width = Be16(b, at + 7);
            return true;
        }
        if (length < 2) return false;
        at += 2 + length;
    }
    return false;
}

}  // namespace

std::string_view ImageProblemText(ImageProblem problem) {
    switch (problem) {
        case ImageProblem::kNone:
            return "";
        case ImageProblem::kNotFound:
            return "not found";
        case ImageProblem::kOutsideFolder:
            return "outside the keyboard's folder";
        case ImageProblem::kNotAFile:
            return "not a regular file";
        case ImageProblem::kTooLarge:
            return "larger than 32 MiB";
        case ImageProblem::kUnreadable:
            return "cannot be read";
        case ImageProblem::kNotAPicture:
            return "not a JPEG, PNG, GIF or BMP picture";
    }
    return "";
}

ImageFormat SniffImage(std::string_view b) {
    ImageFormat format;
    if (b.size() >= 3 && b.substr(0, 3) == "\xFF\xD8\xFF") {
        format.media_type = "image/jpeg";
        if (!JpegSize(b, &format.width, &format.height)) format.width = format.height = 0;
    } else if (b.size() >= 8 && b.substr(0, 8) == "\x89PNG\r\n\x1A\n") {
        format.media_type = "image/png";
        if (b.size() >= 24) {
            format.width = Be32(b, 16);
            format.height = Be32(b, 20);
        }
    } else if (b.size() >= 6 && (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a")) {
        format.media_type = "image/gif";
        if (b.size() >= 10) {
            format.width = Le16(b, 6);
            format.height = Le16(b, 8);
        }
    } else if (b.size() >= 2 && b.substr(0, 2) == "BM") {
        format.media_type = "image/bmp";
        if (b.size() >= 26) {
            format.width = static_cast<std::int32_t>(Le32(b, 18));
            format.height = static_cast<std::int32_t>(Le32(b, 22));
            if (format.width < 0) format.width = -format.width;
            if (format.height < 0) format.height = -format.height;  // a top-down bitmap
        }
    }
    return format;
}

std::string DataUri(std::string_view media_type, std::string_view bytes) {
    constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string uri = "data:";
    uri.append(media_type).append(";base64,");
    uri.reserve(uri.size() + (bytes.size() + 2) / 3 * 4);
    std::size_t at = 0;
    for (; at + 3 <= bytes.size(); at += 3) {
        const std::uint32_t n = static_cast<unsigned char>(bytes[at]) << 16 |
                                static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                static_cast<unsigned char>(bytes[at + 2]);
        uri += kDigits[n >> 18];
        uri += kDigits[(n >> 12) & 63];
        uri += kDigits[(n >> 6) & 63];
        uri += kDigits[n & 63];
    }
    const std::size_t rest = bytes.size() - at;
    if (rest > 0) {
        std::uint32_t n = static_cast<unsigned char>(bytes[at]) << 16;
        if (rest == 2) n |= static_cast<unsigned char>(bytes[at + 1]) << 8;
        uri += kDigits[n >> 18];
        uri += kDigits[(n >> 12) & 63];
        uri += rest == 2 ? kDigits[(n >> 6) & 63] : '=';
        uri += '=';
    }
    return uri;
}

PanelImage LoadPanelImage(FileSystem& files, const std::string& folder,
                          std::string_view narrow_name, CodePage page) {
    FileLookup lookup(files, folder);
    return LoadPanelImage(files, lookup, narrow_name, page);
}

PanelImage LoadPanelImage(FileSystem& files, FileLookup& folder, std::string_view narrow_name,
                          CodePage page) {
    PanelImage image;
    // A second byte of a double-byte character may be a backslash: the
    // lookup splits the decoded name only.
    std::string name;
    (void)page.AppendUtf8(narrow_name, name);
    const FoundFile found = folder.Find("", name);
    if (found.outcome != LookupOutcome::kFound) {
        image.problem = found.outcome == LookupOutcome::kOutsideFolder
                            ? ImageProblem::kOutsideFolder
                            : ImageProblem::kNotFound;
        return image;
    }
    std::string bytes;
    switch (files.ReadWholeFile(found.path, kMaxImageBytes, &bytes, nullptr)) {
        case ReadOutcome::kRead:
            break;
        case ReadOutcome::kNotAFile:
            image.problem = ImageProblem::kNotAFile;
            return image;
        case ReadOutcome::kTooLarge:
            image.problem = ImageProblem::kTooLarge;
            return image;
        case ReadOutcome::kCannotOpen:
        case ReadOutcome::kFailed:
            image.problem = ImageProblem::kUnreadable;
            return image;
    }
    image.format = SniffImage(bytes);
    if (image.format.media_type.empty()) {
        image.problem = ImageProblem::kNotAPicture;
        return image;
    }
    image.usable = true;
    // A bitmap is many times the size of the same pixels as PNG.
    if (image.format.media_type == "image/bmp") {
        Raster raster;
        std::string png;
        if (DecodeBmp(bytes, &raster) && EncodePng(raster, &png)) {
            std::string().swap(bytes);
            image.uri = DataUri("image/png", png);
            return image;
        }
    }
    image.uri = DataUri(image.format.media_type, bytes);
    return image;
}

}  // namespace dravonix

// The media files a keyboard names: each panel's two images, its docking
// background and its sounds, as the model holds their names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/key_definition.h"

namespace dravonix {

/// The largest image file a keyboard's picture takes (32 MiB): a larger one
/// is never embedded, and the check reports it.
inline constexpr std::size_t kMaxImageBytes = std::size_t{32} << 20;

/// What a named file is to its panel.
enum class MediaRole : std::uint8_t {
    kNormalImage,     // "jpeg" of type "normal": the panel's picture
    kPressedImage,    // "jpeg" of type "pressed"
    kDockBackground,  // "dockbackground" of type 2, an image file
    kSound,           // an entry of the sound table
};

/// True for the roles whose file is an image.
constexpr bool IsImageRole(MediaRole role) { return role != MediaRole::kSound; }

/// The role in words, for reports: "image", "pressed image", "dock
/// background", "sound".
std::string_view MediaRoleName(MediaRole role);

/// One file name of a keyboard, pointing into the model it came from.
struct MediaReference {
    std::size_t panel = 0;  // index of the panel in KeyDefinition::subkeydef
    MediaRole role = MediaRole::kNormalImage;
    std::int32_t sound = -1;            // the sound's id, for a sound
    const std::string* name = nullptr;  // narrow text, never empty
};

/// Every file name of keyboard, panel by panel: the normal and the pressed
/// image, the docking background, then the sounds in the order of their
/// ids. Empty names name nothing and are left out.
std::vector<MediaReference> KeyboardMedia(const KeyDefinition& keyboard);

}  // namespace dravonix

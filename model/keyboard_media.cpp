#include "model/keyboard_media.h"

namespace dravonix {

std::string_view MediaRoleName(MediaRole role) {
    switch (role) {
        case MediaRole::kNormalImage:
            return "image";
        case MediaRole::kPressedImage:
            return "pressed image";
        case MediaRole::kDockBackground:
            return "dock background";
        case MediaRole::kSound:
            return "sound";
    }
    return "file";
}

std::vector<MediaReference> KeyboardMedia(const KeyDefinition& keyboard) {
    std::vector<MediaReference> media;
    for (std::size_t panel = 0; panel < keyboard.subkeydef.size(); ++panel) {
        const SubKeyDefinition& sub = keyboard.subkeydef[panel];
        const auto add = [&](MediaRole role, std::int32_t sound, const std::string& name) {
            if (!name.empty()) media.push_back({panel, role, sound, &name});
        };
        add(MediaRole::kNormalImage, -1, sub.jpegnormal);
        add(MediaRole::kPressedImage, -1, sub.jpegpressed);
        if (sub.dockbackground.type == 2) {
            add(MediaRole::kDockBackground, -1, sub.dockbackground.filename);
        }
        for (const auto& [id, name] : sub.sounds) add(MediaRole::kSound, id, name);
    }
    return media;
}

}  // namespace dravonix

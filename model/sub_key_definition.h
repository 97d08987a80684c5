// SubKeyDefinition: one panel (one layout) of the on-screen keyboard.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/image_source.h"
#include "model/key_collections.h"
#include "model/key_shape.h"
#include "model/language_entry.h"
#include "model/records.h"
#include "xml/xml_node.h"

namespace dravonix {

/// One keyboard panel with its images, sounds, outlines and keys.
class SubKeyDefinition : public XmlNode {
public:
    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::string name;
    std::string type;
    std::int32_t language = -1;
    bool docked = true;
    DockRect dockrect;
    HotSpot hotspot;
    std::string jpegnormal;   // image of the normal state ("jpeg" of type "normal")
    std::string jpegpressed;  // image of the pressed state ("jpeg" of type "pressed")
    bool forcewinkeyboard = false;
    ImageSource dockbackground;
    KeyShape shape;
    KeyShape nondragarea;
    SoundTable sounds;
    std::vector<LanguageEntry> languages;
    KeyGroup nonshiftkeys;
    KeyList keyswithoutshift;
    KeyList keyswithshift;
};

}  // namespace dravonix

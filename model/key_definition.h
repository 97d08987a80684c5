// KeyDefinition and KeyDefDocument: the keyboard and the root of the model.
#pragma once

#include <string>
#include <vector>

#include "model/sub_key_definition.h"
#include "xml/xml_node.h"

namespace dravonix {

/// The keyboard: its name and its panels in file order ("keydef").
class KeyDefinition : public XmlNode {
public:
    KeyDefinition() = default;
    KeyDefinition(const KeyDefinition&) = delete;
    KeyDefinition& operator=(const KeyDefinition&) = delete;

    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    std::string name;
    std::vector<SubKeyDefinition> subkeydef;
};

/// The root of the model, bound to the XML document itself.
class KeyDefDocument : public XmlNode {
public:
    KeyDefDocument() = default;
    KeyDefDocument(const KeyDefDocument&) = delete;
    KeyDefDocument& operator=(const KeyDefDocument&) = delete;

    [[nodiscard]] HRESULT Load(const DomNode& node) override;
    [[nodiscard]] HRESULT Save(const DomNode& node) override;

    KeyDefinition keydef;
    /// The code page of keydef's narrow text: Save and Load set it on the
    /// document they write or read, for every node below.
    CodePage code_page;
};

}  // namespace dravonix

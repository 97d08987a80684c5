// The element and attribute names the XML keyboard reader knows, by place,
// and the nearest known name to a misspelt one.
#pragma once

#include <string_view>
#include <vector>

namespace dravonix {

/// What the reader reads of one element: its attributes and the child
/// elements it descends into. Each element name has one meaning wherever it
/// may appear, so the name alone finds its rule.
struct XmlElementRule {
    std::string_view name;
    std::vector<std::string_view> attributes;
    std::vector<std::string_view> children;
};

/// The rule of an element the reader knows; null for any other name.
const XmlElementRule* FindXmlElementRule(std::string_view name);

/// True when names holds name (exact match, letter case included).
bool HasName(const std::vector<std::string_view>& names, std::string_view name);

/// The name of names nearest to text by edit distance (letter case aside)
/// when it is close enough to be a likely misspelling of it; empty otherwise.
std::string_view NearestName(const std::vector<std::string_view>& names, std::string_view text);

}  // namespace dravonix

// The XML 1.0 name rules, which element and attribute names must follow.
#pragma once

#include <string_view>

namespace dravonix {

namespace dom {

/// True when name (UTF-8) is an XML 1.0 name.
bool IsXmlName(std::string_view name);

}  // namespace dom

}  // namespace dravonix

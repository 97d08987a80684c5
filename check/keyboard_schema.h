// The XML Schema of keyboard files (schema/keyboard.xsd), built into the
// program so that the check validates wherever the program runs.
#pragma once

#include <string_view>

namespace dravonix {

/// The bytes of schema/keyboard.xsd as they were at build time.
std::string_view KeyboardSchemaText();

}  // namespace dravonix

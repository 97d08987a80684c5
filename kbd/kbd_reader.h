// Reading a legacy .kbd keyboard file into the keyboard model.
#pragma once

#include <string>

#include "model/key_definition.h"

namespace dravonix {

/// Reads the legacy keyboard file at path into definition: the keyboard name
/// and one panel per completed KEYDEF block, appended after what definition
/// holds. Returns false only when the file cannot be opened.
[[nodiscard]] bool ReadKbdFile(const std::string& path, KeyDefinition& definition);

}  // namespace dravonix

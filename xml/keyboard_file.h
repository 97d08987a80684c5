// Reading an XML keyboard file into the keyboard model.
#pragma once

#include <string>
#include <string_view>

#include "model/key_definition.h"

namespace dravonix {

/// Outcome of reading an XML keyboard file.
enum class KeyboardLoad {
    kLoaded,       // well-formed XML with a "keydef" root element; the model was read
    kNotKeyboard,  // well-formed XML whose root element is not "keydef"; nothing was read
    kUnreadable,   // the file could not be read or is not well-formed XML; nothing was read
};

/// Parses the file at path and reads it into document (bound at level 0 to
/// the parsed document node). Only a kLoaded outcome touches document. Needs
/// the COM runtime on the calling thread.
KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document);

/// The same for a document held in memory.
KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document);

}  // namespace dravonix

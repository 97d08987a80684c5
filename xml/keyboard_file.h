// Whole XML keyboard files: saving a model as a new document, and reading a
// document back into the model. Every operation needs the COM runtime started
// on the calling thread (CoInitialize), since it creates a DOM document.
#pragma once

#include <string>
#include <string_view>

#include "model/key_definition.h"
#include "platform/file_system.h"
#include "xml/xml_node.h"

namespace dravonix {

/// Creates a new XML document, binds root to it, lets root write itself and
/// saves the document under path, replacing the file atomically. True on
/// success; false when no document could be created (the COM runtime is not
/// started: root stays unbound) or the save failed (the file keeps what it
/// had; root stays bound to the new tree). root is usually a KeyDefDocument.
/// On failure *error (when not null) says why, naming the file. The file is
/// written through files.
[[nodiscard]] bool SaveToFile(XmlNode& root, const std::string& path, std::string* error = nullptr,
                              FileSystem& files = SystemFileSystem());

/// The same, but hands the document's text (UTF-8, no declaration) to text
/// instead of saving it; text is untouched on failure.
[[nodiscard]] bool SaveToText(XmlNode& root, std::string* text);

/// Outcome of reading an XML keyboard file.
enum class KeyboardLoad {
    kLoaded,       // well-formed XML with a "keydef" root element; the model was read
    kNotKeyboard,  // well-formed XML whose root element is not "keydef"; nothing was read
    kUnreadable,   // the file could not be read or is not well-formed XML; nothing was read
};

/// Parses the file at path and reads it into document (bound at level 0 to
/// the parsed document node). Only a kLoaded outcome touches document: values
/// read replace those it holds, panels are appended after its panels.
/// Otherwise *error (when not null) says why, in words for the user:
/// "cannot open 'PATH': REASON", "PATH:LINE: not well-formed: ..." or
/// "PATH: root element is "X", not "keydef"".
[[nodiscard]] KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document,
                                            std::string* error = nullptr);

/// The same for a document held in memory.
[[nodiscard]] KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document);

}  // namespace dravonix

// Whole XML keyboard files: saving a model as a new document, and reading a
// document back into the model. Every operation needs the COM runtime started
// on the calling thread (CoInitialize), since it creates a DOM document.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "dom/xml_parse.h"
#include "model/key_definition.h"
#include "platform/file_system.h"
#include "xml/xml_node.h"
#include "xml/xml_observer.h"

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

/// The same, but hands the text to sink a piece at a time, in order; false
/// also once sink refuses a piece.
[[nodiscard]] bool SaveToSink(XmlNode& root, const std::function<bool(std::string_view)>& sink);

/// Outcome of reading an XML keyboard file.
enum class KeyboardLoad {
    kLoaded,       // well-formed XML with a "keydef" root element; the model was read
    kNotKeyboard,  // well-formed XML whose root element is not "keydef"; nothing was read
    kUnreadable,   // the file could not be read, is not well-formed XML, refers to an
                   // entity or did not fit in memory; nothing was read
};

/// Reads the file at path and parses it into a document, whose "keydef"
/// root is read into document (bound at level 0 to the parsed document
/// node). Only a kLoaded outcome touches document: values read replace those
/// it holds, panels are appended after its panels. Otherwise *error (when not
/// null) says why, in words for the user: "cannot open 'PATH': REASON",
/// "PATH:LINE: not well-formed: ...", "PATH:LINE: refers to an entity, which
/// is never expanded", "PATH: out of memory" or "PATH: root element is "X",
/// not "keydef"".
///
/// With an observer the file is read once all the same, and the observer
/// hears, in the order of the file, of everything the reader ignores or
/// changes (see XmlIssue): for kLoaded and for kNotKeyboard (the root and
/// what stands beside it), never for kUnreadable.
[[nodiscard]] KeyboardLoad LoadKeyboardFile(const std::string& path, KeyDefDocument& document,
                                            std::string* error = nullptr,
                                            XmlObserver* observer = nullptr);

/// The same for a document held in memory; on kUnreadable, *failure (when
/// not null) says why, without a path.
[[nodiscard]] KeyboardLoad LoadKeyboardMemory(std::string_view bytes, KeyDefDocument& document,
                                              XmlObserver* observer = nullptr,
                                              ParseFailure* failure = nullptr);

}  // namespace dravonix

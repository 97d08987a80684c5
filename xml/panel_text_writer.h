// The text of an XML keyboard file, written a panel at a time while the rest
// of the keyboard is still being read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "model/key_definition.h"
#include "platform/code_page.h"

namespace dravonix {

/// Makes the text of the XML keyboard file of a keyboard whose panels come
/// one at a time: the text of every panel (the first preceded by the
/// keyboard's start tag), then kEnd, are exactly the bytes SaveToFile writes
/// for the whole KeyDefDocument. Each panel is written into a document of
/// its own, as the keyboard's only panel, and bound to it as SaveToFile binds
/// the keyboard's objects. Several writers may make the panels of one
/// keyboard between them. Needs the COM runtime started on the calling
/// thread.
class PanelTextWriter {
public:
    /// What follows the last panel: the closing indentation of the
    /// keyboard's element (a line feed, at level 0) and its end tag.
    static constexpr std::string_view kEnd = "\n</keydef>";

    /// A keyboard named name, its text in code page page.
    PanelTextWriter(std::string name, CodePage page) : name_(std::move(name)), page_(page) {}

    /// Appends the text of panel to out, preceded by the keyboard's start
    /// tag for the keyboard's first panel (first). False, with out as it
    /// was, when no document could be created or (after a change to the
    /// keyboard's Save) the document does not hold the panel as the
    /// keyboard's document does; *error (may be null) then says which.
    [[nodiscard]] bool Append(SubKeyDefinition& panel, bool first, std::string& out,
                              std::string* error);

private:
    std::string name_;
    CodePage page_;
    std::string head_;  // the keyboard's start tag, from the first panel's document
};

}  // namespace dravonix

// What the XML reader ignores or changes while it reads a keyboard file, told
// to an observer the caller passes in. The reader never fails on content;
// this is how a user learns what a hand-edited file would lose on a resave.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/keyboard_media.h"

namespace dravonix {

/// The kinds of things the XML reader ignores or changes.
enum class XmlIssue : std::uint8_t {
    kUnknownElement,      // an element not read in its place: dropped with everything in it
    kUnknownAttribute,    // an attribute not read on its element: its value is lost
    kNotANumber,          // a number that does not read, which drops its element
    kValueIgnored,        // a number or boolean that does not read: the value is ignored
    kCharacterReplaced,   // text with a character the code page lacks, read as "?"
    kCommentDropped,      // a comment, which a resave drops
    kInstructionDropped,  // a processing instruction, which a resave drops
    kDoctypeDropped,      // the document type declaration, which a resave drops
    kSoundDuplicate,      // a sound id given twice in a panel: the first wins
    kRootNotKeydef,       // a root element other than "keydef": nothing is read
};

/// The short name of a kind as reports show it in brackets, such as
/// "unknown-element".
std::string_view XmlIssueName(XmlIssue kind);

/// Receives what the reader ignores or changes, in the order of the file.
class XmlObserver {
public:
    virtual ~XmlObserver() = default;

    /// line is the 1-based line of the file the report is about (for an
    /// element, the line that ends its start tag); details says what
    /// happened, in words for a user (no file name, no kind), in UTF-8 like
    /// the names and values it quotes from the file.
    virtual void Report(std::size_t line, XmlIssue kind, std::string_view details) = 0;

    /// The element at line names the media file of role (and, for a sound,
    /// its id) that the panel keeps, panel being its index among the panels
    /// this read adds; told as the panel is read (a later element of the
    /// same image role names the file kept instead). The default ignores it.
    virtual void MediaNamed(std::size_t /*line*/, std::size_t /*panel*/, MediaRole /*role*/,
                            std::int32_t /*sound*/) {}
};

}  // namespace dravonix

// One observed read of an XML keyboard document: what the Load of each class
// noticed while it read (values that do not read, characters replaced,
// sounds given twice), the names each Load asked for, and, once the read is
// over, the nodes no Load read. Only the XML reader's own files use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dom/dom.h"
#include "platform/status.h"
#include "xml/xml_node.h"
#include "xml/xml_observer.h"

namespace dravonix {

/// The kinds of value the typed getters read.
enum class ValueKind : std::uint8_t { kInteger, kBoolean };

/// The notes of one observed read, made current on its thread for its life.
/// Reports reach the observer in the order of the file when Finish runs.
class ReadReport {
public:
    explicit ReadReport(XmlObserver& observer);
    ~ReadReport();
    ReadReport(const ReadReport&) = delete;
    ReadReport& operator=(const ReadReport&) = delete;

    /// The report of the read running on the calling thread; null while no
    /// read is observed, when the getters note nothing and cost nothing more.
    static ReadReport* Current();

    /// A Load asked for the attribute name of element (read it or not).
    void AskedForAttribute(const DomNode& element, std::string_view name);
    /// A Load asked for the child elements of parent named name: each of them
    /// (LoadChildren, LoadList), or only the first (FindChildElement).
    void AskedForChildren(const DomNode& parent, std::string_view name, bool first_only);

    /// The attribute name of element holds value, which did not read as kind
    /// (status DISP_E_OVERFLOW or DISP_E_TYPEMISMATCH).
    void Unreadable(const DomNode& element, std::string_view name, std::string_view value,
                    ValueKind kind, HRESULT status, IfUnreadable effect);
    /// replaced characters of the text of node (an attribute or a text node)
    /// had no byte in the code page; first is the first of them, in UTF-8.
    /// where names the text, such as the "name" of "keydef".
    void Replaced(const DomNode& node, std::string_view where, std::string_view first,
                  std::size_t replaced);
    /// A panel ("subkeydef") starts being read: the media files named from
    /// now on are its own.
    void BeginPanel() { ++panels_; }
    /// element names the media file of role (and sound id) that the panel
    /// being read keeps: told to the observer at once.
    void NamedMedia(const DomNode& element, MediaRole role, std::int32_t sound);
    /// Any other report, about node (at its line and place in the file).
    void Add(const DomNode& node, XmlIssue kind, std::string details);
    /// A report about what the tree does not hold, at a line and before the
    /// node that came next (its SourceOrder).
    void AddBefore(std::size_t line, std::uint32_t next_node, XmlIssue kind, std::string details);

    /// Reports what no Load read (attributes, elements, comments and
    /// processing instructions) below the document node, descending into its
    /// root element only when read_root, then tells the observer everything
    /// in the order of the file.
    void Finish(const DomDocument& document, bool read_root);

private:
    /// The names the Loads asked for on the elements of one name.
    struct Asked {
        std::string_view element;  // the element name, as the document holds it
        std::vector<std::string> attributes;
        std::vector<std::string> children;
        std::vector<bool> first_only;  // per child name
    };
    struct Entry {
        std::uint64_t order;
        std::size_t line;
        XmlIssue kind;
        std::string details;
    };

    Asked& AskedOf(const DomNode& element);
    const Asked* FindAsked(std::string_view element) const;
    void Visit(const DomNode& element);
    void VisitChild(const DomNode& parent, const DomNode& child, const Asked* asked,
                    std::vector<std::string_view>& seen);

    XmlObserver& observer_;
    ReadReport* previous_;
    std::size_t panels_ = 0;  // panels begun
    std::vector<Asked> asked_;
    std::vector<Entry> entries_;
};

}  // namespace dravonix

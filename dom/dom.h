// The XML DOM: a small tree of nodes owned by their document, reached through
// counted handles. A document lives while any handle to it or to one of its
// nodes exists, so a node stays valid as long as someone holds it. The
// operations mirror the DOM interfaces the keyboard persistence was designed
// against: each returns a status and hands results back through out
// arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/code_page.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace dravonix {

class FileSystem;

/// Node type numbers.
enum DOMNodeType : std::uint8_t {
    NODE_INVALID = 0,
    NODE_ELEMENT = 1,
    NODE_ATTRIBUTE = 2,
    NODE_TEXT = 3,
    NODE_PROCESSING_INSTRUCTION = 7,
    NODE_COMMENT = 8,
    NODE_DOCUMENT = 9,
};

namespace dom {
class Store;
}

class DomDocument;
class DomNamedNodeMap;

/// A counted handle to one node, or a null handle.
class DomNode {
public:
    DomNode() = default;
    DomNode(const DomNode& other);
    DomNode(DomNode&& other) noexcept : store_(other.store_), index_(other.index_) {
        other.store_ = nullptr;
        other.index_ = 0;
    }
    DomNode& operator=(const DomNode& other);
    DomNode& operator=(DomNode&& other) noexcept {
        if (this != &other) {
            Release();
            store_ = other.store_;
            index_ = other.index_;
            other.store_ = nullptr;
            other.index_ = 0;
        }
        return *this;
    }
    ~DomNode() { Release(); }

    /// True for a handle that refers to a node.
    explicit operator bool() const { return store_ != nullptr; }
    /// True when both handles refer to the same node (or both are null).
    bool operator==(const DomNode& other) const;

    /// Drops the reference this handle holds; the handle becomes null.
    /// (Inline because most handles that go away are null: moved from or
    /// never set.)
    void Release() {
        if (store_ != nullptr) Drop();
    }
    /// Number of handles that keep this node's document alive (0 for a null
    /// handle); for diagnostics and tests.
    std::uint32_t DocumentReferences() const;

    [[nodiscard]] HRESULT get_nodeType(DOMNodeType* type) const;
    /// The element or attribute name as written; "#text", "#comment" and
    /// "#document" for those nodes; the target of a processing instruction.
    [[nodiscard]] HRESULT get_nodeName(std::u16string* name) const;
    /// First child in document order; S_FALSE and a null handle when none.
    [[nodiscard]] HRESULT get_firstChild(DomNode* child) const;
    /// Next sibling in document order; S_FALSE and a null handle at the end.
    [[nodiscard]] HRESULT get_nextSibling(DomNode* sibling) const;
    /// The attribute map of an element; S_FALSE and a null map for other nodes.
    [[nodiscard]] HRESULT get_attributes(DomNamedNodeMap* map) const;
    /// The owning document; S_FALSE and a null handle for the document itself.
    [[nodiscard]] HRESULT get_ownerDocument(DomDocument* document) const;
    /// The document interface of the document node; E_NOINTERFACE otherwise.
    [[nodiscard]] HRESULT QueryDocument(DomDocument* document) const;

    /// Makes child the last child of this node (moving it when it had a parent)
    /// and hands it back through appended (which may be null).
    [[nodiscard]] HRESULT appendChild(const DomNode& child, DomNode* appended) const;

    /// Sets the node's text to the text form of value. For an element, the
    /// children are replaced by one text node holding that text.
    [[nodiscard]] HRESULT put_nodeTypedValue(const Variant& value) const;
    /// put_nodeTypedValue of a string given in UTF-8: the same result without
    /// the round trip through a UTF-16 variant. Bytes that are not UTF-8 are
    /// kept, and read back and saved as U+FFFD.
    [[nodiscard]] HRESULT PutText(std::string_view utf8) const;
    /// The node's text as VT_BSTR: for an element, all text below it in
    /// document order (comments and processing instructions excluded).
    [[nodiscard]] HRESULT get_nodeTypedValue(Variant* value) const;

    /// The code page of the narrow text its document holds (1252 for a null
    /// handle and by default).
    CodePage code_page() const;

protected:
    friend class dom::Store;
    friend class DomNamedNodeMap;
    DomNode(dom::Store* store, std::uint32_t index);
    /// Release of a handle that refers to a node.
    void Drop();

    dom::Store* store_ = nullptr;
    std::uint32_t index_ = 0;
};

/// A counted handle to a document node.
class DomDocument : public DomNode {
public:
    DomDocument() = default;

    /// Creates an unattached node of type NODE_ELEMENT, NODE_ATTRIBUTE or
    /// NODE_TEXT (E_INVALIDARG for any other). The name, in UTF-8, is required
    /// for elements and attributes (E_FAIL when it is not an XML name in
    /// well-formed UTF-8) and ignored for text.
    [[nodiscard]] HRESULT CreateNode(DOMNodeType type, std::string_view utf8_name,
                                     DomNode* node) const;

    /// Serializes the document into the file named by destination (VT_BSTR),
    /// replacing it atomically. A failure leaves the destination as it was.
    [[nodiscard]] HRESULT save(const Variant& destination) const;
    /// save through files, with the reason for an E_FAIL in *error (may be
    /// null): what the file system said, or that there is no root element.
    [[nodiscard]] HRESULT save(const Variant& destination, FileSystem& files,
                               std::string* error) const;

    /// Serializes the document into out (UTF-8, no declaration).
    [[nodiscard]] HRESULT SaveToString(std::string* out) const;
    /// Serializes the document as SaveToString does, handing the text to
    /// sink a piece at a time, in order; E_FAIL once sink refuses a piece
    /// (nothing more is handed on).
    [[nodiscard]] HRESULT SaveToSink(const std::function<bool(std::string_view)>& sink) const;

    /// Limits the number of nodes the document may hold; creating more fails
    /// with E_OUTOFMEMORY. Used to bound memory and to test failure paths.
    void SetNodeLimit(std::size_t limit) const;
    /// Sets the code page in which the keyboard model's narrow text is
    /// written into this document and read from it (1252 until set).
    void SetCodePage(CodePage page) const;

private:
    friend class dom::Store;
    friend class DomNode;
    DomDocument(dom::Store* store);
};

/// A counted handle to the attribute map of one element. Attributes keep the
/// order in which they were added.
class DomNamedNodeMap {
public:
    DomNamedNodeMap() = default;
    explicit operator bool() const { return static_cast<bool>(element_); }

    /// Adds an attribute node after the existing ones, or replaces the one of
    /// the same name in its place. Hands the attribute back (may be null).
    [[nodiscard]] HRESULT setNamedItem(const DomNode& attribute, DomNode* added) const;
    /// The attribute of exactly this name (case-sensitive); S_FALSE and a null
    /// handle when there is none.
    [[nodiscard]] HRESULT getNamedItem(std::u16string_view name, DomNode* attribute) const;

private:
    friend class DomNode;
    friend class dom::Store;
    DomNode element_;
};

/// Creates an empty document. Fails with CO_E_NOTINITIALIZED, leaving
/// document null, while the calling thread has not started the COM runtime.
[[nodiscard]] HRESULT CreateDomDocument(DomDocument* document);

}  // namespace dravonix

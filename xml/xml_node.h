// XmlNode: the base of every keyboard model class and every list binding. It
// binds the object to one DOM node at a nesting level and offers the
// operations from which the Save and Load of each class are built.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "dom/child_walk.h"
#include "dom/dom.h"
#include "dom/dom_build.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace dravonix {

/// What a value that does not read costs, as the Load that reads it decides:
/// an observed read reports it so.
enum class IfUnreadable : std::uint8_t {
    kIgnore,       // the member keeps the value it had
    kDropElement,  // the Load fails, and its element is left out
};

/// An object bound to one node of an XML DOM tree. Copies share the binding
/// (each holds its own references to the same element and attribute map).
class XmlNode {
public:
    XmlNode() = default;
    XmlNode(const XmlNode&) = default;
    XmlNode(XmlNode&&) = default;
    XmlNode& operator=(const XmlNode&) = default;
    XmlNode& operator=(XmlNode&&) = default;
    virtual ~XmlNode() = default;

    /// Reads this object from the node it is bound to.
    [[nodiscard]] virtual HRESULT Load(const DomNode& node) = 0;
    /// Writes this object into the node it has just been bound to.
    [[nodiscard]] virtual HRESULT Save(const DomNode& node) = 0;

    // ---- Binding ----

    /// Sets the nesting level; a negative level is stored as 0.
    void SetLevel(std::int32_t new_level);
    /// Binds to node and fetches its attribute map; returns the status of
    /// fetching the map (the node is held either way).
    [[nodiscard]] HRESULT Bind(const DomNode& node);
    /// The document that owns the bound node (the node itself when it is the
    /// document). E_POINTER without an out argument, E_UNEXPECTED when unbound.
    [[nodiscard]] HRESULT OwnerDocument(DomDocument* document) const;

    // ---- Writing ----

    /// Appends to the bound node the indentation text (a line feed and `level`
    /// TABs, nothing at level 0) and then a new element of that name, which is
    /// handed back.
    [[nodiscard]] HRESULT CreateChildElement(std::string_view name, DomNode* child);
    /// Gives an element that has element children its closing indentation (a
    /// line feed and `level` TABs) as last child; elements without element
    /// children get nothing.
    [[nodiscard]] HRESULT FinishElement(const DomNode& child);
    /// Adds an attribute to the bound element.
    [[nodiscard]] HRESULT SetAttribute(std::string_view name, const Variant& value);
    /// Adds an attribute to any element.
    [[nodiscard]] HRESULT SetAttributeOn(const DomNode& target, std::string_view name,
                                         const Variant& value);
    /// A new child element with integer attributes (named in UTF-8) and
    /// nothing in it: CreateChildElement, SetIntAttributeOn for each
    /// attribute, then FinishElement, in one step where the document allows.
    /// Returns the status of CreateChildElement.
    [[nodiscard]] HRESULT SaveIntElement(std::string_view name,
                                         std::initializer_list<dom::IntAttribute> values);
    /// SetAttributeOn of an integer and of narrow text, without a variant.
    [[nodiscard]] HRESULT SetIntAttributeOn(const DomNode& target, std::string_view name,
                                            std::int32_t value);
    [[nodiscard]] HRESULT SetStringAttributeOn(const DomNode& target, std::string_view name,
                                               std::string_view value);
    [[nodiscard]] HRESULT SetIntAttribute(std::string_view name, std::int32_t value);
    [[nodiscard]] HRESULT SetStringAttribute(std::string_view name, const std::string& value);
    /// A one-character value; the byte 0 gives an empty value.
    [[nodiscard]] HRESULT SetCharAttribute(std::string_view name, char value);
    [[nodiscard]] HRESULT SetBoolAttribute(std::string_view name, bool value);
    /// Sets the value of a text, attribute or comment node, or gives any other
    /// node a new text child holding the value.
    [[nodiscard]] HRESULT SetNodeValue(const DomNode& node, const Variant& value);
    /// Writes child as a new element of that name, one level deeper.
    [[nodiscard]] HRESULT SaveChild(std::string_view name, XmlNode& child);
    /// Lets a list binding write into this object's own element, at this
    /// level. Bindings write what they can and report nothing.
    void SaveInline(XmlNode& binding);
    /// Writes every object of a list as an element of that name, one level
    /// deeper; stops at the first object whose Save fails.
    template <class T>
    [[nodiscard]] HRESULT SaveList(std::string_view name, std::vector<T>& list);

    // ---- Documents ----

    /// SaveToFile(*this, path) and SaveToText(*this, text) of
    /// xml/keyboard_file.h, which states what they do; kept as members for
    /// code written against them.
    [[nodiscard]] bool SaveToFile(const std::string& path);
    [[nodiscard]] bool SaveToText(std::string* text);

    // ---- Reading ----
    //
    // Names are matched exactly. While a read is observed (LoadKeyboardFile
    // with an observer), every name asked for counts as one the reader reads
    // in that place, whatever the document holds, and what a read cannot
    // keep is reported: a value that does not convert (as effect says) and a
    // character the narrow text has no byte for.

    /// Reads an attribute of the bound element converted to type vt: 0 read,
    /// 1 absent (value stays empty), negative a failure passed on.
    [[nodiscard]] HRESULT GetAttribute(std::string_view name, VARTYPE vt, Variant* value);
    /// The same on any element.
    [[nodiscard]] HRESULT GetAttributeOn(const DomNode& target, std::string_view name, VARTYPE vt,
                                         Variant* value);
    [[nodiscard]] HRESULT GetIntAttribute(std::string_view name, std::int32_t* value,
                                          IfUnreadable effect = IfUnreadable::kIgnore);
    [[nodiscard]] HRESULT GetStringAttribute(std::string_view name, std::string* value);
    /// Stores the first byte of a non-empty value; absent and empty give 0 too.
    [[nodiscard]] HRESULT GetCharAttribute(std::string_view name, char* value);
    [[nodiscard]] HRESULT GetBoolAttribute(std::string_view name, bool* value,
                                           IfUnreadable effect = IfUnreadable::kIgnore);
    /// Declares an attribute this Load knows but does not use this time (one
    /// superseded by another), so that an observed read does not report it.
    void IgnoreAttribute(std::string_view name);
    /// The text content of the bound element: all text below it.
    [[nodiscard]] HRESULT GetNodeValue(std::string* value);
    /// The first direct child element of that name: 0, E_POINTER or E_FAIL.
    [[nodiscard]] HRESULT FindChildElement(std::string_view name, DomNode* child);
    /// An integer attribute of the first child element of that name.
    [[nodiscard]] HRESULT GetChildIntAttribute(std::string_view child_name, std::string_view name,
                                               std::int32_t* value);
    /// Reads every direct child element of that name into the one object
    /// (a Load that fails keeps what it read).
    void LoadChildren(std::string_view name, XmlNode& object);
    /// Appends one new object per direct child element of that name; an
    /// element whose Load fails is skipped.
    template <class T>
    void LoadList(std::string_view name, std::vector<T>& list);

    DomNode element;             // the node this object writes into and reads from
    DomNamedNodeMap attributes;  // the attribute map of element
    std::int32_t level = 0;      // TABs of indentation of the elements it creates

protected:
    /// The UTF-8 form of a narrow name: the name itself when it is ASCII (the
    /// names of the keyboard format all are), otherwise a converted copy in
    /// storage.
    static std::string_view Utf8Name(std::string_view narrow, std::string& storage);
    /// Tells an observed read that this Load reads the child elements of that
    /// UTF-8 name: each of them, or only the first.
    void AskForChildren(std::string_view utf8_name, bool first_only) const;
};

template <class T>
HRESULT XmlNode::SaveList(std::string_view name, std::vector<T>& list) {
    for (T& object : list) {
        DomNode child;
        HRESULT status = CreateChildElement(name, &child);
        if (Failed(status)) return status;
        object.SetLevel(level + 1);
        // An element always has an attribute map.
        (void)object.Bind(child);
        status = object.Save(child);
        if (Failed(status)) return status;
        // A missing closing indentation leaves the file well-formed.
        (void)FinishElement(child);
    }
    return S_OK;
}

template <class T>
void XmlNode::LoadList(std::string_view name, std::vector<T>& list) {
    std::string storage;
    const std::string_view utf8_name = Utf8Name(name, storage);
    AskForChildren(utf8_name, false);
    for (DomNode child = dom::FirstChildElement(element, utf8_name); child;
         child = dom::NextSiblingElement(child, utf8_name)) {
        T object;
        object.SetLevel(level + 1);
        // An element always has an attribute map.
        (void)object.Bind(child);
        if (Succeeded(object.Load(child))) list.push_back(std::move(object));
    }
}

}  // namespace dravonix

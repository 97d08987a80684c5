#include "dom/dom_build.h"

#include <string>

#include "dom/dom_store.h"

namespace dravonix {

namespace dom {

namespace {

// True when the fast path applies: both handles refer to nodes of one document.
bool SameStore(const DomNode& a, const DomNode& b) {
    return Store::StoreOf(a) != nullptr && Store::StoreOf(a) == Store::StoreOf(b);
}

// The document of creator, for the general path.
DomDocument DocumentOf(const DomNode& creator) {
    Store* store = Store::StoreOf(creator);
    return store == nullptr ? DomDocument() : Store::MakeDocument(store);
}

}  // namespace

HRESULT AppendNewText(const DomNode& creator, const DomNode& parent, std::string_view utf8) {
    if (!SameStore(creator, parent)) {
        const DomDocument document = DocumentOf(creator);
        DomNode text;
        HRESULT status = document.CreateNode(NODE_TEXT, {}, &text);
        if (Failed(status)) return status;
        status = text.PutText(utf8);
        if (Failed(status)) return status;
        return parent.appendChild(text, nullptr);
    }
    return Store::StoreOf(creator)->AppendNewText(Store::IndexOf(parent), utf8);
}

HRESULT AppendNewElement(const DomNode& creator, const DomNode& parent, std::string_view utf8_name,
                         DomNode* appended) {
    if (!SameStore(creator, parent)) {
        const DomDocument document = DocumentOf(creator);
        DomNode element;
        HRESULT status = document.CreateNode(NODE_ELEMENT, utf8_name, &element);
        if (Failed(status)) return status;
        return parent.appendChild(element, appended);
    }
    Store& store = *Store::StoreOf(creator);
    const std::uint32_t name = store.InternXmlName(utf8_name);
    if (name == kNone) return E_FAIL;
    std::uint32_t index = 0;
    const HRESULT status = store.AppendNewElement(Store::IndexOf(parent), name, &index);
    if (Failed(status)) return status;
    if (appended != nullptr) *appended = Store::MakeNode(&store, index);
    return S_OK;
}

HRESULT AddNewAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                        std::string_view utf8_name, const Variant& value) {
    const DomNode& element = Store::ElementOf(map);
    if (!SameStore(creator, element)) {
        const DomDocument document = DocumentOf(creator);
        DomNode attribute;
        HRESULT status = document.CreateNode(NODE_ATTRIBUTE, utf8_name, &attribute);
        if (Failed(status)) return status;
        // Neither step reports a failure: a value without a text form leaves
        // the attribute empty, and a null map leaves it unattached.
        (void)attribute.put_nodeTypedValue(value);
        (void)map.setNamedItem(attribute, nullptr);
        return S_OK;
    }
    Store& store = *Store::StoreOf(creator);
    const std::uint32_t name = store.InternXmlName(utf8_name);
    if (name == kNone) return E_FAIL;
    if (value.vt == VT_I4) {
        // Integers, most of the values written, need no string: the digits
        // are those TextForm appends.
        char digits[kMaxDecimalSize];
        const char* end = FormatDecimal(value.lVal, digits);
        return store.AddAttribute(Store::IndexOf(element), name,
                                  {digits, static_cast<std::size_t>(end - digits)});
    }
    std::string text;
    // A value without a text form leaves the attribute empty, as the failed
    // put_nodeTypedValue does.
    (void)TextForm(value, &text);
    return store.AddAttribute(Store::IndexOf(element), name, text);
}

HRESULT AddNewIntAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                           std::string_view utf8_name, std::int32_t value) {
    const DomNode& element = Store::ElementOf(map);
    if (!SameStore(creator, element)) {
        return AddNewAttribute(creator, map, utf8_name, Variant::Int(value));
    }
    Store& store = *Store::StoreOf(creator);
    const std::uint32_t name = store.InternXmlName(utf8_name);
    if (name == kNone) return E_FAIL;
    // The digits are those TextForm appends.
    char digits[kMaxDecimalSize];
    return store.AddAttribute(
        Store::IndexOf(element), name,
        {digits, static_cast<std::size_t>(FormatDecimal(value, digits) - digits)});
}

bool AppendLeaf(const DomNode& parent, std::string_view indentation, std::string_view utf8_name,
                std::initializer_list<IntAttribute> attributes) {
    Store* store = Store::StoreOf(parent);
    constexpr std::size_t kMost = 8;
    if (store == nullptr || store->log() == nullptr || attributes.size() > kMost) return false;
    const std::uint32_t name = store->InternXmlName(utf8_name);
    if (name == kNone) return false;
    LoggedAttribute texts[kMost];
    char digits[kMost][kMaxDecimalSize];
    std::size_t count = 0;
    for (const IntAttribute& attribute : attributes) {
        const std::uint32_t id = store->InternXmlName(attribute.utf8_name);
        if (id == kNone) return false;
        texts[count] = {id, digits[count],
                        static_cast<std::size_t>(FormatDecimal(attribute.value, digits[count]) -
                                                 digits[count])};
        ++count;
    }
    return store->LogLeaf(Store::IndexOf(parent), &indentation, name, texts, count, nullptr);
}

HRESULT AddNewTextAttribute(const DomNode& creator, const DomNamedNodeMap& map,
                            std::string_view utf8_name, std::string_view utf8_value) {
    const DomNode& element = Store::ElementOf(map);
    if (!SameStore(creator, element)) {
        const DomDocument document = DocumentOf(creator);
        DomNode attribute;
        HRESULT status = document.CreateNode(NODE_ATTRIBUTE, utf8_name, &attribute);
        if (Failed(status)) return status;
        // As in AddNewAttribute, neither step reports a failure.
        (void)attribute.PutText(utf8_value);
        (void)map.setNamedItem(attribute, nullptr);
        return S_OK;
    }
    Store& store = *Store::StoreOf(creator);
    const std::uint32_t name = store.InternXmlName(utf8_name);
    if (name == kNone) return E_FAIL;
    return store.AddAttribute(Store::IndexOf(element), name, utf8_value);
}

bool AppendTextLeaf(const DomNode& creator, const DomNode& parent, std::string_view utf8_name,
                    std::span<const TextAttribute> attributes, const std::string_view* utf8_text) {
    constexpr std::size_t kMost = 16;
    if (!SameStore(creator, parent) || attributes.size() > kMost) return false;
    Store& store = *Store::StoreOf(parent);
    if (store.log() == nullptr) return false;
    const std::uint32_t name = store.InternXmlName(utf8_name);
    if (name == kNone) return false;
    LoggedAttribute texts[kMost];
    std::size_t count = 0;
    for (const TextAttribute& attribute : attributes) {
        const std::uint32_t id = store.InternXmlName(attribute.first);
        if (id == kNone) return false;
        texts[count++] = {id, attribute.second.data(), attribute.second.size()};
    }
    return store.LogLeaf(Store::IndexOf(parent), nullptr, name, texts, count, utf8_text);
}

}  // namespace dom

}  // namespace dravonix

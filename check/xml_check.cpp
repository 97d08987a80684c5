#include "check/xml_check.h"

#include <libxml/tree.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "check/schema_check.h"
#include "check/xml_lines.h"
#include "check/xml_names.h"
#include "model/key_definition.h"
#include "platform/codepage.h"
#include "platform/unicode.h"
#include "platform/variant.h"
#include "xml/keyboard_file.h"

namespace dravonix {

namespace {

std::string_view Utf8(const xmlChar* text) {
    return text == nullptr ? std::string_view() : reinterpret_cast<const char*>(text);
}

// The name as the reader matches it: prefix:local, or local alone.
std::string QualifiedName(const xmlNs* ns, const xmlChar* local) {
    std::string name;
    if (ns != nullptr && ns->prefix != nullptr) name.append(Utf8(ns->prefix)).push_back(':');
    name.append(Utf8(local));
    return name;
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

// ---- Values the reader converts ----

enum class ValueType { kInt, kBool };
enum class Effect {
    kDrops,    // the element's Load fails and its list drops it
    kIgnored,  // the member keeps the value it had
};

// A number or boolean attribute the reader converts.
struct ValueRule {
    std::string_view element;
    std::string_view attribute;
    ValueType type;
    Effect effect;
};

// Follows the Load of each class (xml/*_load.cpp).
constexpr ValueRule kValueRules[] = {
    {"subkeydef", "language", ValueType::kInt, Effect::kIgnored},
    {"subkeydef", "forcewinkeyboard", ValueType::kBool, Effect::kIgnored},
    {"subkeydef", "docked", ValueType::kBool, Effect::kIgnored},
    {"hotspot", "x", ValueType::kInt, Effect::kIgnored},
    {"hotspot", "y", ValueType::kInt, Effect::kIgnored},
    {"dockrect", "x1", ValueType::kInt, Effect::kIgnored},
    {"dockrect", "y1", ValueType::kInt, Effect::kIgnored},
    {"dockrect", "x2", ValueType::kInt, Effect::kIgnored},
    {"dockrect", "y2", ValueType::kInt, Effect::kIgnored},
    {"language", "id", ValueType::kInt, Effect::kIgnored},
    {"dockbackground", "type", ValueType::kInt, Effect::kIgnored},
    {"dockbackground", "color", ValueType::kInt, Effect::kIgnored},
    {"dockbackground", "resourceid", ValueType::kInt, Effect::kIgnored},
    {"sound", "id", ValueType::kInt, Effect::kDrops},
    {"rect", "x1", ValueType::kInt, Effect::kDrops},
    {"rect", "y1", ValueType::kInt, Effect::kDrops},
    {"rect", "x2", ValueType::kInt, Effect::kDrops},
    {"rect", "y2", ValueType::kInt, Effect::kDrops},
    {"ellipse", "x1", ValueType::kInt, Effect::kDrops},
    {"ellipse", "y1", ValueType::kInt, Effect::kDrops},
    {"ellipse", "x2", ValueType::kInt, Effect::kDrops},
    {"ellipse", "y2", ValueType::kInt, Effect::kDrops},
    {"roundrect", "x1", ValueType::kInt, Effect::kDrops},
    {"roundrect", "y1", ValueType::kInt, Effect::kDrops},
    {"roundrect", "x2", ValueType::kInt, Effect::kDrops},
    {"roundrect", "y2", ValueType::kInt, Effect::kDrops},
    {"roundrect", "widthellipse", ValueType::kInt, Effect::kDrops},
    {"roundrect", "heightellipse", ValueType::kInt, Effect::kDrops},
    {"point", "x", ValueType::kInt, Effect::kDrops},
    {"point", "y", ValueType::kInt, Effect::kDrops},
    {"key", "sound", ValueType::kInt, Effect::kDrops},
    {"key", "type", ValueType::kInt, Effect::kDrops},
    {"key", "vkey", ValueType::kInt, Effect::kDrops},
    {"key", "language", ValueType::kInt, Effect::kDrops},
    {"macro", "sound", ValueType::kInt, Effect::kIgnored},
    {"mkey", "vkey", ValueType::kInt, Effect::kDrops},
    {"mkey", "pressed", ValueType::kInt, Effect::kDrops},
    {"mkey", "press", ValueType::kInt, Effect::kDrops},
};

const ValueRule* FindValueRule(std::string_view element, std::string_view attribute) {
    for (const ValueRule& rule : kValueRules) {
        if (rule.element == element && rule.attribute == attribute) return &rule;
    }
    return nullptr;
}

// Converts text as the reader does: S_OK, DISP_E_TYPEMISMATCH or
// DISP_E_OVERFLOW; the integer in *value.
HRESULT ConvertValue(std::string_view text, ValueType type, std::int32_t* value) {
    Variant converted;
    HRESULT status = VariantChangeType(&converted, Variant::String(Utf8ToUtf16(text)), 0,
                                       type == ValueType::kInt ? VT_I4 : VT_BOOL);
    if (status == S_OK) *value = converted.lVal;
    return status;
}

// The value of an attribute: the text of its children.
std::string AttributeValue(const xmlAttr* attribute) {
    std::string value;
    for (const xmlNode* child = attribute->children; child != nullptr; child = child->next) {
        value.append(Utf8(child->content));
    }
    return value;
}

const xmlAttr* FindAttribute(const xmlNode* element, std::string_view name) {
    for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
        if (QualifiedName(a->ns, a->name) == name) return a;
    }
    return nullptr;
}

std::size_t LineOf(const xmlNode* node, std::size_t fallback) { return SourceLine(node, fallback); }

// ---- The walk ----

// Walks the parts of a document the reader reads and reports what it
// ignores or changes.
class XmlChecker {
public:
    explicit XmlChecker(CheckReport& report) : report_(report) {}

    const MediaLines& media_lines() const { return media_lines_; }

    // Checks the document's top level and the keyboard below its root.
    // Returns true when the root element is "keydef".
    bool CheckDocument(const xmlDoc* doc) {
        bool keyboard = false;
        for (const xmlNode* node = doc->children; node != nullptr; node = node->next) {
            if (node->type != XML_ELEMENT_NODE) {
                CheckOtherNode(node, 1);
                continue;
            }
            const std::string name = QualifiedName(node->ns, node->name);
            if (name != "keydef") {
                report_.Add(
                    LineOf(node, 1), "root-not-keydef",
                    "root element is " + Quoted(name) + ", not \"keydef\": no keyboard is read");
                continue;
            }
            keyboard = true;
            CheckElement(node, name, *FindXmlElementRule(name));
        }
        return keyboard;
    }

private:
    // Comments, processing instructions and the document type declaration
    // are not kept; text and the rest are left to the schema.
    void CheckOtherNode(const xmlNode* node, std::size_t fallback) {
        switch (node->type) {
            case XML_COMMENT_NODE:
                report_.Add(LineOf(node, fallback), "comment-dropped",
                            "comment is not kept: a resave drops it");
                break;
            case XML_PI_NODE:
                report_.Add(LineOf(node, fallback), "instruction-dropped",
                            "processing instruction " + Quoted(Utf8(node->name)) +
                                " is not kept: a resave drops it");
                break;
            case XML_DTD_NODE:
                report_.Add(LineOf(node, fallback), "doctype-dropped",
                            "document type declaration is not kept: a resave drops it");
                break;
            default:
                break;
        }
    }

    void CheckElement(const xmlNode* element, const std::string& name, const XmlElementRule& rule) {
        const std::size_t line = LineOf(element, 1);
        for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
            CheckAttribute(element, name, rule, a, line);
        }
        if (name == "jpeg" || name == "sound") CheckText(element, name, line);
        if (name == "subkeydef") {
            ++panels_;
            CheckSoundIds(element);
        }
        NoteMediaLine(element, name, line);
        for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) {
                CheckOtherNode(child, line);
                continue;
            }
            const std::string child_name = QualifiedName(child->ns, child->name);
            if (!HasName(rule.children, child_name)) {
                std::string message = "element " + Quoted(child_name) + " in " + Quoted(name) +
                                      " is not read" + Suggestion(rule.children, child_name) +
                                      ": it is dropped with everything in it";
                report_.Add(LineOf(child, line), "unknown-element", std::move(message));
                continue;
            }
            CheckElement(child, child_name, *FindXmlElementRule(child_name));
        }
    }

    void CheckAttribute(const xmlNode* element, const std::string& element_name,
                        const XmlElementRule& rule, const xmlAttr* attribute, std::size_t line) {
        const std::string name = QualifiedName(attribute->ns, attribute->name);
        if (!HasName(rule.attributes, name)) {
            report_.Add(line, "unknown-attribute",
                        "attribute " + Quoted(name) + " of " + Quoted(element_name) +
                            " is not read" + Suggestion(rule.attributes, name));
            return;
        }
        const std::string value = AttributeValue(attribute);
        const ValueRule* value_rule = FindValueRule(element_name, name);
        if (value_rule == nullptr) {
            CheckCharacters(value, "the " + Quoted(name) + " of " + Quoted(element_name), line);
            return;
        }
        // An old "press" counts only where "pressed" is absent.
        if (name == "press" && FindAttribute(element, "pressed") != nullptr) return;
        std::int32_t number = 0;
        const HRESULT status = ConvertValue(value, value_rule->type, &number);
        if (status == S_OK) return;
        std::string what = name + "=" + Quoted(value);
        if (status == DISP_E_OVERFLOW) {
            what += " is out of the 32-bit range";
        } else {
            what += value_rule->type == ValueType::kInt ? " is not a number" : " is not a boolean";
        }
        if (value_rule->effect == Effect::kDrops) {
            report_.Add(line, "not-a-number", element_name + " dropped: " + what);
        } else {
            report_.Add(line, "value-ignored",
                        what + " in " + Quoted(element_name) + ": the value is ignored");
        }
    }

    // The text of an image or sound element, which the reader reads.
    void CheckText(const xmlNode* element, const std::string& name, std::size_t line) {
        for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
            if (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE) continue;
            CheckCharacters(Utf8(child->content), "the text of " + Quoted(name),
                            LineOf(child, line));
        }
    }

    // Reports the first character of text that Windows-1252 lacks.
    void CheckCharacters(std::string_view text, const std::string& where, std::size_t line) {
        std::size_t count = 0;
        std::string first;
        for (std::size_t at = 0; at < text.size();) {
            char32_t code_point = 0;
            std::size_t length = DecodeUtf8(text.substr(at), &code_point);
            if (length == 0) length = 1;
            if (code_point > 0xFFFF ||
                (code_point != U'?' && ByteOfWideChar(static_cast<char16_t>(code_point)) == '?')) {
                if (count == 0) first = std::string(text.substr(at, length));
                ++count;
            }
            at += length;
        }
        if (count == 0) return;
        std::string message = count == 1
                                  ? Quoted(first) + " in " + where +
                                        " has no Windows-1252 character: it is read as \"?\""
                                  : Quoted(first) + " and " + std::to_string(count - 1) +
                                        " more characters in " + where +
                                        " have no Windows-1252 character: each is read as \"?\"";
        report_.Add(line, "character-replaced", std::move(message));
    }

    // Where the current panel names a media file, as its reader takes it: the
    // last image of a type, the last background that names a file, and the
    // first sound of an id.
    void NoteMediaLine(const xmlNode* element, const std::string& name, std::size_t line) {
        if (panels_ == 0) return;
        const std::size_t panel = panels_ - 1;
        if (name == "jpeg") {
            const xmlAttr* type = FindAttribute(element, "type");
            const std::string value = type == nullptr ? std::string() : AttributeValue(type);
            if (value == "normal") media_lines_.Set(panel, MediaRole::kNormalImage, -1, line);
            if (value == "pressed") media_lines_.Set(panel, MediaRole::kPressedImage, -1, line);
        } else if (name == "dockbackground" && FindAttribute(element, "filename") != nullptr) {
            media_lines_.Set(panel, MediaRole::kDockBackground, -1, line);
        } else if (name == "sound") {
            const xmlAttr* id = FindAttribute(element, "id");
            std::int32_t number = 0;
            if (id == nullptr ||
                ConvertValue(AttributeValue(id), ValueType::kInt, &number) != S_OK ||
                first_sounds_.contains({panel, number})) {
                return;
            }
            first_sounds_.insert({panel, number});
            media_lines_.Set(panel, MediaRole::kSound, number, line);
        }
    }

    // The first sound of an id wins; later ones are dropped.
    void CheckSoundIds(const xmlNode* panel) {
        std::map<std::int32_t, std::size_t> first_line;
        for (const xmlNode* child = panel->children; child != nullptr; child = child->next) {
            if (child->type != XML_ELEMENT_NODE || QualifiedName(child->ns, child->name) != "sound")
                continue;
            const xmlAttr* id = FindAttribute(child, "id");
            std::int32_t number = 0;
            if (id == nullptr || ConvertValue(AttributeValue(id), ValueType::kInt, &number) != S_OK)
                continue;
            const std::size_t line = LineOf(child, 1);
            auto [at, added] = first_line.emplace(number, line);
            if (added) continue;
            report_.Add(line, "sound-duplicate",
                        "sound id " + std::to_string(number) + " is defined again (first on line " +
                            std::to_string(at->second) + "): the first wins");
        }
    }

    static std::string Suggestion(const std::vector<std::string_view>& names,
                                  std::string_view name) {
        const std::string_view nearest = NearestName(names, name);
        return nearest.empty() ? std::string() : " (did you mean " + Quoted(nearest) + "?)";
    }

    CheckReport& report_;
    std::size_t panels_ = 0;  // "subkeydef" elements so far
    MediaLines media_lines_;
    std::set<std::pair<std::size_t, std::int32_t>> first_sounds_;  // (panel, id) seen
};

}  // namespace

void CheckXmlMemory(std::string_view bytes, CheckReport& report, bool validate,
                    const MediaFolder* media) {
    report = CheckReport();
    report.reader = InputKind::kXml;
    const ParsedXml parsed = ParseWithLines(bytes);
    if (parsed.out_of_memory) {
        report.error = "out of memory";
        return;
    }
    if (parsed.doc == nullptr) {
        report.error = "not well-formed: " + parsed.error;
        report.error_line = parsed.error_line;
        return;
    }
    KeyDefDocument document;
    if (LoadKeyboardMemory(bytes, document) == KeyboardLoad::kUnreadable) {
        report.error =
            "not readable: it refers to an entity, which the reader never expands (only the "
            "predefined entities and character references are read)";
        return;
    }
    report.readable = true;
    report.counts = CountKeyboard(document.keydef);
    XmlChecker checker(report);
    if (checker.CheckDocument(parsed.doc.get()) && validate) {
        (void)ValidateKeyboardSchema(parsed.doc.get(), report);
    }
    if (media != nullptr) CheckMedia(*media, document.keydef, checker.media_lines(), report);
    report.SortByLine();
}

}  // namespace dravonix

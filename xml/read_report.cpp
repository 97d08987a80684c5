#include "xml/read_report.h"

#include <algorithm>

#include "dom/dom_read.h"

namespace dravonix {

namespace {

thread_local ReadReport* current = nullptr;

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back('"');
    quoted.append(text);
    quoted.push_back('"');
    return quoted;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Edit distance counting an insertion, a deletion, a change or a swap of
// two neighbours as one edit (optimal string alignment), letters compared
// without regard to case.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    const std::size_t width = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * width);
    auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * width + j]; };
    for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
    for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
            if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
                Lower(a[i - 2]) == Lower(b[j - 1])) {
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
            }
        }
    }
    return at(a.size(), b.size());
}

// " (did you mean "NAME"?)" for the name of names nearest to text by edit
// distance (letter case aside), when it is close enough to be a likely
// misspelling of it; empty otherwise.
std::string Suggestion(const std::vector<std::string>& names, std::string_view text) {
    // Names longer than any known one are no misspelling worth the work.
    if (text.size() > 64) return {};
    std::string_view best;
    std::size_t best_distance = 0;
    for (std::string_view name : names) {
        const std::size_t distance = EditDistance(text, name);
        if (best.empty() || distance < best_distance) {
            best = name;
            best_distance = distance;
        }
    }
    // A third of the name may be wrong, at least one letter, at most three.
    const std::size_t allowed = std::clamp<std::size_t>(best.size() / 3, 1, 3);
    if (best.empty() || best_distance > allowed) return {};
    return " (did you mean " + Quoted(best) + "?)";
}

// Adds name to names unless it is there; true when it was added. The names
// asked for are literals, so most are found by address.
bool AddOnce(std::vector<std::string>& names, std::string_view name) {
    for (const std::string& known : names) {
        if (known == name) return false;
    }
    names.emplace_back(name);
    return true;
}

bool Holds(const std::vector<std::string>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The place of a node in the order of the file; the reports about nodes sort
// between those the tree does not hold.
std::uint64_t OrderOf(const DomNode& node) { return std::uint64_t{dom::SourceOrder(node)} * 2 + 1; }

// The line of a report about node: an attribute's is its element's.
std::size_t LineOf(const DomNode& node) { return dom::SourceLine(node); }

}  // namespace

ReadReport::ReadReport(XmlObserver& observer) : observer_(observer), previous_(current) {
    current = this;
}

ReadReport::~ReadReport() { current = previous_; }

ReadReport* ReadReport::Current() { return current; }

ReadReport::Asked& ReadReport::AskedOf(const DomNode& element) {
    const std::string_view name = dom::NameOf(element);
    // The same element's names are asked for one after another: look at the
    // last entry first, by the address of the name the document holds.
    if (!asked_.empty() && asked_.back().element.data() == name.data() &&
        asked_.back().element == name) {
        return asked_.back();
    }
    auto found = std::find_if(asked_.begin(), asked_.end(),
                              [&](const Asked& asked) { return asked.element == name; });
    if (found == asked_.end()) {
        asked_.push_back(Asked{name, {}, {}, {}});
        return asked_.back();
    }
    // Move it last, where the next question most likely finds it.
    std::iter_swap(found, asked_.end() - 1);
    return asked_.back();
}

const ReadReport::Asked* ReadReport::FindAsked(std::string_view element) const {
    auto found = std::find_if(asked_.begin(), asked_.end(),
                              [&](const Asked& asked) { return asked.element == element; });
    return found == asked_.end() ? nullptr : &*found;
}

void ReadReport::AskedForAttribute(const DomNode& element, std::string_view name) {
    (void)AddOnce(AskedOf(element).attributes, name);
}

void ReadReport::AskedForChildren(const DomNode& parent, std::string_view name, bool first_only) {
    Asked& asked = AskedOf(parent);
    if (AddOnce(asked.children, name)) asked.first_only.push_back(first_only);
}

void ReadReport::Unreadable(const DomNode& element, std::string_view name, std::string_view value,
                            ValueKind kind, HRESULT status, IfUnreadable effect) {
    std::string what = std::string(name) + "=" + Quoted(value);
    if (status == DISP_E_OVERFLOW) {
        what += " is out of the 32-bit range";
    } else {
        what += kind == ValueKind::kInteger ? " is not a number" : " is not a boolean";
    }
    const std::string_view element_name = dom::NameOf(element);
    const DomNode attribute = dom::FindAttribute(element, name);
    if (effect == IfUnreadable::kDropElement) {
        Add(attribute, XmlIssue::kNotANumber, std::string(element_name) + " dropped: " + what);
    } else {
        Add(attribute, XmlIssue::kValueIgnored,
            what + " in " + Quoted(element_name) + ": the value is ignored");
    }
}

void ReadReport::Replaced(const DomNode& node, std::string_view where, std::string_view first,
                          std::size_t replaced) {
    if (replaced == 0) return;
    const CodePage page = node.code_page();
    const std::string lacking = page == CodePage()
                                    ? std::string(" Windows-1252 character")
                                    : " character in code page " + std::to_string(page.Number());
    std::string message = replaced == 1 ? Quoted(first) + " in " + std::string(where) + " has no" +
                                              lacking + ": it is read as \"?\""
                                        : Quoted(first) + " and " + std::to_string(replaced - 1) +
                                              " more characters in " + std::string(where) +
                                              " have no" + lacking + ": each is read as \"?\"";
    Add(node, XmlIssue::kCharacterReplaced, std::move(message));
}

void ReadReport::NamedMedia(const DomNode& element, MediaRole role, std::int32_t sound) {
    if (panels_ != 0) observer_.MediaNamed(dom::SourceLine(element), panels_ - 1, role, sound);
}

void ReadReport::Add(const DomNode& node, XmlIssue kind, std::string details) {
    entries_.push_back(Entry{OrderOf(node), LineOf(node), kind, std::move(details)});
}

void ReadReport::AddBefore(std::size_t line, std::uint32_t next_node, XmlIssue kind,
                           std::string details) {
    entries_.push_back(Entry{std::uint64_t{next_node} * 2, line, kind, std::move(details)});
}

void ReadReport::VisitChild(const DomNode& parent, const DomNode& child, const Asked* asked,
                            std::vector<std::string_view>& seen) {
    switch (dom::TypeOf(child)) {
        case NODE_COMMENT:
            Add(child, XmlIssue::kCommentDropped, "comment is not kept: a resave drops it");
            return;
        case NODE_PROCESSING_INSTRUCTION:
            Add(child, XmlIssue::kInstructionDropped,
                "processing instruction " + Quoted(dom::NameOf(child)) +
                    " is not kept: a resave drops it");
            return;
        case NODE_ELEMENT:
            break;
        default:
            return;  // text is the schema's business
    }
    const std::string_view name = dom::NameOf(child);
    const auto where = [&] {
        return "element " + Quoted(name) + " in " + Quoted(dom::NameOf(parent));
    };
    static const std::vector<std::string> kNoNames;
    const std::vector<std::string>& children = asked == nullptr ? kNoNames : asked->children;
    const auto known = std::find(children.begin(), children.end(), name);
    if (known == children.end()) {
        Add(child, XmlIssue::kUnknownElement,
            where() + " is not read" + Suggestion(children, name) +
                ": it is dropped with everything in it");
        return;
    }
    const bool first_only = asked->first_only[static_cast<std::size_t>(known - children.begin())];
    if (first_only && std::find(seen.begin(), seen.end(), name) != seen.end()) {
        Add(child, XmlIssue::kUnknownElement,
            where() +
                " is not read: only the first one is, and this one is dropped with "
                "everything in it");
        return;
    }
    if (first_only) seen.push_back(name);
    Visit(child);
}

void ReadReport::Visit(const DomNode& element) {
    const Asked* asked = FindAsked(dom::NameOf(element));
    static const std::vector<std::string> kNoNames;
    const std::vector<std::string>& attributes = asked == nullptr ? kNoNames : asked->attributes;
    for (DomNode a = dom::FirstAttribute(element); a; a = dom::NextAttribute(a)) {
        const std::string_view name = dom::NameOf(a);
        // Namespace declarations are markup of the XML layer, not values of
        // the keyboard: they are left to the schema.
        if (Holds(attributes, name) || name == "xmlns" || name.starts_with("xmlns:")) continue;
        Add(a, XmlIssue::kUnknownAttribute,
            "attribute " + Quoted(name) + " of " + Quoted(dom::NameOf(element)) + " is not read" +
                Suggestion(attributes, name));
    }
    std::vector<std::string_view> seen;
    DomNode child;
    (void)element.get_firstChild(&child);
    while (child) {
        VisitChild(element, child, asked, seen);
        DomNode next;
        (void)child.get_nextSibling(&next);
        child = std::move(next);
    }
}

void ReadReport::Finish(const DomDocument& document, bool read_root) {
    const Asked* asked = FindAsked(dom::NameOf(document));
    DomNode child;
    (void)document.get_firstChild(&child);
    std::vector<std::string_view> seen;
    while (child) {
        if (dom::TypeOf(child) != NODE_ELEMENT) {
            VisitChild(document, child, asked, seen);
        } else if (read_root) {
            Visit(child);
        }
        DomNode next;
        (void)child.get_nextSibling(&next);
        child = std::move(next);
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.line != b.line ? a.line < b.line : a.order < b.order;
    });
    for (const Entry& entry : entries_) observer_.Report(entry.line, entry.kind, entry.details);
    entries_.clear();
}

}  // namespace dravonix

#include "check/xml_names.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace dravonix {

namespace {

// Follows the Load of each class (xml/*_load.cpp).
const std::vector<XmlElementRule>& Rules() {
    static const std::vector<XmlElementRule> rules = {
        {"keydef", {"name"}, {"subkeydef"}},
        {"subkeydef",
         {"name", "type", "language", "forcewinkeyboard", "docked"},
         {"hotspot", "dockrect", "language", "jpeg", "sound", "dockbackground", "shape",
          "nondragarea", "nonshiftkeys", "keyswithoutshift", "keyswithshift"}},
        {"hotspot", {"x", "y"}, {}},
        {"dockrect", {"x1", "y1", "x2", "y2"}, {}},
        {"language", {"id", "target"}, {}},
        {"jpeg", {"type"}, {}},
        {"sound", {"id"}, {}},
        {"dockbackground", {"type", "color", "filename", "resourceid", "resourcetype"}, {}},
        {"shape", {"mode"}, {"rect", "ellipse", "roundrect", "polygon"}},
        {"nondragarea", {"mode"}, {"rect", "ellipse", "roundrect", "polygon"}},
        {"rect", {"x1", "y1", "x2", "y2", "mode"}, {}},
        {"ellipse", {"x1", "y1", "x2", "y2", "mode"}, {}},
        {"roundrect", {"x1", "y1", "x2", "y2", "widthellipse", "heightellipse", "mode"}, {}},
        {"polygon", {"polymode", "mode"}, {"point"}},
        {"point", {"x", "y"}, {}},
        {"nonshiftkeys", {}, {"key", "macro"}},
        {"keyswithoutshift", {}, {"key"}},
        {"keyswithshift", {}, {"key"}},
        {"key", {"sound", "type", "vkey", "char", "target", "language"}, {"shape"}},
        {"macro", {"sound"}, {"shape", "mkey"}},
        {"mkey", {"vkey", "pressed", "press", "char"}, {}},
    };
    return rules;
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

}  // namespace

const XmlElementRule* FindXmlElementRule(std::string_view name) {
    for (const XmlElementRule& rule : Rules()) {
        if (rule.name == name) return &rule;
    }
    return nullptr;
}

bool HasName(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string_view NearestName(const std::vector<std::string_view>& names, std::string_view text) {
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
    return best_distance <= allowed ? best : std::string_view();
}

}  // namespace dravonix

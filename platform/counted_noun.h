// A number with the noun it counts, as messages and reports say it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dravonix {

/// "1 panel", "3 panels", "0 panels": count in decimal, a blank, and noun
/// with an "s" unless count is 1. For nouns whose plural adds "s".
inline std::string CountedNoun(std::size_t count, std::string_view noun) {
    std::string text = std::to_string(count);
    text.append(" ").append(noun);
    if (count != 1) text.push_back('s');
    return text;
}

}  // namespace dravonix

// File patterns on Windows, whose shells hand "*.kbd" to a program as it is:
// the pattern is matched against the names in its folder here.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/file_patterns.h"
#include "platform/path_encoding.h"

namespace dravonix {

namespace {

/// True when name matches pattern: "*" any run of units, "?" any one unit.
/// Both are in upper case.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t star = std::u16string_view::npos;  // the last "*" seen, to fall back to
    std::size_t star_name = 0;                     // where its run in name ends so far
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            star_name = n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

std::u16string Upper(std::u16string text) {
    if (!text.empty()) {
        ::CharUpperBuffW(reinterpret_cast<wchar_t*>(text.data()), static_cast<DWORD>(text.size()));
    }
    return text;
}

/// Names in the order a user expects: letter case aside, then as bytes.
bool NameBefore(const std::string& a, const std::string& b) {
    const auto key = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? byte + 32 : byte;
    };
    const auto before = [&key](char x, char y) { return key(x) < key(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), before)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), before)) return false;
    return a < b;
}

}  // namespace

std::vector<std::string> ExpandFilePattern(const std::string& argument) {
    // npos + 1 is 0: an argument without a folder part.
    const std::size_t name_start = argument.find_last_of("/\\:") + 1;
    const std::string folder = argument.substr(0, name_start);
    if (argument.find_first_of("*?", name_start) == std::string::npos ||
        folder.find_first_of("*?") != std::string::npos) {
        return {argument};
    }
    std::u16string wide_pattern;
    if (!PathToUtf16(argument, &wide_pattern)) return {argument};
    const std::u16string name_pattern =
        Upper(wide_pattern.substr(wide_pattern.find_last_of(u"/\\:") + 1));

    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(reinterpret_cast<const wchar_t*>(wide_pattern.c_str()),
                                       FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return {argument};
    std::vector<std::string> names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::u16string name(reinterpret_cast<const char16_t*>(found.cFileName));
        // The system also matches the short 8.3 names, by which "*.kbd" would
        // take "pad.kbd~"; only the names themselves count.
        if (Matches(name_pattern, Upper(name))) names.push_back(PathFromUtf16(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    if (names.empty()) return {argument};
    std::sort(names.begin(), names.end(), NameBefore);
    for (std::string& name : names) name.insert(0, folder);
    return names;
}

}  // namespace dravonix

#include "kbd/key_line_check.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "kbd/key_line.h"
#include "kbd/scanner.h"

namespace dravonix {

namespace {

/// Scanner::Int that also notes a number outside 32 bits in check.
bool Int(Scanner& scan, std::string_view line, KeyLineCheck& check, std::int32_t* read = nullptr) {
    std::int32_t value = 0;
    const std::size_t start = scan.position();
    if (!scan.Int(value)) return false;
    const std::string_view number = line.substr(start, scan.position() - start);
    if (check.saturated.empty() && IsOutside32Bits(number)) {
        check.saturated = number.substr(number.find_first_not_of(" \t\n\v\f\r"));
    }
    if (read != nullptr) *read = value;
    return true;
}

/// Counts the runs of digits in text.
std::size_t CountNumbers(std::string_view text) {
    std::size_t count = 0;
    bool in_number = false;
    for (char ch : text) {
        const bool digit = ch >= '0' && ch <= '9';
        if (digit && !in_number) ++count;
        in_number = digit;
    }
    return count;
}

/// The outline, as ReadOutline reads it.
void CheckOutline(std::string_view line, std::size_t close, KeyLineCheck& check) {
    check.numbers = CountNumbers(line.substr(1, close - 1));
    std::size_t c = 0;
    while (check.points < kMaxKeyLinePoints) {
        Scanner scan(line, c + 1);
        const std::size_t start = scan.position();
        if (!(Int(scan, line, check) && scan.Match(",") && Int(scan, line, check))) {
            check.points_end = line.substr(start);
            Scanner number(line, start);
            std::int32_t ignored = 0;
            check.blank_before_comma = number.Int(ignored) && number.position() < line.size() &&
                                       IsCSpace(line[number.position()]) && number.Match(" ,");
            return;
        }
        ++check.points;
        c = line.find(',', c + 1);
        if (c == std::string_view::npos) return;
        c = line.find(',', c + 1);
        if (c == std::string_view::npos || c >= close) return;
    }
}

}  // namespace

bool IsOutside32Bits(std::string_view number) {
    const std::size_t sign = number.find_first_of("+-");
    const bool negative = sign != std::string_view::npos && number[sign] == '-';
    std::size_t first = number.find_first_of("123456789");
    if (first == std::string_view::npos) return false;
    const std::string_view digits = number.substr(first);
    const std::string_view bound = negative ? "2147483648" : "2147483647";
    if (digits.size() != bound.size()) return digits.size() > bound.size();
    return digits > bound;
}

KeyLineCheck CheckKeyLine(std::string_view line) {
    KeyLineCheck check;
    if (line.empty() || line[0] != '[') return check;
    check.reach = KeyLineReach::kNoClose;
    const std::size_t close = line.find(']', 1);
    if (close == std::string_view::npos) return check;
    check.reach = KeyLineReach::kNoFields;
    CheckOutline(line, close, check);
    const std::size_t comma = line.find(',', close + 1);
    if (comma == std::string_view::npos) return check;
    check.reach = KeyLineReach::kFields;

    // The items in the order ParseKeyLine reads them; each one read moves
    // the point where the first item not read starts.
    Scanner scan(line, comma + 1);
    std::size_t end = scan.position();
    std::int32_t type = -1;
    char character = 0;
    const auto step = [&](bool read) {
        if (read) {
            ++check.fields;
            end = scan.position();
        }
        return read;
    };
    (void)(step(scan.Match(" ") && Int(scan, line, check)) &&
           step(scan.Match(" , ") && Int(scan, line, check, &type)) &&
           step(scan.Match(" , ") && Int(scan, line, check)) &&
           step(scan.Match(" , ") && Int(scan, line, check)) &&
           step(scan.Match(" , '") && scan.Char(character)));
    check.fields_end = line.substr(end);
    check.fields_end.remove_prefix(
        std::min(check.fields_end.size(), check.fields_end.find_first_not_of(" \t,")));
    if (check.fields >= 2) check.type = type;

    if (check.type == 16) {
        Scanner rescan(line, comma + 1);
        std::int32_t number = 0;
        if (rescan.Match(" ") && rescan.Int(number) && rescan.Match(" , ") && rescan.Int(number) &&
            rescan.Match(" , \"")) {
            check.target_quoted = true;
            const std::size_t start = rescan.position();
            const std::size_t quote = line.find('"', start);
            check.target_closed = quote != std::string_view::npos;
            check.target_length = (check.target_closed ? quote : line.size()) - start;
        }
    }
    return check;
}

namespace {

/// The C whitespace characters, inline for the quick test.
constexpr bool IsBlank(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

/// Reads "%d" the quick way: whitespace, an optional sign and 1 to 9 digits
/// (so never outside 32 bits); false for anything else.
inline bool ShortNumber(const char*& p, const char* end, std::int32_t* value = nullptr) {
    while (p != end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    const char* digits = p;
    std::int32_t number = 0;
    while (p != end && *p >= '0' && *p <= '9') {
        if (p - digits == 9) return false;  // ten digits may not fit: the full scan decides
        number = number * 10 + (*p++ - '0');
    }
    if (p == digits) return false;
    if (value != nullptr) *value = negative ? -number : number;
    return true;
}

/// Whitespace, then ch.
inline bool Separator(const char*& p, const char* end, char ch) {
    while (p != end && IsBlank(*p)) ++p;
    if (p == end || *p != ch) return false;
    ++p;
    return true;
}

}  // namespace

bool IsPlainKeyLine(std::string_view line) {
    if (line.empty() || line[0] != '[') return false;
    const char* p = line.data() + 1;
    const char* const end = line.data() + line.size();
    std::size_t numbers = 0;
    for (;;) {
        if (!ShortNumber(p, end)) return false;
        ++numbers;
        if (p == end) return false;
        const char after = *p++;
        if (after == ']') break;
        if (after != ',') return false;  // a blank before a comma ends the points
    }
    if (numbers % 2 != 0 || numbers / 2 > kMaxKeyLinePoints) return false;
    std::int32_t type = -1;
    if (!Separator(p, end, ',') || !ShortNumber(p, end) || !Separator(p, end, ',') ||
        !ShortNumber(p, end, &type) || type == -1) {
        return false;
    }
    if (type == 16) {
        if (!Separator(p, end, ',') || !Separator(p, end, '"')) return false;
        const std::string_view target(p, static_cast<std::size_t>(end - p));
        const std::size_t close = target.find('"');
        return close != std::string_view::npos && close <= kMaxKeyTargetLength;
    }
    return Separator(p, end, ',') && ShortNumber(p, end) && Separator(p, end, ',') &&
           ShortNumber(p, end) && Separator(p, end, ',') && Separator(p, end, '\'') &&
           end - p >= 2 && p[1] == '\'';
}

}  // namespace dravonix

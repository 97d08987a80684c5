#include "kbd/scanner.h"

#include <limits>

namespace dravonix {

bool IsCSpace(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

Scanner::Scanner(std::string_view text, std::size_t position)
    : text_(text), position_(position < text.size() ? position : text.size()) {}

void Scanner::SkipSpace() {
    while (position_ < text_.size() && IsCSpace(text_[position_])) ++position_;
}

bool Scanner::Match(std::string_view literal) {
    for (char expected : literal) {
        if (expected == ' ') {
            SkipSpace();
        } else if (position_ < text_.size() && text_[position_] == expected) {
            ++position_;
        } else {
            return false;
        }
    }
    return true;
}

bool Scanner::Int(std::int32_t& value) {
    SkipSpace();
    std::size_t pos = position_;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-')) {
        negative = text_[pos] == '-';
        ++pos;
    }
    const std::size_t first_digit = pos;
    // The magnitude stops growing once it passes the 32-bit range, so long
    // digit runs are consumed without overflow.
    constexpr std::int64_t kCap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (pos < text_.size() && text_[pos] >= '0' && text_[pos] <= '9') {
        if (magnitude <= kCap) magnitude = magnitude * 10 + (text_[pos] - '0');
        ++pos;
    }
    if (pos == first_digit) return false;
    position_ = pos;
    const std::int64_t signed_value = negative ? -magnitude : magnitude;
    if (signed_value > std::numeric_limits<std::int32_t>::max()) {
        value = std::numeric_limits<std::int32_t>::max();
    } else if (signed_value < std::numeric_limits<std::int32_t>::min()) {
        value = std::numeric_limits<std::int32_t>::min();
    } else {
        value = static_cast<std::int32_t>(signed_value);
    }
    return true;
}

bool Scanner::Char(char& value) {
    if (position_ >= text_.size()) return false;
    value = text_[position_++];
    return true;
}

bool Scanner::TextUntil(char stop, std::size_t max_kept, std::string& value) {
    std::size_t end = text_.find(stop, position_);
    if (end == std::string_view::npos) end = text_.size();
    if (end == position_) return false;
    const std::size_t length = end - position_;
    value.assign(text_.substr(position_, length < max_kept ? length : max_kept));
    position_ = end;
    return true;
}

bool Scanner::Word(std::string& value) {
    SkipSpace();
    std::size_t end = position_;
    while (end < text_.size() && !IsCSpace(text_[end])) ++end;
    if (end == position_) return false;
    value.assign(text_.substr(position_, end - position_));
    position_ = end;
    return true;
}

}  // namespace dravonix

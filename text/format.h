// printf-style formatting of narrow text.
#pragma once

#include <string>

namespace dravonix {

/// Replaces the content of target with the formatted text. The length of the
/// result is that of the text up to its first NUL byte (a "%c" of 0 ends it).
/// The buffer is sized from the formatted length, so nothing is ever written
/// beyond it; an invalid format leaves target empty.
[[gnu::format(printf, 2, 3)]] void Format(std::string& target, const char* format, ...);

}  // namespace dravonix

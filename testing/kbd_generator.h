// A seeded generator of realistic legacy keyboard files, for benchmarks and
// large-input tests. The same seed and size always give the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace dravonix {

/// Returns the text of a keyboard file of about target_bytes bytes (at least
/// one panel): panels of a few hundred keys in all three key sections, macros,
/// sounds and comments, with CR LF line ends.
std::string GenerateKbd(std::size_t target_bytes, std::uint64_t seed);

}  // namespace dravonix

// Text for people on POSIX systems: LF line ends, "/" between folders.
#include "platform/native_text.h"

namespace dravonix {

std::string WithNativeLineEnds(std::string_view text) { return std::string(text); }

std::string WithNativeSeparators(std::string_view relative) { return std::string(relative); }

}  // namespace dravonix

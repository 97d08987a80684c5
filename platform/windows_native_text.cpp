// Text for people on Windows: CR LF line ends, "\" between folders.
#include "platform/native_text.h"

namespace dravonix {

std::string WithNativeLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string WithNativeSeparators(std::string_view relative) {
    std::string out(relative);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

}  // namespace dravonix

#include "xml/narrow_text.h"

#include "platform/unicode.h"

namespace dravonix {

void AppendUtf8AsNarrow(CodePage page, std::string_view utf8, std::string& narrow,
                        NarrowLosses* losses) {
    narrow.reserve(narrow.size() + utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {  // the usual case: ASCII is the same in both
            narrow.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        char32_t code_point = 0;
        std::size_t size = DecodeUtf8(utf8.substr(i), &code_point);
        bool kept = false;
        if (size == 0) {
            size = 1;  // not UTF-8: this byte alone is lost
            narrow.push_back('?');
        } else {
            kept = page.AppendCharacter(code_point, narrow);
        }
        if (!kept && losses != nullptr) {
            if (losses->replaced++ == 0) losses->first = utf8.substr(i, size);
        }
        i += size;
    }
}

std::string_view Utf8Text(CodePage page, std::string_view narrow, std::string& storage) {
    for (const char c : narrow) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            storage.clear();
            (void)page.AppendUtf8(narrow, storage);
            return storage;
        }
    }
    return narrow;
}

}  // namespace dravonix

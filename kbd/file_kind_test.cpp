#include "kbd/file_kind.h"

#include <gtest/gtest.h>

#include <string_view>

namespace dravonix {

TEST(FileKind, TellsLegacyAndXmlFilesApart) {
    struct Case {
        std::string_view bytes;
        bool legacy;
        bool xml;
    };
    const Case cases[] = {
        {"[KEYDEF]\nBoard\n", true, false},
        {"\xEF\xBB\xBF  [KEYDEF]\r\n", true, false},
        {"; comment\n\t[KEYDEF]", true, false},
        // Every line the reader opens a block with, as the reader cuts and
        // cleans it: after any whitespace, anywhere outside a comment.
        {"\v[KEYDEF]\n", true, false},
        {"Board\n\f [KEYDEF] x\n", true, false},
        {"<keydef name=\"[KEYDEF]\"/>", true, false},
        {"; [KEYDEF]\nBoard\r[KEYDEF]\n", false, false},
        {"[keydef]\n", false, false},
        {"<keydef name=\"[KEYDEF\"/>", false, true},
        {"\xEF\xBB\xBF\n  <?xml version=\"1.0\"?><keydef/>", false, true},
        {"<!-- old -->\n[KEYDEF]\n", true, false},
        {"", false, false},
        {"Board\n", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasKeydefLine(c.bytes), c.legacy) << c.bytes;
        EXPECT_EQ(LooksLikeXml(c.bytes), c.xml) << c.bytes;
    }
}

}  // namespace dravonix

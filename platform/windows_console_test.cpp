// The console half of the stream writer, through a stand-in for the console
// (Wine gives a program without a display none it can write to).
#include "platform/windows_console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravonix {

TEST(WindowsConsole, GetsEveryCharacterAsUtf16) {
    // A file name with characters beyond any code page, and one beyond 16
    // bits where a piece of 8192 units ends.
    const std::string name = "\xC3\x9C\x62\x65r \xE2\x82\xAC \xD0\x96";  // Über € Ж
    const std::string text = "dravonix: cannot open '" + name + ".kbd'\n" +
                             std::string(8191 - 38, 'x') + "\xF0\x9F\x98\x80 \xFF\n";
    std::u16string shown;
    std::vector<std::size_t> pieces;
    const auto console = [&](const char16_t* units, std::size_t size, std::size_t* written) {
        shown.append(units, size);
        pieces.push_back(size);
        *written = size;
        return true;
    };
    EXPECT_TRUE(WriteToConsole(text, console));
    EXPECT_EQ(shown, u"dravonix: cannot open '\u00DCber \u20AC \u0416.kbd'\r\n" +
                         std::u16string(8191 - 38, u'x') + u"\U0001F600 \uFFFD\r\n");
    EXPECT_EQ(pieces, (std::vector<std::size_t>{8191, 6}));  // the pair kept whole

    EXPECT_FALSE(
        WriteToConsole("x\n", [](const char16_t*, std::size_t, std::size_t*) { return false; }));
}

}  // namespace dravonix

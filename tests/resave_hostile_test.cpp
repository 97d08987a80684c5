// End-to-end tests of the resave command on hostile XML: each input has one
// clear outcome, nothing outside the input is ever read, and a failure never
// touches a file that was there before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_util.h"
#include "tests/hostile_support.h"

namespace dravonix {

namespace {

const std::string kPrevious = "previous output\n";

CommandResult Resave(const std::string& input, const std::string& output) {
    return RunCommand(DRAVONIX_RESAVE_BIN, {input, output});
}

// A small keyboard as the converter writes it.
const std::string kBoard = Keyboard("Board \xC3\xA9\xE2\x82\xAC", EmptyPanel("800"));

// UTF-16 with a byte order mark, from text of 7-bit and 2- and 3-byte UTF-8.
std::string Utf16(const std::string& utf8, bool big_endian) {
    std::u16string wide;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t code = c;
        std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        if (length == 2) code = ((c & 0x1Fu) << 6) | (utf8[i + 1] & 0x3Fu);
        if (length == 3) {
            code = ((c & 0x0Fu) << 12) | ((utf8[i + 1] & 0x3Fu) << 6) | (utf8[i + 2] & 0x3Fu);
        }
        wide.push_back(static_cast<char16_t>(code));
        i += length;
    }
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : wide) {
        char high = static_cast<char>(unit >> 8);
        char low = static_cast<char>(unit & 0xFF);
        bytes.push_back(big_endian ? high : low);
        bytes.push_back(big_endian ? low : high);
    }
    return bytes;
}

// An internal subset whose entities would expand to 10^9 copies of "lol".
std::string EntityBomb(const std::string& body) {
    std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE keydef [\n<!ENTITY lol0 \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        text += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) text += "&lol" + std::to_string(i - 1) + ";";
        text += "\">\n";
    }
    return text + "]>\n" + body;
}

const std::string kExternal =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE keydef [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>\n";

struct FailureCase {
    const char* what;
    std::string input;
};

std::vector<FailureCase> FailureCases() {
    std::string deep = "<keydef name=\"deep\">";
    for (int i = 0; i < 10000; ++i) deep += "<subkeydef>";
    for (int i = 0; i < 10000; ++i) deep += "</subkeydef>";
    deep += "</keydef>";
    std::string invalid_utf8 = kBoard;
    invalid_utf8.replace(invalid_utf8.find("Board"), 5,
                         "Bo\xFF\xFE"
                         "d");
    return {
        {"an empty file", ""},
        {"truncated XML", kBoard.substr(0, kBoard.size() / 2)},
        {"invalid UTF-8", invalid_utf8},
        {"10 000 nested elements, beyond the parser's depth limit", deep},
        {"an entity bomb in content", EntityBomb("<keydef name=\"b\">&lol9;</keydef>")},
        {"an entity bomb in an attribute", EntityBomb("<keydef name=\"&lol9;\"/>")},
        {"an external entity in content", kExternal + "<keydef name=\"x\">&secret;</keydef>"},
        {"an external entity in an attribute", kExternal + "<keydef name=\"&secret;\"/>"},
        {"an attribute value of 20 MB, beyond the parser's limit",
         "<keydef name=\"" + std::string(20 << 20, 'a') + "\"/>"},
    };
}

}  // namespace

TEST(ResaveHostile, FailuresKeepThePreviousOutput) {
    for (const FailureCase& test : FailureCases()) {
        SCOPED_TRACE(test.what);
        ScratchDir dir;
        WriteFile(dir / "in.xml", test.input);
        WriteFile(dir / "out.xml", kPrevious);
        ExpectToolFailed(Resave(dir / "in.xml", dir / "out.xml"));
        EXPECT_EQ(ReadFile(dir / "out.xml"), kPrevious);
        EXPECT_EQ(CountEntries(dir.path()), 2);
    }
}

TEST(ResaveHostile, Utf16WithAByteOrderMarkIsReadAndSavedAsUtf8) {
    for (bool big_endian : {false, true}) {
        SCOPED_TRACE(big_endian ? "big endian" : "little endian");
        ScratchDir dir;
        WriteFile(dir / "in.xml", Utf16(kBoard, big_endian));
        ExpectToolSucceeded(Resave(dir / "in.xml", dir / "out.xml"));
        EXPECT_EQ(ReadFile(dir / "out.xml"), kBoard);
    }
}

TEST(ResaveHostile, LargeAttributeWithinTheParserLimitIsKeptWhole) {
    ScratchDir dir;
    std::string board = Keyboard(std::string(1 << 20, 'n'), EmptyPanel("800"));
    WriteFile(dir / "in.xml", board);
    ExpectToolSucceeded(Resave(dir / "in.xml", dir / "out.xml"));
    EXPECT_EQ(ReadFile(dir / "out.xml"), board);
}

}  // namespace dravonix

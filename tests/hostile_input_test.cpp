// End-to-end tests of the converter on hostile input and hostile output
// paths: every case has one clear outcome, and a failure never touches a
// file that was there before.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "testing/test_util.h"
#include "tests/hostile_support.h"

namespace dravonix {

namespace {

using namespace std::string_literals;

const std::string kPrevious = "previous output\n";

CommandResult Convert(const std::string& input, const std::string& output) {
    return RunCommand(DRAVONIX_BIN, {input, output});
}

CommandResult Resave(const std::string& input, const std::string& output) {
    return RunCommand(DRAVONIX_RESAVE_BIN, {input, output});
}

// Number of times part occurs in text.
std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A keyboard file whose content is built in the test, and what the
// converter must make of it.
struct ContentCase {
    const char* what;
    std::string input;
    std::string expected;
};

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// A key line of keyswithoutshift with the given outline text and char 'a'.
std::string KeyLine(const std::string& outline) { return "[" + outline + "], 1, 1, -1, 0, 'a'\n"; }

// The saved key with char 'a' and the given point elements.
std::string SavedKey(const std::string& points) {
    return "\t\t\t<key sound=\"1\" type=\"1\" char=\"a\">\n\t\t\t\t<shape>\n\t\t\t\t\t<polygon>\n" +
           points + "\t\t\t\t\t</polygon>\n\t\t\t\t</shape>\n\t\t\t</key>\n";
}

std::string SavedPoint(const std::string& x, const std::string& y) {
    return "\t\t\t\t\t\t<point x=\"" + x + "\" y=\"" + y + "\"/>\n";
}

std::vector<ContentCase> ContentCases() {
    std::vector<ContentCase> cases;
    cases.push_back({"NUL bytes end the text of their line",
                     "[KEYDEF]\nBo\0ard\nxres=80\0"
                     "0\n[/KEYDEF]\n"s,
                     Keyboard("Bo", EmptyPanel("80"))});
    cases.push_back({"a single 20 MB line is read in pieces of 4096",
                     "[KEYDEF]\n" + std::string(20 << 20, 'A') + "\nxres=800\n[/KEYDEF]\n",
                     Keyboard(std::string(4096, 'A'), EmptyPanel("800"))});
    cases.push_back(
        {"a million empty lines are skipped",
         Repeat("\n", 500000) + "[KEYDEF]\n" + Repeat("\r\n", 500000) + "Board\n[/KEYDEF]\n",
         Keyboard("Board", EmptyPanel(""))});
    cases.push_back({"a file of only block starts names the keyboard and has no panel",
                     Repeat("[KEYDEF]\r\n", 200000), Keyboard("[KEYDEF]", "")});
    {
        // 100 000 points make a line far beyond 4096 characters: its pieces
        // are no key lines, and the next key line is read as usual.
        std::string outline = "0,0";
        for (int i = 1; i < 100000; ++i) outline.append(",").append(std::to_string(i)).append(",1");
        cases.push_back({"a key line of 100 000 points is beyond the line limit",
                         "[KEYDEF]\nBoard\n[SHIFT/CAPS OFF]\n" + KeyLine(outline) +
                             KeyLine("5,6,7,8") + "[/SHIFT/CAPS OFF]\n[/KEYDEF]\n",
                         Keyboard("Board", EmptyPanel("", SavedKey(SavedPoint("5", "6") +
                                                                   SavedPoint("7", "8"))))});
    }
    {
        // 1000 points still fit in one line: the polygon keeps the first 256.
        std::string outline = "0,0";
        std::string points = SavedPoint("0", "0");
        for (int i = 1; i < 1000; ++i) {
            outline.append(",").append(std::to_string(i % 10)).append(",1");
            if (i < 256) points += SavedPoint(std::to_string(i % 10), "1");
        }
        cases.push_back({"a key line of 1000 points keeps 256",
                         "[KEYDEF]\nBoard\n[SHIFT/CAPS OFF]\n" + KeyLine(outline) +
                             "[/SHIFT/CAPS OFF]\n[/KEYDEF]\n",
                         Keyboard("Board", EmptyPanel("", SavedKey(points)))});
    }
    cases.push_back(
        {"numbers beyond 64 bits saturate at the 32-bit bounds",
         "[KEYDEF]\nBoard\nxres=99999999999999999999999999\n[SHIFT/CAPS OFF]\n" +
             KeyLine("99999999999999999999999,-99999999999999999999999,"
                     "18446744073709551616,-18446744073709551617") +
             "[/SHIFT/CAPS OFF]\n[/KEYDEF]\n",
         Keyboard("Board",
                  EmptyPanel("2147483647", SavedKey(SavedPoint("2147483647", "-2147483648") +
                                                    SavedPoint("2147483647", "-2147483648"))))});
    return cases;
}

}  // namespace

TEST(HostileInput, ContentHasOneClearOutcome) {
    for (const ContentCase& test : ContentCases()) {
        SCOPED_TRACE(test.what);
        ScratchDir dir;
        WriteFile(dir / "in.kbd", test.input);
        ExpectToolSucceeded(Convert(dir / "in.kbd", dir / "out.xml"));
        EXPECT_EQ(ReadFile(dir / "out.xml"), test.expected);
    }
}

TEST(HostileInput, BinaryGarbageGivesAReadableKeyboard) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 4; ++round) {
        std::string garbage(256 * 1024, '\0');
        for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
        // Later rounds sprinkle block markers into the garbage.
        for (int i = 0; i < round * 50; ++i) {
            garbage.replace(random() % (garbage.size() - 20), 10,
                            i % 2 == 0 ? "\n[KEYDEF]\n" : "[/KEYDEF]\n");
        }
        ScratchDir dir;
        WriteFile(dir / "in.kbd", garbage);
        ExpectToolSucceeded(Convert(dir / "in.kbd", dir / "out.xml"));
        // The output must be a well-formed keyboard file the reader accepts.
        ExpectToolSucceeded(Resave(dir / "out.xml", dir / "again.xml"));
        if (round > 0) {
            EXPECT_GT(CountOf(ReadFile(dir / "out.xml"), "<subkeydef "), 0u);
        }
    }
}

TEST(HostileInput, HighBytesEverywhereSurviveAndReadBack) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) high.push_back(static_cast<char>(c));
    std::string input = "[KEYDEF]\n" + high + "\nxres=1\nnormal jpeg=" + high.substr(0, 64) +
                        "\n[SOUNDS]\n1=" + high +
                        "\n[/SOUNDS]\n[SHIFT/CAPS OFF]\n[0,0,1,1], 1, 1, "
                        "-1, 0, '\xE9'\n[0,0,1,1], 1, 16, \"" +
                        high.substr(64, 60) + "\"\n[/SHIFT/CAPS OFF]\n[/KEYDEF]\n";
    ScratchDir dir;
    WriteFile(dir / "in.kbd", input);
    ExpectToolSucceeded(Convert(dir / "in.kbd", dir / "out.xml"));
    std::string output = ReadFile(dir / "out.xml");
    // Windows-1252: 0x80 is the euro sign, the undefined 0x81 is U+0081.
    EXPECT_TRUE(output.starts_with("<keydef name=\"\xE2\x82\xAC\xC2\x81\xE2\x80\x9A")) << output;
    EXPECT_NE(output.find("char=\"\xC3\xA9\""), std::string::npos);
    EXPECT_EQ(CountOf(output, "\xC3\xBF"), 2u) << "0xFF in the name and the sound";
    // Nothing is lost: the reader gives every byte back.
    ExpectToolSucceeded(Resave(dir / "out.xml", dir / "again.xml"));
    EXPECT_EQ(ReadFile(dir / "again.xml"), output);
}

TEST(HostileInput, OutputPathEqualToInputIsRefused) {
    ScratchDir dir;
    std::string input = "[KEYDEF]\nBoard\nxres=800\n[/KEYDEF]\n" + Repeat("; padding\n", 100000);
    WriteFile(dir / "in.kbd", input);
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "in.kbd"), "is a legacy keyboard file");
    EXPECT_EQ(ReadFile(dir / "in.kbd"), input);
    EXPECT_EQ(CountEntries(dir.path()), 1);
}

// ---- Failures: the error text, exit -2, and nothing lost ----

TEST(HostileInput, InputThatIsADirectoryFails) {
    ScratchDir dir;
    std::filesystem::create_directory(NativePath(dir / "in.kbd"));
    WriteFile(dir / "out.xml", kPrevious);
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "out.xml"),
                     "dravonix: cannot open '" + dir / "in.kbd" + "': Is a directory");
    EXPECT_EQ(ReadFile(dir / "out.xml"), kPrevious);
    EXPECT_EQ(CountEntries(dir.path()), 2);
}

TEST(HostileInput, OutputThatIsADirectoryFails) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    std::filesystem::create_directory(NativePath(dir / "out.xml"));
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "out.xml"),
                     "dravonix: cannot save '" + dir / "out.xml" + "': Is a directory");
    EXPECT_EQ(CountEntries(dir / "out.xml"), 0);
    EXPECT_EQ(CountEntries(dir.path()), 2);
}

TEST(HostileInput, OutputUnderARegularFileFails) {
    // The same failure paths as a folder without write permission, even for root.
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    WriteFile(dir / "file", kPrevious);
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "file/out.xml"), "Not a directory");
    EXPECT_EQ(ReadFile(dir / "file"), kPrevious);
    EXPECT_EQ(CountEntries(dir.path()), 2);
}

}  // namespace dravonix

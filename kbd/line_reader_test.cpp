#include "kbd/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/memory_file.h"

namespace dravonix {

namespace {

std::vector<std::string> ReadAll(const std::string& content, std::size_t piece) {
    MemoryFile file(content, piece);
    LineReader reader(file);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Read(line)) lines.push_back(line);
    return lines;
}

/// Every piece LineReader delivers for the given file content, which must
/// not depend on how much each read of the file delivers.
std::vector<std::string> ReadAll(const std::string& content) {
    std::vector<std::string> lines = ReadAll(content, content.size() + 1);
    EXPECT_EQ(ReadAll(content, 7), lines) << "reading 7 bytes at a time";
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReaderTest, EmptyFileYieldsNothing) { EXPECT_EQ(ReadAll(""), Lines{}); }

TEST(LineReaderTest, SkipsWhitespaceAfterEveryLine) {
    EXPECT_EQ(ReadAll("  a  \n\n \t b\n\v\f\n c"), (Lines{"  a  ", "b", "c"}));
}

TEST(LineReaderTest, EmptyFirstLineIsDeliveredEmptyThenSkipped) {
    EXPECT_EQ(ReadAll("\n\n  a\n"), (Lines{"", "a"}));
    EXPECT_EQ(ReadAll("\r\n a"), (Lines{"", "a"}));
}

TEST(LineReaderTest, CrLfIsOneNewlineAndLoneCrStaysInLine) {
    EXPECT_EQ(ReadAll("a\r\nb\rc\r\n\r\nd\r"), (Lines{"a", "b\rc", "d\r"}));
}

TEST(LineReaderTest, NulEndsTextButCountsTowardsPiece) {
    std::string content = "ab";
    content += '\0';
    content += "cd\nef";
    EXPECT_EQ(ReadAll(content), (Lines{"ab", "ef"}));

    // 4096 bytes with a NUL in the middle: the rest of the line is a new piece.
    std::string longer(2000, 'x');
    longer += '\0';
    longer += std::string(2095, 'y') + "TAIL\n";
    EXPECT_EQ(ReadAll(longer), (Lines{std::string(2000, 'x'), "TAIL"}));
}

TEST(LineReaderTest, LongLineComesInPiecesOf4096) {
    const std::string first(kMaxLinePiece, 'a');
    EXPECT_EQ(ReadAll(first + "bc\nd"), (Lines{first, "bc", "d"}));
    // A piece of exactly 4096 before the newline leaves no empty piece.
    EXPECT_EQ(ReadAll(first + "\nd"), (Lines{first, "d"}));
    // Whitespace after a full piece is skipped like after any other read.
    EXPECT_EQ(ReadAll(first + "  bc"), (Lines{first, "bc"}));
    // The CR of a CR LF does not count towards the piece.
    const std::string almost(kMaxLinePiece - 1, 'a');
    EXPECT_EQ(ReadAll(almost + "\r\nd"), (Lines{almost, "d"}));
}

TEST(LineReaderTest, LinesCrossingBlockBoundaries) {
    std::string content;
    Lines expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back("line " + std::to_string(i));
        content += expected.back() + "\r\n";
    }
    EXPECT_EQ(ReadAll(content), expected);
}

TEST(LineReaderTest, NewlinesAndNulsRightAtABlockBoundary) {
    // The reader takes the file in blocks of 64 KiB; put a CR LF, a lone CR
    // and a NUL on either side of the first boundary.
    for (const std::string& tail :
         {std::string("\r\nz"), std::string("\rz"), std::string("\0z\nw", 4)}) {
        std::string content;
        Lines expected;
        while (content.size() + 101 < 65535) {
            content += std::string(100, 'a') + "\n";
            expected.push_back(std::string(100, 'a'));
        }
        const std::string last(65535 - content.size(), 'b');
        content += last + tail;
        if (tail == "\r\nz") expected.insert(expected.end(), {last, "z"});
        if (tail == "\rz") expected.push_back(last + "\rz");
        if (tail.size() == 4) expected.insert(expected.end(), {last, "w"});
        EXPECT_EQ(ReadAll(content), expected) << tail.size();
    }
}

TEST(LineReaderTest, NumbersPiecesByPhysicalLineAndReadsUtf8) {
    // The byte-order mark comes a byte at a time in one of the readings.
    const std::string content =
        "\xEF\xBB\xBF"
        "a\n\n  b\r\nc\rd\n" +
        std::string(kMaxLinePiece + 1, 'x') + "\n\xE2\x86\x92\n";
    using Piece = std::pair<std::string, std::size_t>;
    const std::vector<Piece> expected = {
        {"a", 1}, {"b", 3}, {"c\rd", 4}, {std::string(kMaxLinePiece, 'x'), 5}, {"x", 5}, {"?", 6}};
    for (std::size_t piece : {std::size_t{1}, content.size()}) {
        MemoryFile file(content, piece);
        LineReader reader(file);
        std::vector<Piece> pieces;
        std::string text;
        while (reader.Read(text)) pieces.emplace_back(text, reader.line());
        EXPECT_EQ(pieces, expected) << piece;
        ASSERT_EQ(reader.character_changes().size(), 1u);
        EXPECT_EQ(reader.character_changes()[0].line, 6u);
        EXPECT_EQ(reader.character_changes()[0].code_point, U'\u2192');
    }
}

struct CleanCase {
    std::string raw;
    std::string clean;
};

class CleanLineTest : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanLineTest, Cleans) { EXPECT_EQ(CleanLine(GetParam().raw), GetParam().clean); }

INSTANTIATE_TEST_SUITE_P(
    Lines, CleanLineTest,
    ::testing::Values(CleanCase{"; comment", ""}, CleanCase{"# comment", ""},
                      CleanCase{"\rabc", ""}, CleanCase{"  xres=1024  ; res", "xres=1024"},
                      CleanCase{"a # b ; c", "a"}, CleanCase{"a\rb", "a"}, CleanCase{"a;", "a"},
                      CleanCase{"[0,0], 1, 1, -1, 0, ';' ; note", "[0,0], 1, 1, -1, 0, ';' ; note"},
                      CleanCase{"[0,0], 1, 1, -1, 0, '#'", "[0,0], 1, 1, -1, 0, '#'"},
                      CleanCase{" \t ", ""}, CleanCase{"\ta b\t", "a b"},
                      CleanCase{"\va\v", "\va\v"}, CleanCase{"  ;x", ""}));

}  // namespace

}  // namespace dravonix

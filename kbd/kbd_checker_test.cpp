#include "kbd/kbd_checker.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kbd/kbd_reader.h"
#include "testing/kbd_generator.h"
#include "testing/test_util.h"

namespace dravonix {

/// Test failures name the kinds.
void PrintTo(KbdIssue kind, std::ostream* out) { *out << KbdIssueName(kind); }

namespace {

using namespace std::string_literals;

struct Report {
    std::size_t line;
    KbdIssue kind;
    std::string details;
};

/// Keeps every report.
class Recorder : public KbdObserver {
public:
    void Report(std::size_t line, KbdIssue kind, std::string_view details) override {
        reports.push_back({line, kind, std::string(details)});
    }
    std::vector<dravonix::Report> reports;
};

using Expected = std::vector<std::pair<KbdIssue, std::size_t>>;

Expected KindsAndLines(const std::vector<Report>& reports) {
    Expected found;
    for (const Report& report : reports) found.emplace_back(report.kind, report.line);
    return found;
}

std::vector<Report> Check(std::string_view bytes, KeyDefinition& definition) {
    Recorder recorder;
    ReadKbdBytes(bytes, definition, &recorder);
    return recorder.reports;
}

/// The whole model as text, to compare two readings.
std::string Describe(const KeyDefinition& definition) {
    std::ostringstream text;
    text << definition.name << "\n";
    const auto shape = [&text](const KeyShape& key_shape) {
        for (const PolygonRecord& polygon : key_shape.polygon) {
            text << " [";
            for (const PointRecord& point : polygon.point) text << point.x << "," << point.y << " ";
            text << "]";
        }
    };
    const auto keys = [&](const std::vector<Key>& list) {
        for (const Key& key : list) {
            shape(key.shape);
            text << " " << key.sound << " " << key.type << " " << key.vkey << " "
                 << int{key.character} << " " << key.target << "\n";
        }
    };
    for (const SubKeyDefinition& panel : definition.subkeydef) {
        text << panel.name << "|" << panel.type << "|" << panel.jpegnormal << "|"
             << panel.jpegpressed << "\n";
        for (const auto& [id, file] : panel.sounds) text << id << "=" << file << "\n";
        keys(panel.nonshiftkeys.key);
        for (const Macro& macro : panel.nonshiftkeys.macro) {
            shape(macro.shape);
            text << " " << macro.sound << ":";
            for (const MacroKey& stroke : macro.mkey) {
                text << " " << stroke.vkey << "," << stroke.pressed << "," << int{stroke.character};
            }
            text << "\n";
        }
        keys(panel.keyswithoutshift.key);
        keys(panel.keyswithshift.key);
    }
    return text.str();
}

struct IssueCase {
    std::string content;
    Expected reports;                // every report, in order
    std::vector<std::string> words;  // in the details of the first
};

const std::string kStart = "[KEYDEF]\nkb\n";  // lines 1 and 2
const std::string kEnd = "[/KEYDEF]\n";
const std::string kKey = "[0,0,9,0], -1, 1, 65, 0, 'a'\n";  // a key that needs no sound

/// kStart, a section around body, kEnd.
std::string InSection(const std::string& section, const std::string& body) {
    return kStart + "[" + section + "]\n" + body + "[/" + section + "]\n" + kEnd;
}

const std::string kMacroLine = "[0,0,9,0], -1, 7, -1, 0, 'm'\n";
const std::string kNonShift = "NOT INFLUENCED BY SHIFT";

using K = KbdIssue;

class KbdCheckerTest : public ::testing::TestWithParam<IssueCase> {};

TEST_P(KbdCheckerTest, ReportsWhatTheReaderDropsOrChanges) {
    const IssueCase& test = GetParam();
    KeyDefinition observed;
    const std::vector<Report> reports = Check(test.content, observed);
    ASSERT_EQ(KindsAndLines(reports), test.reports) << test.content;
    for (const std::string& word : test.words) {
        EXPECT_NE(reports[0].details.find(word), std::string::npos)
            << reports[0].details << " lacks " << word;
    }
    // Reports change nothing in the model.
    KeyDefinition plain;
    ReadKbdBytes(test.content, plain);
    EXPECT_EQ(Describe(observed), Describe(plain));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, KbdCheckerTest,
    ::testing::Values(
        IssueCase{kStart + "xres=800\n[SHIFT/CAPS OFF]\n" + kKey + "[/SHIFT/CAPS OFF]\n",
                  {{K::kUnclosedKeydef, 1}},
                  {"not closed by \"[/KEYDEF]\"", "panel \"800\" with 1 key dropped"}},
        IssueCase{kStart + "xres=8\n[KEYDEF]\n" + kEnd,
                  {{K::kUnclosedKeydef, 1}},
                  {"before the \"[KEYDEF]\" at line 4", "panel \"8\" with no keys dropped"}},
        IssueCase{kStart + "[SOUNDS]\n1=a.wav\n",
                  {{K::kUnclosedSection, 4}, {K::kUnclosedKeydef, 1}},
                  {"section \"[SOUNDS]\" begun at line 3 not closed by \"[/SOUNDS]\"",
                   "the 1 line after it"}},
        // A misspelled end marker: the section runs on over "[/KEYDEF]".
        IssueCase{kStart + "[SHIFT/CAPS ON]\n" + kKey + "[/SHIFT/CAPS 0N]\n" + kEnd,
                  {{K::kKeyLineUnread, 5},
                   {K::kMarkerMisplaced, 6},
                   {K::kUnclosedSection, 5},
                   {K::kUnclosedKeydef, 1}},
                  {"\"[/SHIFT/CAPS 0N]\" is no marker", "begun at line 3",
                   "only \"[/SHIFT/CAPS ON]\" ends"}},
        IssueCase{kStart + "[/keydef]\n",
                  {{K::kMarkerCase, 3}, {K::kUnclosedKeydef, 1}},
                  {"\"[/keydef]\" is not in the exact letter case \"[/KEYDEF]\"", "ordinary line"}},
        IssueCase{kStart + "[/SOUNDS]\n" + kEnd,
                  {{K::kMarkerMisplaced, 3}},
                  {"\"[/SOUNDS]\" without its section"}},
        IssueCase{"intro\nkb\nmore\n[KEYDEF]\n" + kEnd,
                  {{K::kStrayLine, 1}, {K::kStrayLine, 3}},
                  {"not the keyboard's name"}},
        IssueCase{kStart + kEnd + "xres=5\n",
                  {{K::kStrayLine, 4}},
                  {"outside any KEYDEF block", "line 3", "unless a further \"[/KEYDEF]\""}},
        IssueCase{kStart + kEnd + "xres=5\n" + kEnd,
                  {{K::kStrayLine, 4}, {K::kExtraPanel, 5}},
                  {"outside any KEYDEF block"}},
        // Files that hold no keyboard: one report says what they are.
        IssueCase{"", {{K::kNoKeydef, 1}}, {"no [KEYDEF] block found: the file holds no keyboard"}},
        IssueCase{"Board\nhello\nworld\n",
                  {{K::kStrayLine, 1}, {K::kStrayLine, 3}, {K::kNoKeydef, 1}},
                  {"not the keyboard's name"}},
        IssueCase{"<?xml version=\"1.0\"?>\n<keydef name=\"x\">\n<subkeydef/>\n</keydef>\n",
                  {{K::kNoKeydef, 1}},
                  {"this is an XML keyboard file: use dravonix-resave"}},
        IssueCase{"<svg>\n<rect/>\n</svg>\n", {{K::kNoKeydef, 1}}, {"an XML file, not a keyboard"}},
        IssueCase{"\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\n"s,
                  {{K::kNoKeydef, 1}},
                  {"binary data (an image?)"}},
        IssueCase{"\xFF\xFE[\0K\0E\0Y\0"s, {{K::kNoKeydef, 1}}, {"UTF-16"}},
        IssueCase{"<!-- x -->\nkb\n" +
                      [] {
                          std::string elements;
                          for (int i = 0; i < 70; ++i) elements += "<more/>\n";
                          return elements;
                      }() +
                      "[KEYDEF]\n" + kEnd,
                  {{K::kStrayLine, 1}},
                  {"71 lines before the first \"[KEYDEF]\" at line 73 (the file starts like XML)"}},
        IssueCase{"[KEYDEF]\0x\nkb\n"s + kEnd, {{K::kNulByte, 1}}, {"the 1 character after"}},
        // More lines of text than are held back, then a NUL: still text.
        IssueCase{[] {
                      std::string lines = "kb\n";
                      for (int i = 0; i < 70; ++i) lines += "text\n";
                      return lines + "\0\n"s;
                  }(),
                  [] {
                      Expected reports = {{K::kStrayLine, 1}};
                      for (std::size_t line = 3; line <= 71; ++line) {
                          reports.emplace_back(K::kStrayLine, line);
                      }
                      reports.emplace_back(K::kNoKeydef, 1);
                      return reports;
                  }(),
                  {"not the keyboard's name"}},
        IssueCase{kStart + "xres = 640\n" + kEnd,
                  {{K::kUnknownHeader, 3}},
                  {"\"= 640\" is not a number", "name is not set"}},
        IssueCase{kStart + "Xres=640\n" + kEnd,
                  {{K::kUnknownHeader, 3}},
                  {"\"Xres=640\" is no header key"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], 1, l, 65, 0, 'a'\n"),
                  {{K::kKeyLineUnread, 4}},
                  {"no type (\"l, 65, 0, 'a'\" is not a number): key dropped"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], 1, -1, 65, 0, 'a'\n"),
                  {{K::kKeyLineUnread, 4}},
                  {"type -1: key dropped"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0,9 ,9,0,9], -1, 1, 65, 0, 'a'\n"),
                  {{K::kKeyLinePartial, 4}},
                  {"a blank before the comma ends the points: 2 of 4 points read"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], -1, 1\n"),
                  {{K::kKeyLinePartial, 4}},
                  {"virtual-key field missing"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], -1, 1, -1, 0, a\n"),
                  {{K::kKeyLinePartial, 4}},
                  {"character not in single quotes (at \"a\")"}},
        IssueCase{InSection("SHIFT/CAPS OFF", "[1,1,2,2]\n[0,0,9,0], 3, 1, 65, 0, 'a'\n"),
                  {{K::kKeyLineUnread, 4}, {K::kShiftTraces, 5}, {K::kSoundMissing, 5}},
                  {"no comma after its outline"}},
        IssueCase{InSection("SHIFT/CAPS ON", "[1,1,2,2], 3\n" + kKey),
                  {{K::kKeyLineUnread, 4}, {K::kShiftTraces, 5}},
                  {"no type: key dropped"}},
        IssueCase{InSection(
                      kNonShift, "[" +
                                     [] {
                                         std::string pairs;
                                         for (int i = 0; i < 257; ++i) pairs += "1,1,";
                                         return pairs;
                                     }() +
                                     "], -1, 1, 65, 0, 'a'\n"),
                  {{K::kPointsCut, 4}},
                  {"outline of 257 points: only the first 256 kept"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], -1, 16, \"" + std::string(130, 'x') + "\"\n"),
                  {{K::kTargetCut, 4}},
                  {"target of 130 characters cut to 127"}},
        IssueCase{InSection(kNonShift, "[0,0,9,0], -1, 1, 99999999999, 0, 'a'\n"),
                  {{K::kNumberSaturated, 4}},
                  {"\"99999999999\" does not fit in 32 bits: read as 2147483647"}},
        IssueCase{InSection(kNonShift, kMacroLine + "16,x\n.MACROENDS\n"),
                  {{K::kStrokeUnread, 5}},
                  {"stroke line not understood"}},
        IssueCase{InSection(kNonShift, kMacroLine + "65,1,'a'\n.MACROENDS\n"),
                  {{K::kStrokeUnread, 5}},
                  {"must start with -1"}},
        IssueCase{kStart + "[" + kNonShift + "]\n" + kMacroLine + "16,1\n",
                  {{K::kMacroUnclosed, 4}, {K::kUnclosedSection, 5}, {K::kUnclosedKeydef, 1}},
                  {"still open at the end of the file", "dropped with its 1 stroke"}},
        IssueCase{InSection(kNonShift, kMacroLine + "16,1\n"),
                  {{K::kMacroClosedBySection, 6}},
                  {"begun at line 4", "kept with its 1 stroke"}},
        IssueCase{
            InSection("SOUNDS", "click.wav\n"), {{K::kSoundLine, 4}}, {"not \"id=file\": ignored"}},
        IssueCase{InSection("SOUNDS", "x=a.wav\n"), {{K::kSoundIdZero, 4}}, {"read as sound 0"}},
        IssueCase{InSection("SOUNDS", "[/SOUND]\n"),
                  {{K::kSoundLine, 4}},
                  {"\"[/SOUND]\" is no marker: read as a line of"}},
        IssueCase{InSection("SOUNDS", "1=a.wav\n1=b.wav\n1=not defined\n"),
                  {{K::kSoundDuplicate, 5}, {K::kSoundDuplicate, 6}},
                  {"sound 1 defined again", "line 4", "\"b.wav\" is ignored"}},
        IssueCase{kStart + "[SOUNDS]\n1=a.wav\n0=b.wav\n[/SOUNDS]\n[" + kNonShift + "]\n" +
                      "[0,0,9,0], 5, 1, 65, 0, 'a'\n[0,0,9,0], 0, 1, 65, 0, 'a'\n" +
                      "[0,0,9,0], 7, 7, -1, 0, 'm'\n.MACROENDS\n[/" + kNonShift + "]\n" + kEnd,
                  {{K::kSoundMissing, 8}, {K::kSoundMissing, 10}},
                  {"sound 5 is not in the panel's table"}},
        IssueCase{InSection(
                      "SHIFT/CAPS OFF", "[0,0" +
                                            [] {
                                                std::string numbers;
                                                for (int i = 0; i < 2100; ++i) numbers += ",1";
                                                return numbers;
                                            }() +
                                            "], -1, 1, 65, 0, 'a'\n"),
                  {{K::kKeyLineUnread, 4}, {K::kKeyLineUnread, 4}, {K::kLongLine, 4}},
                  {"no \"]\""}},
        IssueCase{InSection("SHIFT/CAPS OFF", std::string(4090, ' ') + "\t " + kKey), {}, {}},
        IssueCase{
            InSection("SHIFT/CAPS OFF", "[0,0,9,0], -1, 1, 65, 0, 'a'" + std::string(4096, ' ') +
                                            "[1,1], -1, 1, 66, 0, 'b'\n"),
            {{K::kLongLine, 4}},
            {"read as 2 pieces", "they added 2 keys"}},
        IssueCase{kStart + "xres=5\0junk\n"s + kEnd,
                  {{K::kNulByte, 3}},
                  {"the 4 characters after it are lost"}},
        IssueCase{kStart + "\0junk\n"s + kEnd, {{K::kNulLine, 3}}, {"starts the line"}},
        IssueCase{
            kStart + "xres=5\rjunk\n" + kEnd, {{K::kLoneCr, 3}}, {"\"junk\" after it is ignored"}},
        IssueCase{" \rjunk\n" + kStart + kEnd, {{K::kLoneCrLine, 1}}, {"starts the line"}},
        IssueCase{kStart + "normal jpeg=my pad.jpg\n" + kEnd,
                  {{K::kImagePathCut, 3}},
                  {"\"my\" kept, \"pad.jpg\" dropped"}},
        IssueCase{"[KEYDEF]\nkb\n\n; \xE2\x86\x92 \xC3\xA9\n" + kEnd,
                  {{K::kCharacterReplaced, 4}},
                  {"U+2192", "\"?\""}}));

TEST(KbdCheckerTest, CleanBundledExamplesGiveNoReport) {
    for (const char* name : {"compact_pad", "numeric_keypad", "typewriter"}) {
        const std::string path = std::string(DRAVONIX_SOURCE_DIR "/examples/") + name + ".kbd";
        const std::string example = ReadFile(path);
        ASSERT_NE(example, "<missing>") << path;
        KeyDefinition definition;
        EXPECT_EQ(KindsAndLines(Check(example, definition)), Expected{}) << name;
    }
}

TEST(KbdCheckerTest, ModelIsTheSameWithAndWithoutObserver) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        const std::string content = GenerateKbd(96 * 1024, seed);
        KeyDefinition observed;
        KeyDefinition plain;
        Recorder recorder;
        ReadKbdBytes(content, observed, &recorder);
        ReadKbdBytes(content, plain);
        EXPECT_EQ(Describe(observed), Describe(plain)) << seed;
        EXPECT_FALSE(plain.subkeydef.empty());
    }
}

struct Utf8Case {
    const char* what;
    std::string content;  // the name line follows "[KEYDEF]\n"
    std::string name;
    Expected reports;
    std::vector<std::string> messages = {};  // of the reports, where given
};

class KbdUtf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(KbdUtf8Test, ReadsUtf8AsWindows1252) {
    KeyDefinition definition;
    const std::vector<Report> reports = Check(GetParam().content, definition);
    EXPECT_EQ(definition.name, GetParam().name) << GetParam().what;
    EXPECT_EQ(KindsAndLines(reports), GetParam().reports) << GetParam().what;
    if (!GetParam().messages.empty()) {
        std::vector<std::string> messages;
        for (const Report& report : reports) messages.push_back(report.details);
        EXPECT_EQ(messages, GetParam().messages) << GetParam().what;
    }
    EXPECT_EQ(definition.subkeydef.size(), 1u) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, KbdUtf8Test,
    ::testing::Values(
        Utf8Case{"mark", "\xEF\xBB\xBF[KEYDEF]\nPav\xC3\xA9\n[/KEYDEF]\n", "Pav\xE9", {}},
        Utf8Case{"mark, then a byte that is no UTF-8",
                 "\xEF\xBB\xBF[KEYDEF]\nPav\xE9\n[/KEYDEF]\n",
                 "Pav\xE9",
                 {{K::kCharacterReplaced, 2}},
                 {"byte 0xE9 is no UTF-8 in a file marked as UTF-8: kept as it is"}},
        Utf8Case{"no mark",
                 "[KEYDEF]\n\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92\n[/KEYDEF]\n",
                 "\xE9 \x80 ?",
                 {{K::kCharacterReplaced, 2}},
                 {"character U+2192 has no Windows-1252 byte: read as \"?\""}},
        // Not its last 16 bits: U+10041 is no "A".
        Utf8Case{"beyond 16 bits",
                 "[KEYDEF]\n\xF0\x90\x81\x81\n[/KEYDEF]\n",
                 "?",
                 {{K::kCharacterReplaced, 2}},
                 {"character U+10041 has no Windows-1252 byte: read as \"?\""}},
        // The whole file decides, not its first block.
        Utf8Case{"UTF-8 for 64 KiB, then a Windows-1252 byte",
                 "[KEYDEF]\nPav\xC3\xA9\n" + std::string(70000, ';') + "\n;\xE9\n[/KEYDEF]\n",
                 "Pav\xC3\xA9",
                 {}},
        Utf8Case{"no UTF-8: Windows-1252 byte for byte",
                 "[KEYDEF]\n\xE9t\xC3\xA9 \xE2\x82\n[/KEYDEF]\n",
                 "\xE9t\xC3\xA9 \xE2\x82",
                 {}},
        Utf8Case{"plain ASCII", "[KEYDEF]\r\nkb\r\n[/KEYDEF]\r\n", "kb", {}},
        // Decided only at the first byte above 0x7F, blocks into the file.
        Utf8Case{"late",
                 "[KEYDEF]\nkb\n" + std::string(100000, ';') + "\n\xE2\x86\x92\n[/KEYDEF]\n",
                 "kb",
                 {{K::kCharacterReplaced, 4}, {K::kUnknownHeader, 4}}},
        // The piece limit counts the bytes the characters become.
        Utf8Case{"long",
                 "[KEYDEF]\n" +
                     [] {
                         std::string line;
                         for (int i = 0; i < 4096; ++i) line += "\xC3\xA9";
                         return line;
                     }() +
                     "\n[/KEYDEF]\n",
                 std::string(4096, '\xE9'),
                 {}}));

}  // namespace

}  // namespace dravonix

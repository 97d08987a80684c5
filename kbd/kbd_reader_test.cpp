#include "kbd/kbd_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/test_util.h"

namespace dravonix {

namespace {

using namespace std::string_literals;

/// Reads content as a .kbd file into definition; the reader's result.
bool ReadContent(const std::string& content, KeyDefinition& definition) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", content);
    return ReadKbdFile(dir / "in.kbd", definition);
}

/// The names of the panels in definition, in order.
std::vector<std::string> PanelNames(const KeyDefinition& definition) {
    std::vector<std::string> names;
    for (const SubKeyDefinition& panel : definition.subkeydef) names.push_back(panel.name);
    return names;
}

using Names = std::vector<std::string>;

TEST(KbdReaderTest, MissingFileOrDirectoryCannotBeRead) {
    KeyDefinition definition;
    definition.name = "kept";
    ScratchDir dir;
    EXPECT_FALSE(ReadKbdFile(dir / "no_such_dir/none.kbd", definition));
    EXPECT_FALSE(ReadKbdFile(dir.path(), definition));
    EXPECT_EQ(definition.name, "kept");
}

TEST(KbdReaderTest, EmptyAndCommentOnlyFilesReadNothing) {
    for (const char* content : {"", "; one\n# two\n\n   \n;three"}) {
        KeyDefinition definition;
        EXPECT_TRUE(ReadContent(content, definition));
        EXPECT_EQ(definition.name, "");
        EXPECT_TRUE(definition.subkeydef.empty());
    }
}

struct NameCase {
    std::string content;
    std::string name;
    Names panels;
};

class KbdNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(KbdNameTest, NamesKeyboardAndPanels) {
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent(GetParam().content, definition));
    EXPECT_EQ(definition.name, GetParam().name);
    EXPECT_EQ(PanelNames(definition), GetParam().panels);
    for (const SubKeyDefinition& panel : definition.subkeydef) EXPECT_EQ(panel.type, "big");
}

INSTANTIATE_TEST_SUITE_P(
    Files, KbdNameTest,
    ::testing::Values(
        NameCase{"[KEYDEF]\nMy board\n", "My board", {}},
        NameCase{"; comment\n[KEYDEF]\nMy board\n[/KEYDEF]\n", "My board", {""}},
        NameCase{"[KEYDEF]\nMy board ; x  \n", "My board ; x  ", {}},
        NameCase{"[KEYDEF]\n; just a comment\n", "; just a comment", {}},
        NameCase{"[KEYDEF]\nxres=800\n[/KEYDEF]\n", "xres=800", {"800"}},
        // The name is taken once, from the line after the first non-empty line.
        NameCase{"intro\nsecond\nthird\n[KEYDEF]\nxres=1\n[/KEYDEF]", "second", {"1"}},
        // A first line may keep leading blanks; it is cleaned before use.
        NameCase{"  xres=1024  ; res\n[KEYDEF]\n[/KEYDEF]", "[KEYDEF]", {""}},
        NameCase{"[KEYDEF]\n\t xres=1024  ; res\n[/KEYDEF]", "xres=1024  ; res", {"1024"}},
        // Two blocks in order; header lines between blocks are thrown away.
        NameCase{"[KEYDEF]\nkb\nxres=800\n[/KEYDEF]\nxres=5\n[KEYDEF]\n[/KEYDEF]\n"
                 "[KEYDEF]\nxres=1024\n[/KEYDEF]\n",
                 "kb",
                 {"800", "", "1024"}},
        // "[/KEYDEF]" does not leave the block: later header lines name the next panel.
        NameCase{"[KEYDEF]\nkb\n[/KEYDEF]\nxres=640\n[/KEYDEF]\n", "kb", {"", "640"}},
        // A block without its end marker adds no panel.
        NameCase{"[KEYDEF]\nkb\nxres=800\n[/KEYDEF]\n[KEYDEF]\nxres=1024\n", "kb", {"800"}},
        // Markers are case-sensitive substrings.
        NameCase{"x [KEYDEF] y\nkb\nxres=9\nthe [/KEYDEF] end\n", "kb", {"9"}},
        NameCase{"[keydef]\nkb\nxres=9\n[/KEYDEF]\n", "kb", {}},
        // The name is the line as read, up to a NUL; a NUL-led line gives an empty name.
        NameCase{"[KEYDEF]\nab\0cd\nxres=3\n[/KEYDEF]"s, "ab", {"3"}},
        NameCase{"[KEYDEF]\n\0name\nxres=3\n[/KEYDEF]"s, "", {"3"}},
        // CR LF line ends; a lone CR stays in the name but cuts the header line.
        NameCase{"[KEYDEF]\r\nkb\r\nxres=4\r\n[/KEYDEF]\r\n", "kb", {"4"}},
        NameCase{"[KEYDEF]\nk\rb\nxres=4\rjunk\n[/KEYDEF]\n", "k\rb", {"4"}}));

/// Each panel of definition as "name: sounds, nonshift keys, strokes of each
/// macro, keys without shift, keys with shift".
std::string Summary(const KeyDefinition& definition) {
    std::string summary;
    for (const SubKeyDefinition& panel : definition.subkeydef) {
        summary += panel.name + ": s" + std::to_string(panel.sounds.size()) + " k" +
                   std::to_string(panel.nonshiftkeys.key.size()) + " m";
        for (const Macro& macro : panel.nonshiftkeys.macro) {
            summary += std::to_string(macro.mkey.size());
        }
        summary += " o" + std::to_string(panel.keyswithoutshift.key.size()) + " n" +
                   std::to_string(panel.keyswithshift.key.size()) + "; ";
    }
    return summary;
}

struct MarkerCase {
    const char* what;
    std::string body;  // the lines after "[KEYDEF]\nkb\n"
    std::string summary;
};

class KbdMarkerTest : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(KbdMarkerTest, FirstMarkerOfTheStateWins) {
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent("[KEYDEF]\nkb\n" + GetParam().body, definition));
    EXPECT_EQ(Summary(definition), GetParam().summary) << GetParam().what;
}

const std::string kKey = "[0,0], 1, 1, 65, 0, 'a'\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, KbdMarkerTest,
    ::testing::Values(
        MarkerCase{"block end before block start", "xres=5\n[KEYDEF] [/KEYDEF]\n",
                   "5: s0 k0 m o0 n0; "},
        MarkerCase{"section starts before block end",
                   "xres=5\n[/KEYDEF] [SOUNDS]\n1=a.wav\n[/SOUNDS]\n[/KEYDEF]\n",
                   "5: s1 k0 m o0 n0; "},
        MarkerCase{"sounds before the other sections",
                   "[NOT INFLUENCED BY SHIFT][SOUNDS]\n1=a.wav\n[/SOUNDS]\n[/KEYDEF]\n",
                   ": s1 k0 m o0 n0; "},
        MarkerCase{"caps off before caps on",
                   "[SHIFT/CAPS ON][SHIFT/CAPS OFF]\n" + kKey + "[/SHIFT/CAPS OFF]\n[/KEYDEF]\n",
                   ": s0 k0 m o1 n0; "},
        MarkerCase{"section end before macro end in a macro",
                   "[NOT INFLUENCED BY SHIFT]\n[0,0], 1, 7, -1, 0, 'm'\n16,1\n"
                   ".MACROENDS [/NOT INFLUENCED BY SHIFT]\nxres=7\n[/KEYDEF]\n",
                   "7: s0 k0 m1 o0 n0; "},
        MarkerCase{"other markers are strokes in a macro",
                   "[NOT INFLUENCED BY SHIFT]\n[0,0], 1, 7, -1, 0, 'm'\n[/SOUNDS]\n[/KEYDEF]\n"
                   "[KEYDEF]\n16,1\n.MACROENDS\n" +
                       kKey + "[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n",
                   ": s0 k1 m1 o0 n0; "}));

TEST(KbdReaderTest, OpenSoundsSectionSwallowsTheRest) {
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent("[KEYDEF]\nkb\n[SOUNDS]\n1=a.wav\n[/KEYDEF]\n", definition));
    EXPECT_TRUE(definition.subkeydef.empty());
}

TEST(KbdReaderTest, MarkersInsideASectionAreSectionLines) {
    KeyDefinition definition;
    ASSERT_TRUE(
        ReadContent("[KEYDEF]\nkb\n[SHIFT/CAPS ON]\n[SOUNDS]\n[/KEYDEF]\n"
                    "[/SHIFT/CAPS ON]\n[/KEYDEF]\n",
                    definition));
    ASSERT_EQ(definition.subkeydef.size(), 1u);
    EXPECT_TRUE(definition.subkeydef[0].keyswithshift.key.empty());
}

TEST(KbdReaderTest, LinesOfEverySectionFillThePanel) {
    const std::string content =
        "[KEYDEF]\n"
        "Full board\n"
        "xres=800\n"
        "normal jpeg=normal.jpg\n"
        "pressed jpeg=pressed.jpg\n"
        "[SOUNDS]\n"
        "2=b.wav\n"
        "1=a.wav\n"
        "[/SOUNDS]\n"
        "[NOT INFLUENCED BY SHIFT]\n"
        "[0,0,10,0,10,10], 2, 7, -1, 0, 'm'\n"
        "16,1\n"
        "-1,0,';'\n"
        ".MACROENDS\n"
        "[0,0,5,5], 1, 1, 13, 0, ' '\n"
        "[0,0,5,5], 1, 7, -1, 0, 'm'\n"
        "65,1\n"
        "[/NOT INFLUENCED BY SHIFT]\n"
        "[SHIFT/CAPS OFF]\n"
        "[1,1,2,2]\n"
        "[5,5,6,6], 1, 1, -1, 0, 'a' ; lower a\n"
        "[/SHIFT/CAPS OFF]\n"
        "[SHIFT/CAPS ON]\n"
        "[5,5,6,6], 1, 1, -1, 0, '#'\n"
        "[/SHIFT/CAPS ON]\n"
        "[SOUNDS]\n"
        "3=c.wav\n"
        "[/SOUNDS]\n"
        "[/KEYDEF]\n";
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent(content, definition));
    EXPECT_EQ(definition.name, "Full board");
    ASSERT_EQ(definition.subkeydef.size(), 1u);
    const SubKeyDefinition& panel = definition.subkeydef[0];
    EXPECT_EQ(panel.name, "800");
    EXPECT_EQ(panel.type, "big");
    EXPECT_EQ(panel.jpegnormal, "normal.jpg");
    EXPECT_EQ(panel.jpegpressed, "pressed.jpg");
    EXPECT_EQ(panel.sounds, (SoundTable{{1, "a.wav"}, {2, "b.wav"}, {3, "c.wav"}}));

    ASSERT_EQ(panel.nonshiftkeys.macro.size(), 2u);
    EXPECT_EQ(panel.nonshiftkeys.macro[0].mkey, (std::vector<MacroKey>{{16, 1, 0}, {-1, -1, ';'}}));
    // The second macro is closed by the end of its section.
    EXPECT_EQ(panel.nonshiftkeys.macro[1].mkey, (std::vector<MacroKey>{{65, 1, 0}}));
    ASSERT_EQ(panel.nonshiftkeys.key.size(), 1u);
    EXPECT_EQ(panel.nonshiftkeys.key[0].vkey, 13);

    ASSERT_EQ(panel.keyswithoutshift.key.size(), 1u);
    EXPECT_EQ(panel.keyswithoutshift.key[0].shape.polygon.size(), 2u);
    EXPECT_EQ(panel.keyswithoutshift.key[0].character, 'a');
    ASSERT_EQ(panel.keyswithshift.key.size(), 1u);
    EXPECT_EQ(panel.keyswithshift.key[0].character, '#');

    // Members the reader never sets keep their defaults.
    EXPECT_EQ(panel.language, -1);
    EXPECT_TRUE(panel.docked);
    EXPECT_EQ(panel.keyswithshift.key[0].language, -1);
}

TEST(KbdReaderTest, MacroOpenAtEndOfFileIsDropped) {
    KeyDefinition definition;
    ASSERT_TRUE(
        ReadContent("[KEYDEF]\nkb\n[NOT INFLUENCED BY SHIFT]\n"
                    "[0,0], 1, 7, -1, 0, 'm'\n16,1\n[/KEYDEF]\n",
                    definition));
    EXPECT_TRUE(definition.subkeydef.empty());
}

TEST(KbdReaderTest, LongLineIsReadInPieces) {
    // The first piece is an ignored header line; the rest of the line is the
    // next line and names the panel.
    const std::string content = "[KEYDEF]\nkb\n" + std::string(4096, 'z') + "xres=77\n[/KEYDEF]\n";
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent(content, definition));
    EXPECT_EQ(PanelNames(definition), (Names{"77"}));
}

TEST(KbdReaderTest, AddsToWhatTheDefinitionHolds) {
    KeyDefinition definition;
    ASSERT_TRUE(ReadContent("[KEYDEF]\nfirst\n[/KEYDEF]\n", definition));
    ASSERT_TRUE(ReadContent("[KEYDEF]\nsecond\n[/KEYDEF]\n", definition));
    EXPECT_EQ(definition.name, "second");
    EXPECT_EQ(definition.subkeydef.size(), 2u);
}

// A keyboard held whole gives back the spare room its key lists grew by, so
// that a large one read into a pipe does not keep a quarter more.
TEST(KbdReaderTest, AKeyboardHeldWholeKeepsNoSpareRoomInItsKeyLists) {
    std::string kbd = "pad\r\n[KEYDEF]\r\n[NOT INFLUENCED BY SHIFT]\r\n";
    for (int key = 0; key < 5; ++key) kbd += "[0,0,40,0,40,40,0,40], 1, 1, 65, 0, 'a'\r\n";
    kbd += "[/NOT INFLUENCED BY SHIFT]\r\n[/KEYDEF]\r\n";
    KeyDefinition definition;
    ReadKbdBytes(kbd, definition);
    ASSERT_EQ(definition.subkeydef.size(), 1u);
    const std::vector<Key>& keys = definition.subkeydef[0].nonshiftkeys.key;
    EXPECT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys.capacity(), keys.size());
}

}  // namespace

}  // namespace dravonix

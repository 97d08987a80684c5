#include "testing/kbd_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "kbd/kbd_reader.h"
#include "model/key_definition.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

// Reads generated text through the legacy reader.
bool ReadText(const std::string& text, KeyDefinition& definition) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", text);
    return ReadKbdFile(dir / "in.kbd", definition);
}

TEST(KbdGeneratorTest, SameSeedSameBytesOtherSeedOtherBytes) {
    EXPECT_EQ(GenerateKbd(100000, 5), GenerateKbd(100000, 5));
    EXPECT_NE(GenerateKbd(100000, 5), GenerateKbd(100000, 6));
}

TEST(KbdGeneratorTest, SizeIsCloseToTheRequestedOne) {
    for (std::size_t size : {50u * 1024, 300u * 1024, 2u * 1024 * 1024}) {
        for (std::uint64_t seed : {1, 2, 3}) {
            const std::size_t generated = GenerateKbd(size, seed).size();
            EXPECT_GE(generated, size) << size << " seed " << seed;
            EXPECT_LE(generated, size + size / 10) << size << " seed " << seed;
        }
    }
}

TEST(KbdGeneratorTest, PanelsAreRealisticKeyboards) {
    const std::string text = GenerateKbd(200 * 1024, 9);
    EXPECT_NE(text.find("\r\n; panel"), std::string::npos);  // comment lines
    EXPECT_NE(text.find("   ; macro"), std::string::npos);   // trailing comments
    KeyDefinition definition;
    ASSERT_TRUE(ReadText(text, definition));
    ASSERT_GE(definition.subkeydef.size(), 4u);
    // Every whole panel has a few hundred keys in each section, macros and sounds.
    for (std::size_t i = 0; i + 1 < definition.subkeydef.size(); ++i) {
        const SubKeyDefinition& panel = definition.subkeydef[i];
        SCOPED_TRACE(i);
        EXPECT_GE(panel.nonshiftkeys.key.size(), 150u);
        EXPECT_GE(panel.keyswithoutshift.key.size(), 100u);
        EXPECT_GE(panel.keyswithshift.key.size(), 100u);
        EXPECT_FALSE(panel.nonshiftkeys.macro.empty());
        EXPECT_FALSE(panel.nonshiftkeys.macro.front().mkey.empty());
        EXPECT_EQ(panel.sounds.size(), 4u);
        EXPECT_FALSE(panel.name.empty());
        EXPECT_FALSE(panel.jpegnormal.empty());
    }
}

}  // namespace

}  // namespace dravonix

#include "kbd/sound_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace dravonix {

namespace {

struct SoundCase {
    std::vector<std::string> lines;
    SoundTable expected;
};

class SoundTableTest : public ::testing::TestWithParam<SoundCase> {};

TEST_P(SoundTableTest, BuildsTable) {
    SoundTable sounds;
    for (const std::string& line : GetParam().lines) HandleSoundLine(line, sounds);
    EXPECT_EQ(sounds, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SoundTableTest,
    ::testing::Values(
        SoundCase{{"1=click.wav", "2= beep.wav"}, {{1, "click.wav"}, {2, "beep.wav"}}},
        SoundCase{{"1=a.wav", "1=b.wav"}, {{1, "a.wav"}}},
        SoundCase{{"1=a.wav", "1=not defined"}, {{1, "a.wav"}}},
        SoundCase{{"1=not defined", "1=c.wav"}, {{1, "c.wav"}}}, SoundCase{{"4=not defined"}, {}},
        SoundCase{{"4=\t not defined"}, {}}, SoundCase{{"4=not defined!"}, {{4, "not defined!"}}},
        SoundCase{{"4=Not defined"}, {{4, "Not defined"}}},
        SoundCase{{"5 = my sound.wav"}, {{5, "my sound.wav"}}},
        SoundCase{{"abc=x.wav"}, {{0, "x.wav"}}}, SoundCase{{"=x.wav", "7=", "7"}, {}},
        SoundCase{{"-2=x.wav", "3=y.wav"}, {{3, "y.wav"}}},
        SoundCase{{"9=z.wav", "3=y.wav"}, {{3, "y.wav"}, {9, "z.wav"}}},
        SoundCase{{"1=a=b"}, {{1, "a=b"}}},
        SoundCase{{"99999999999=big.wav", "-99999999999=neg.wav"}, {{INT_MAX, "big.wav"}}}));

}  // namespace

}  // namespace dravonix

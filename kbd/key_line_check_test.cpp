#include "kbd/key_line_check.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace dravonix {

namespace {

/// The quick test may only say "plain" where the full scan finds nothing to
/// report; true when it said so.
bool ExpectPlainOnlyWhenClean(const std::string& line) {
    if (!IsPlainKeyLine(line)) return false;
    const KeyLineCheck check = CheckKeyLine(line);
    EXPECT_EQ(check.reach, KeyLineReach::kFields) << line;
    EXPECT_EQ(check.points * 2, check.numbers) << line;
    EXPECT_TRUE(check.saturated.empty()) << line;
    if (check.type == 16) {
        EXPECT_TRUE(check.target_quoted && check.target_closed) << line;
        EXPECT_LE(check.target_length, 127u) << line;
    } else {
        EXPECT_EQ(check.fields, 5) << line;
    }
    return true;
}

}  // namespace

// Mutations of real key lines probe the quick test's edges of form.
TEST(KeyLineCheck, PlainLinesAreReadWhole) {
    const std::string bases[] = {
        "[0,0,60,0,60,40,0,40], 1, 1, 8, 0, ' '",
        "[10,20,-30,40], 3, 7, -1, 0, 'm'",
        "[240,40,300,40], 1, 16, \"https://example.org/help\"",
        "[ 1, 2,3,4],2,1,-1,0,'\"'",
    };
    for (const std::string& base : bases) EXPECT_TRUE(IsPlainKeyLine(base)) << base;
    const char pieces[] = {' ', ',', '9', '-', '\'', '"', ']', '[', 'x', '\t'};
    std::mt19937 random(7);
    int plain = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string line = bases[round % 4];
        for (int edits = 1 + round % 3; edits > 0; --edits) {
            const std::size_t at = random() % (line.size() + 1);
            switch (random() % 3) {
                case 0:
                    line.insert(at, 1, pieces[random() % sizeof pieces]);
                    break;
                case 1:
                    if (at < line.size()) line.erase(at, 1);
                    break;
                default:
                    if (at < line.size()) line[at] = pieces[random() % sizeof pieces];
            }
        }
        if (ExpectPlainOnlyWhenClean(line)) ++plain;
    }
    EXPECT_GT(plain, 1000);  // the mutations also keep many lines plain
}

// Lines generated at the edges of size: numbers of 9 to 11 digits around
// the 32-bit bounds in every numeric field, targets around 127 characters.
TEST(KeyLineCheck, PlainLinesStayWithinTheLimits) {
    const std::string numbers[] = {"999999999",   "1000000000",  "2147483647", "2147483648",
                                   "-2147483648", "-2147483649", "99999999999"};
    int plain = 0;
    for (const std::string& n : numbers) {
        const std::string lines[] = {
            "[" + n + ",0,1,1], 1, 1, 8, 0, 'a'", "[0,0,1," + n + "], 1, 1, 8, 0, 'a'",
            "[0,0,1,1], " + n + ", 1, 8, 0, 'a'", "[0,0,1,1], 1, 1, " + n + ", 0, 'a'",
            "[0,0,1,1], 1, 1, 8, " + n + ", 'a'", "[0,0,1,1], " + n + ", 16, \"t\"",
        };
        for (const std::string& line : lines) plain += ExpectPlainOnlyWhenClean(line) ? 1 : 0;
    }
    for (std::size_t length = 120; length <= 130; ++length) {
        const std::string line = "[0,0,1,1], 1, 16, \"" + std::string(length, 't') + "\"";
        plain += ExpectPlainOnlyWhenClean(line) ? 1 : 0;
    }
    EXPECT_EQ(plain, 6 + 8);  // the 9-digit numbers and the targets of at most 127
}

}  // namespace dravonix

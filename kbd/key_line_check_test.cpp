#include "kbd/key_line_check.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace dravonix {

// The quick test may only say "plain" where the full scan finds nothing to
// report; mutations of real key lines probe its edges.
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
        if (!IsPlainKeyLine(line)) continue;
        ++plain;
        const KeyLineCheck check = CheckKeyLine(line);
        EXPECT_EQ(check.reach, KeyLineReach::kFields) << line;
        EXPECT_EQ(check.points * 2, check.numbers) << line;
        EXPECT_TRUE(check.saturated.empty()) << line;
        if (check.type == 16) {
            EXPECT_TRUE(check.target_quoted && check.target_closed) << line;
        } else {
            EXPECT_EQ(check.fields, 5) << line;
        }
    }
    EXPECT_GT(plain, 1000);  // the mutations also keep many lines plain
}

}  // namespace dravonix

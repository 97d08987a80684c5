// End-to-end tests of the converter under a tight address-space limit: it
// must report the failure like any other and leave no file behind. Sanitized
// builds reserve terabytes of shadow memory and cannot run under such a
// limit, so these tests run against the normal build only.
#include <gtest/gtest.h>

#include <string>

#include "bench/kbd_generator.h"
#include "platform/test_files.h"
#include "tests/hostile_support.h"
#include "tests/run_command.h"

namespace {

// Converts under an address-space limit of limit_kb kilobytes.
CommandResult ConvertWithin(long limit_kb, const std::string& input, const std::string& output) {
    return RunCommand(DRAVONIX_BIN, {input, output}, "ulimit -v " + std::to_string(limit_kb) + ";");
}

}  // namespace

#ifdef DRAVONIX_SANITIZED
#define SKIP_WHEN_SANITIZED() GTEST_SKIP() << "a sanitized build cannot run under ulimit -v"
#else
#define SKIP_WHEN_SANITIZED() (void)0
#endif

TEST(MemoryLimit, LargeInputFailsCleanly) {
    SKIP_WHEN_SANITIZED();
    ScratchDir input_dir;
    WriteFile(input_dir / "in.kbd", GenerateKbd(64 << 20, 11));
    ScratchDir dir;
    ExpectToolFailed(ConvertWithin(250 * 1024, input_dir / "in.kbd", dir / "out.xml"));
    EXPECT_EQ(CountEntries(dir.path()), 0) << "no output file, not even a partial one";
}

TEST(MemoryLimit, EveryLimitNearTheNeedGivesAllOrNothing) {
    SKIP_WHEN_SANITIZED();
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(256 << 10, 5));
    ASSERT_EQ(RunCommand(DRAVONIX_BIN, {dir / "in.kbd", dir / "full.xml"}).exit_code, 0);
    const std::string full = ReadFile(dir / "full.xml");
    const std::string previous = "previous output\n";

    // The smallest limit in kilobytes under which the conversion succeeds.
    long low = 1024;
    long high = 1024 * 1024;
    while (high - low > 16) {
        long middle = (low + high) / 2;
        ScratchDir out;
        bool converted = ConvertWithin(middle, dir / "in.kbd", out / "out.xml").exit_code == 0;
        (converted ? high : low) = middle;
    }
    // Below it, memory runs out at every stage of reading, building and
    // saving, the last ones included: each run either writes the whole file
    // or fails and keeps the previous one, with no temporary file left.
    for (long limit = high; limit > high - 2048; limit -= 32) {
        SCOPED_TRACE("ulimit -v " + std::to_string(limit));
        ScratchDir out;
        WriteFile(out / "out.xml", previous);
        CommandResult result = ConvertWithin(limit, dir / "in.kbd", out / "out.xml");
        if (result.exit_code == 0) {
            EXPECT_EQ(ReadFile(out / "out.xml"), full);
        } else {
            ExpectToolFailed(result);
            EXPECT_EQ(ReadFile(out / "out.xml"), previous);
        }
        EXPECT_EQ(CountEntries(out.path()), 1);
    }
}

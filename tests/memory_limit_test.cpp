// End-to-end tests of both tools under a tight address-space limit: they
// must report the failure like any other and leave no file behind. Sanitized
// builds reserve terabytes of shadow memory and cannot run under such a
// limit, so these tests run against the normal build only.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"
#include "tests/hostile_support.h"

namespace dravonix {

namespace {

// Runs a tool under an address-space limit of limit_kb kilobytes.
CommandResult RunWithin(const std::string& tool, long limit_kb, const std::string& input,
                        const std::string& output) {
    return RunCommand(tool, {input, output}, "ulimit -v " + std::to_string(limit_kb) + ";");
}

CommandResult ConvertWithin(long limit_kb, const std::string& input, const std::string& output) {
    return RunWithin(DRAVONIX_BIN, limit_kb, input, output);
}

// The smallest limit in kilobytes (to 16 KB) under which runs(limit) holds.
template <class Runs>
long SmallestLimit(Runs runs) {
    long low = 1024;
    long high = 1024 * 1024;
    while (high - low > 16) {
        long middle = (low + high) / 2;
        (runs(middle) ? high : low) = middle;
    }
    return high;
}

// Runs tool on input under limits below the least it needs, so that memory
// runs out at every stage of reading, building and saving, the last ones
// included: each run must either write the whole file (the same as without a
// limit) or fail, saying that memory ran out, and keep the previous one,
// with no temporary file left. A run that saved says on standard error what
// the run without a limit says, or nothing: the warning that may follow a
// save is all it may lose.
void ExpectAllOrNothingNearTheNeed(const std::string& tool, const std::string& input) {
    ScratchDir dir;
    const CommandResult unlimited = RunCommand(tool, {input, dir / "full.xml"});
    ASSERT_EQ(unlimited.exit_code, 0);
    const std::string full = ReadFile(dir / "full.xml");
    const std::string previous = "previous output\n";

    const long need = SmallestLimit([&](long limit) {
        ScratchDir out;
        return RunWithin(tool, limit, input, out / "out.xml").exit_code == 0;
    });
    // Just above what the process needs to start, the C++ runtime itself
    // cannot raise an exception (it aborts), and lower still the program
    // does not load: the probes stay 2 MB clear of that.
    const long start = SmallestLimit([&](long limit) {
        return RunCommand(tool, {}, "ulimit -v " + std::to_string(limit) + ";").exit_code == 255;
    });
    const long floor = std::max(need * 3 / 5, start + 2048);
    ASSERT_LT(floor, need);
    // 64 limits spread between the floor and the need.
    const long step = (need - floor) / 64 + 1;
    for (long limit = need; limit > floor; limit -= step) {
        SCOPED_TRACE("ulimit -v " + std::to_string(limit));
        ScratchDir out;
        WriteFile(out / "out.xml", previous);
        CommandResult result = RunWithin(tool, limit, input, out / "out.xml");
        if (result.exit_code == 0) {
            EXPECT_EQ(ReadFile(out / "out.xml"), full);
            EXPECT_TRUE(result.err.empty() || result.err == unlimited.err) << result.err;
        } else {
            ExpectToolFailed(result, "out of memory");
            EXPECT_EQ(ReadFile(out / "out.xml"), previous);
        }
        EXPECT_EQ(CountEntries(out.path()), 1);
    }
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
    // A large keyboard is written a panel at a time while it is read, so it
    // needs little memory, except for a panel that is large itself. The
    // panels before this one are written before memory runs out in it:
    // nothing of them may be left.
    std::string kbd = GenerateKbd(4 << 20, 11);
    kbd += "[KEYDEF]\r\nHuge\r\n[NOT INFLUENCED BY SHIFT]\r\n";
    const std::string key = "[0,0,40,0,40,40,20,60,0,40], 1, 1, 65, 0, 'a'\r\n";
    for (std::size_t size = 0; size < (48u << 20); size += key.size()) kbd += key;
    kbd += "[/NOT INFLUENCED BY SHIFT]\r\n[/KEYDEF]\r\n";
    WriteFile(input_dir / "in.kbd", kbd);
    ScratchDir dir;
    ExpectToolFailed(ConvertWithin(250 * 1024, input_dir / "in.kbd", dir / "out.xml"));
    EXPECT_EQ(CountEntries(dir.path()), 0) << "no output file, not even a partial one";
}

// A keyboard of many panels is written while it is read and never held
// whole: 16 MiB of them convert in 96 MiB of address space (whole, they
// take more than 128 MiB), into the same file.
TEST(MemoryLimit, LargeKeyboardConvertsInLittleMemory) {
    SKIP_WHEN_SANITIZED();
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(16 << 20, 13));
    ASSERT_EQ(RunCommand(DRAVONIX_BIN, {dir / "in.kbd", dir / "full.xml"}).exit_code, 0);
    const CommandResult limited = ConvertWithin(96 * 1024, dir / "in.kbd", dir / "out.xml");
    EXPECT_EQ(limited.exit_code, 0) << limited.err;
    EXPECT_TRUE(ReadFile(dir / "out.xml") == ReadFile(dir / "full.xml"));
}

TEST(MemoryLimit, ConverterGivesAllOrNothing) {
    SKIP_WHEN_SANITIZED();
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(256 << 10, 5));
    ExpectAllOrNothingNearTheNeed(DRAVONIX_BIN, dir / "in.kbd");
}

TEST(MemoryLimit, ResaveGivesAllOrNothing) {
    SKIP_WHEN_SANITIZED();
    ScratchDir dir;
    WriteFile(dir / "in.kbd", GenerateKbd(256 << 10, 5));
    ASSERT_EQ(RunCommand(DRAVONIX_BIN, {dir / "in.kbd", dir / "in.xml"}).exit_code, 0);
    ExpectAllOrNothingNearTheNeed(DRAVONIX_RESAVE_BIN, dir / "in.xml");
}

}  // namespace dravonix

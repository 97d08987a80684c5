// End-to-end failures that need POSIX features to provoke: permission bits,
// /dev/full, a small tmpfs and a file size limit. Each prints the error
// text, exits -2 and leaves the previous output as it was. (On Windows,
// tests/windows_output_test.cpp provokes the failures Windows has.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "testing/test_util.h"
#include "tests/hostile_support.h"

namespace dravonix {

namespace {

const std::string kPrevious = "previous output\n";

CommandResult Convert(const std::string& input, const std::string& output,
                      const std::string& prefix = "") {
    return RunCommand(DRAVONIX_BIN, {input, output}, prefix);
}

/// True when the tests run with root rights, which ignore permission bits.
bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace

TEST(Converter, FailedSaveKeepsThePreviousOutput) {
    ScratchDir dir;
    std::string input;
    for (int i = 0; i < 40; ++i) input += "[KEYDEF]\nBoard\nxres=800\n[/KEYDEF]\n";
    WriteFile(dir / "in.kbd", input);
    WriteFile(dir / "out.xml", "previous output");
    // A file size limit of 1 KB makes writing the new file fail part way.
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "out.xml", "trap '' XFSZ; ulimit -f 1;"));
    EXPECT_EQ(ReadFile(dir / "out.xml"), "previous output");
    EXPECT_EQ(CountEntries(dir.path()), 2) << "no temporary file is left behind";
}

TEST(HostileInput, UnreadableInputFails) {
    if (RunningAsRoot()) GTEST_SKIP() << "root reads files of mode 000";
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    ::chmod((dir / "in.kbd").c_str(), 0);
    WriteFile(dir / "out.xml", kPrevious);
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "out.xml"));
    EXPECT_EQ(ReadFile(dir / "out.xml"), kPrevious);
}

TEST(HostileInput, OutputFolderWithoutWritePermissionFails) {
    if (RunningAsRoot()) GTEST_SKIP() << "root writes into folders of mode 555";
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    ::mkdir((dir / "locked").c_str(), 0755);
    WriteFile(dir / "locked/out.xml", kPrevious);
    ::chmod((dir / "locked").c_str(), 0555);
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "locked/out.xml"), "Permission denied");
    EXPECT_EQ(ReadFile(dir / "locked/out.xml"), kPrevious);
    EXPECT_EQ(CountEntries(dir / "locked"), 1);
}

TEST(HostileInput, FullDeviceFails) {
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    ExpectToolFailed(Convert(dir / "in.kbd", "/dev/full"),
                     "dravonix: cannot save '/dev/full': No space left on device");
}

namespace {

// A tiny tmpfs mounted on a folder for the life of the object.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : folder_(folder) {
        ::mkdir(folder.c_str(), 0755);
        std::string command =
            "mount -t tmpfs -o size=256k tmpfs " + ShellQuote(folder) + " 2>/dev/null";
        mounted_ = std::system(command.c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) std::system(("umount " + ShellQuote(folder_)).c_str());
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace

TEST(HostileInput, FullDiskFailsAndKeepsThePreviousOutput) {
    ScratchDir dir;
    SmallDisk disk(dir / "disk");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\nxres=800\n[/KEYDEF]\n");
    WriteFile(dir / "disk/out.xml", kPrevious);
    // Fill the disk to the last block.
    std::system(("cat /dev/zero > " + ShellQuote(dir / "disk/filler") + " 2>/dev/null").c_str());
    ExpectToolFailed(Convert(dir / "in.kbd", dir / "disk/out.xml"), "No space left on device");
    EXPECT_EQ(ReadFile(dir / "disk/out.xml"), kPrevious);
    EXPECT_EQ(CountEntries(dir / "disk"), 2) << "no temporary file is left behind";
}

TEST(Converter, WritesIntoTheProgramsOwnOutputs) {
    // /dev/stdout and /dev/fd/N are the open files the shell gave the
    // program: written where the shell opened them, never replaced.
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    ExpectToolSucceeded(Convert(dir / "in.kbd", dir / "plain.xml"));
    const std::string xml = ReadFile(dir / "plain.xml");
    const std::string run = ShellQuote(DRAVONIX_BIN) + " " + ShellQuote(dir / "in.kbd") + " ";
    const std::string log = ShellQuote(dir / "log.txt");
    const struct {
        std::string command;
        std::string log;
    } cases[] = {
        {"echo earlier >" + log + "; " + run + "/dev/stdout >>" + log, "earlier\n" + xml},
        {run + "/dev/stdout | cat >" + log, xml},
        {"(echo a; " + run + "/dev/fd/1; echo b) >" + log, "a\n" + xml + "b\n"},
        {run + "/dev/fd/3 3>" + log, xml},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(std::system(c.command.c_str()), 0) << c.command;
        EXPECT_EQ(ReadFile(dir / "log.txt"), c.log) << c.command;
    }
    EXPECT_EQ(CountEntries(dir.path()), 3) << "no temporary file is left behind";
}

TEST(Converter, RefusesAnOutputThatIsTheInput) {
    // The content test cannot tell: the input holds no [KEYDEF] line, and
    // the reader takes any text. The file's identity can, under any name.
    ScratchDir dir;
    const std::string input = "notes, not a keyboard\n";
    WriteFile(dir / "in.kbd", input);
    ASSERT_EQ(::link((dir / "in.kbd").c_str(), (dir / "twin.xml").c_str()), 0);
    ASSERT_EQ(::symlink("in.kbd", (dir / "link.xml").c_str()), 0);
    for (const std::string& output : {dir / "in.kbd", dir / "twin.xml", dir / "link.xml"}) {
        ExpectToolFailed(Convert(dir / "in.kbd", output),
                         "dravonix: will not write over '" + output + "'");
        EXPECT_EQ(ReadFile(dir / "in.kbd"), input);
    }
}

TEST(Converter, NewOutputGetsTheModeTheUmaskLeaves) {
    // Set in the shell that starts the program, so that what the program
    // does to the umask on its way to main counts.
    ScratchDir dir;
    WriteFile(dir / "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n");
    for (const auto& [umask, mode] : {std::pair{"077", 0600}, std::pair{"027", 0640}}) {
        const std::string output = dir / (std::string("out") + umask + ".xml");
        ExpectToolSucceeded(Convert(dir / "in.kbd", output, std::string("umask ") + umask + ";"));
        struct stat info;
        ASSERT_EQ(::stat(output.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(mode)) << "umask " << umask;
    }
}

}  // namespace dravonix

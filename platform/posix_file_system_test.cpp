#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "testing/test_util.h"

namespace dravonix {

namespace {

/// Gives path the content text through files; the reason for a failure, or
/// "" on success.
std::string Replace(FileSystem& files, const std::string& path, const std::string& text) {
    std::string error;
    std::unique_ptr<OutputFile> output = files.StartReplacing(path, &error);
    if (output == nullptr) return error;
    if (!output->Write(text, &error)) return error;
    if (!output->Commit(&error)) return error;
    return "";
}

/// The mode bits of path (07777), or -1 when it cannot be read.
int ModeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

/// Every replacement test runs with unnamed temporary files (where the file
/// system has them) and with named ones.
class ReplaceTest : public ::testing::TestWithParam<bool> {
protected:
    ReplaceTest() : files(GetParam()) {}
    PosixFileSystem files;
    ScratchDir dir;
};

INSTANTIATE_TEST_SUITE_P(Temporaries, ReplaceTest, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "Unnamed" : "Named"; });

}  // namespace

TEST_P(ReplaceTest, NewAndExistingFilesGetTheirPermissions) {
    const mode_t old_mask = ::umask(022);
    EXPECT_EQ(Replace(files, dir / "new.xml", "<r/>"), "");
    EXPECT_EQ(ModeOf(dir / "new.xml"), 0644) << "0666 less the umask";
    for (int mode : {0600, 0751, 0444}) {
        const std::string path = dir / ("existing" + std::to_string(mode));
        WriteFile(path, "old");
        ASSERT_EQ(::chmod(path.c_str(), static_cast<mode_t>(mode)), 0);
        EXPECT_EQ(Replace(files, path, "new"), "");
        EXPECT_EQ(ReadFile(path), "new");
        EXPECT_EQ(ModeOf(path), mode) << "an existing file keeps its permissions";
    }
    ::umask(old_mask);
    EXPECT_EQ(CountEntries(dir.path()), 4) << "no temporary file is left behind";
}

TEST_P(ReplaceTest, ExistingFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give files away";
    const std::string path = dir / "owned.xml";
    WriteFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 12345, 23456), 0);
    // Changing the owner clears the set-user-ID bit, so it must come first.
    ASSERT_EQ(::chmod(path.c_str(), 04755), 0);
    EXPECT_EQ(Replace(files, path, "new"), "");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 12345u);
    EXPECT_EQ(info.st_gid, 23456u);
    EXPECT_EQ(info.st_mode & 07777, 04755u);
    EXPECT_EQ(ReadFile(path), "new");
}

TEST_P(ReplaceTest, FolderIsOpenedToBeFlushedAfterTheRename) {
    // A power cut may lose a rename until the folder is flushed. The flush
    // itself leaves no trace a test can see, but opening the folder for it
    // after the rename does.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_OPEN | IN_MOVED_TO), 0);
    EXPECT_EQ(Replace(files, dir / "out.xml", "<r/>"), "");
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[4096];
    ssize_t size = ::read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < size;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        const std::string name = event->len > 0 ? event->name : "";
        if (event->mask & IN_MOVED_TO) events.push_back("renamed to " + name);
        if ((event->mask & IN_OPEN) && name.empty()) events.push_back("folder opened");
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    ::close(watch);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(events.end() - 2, events.end()),
              (std::vector<std::string>{"renamed to out.xml", "folder opened"}));
}

TEST_P(ReplaceTest, LinksAreFollowedAndStay) {
    WriteFile(dir / "target.xml", "old");
    ASSERT_EQ(::symlink("target.xml", (dir / "link.xml").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "link.xml").c_str(), (dir / "chain.xml").c_str()), 0);
    ASSERT_EQ(::symlink("created.xml", (dir / "dangling.xml").c_str()), 0);
    EXPECT_EQ(Replace(files, dir / "chain.xml", "new"), "");
    EXPECT_EQ(ReadFile(dir / "target.xml"), "new") << "the final target is replaced";
    EXPECT_EQ(Replace(files, dir / "dangling.xml", "made"), "");
    EXPECT_EQ(ReadFile(dir / "created.xml"), "made") << "a dangling link's target is created";
    for (const char* name : {"link.xml", "chain.xml", "dangling.xml"}) {
        struct stat info;
        ASSERT_EQ(::lstat((dir / name).c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << name << ": the link stays";
    }
    ASSERT_EQ(::symlink("loop.xml", (dir / "loop.xml").c_str()), 0);
    EXPECT_EQ(Replace(files, dir / "loop.xml", "x"),
              dir / "loop.xml" + ": Too many levels of symbolic links");
}

TEST_P(ReplaceTest, DevicesAreWrittenIntoNeverReplaced) {
    EXPECT_EQ(Replace(files, "/dev/null", "<r/>"), "");
    struct stat info;
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    if (::access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(Replace(files, "/dev/full", "<r/>"), "/dev/full: No space left on device");
    }
}

TEST_P(ReplaceTest, FailuresSayWhyAndLeaveEverythingAsItWas) {
    WriteFile(dir / "file", "x");
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0777), 0);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir / "no/such/out.xml",
         "cannot create a temporary file in '" + dir / "no/such" + "': No such file or directory"},
        {dir / "file/out.xml",
         "cannot create a temporary file in '" + dir / "file" + "': Not a directory"},
        {dir / "folder", dir / "folder" + ": Is a directory"},
        {dir / "missing/", dir / "missing/: Is a directory"},
        {"", ": No such file or directory"},
    };
    for (const auto& c : cases) EXPECT_EQ(Replace(files, c.path, "<r/>"), c.reason);
    EXPECT_EQ(ReadFile(dir / "file"), "x");
    EXPECT_EQ(CountEntries(dir.path()), 2);
    EXPECT_EQ(CountEntries(dir / "folder"), 0);
}

TEST_P(ReplaceTest, OutputDroppedBeforeCommitLeavesNothing) {
    WriteFile(dir / "kept.xml", "precious");
    for (const char* name : {"kept.xml", "new.xml"}) {
        std::unique_ptr<OutputFile> output = files.StartReplacing(dir / name, nullptr);
        ASSERT_NE(output, nullptr);
        EXPECT_TRUE(output->Write(std::string(100000, 'x'), nullptr));
    }
    EXPECT_EQ(ReadFile(dir / "kept.xml"), "precious");
    EXPECT_EQ(CountEntries(dir.path()), 1) << "no temporary file is left behind";
}

TEST_P(ReplaceTest, GatheredPiecesAreWrittenInOrder) {
    // More pieces than one system call takes, empty ones among them, and a
    // large one.
    std::vector<std::string> texts;
    for (int i = 0; i < 700; ++i) texts.push_back(i % 7 == 0 ? "" : std::to_string(i) + ",");
    texts[350] = std::string(3 << 20, 'x');
    const std::vector<std::string_view> pieces(texts.begin(), texts.end());
    std::string expected;
    for (const std::string& text : texts) expected += text;

    std::unique_ptr<OutputFile> output = files.StartReplacing(dir / "out.svg", nullptr);
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Write("<svg>", nullptr));
    ASSERT_TRUE(output->WriteGathered(pieces, nullptr));
    ASSERT_TRUE(output->WriteGathered({}, nullptr));
    ASSERT_TRUE(output->Commit(nullptr));
    EXPECT_TRUE(ReadFile(dir / "out.svg") == "<svg>" + expected);
}

TEST(PosixFileSystem, SaveEndedBySignalLeavesNoTemporaryFile) {
    // The program dies part way through a save. A named temporary file is
    // removed on the signals that end a program politely; an unnamed one
    // vanishes by itself, whatever ends the program. A signal the program
    // ignores stays ignored.
    const struct {
        bool unnamed;
        int signal;
        bool ignored;
    } cases[] = {
        {false, SIGTERM, false}, {false, SIGINT, false}, {false, SIGHUP, false},
        {false, SIGHUP, true},   {true, SIGKILL, false}, {true, SIGTERM, false},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        WriteFile(dir / "out.xml", "old");
        auto save_and_die = [&] {
            if (c.ignored) ::signal(c.signal, SIG_IGN);
            PosixFileSystem files(c.unnamed);
            std::unique_ptr<OutputFile> output = files.StartReplacing(dir / "out.xml", nullptr);
            if (output == nullptr || !output->Write(std::string(1 << 20, 'x'), nullptr)) {
                std::_Exit(2);
            }
            ::raise(c.signal);
            std::_Exit(3);  // an ignored signal: the program goes on
        };
        if (c.ignored) {
            EXPECT_EXIT(save_and_die(), ::testing::ExitedWithCode(3), "");
        } else {
            EXPECT_EXIT(save_and_die(), ::testing::KilledBySignal(c.signal), "");
        }
        EXPECT_EQ(ReadFile(dir / "out.xml"), "old");
        EXPECT_EQ(CountEntries(dir.path()), c.ignored ? 2 : 1)
            << "signal " << c.signal << (c.unnamed ? ", unnamed" : ", named");
    }
}

TEST(PosixFileSystem, ReplacingLeavesTheUmaskAlone) {
    // Files another thread creates while new files are saved must get the
    // program's umask, never a mask changed for a moment.
    // Saved in memory where there is a memory file system, for many saves
    // a second.
    const char* tmpdir = std::getenv("TMPDIR");
    ::setenv("TMPDIR", ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", 1);
    ScratchDir dir;
    tmpdir != nullptr ? ::setenv("TMPDIR", tmpdir, 1) : ::unsetenv("TMPDIR");
    const mode_t old_mask = ::umask(022);
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::thread creator([&] {
        const std::string path = dir / "other";
        while (!done) {
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            struct stat info;
            if (fd >= 0 && ::fstat(fd, &info) == 0 && (info.st_mode & 0777) != 0644) ++wrong;
            if (fd >= 0) ::close(fd);
            ::unlink(path.c_str());
        }
    });
    PosixFileSystem files;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int saves = 0;
    while (wrong == 0 && std::chrono::steady_clock::now() < end) {
        EXPECT_EQ(Replace(files, dir / "new.xml", "<r/>"), "");
        ::unlink((dir / "new.xml").c_str());
        ++saves;
    }
    done = true;
    creator.join();
    ::umask(old_mask);
    EXPECT_EQ(wrong, 0) << "after " << saves << " saves";
}

TEST(PosixFileSystem, ReadsFilesAndRefusesFolders) {
    ScratchDir dir;
    std::string content;
    for (int i = 0; i < 100000; ++i) content += static_cast<char>(i % 251);
    WriteFile(dir / "in", content);
    PosixFileSystem files;
    std::string error;
    std::unique_ptr<ReadableFile> file = files.OpenForReading(dir / "in", &error);
    ASSERT_NE(file, nullptr) << error;
    std::string read;
    char buffer[4096];
    std::size_t got = 0;
    while (file->Read(buffer, sizeof buffer, &got, &error) && got > 0) read.append(buffer, got);
    EXPECT_EQ(read, content);

    EXPECT_EQ(files.OpenForReading(dir.path(), &error), nullptr);
    EXPECT_EQ(error, dir.path() + ": Is a directory");
    EXPECT_EQ(files.OpenForReading(dir / "missing", &error), nullptr);
    EXPECT_EQ(error, dir / "missing" + ": No such file or directory");
}

TEST(PosixFileSystem, ReadsRegularFilesOnlyAndNeverBlocks) {
    ScratchDir dir;
    WriteFile(dir / "in", "0123456789");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);  // no writer: must not block
    ASSERT_EQ(::symlink((dir / "in").c_str(), (dir / "link").c_str()), 0);
    PosixFileSystem files;
    // The start (4 bytes) and the whole file (up to limit bytes).
    struct Case {
        std::string path;
        const char* start;  // null: not read
        std::size_t limit;
        ReadOutcome outcome;
        std::string error;  // of the whole read
    };
    const Case cases[] = {
        {dir / "in", "0123", 10, ReadOutcome::kRead, ""},
        {dir / "link", "0123", 10, ReadOutcome::kRead, ""},
        {dir / "in", "0123", 9, ReadOutcome::kTooLarge, dir / "in: larger than 9 bytes"},
        {dir / "pipe", nullptr, 10, ReadOutcome::kNotAFile, dir / "pipe: not a regular file"},
        {"/dev/zero", nullptr, SIZE_MAX, ReadOutcome::kNotAFile, "/dev/zero: not a regular file"},
        {dir.path(), nullptr, 10, ReadOutcome::kNotAFile, dir.path() + ": Is a directory"},
        {dir / "gone", nullptr, 10, ReadOutcome::kCannotOpen,
         dir / "gone: No such file or directory"},
    };
    for (const Case& c : cases) {
        std::string bytes = "old";
        EXPECT_EQ(files.ReadStartOfFile(c.path, 4, &bytes), c.start != nullptr) << c.path;
        if (c.start != nullptr) {
            EXPECT_EQ(bytes, c.start) << c.path;
        }
        std::string error;
        EXPECT_EQ(files.ReadWholeFile(c.path, c.limit, &bytes, &error), c.outcome) << c.path;
        EXPECT_EQ(bytes, c.outcome == ReadOutcome::kRead ? "0123456789" : "") << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
}

}  // namespace dravonix

// End-to-end test of a conversion killed while it saves a large keyboard.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <string>
#include <thread>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

extern char** environ;

namespace dravonix {

namespace {

/// Size of a file the process pid holds open in folder, or -1 while it
/// holds none.
long long OpenFileSizeIn(pid_t pid, const std::string& folder) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    DIR* listing = ::opendir(fds.c_str());
    if (listing == nullptr) return -1;
    long long size = -1;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string fd = fds + "/" + entry->d_name;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(fd.c_str(), target, sizeof target);
        if (length <= 0 || std::string(target, length).rfind(folder + "/", 0) != 0) continue;
        struct stat info;
        if (::stat(fd.c_str(), &info) == 0) size = info.st_size;
    }
    ::closedir(listing);
    return size;
}

}  // namespace

TEST(InterruptedSave, KilledConversionLeavesTheOldOutputAndNoTemporaryFile) {
    // The output folder is in the test temp dir, on a file system that can
    // hold unnamed files (ext4, tmpfs): nothing may be left even on SIGKILL.
    ScratchDir input;
    WriteFile(input / "big.kbd", GenerateKbd(std::size_t{8} << 20, 8));
    for (int signal : {SIGTERM, SIGKILL}) {
        ScratchDir dir;
        WriteFile(dir / "out.xml", "old");
        const std::string in = input / "big.kbd";
        const std::string out = dir / "out.xml";
        char* argv[] = {const_cast<char*>(DRAVONIX_BIN), const_cast<char*>(in.c_str()),
                        const_cast<char*>(out.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        ASSERT_EQ(posix_spawn(&pid, DRAVONIX_BIN, &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        // Kill it once its output holds a few megabytes.
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (OpenFileSizeIn(pid, dir.path()) < (4 << 20) &&
               std::chrono::steady_clock::now() < give_up) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::kill(pid, signal);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "the conversion ended before it was killed";
        EXPECT_EQ(ReadFile(out), "old") << "signal " << signal;
        EXPECT_EQ(CountEntries(dir.path()), 1) << "signal " << signal << ": no temporary file";
    }
}

}  // namespace dravonix

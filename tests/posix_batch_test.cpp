// End-to-end tests of dravonix-batch that need POSIX: symbolic links and
// signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

extern char** environ;

namespace dravonix {

TEST(PosixBatch, LinksStayInsideTheTreeAndABrokenOneFails) {
    ScratchDir outside;
    WriteFile(outside / "secret.kbd", "[KEYDEF]\nSecret\n[/KEYDEF]\n");
    ScratchDir source;
    ScratchDir dest;
    std::filesystem::create_directories(NativePath(source / "sub"));
    WriteFile(source / "sub/pad.kbd", "[KEYDEF]\nPad\n[/KEYDEF]\n");
    ASSERT_EQ(::symlink(outside.path().c_str(), (source / "away").c_str()), 0);
    ASSERT_EQ(::symlink((outside / "secret.kbd").c_str(), (source / "secret.kbd").c_str()), 0);
    ASSERT_EQ(::symlink((source / "sub").c_str(), (source / "again").c_str()), 0);
    ASSERT_EQ(::symlink((source / "nowhere.kbd").c_str(), (source / "broken.kbd").c_str()), 0);
    CommandResult result = RunCommand(DRAVONIX_BATCH_BIN, {source.path(), dest.path()});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.out.find("2 keyboards: 1 converted cleanly, 0 with warnings, 1 failed"),
              std::string::npos)
        << result.out << result.err;
    EXPECT_NE(result.err.find("away: a link that leads out of the tree"), std::string::npos);
    EXPECT_NE(result.err.find("secret.kbd: a link that leads out of the tree"), std::string::npos);
    EXPECT_NE(result.err.find("failed    broken.kbd: cannot open"), std::string::npos);
    // The folder behind the link inside the tree is walked once, by one name.
    EXPECT_NE(ReadFile(dest / "sub/pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(dest / "again/pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(dest / "secret.xml"), "<missing>");
}

TEST(PosixBatch, InterruptedRunLeavesNoPartialXmlFile) {
    ScratchDir source;
    for (int i = 0; i < 6; ++i) {
        std::string name = "k";
        name.append(std::to_string(i)).append(".kbd");
        WriteFile(source / name, GenerateKbd(3 << 20, 20 + i));
    }
    ScratchDir dest;
    const std::string in = source.path();
    const std::string out = dest.path();
    char* argv[] = {const_cast<char*>(DRAVONIX_BATCH_BIN), const_cast<char*>("-j2"),
                    const_cast<char*>("--xml-only"),       const_cast<char*>(in.c_str()),
                    const_cast<char*>(out.c_str()),        nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, DRAVONIX_BATCH_BIN, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Interrupt it once the first keyboard is done: others are being saved.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (ReadFile(dest / "k0.xml") == "<missing>" && ReadFile(dest / "k1.xml") == "<missing>" &&
           std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "ended before the signal";
    // Every file left is a complete XML file, the converter's.
    ScratchDir scratch;
    int complete = 0;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(out))) {
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(name.ends_with(".xml")) << name;
        std::string stem = name.substr(0, name.size() - 4);
        const std::string keyboard = source / stem.append(".kbd");
        ASSERT_EQ(RunCommand(DRAVONIX_BIN, {keyboard, scratch / "x.xml"}).exit_code, 0);
        EXPECT_EQ(ReadFile(entry.path().string()), ReadFile(scratch / "x.xml")) << name;
        ++complete;
    }
    EXPECT_GE(complete, 1);
    EXPECT_LT(complete, 6);
}

}  // namespace dravonix

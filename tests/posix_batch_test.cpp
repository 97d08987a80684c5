// End-to-end tests of dravonix-batch that need POSIX: symbolic links and
// signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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
    ASSERT_EQ(::mkfifo((source / "sub/pipe.kbd").c_str(), 0644), 0);  // never opened
    CommandResult result = RunCommand(DRAVONIX_BATCH_BIN, {source.path(), dest.path()});
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_NE(result.out.find("3 keyboards: 1 converted cleanly, 0 with warnings, 2 failed"),
              std::string::npos)
        << result.out << result.err;
    EXPECT_NE(result.err.find("failed    sub/pipe.kbd: not a regular file"), std::string::npos);
    EXPECT_NE(ReadFile(dest / "index.html").find("sub/pipe.kbd</small><br><small>not a regular"),
              std::string::npos);
    EXPECT_NE(result.err.find("away: a link that leads out of the tree"), std::string::npos);
    EXPECT_NE(result.err.find("secret.kbd: a link that leads out of the tree"), std::string::npos);
    EXPECT_NE(result.err.find("failed    broken.kbd: cannot open"), std::string::npos);
    // The folder behind the link inside the tree is walked once, by one name.
    EXPECT_NE(ReadFile(dest / "sub/pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(dest / "again/pad.xml"), "<missing>");
    EXPECT_EQ(ReadFile(dest / "secret.xml"), "<missing>");
}

// Ctrl+C during a batch: the workers finish the keyboards they hold and take
// up no other, the page lists what was done, and every output there is is
// whole; a second run goes on from there.
TEST(PosixBatch, InterruptedRunWritesThePageForWhatWasDoneAndNoPartialOutput) {
    ScratchDir source;
    constexpr int kKeyboards = 30;
    for (int i = 0; i < kKeyboards; ++i) {
        std::string name = "k";
        name.append(std::to_string(i)).append(".kbd");
        WriteFile(source / name, GenerateKbd(1 << 20, 20 + i));
    }
    ScratchDir dest;
    ScratchDir logs;
    const std::string in = source.path();
    const std::string out = dest.path();
    const std::string err = logs / "err";
    char* argv[] = {const_cast<char*>(DRAVONIX_BATCH_BIN), const_cast<char*>("-j2"),
                    const_cast<char*>(in.c_str()), const_cast<char*>(out.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0644);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, DRAVONIX_BATCH_BIN, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Interrupt it once the first keyboard is done: others are being saved.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (ReadFile(dest / "k0.svg") == "<missing>" && ReadFile(dest / "k1.svg") == "<missing>" &&
           std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 130);
    const std::string said = ReadFile(err);
    const std::size_t at = said.find("dravonix-batch: interrupted: ");
    ASSERT_NE(at, std::string::npos) << said;
    const int done = std::atoi(said.c_str() + at + 29);
    EXPECT_NE(said.find(" of 30 keyboards done; run again to continue\n", at), std::string::npos)
        << said;
    EXPECT_GE(done, 1);
    EXPECT_LT(done, kKeyboards);

    // The page lists the keyboards done, each of which has all its outputs,
    // complete; nothing else is there.
    const std::string page = ReadFile(dest / "index.html");
    int rows = 0;
    for (std::size_t row = page.find("class=\"keyboard"); row != std::string::npos;
         row = page.find("class=\"keyboard", row + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, done);
    EXPECT_NE(page.find("interrupted: "), std::string::npos);
    ScratchDir scratch;
    int outputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(out))) {
        const std::string name = entry.path().filename().string();
        if (name == "index.html" || name == "summary.json") continue;
        ++outputs;
        if (!name.ends_with(".xml")) continue;
        const std::string stem = name.substr(0, name.size() - 4);
        EXPECT_NE(ReadFile(dest / (stem + ".check.txt")), "<missing>") << stem;
        EXPECT_NE(ReadFile(dest / (stem + ".svg")).find("</svg>"), std::string::npos) << stem;
        ASSERT_EQ(RunCommand(DRAVONIX_BIN, {source / (stem + ".kbd"), scratch / "x.xml"}).exit_code,
                  0);
        EXPECT_EQ(ReadFile(entry.path().string()), ReadFile(scratch / "x.xml")) << name;
    }
    EXPECT_EQ(outputs, 3 * done);

    // Run again, it converts the rest.
    CommandResult again = RunCommand(DRAVONIX_BATCH_BIN, {in, out});
    EXPECT_EQ(again.exit_code, 1);  // the generated keyboards name images that are not there
    EXPECT_NE(again.out.find("30 keyboards: 0 converted cleanly, 30 with warnings, 0 failed, " +
                             std::to_string(done) + " up to date"),
              std::string::npos)
        << again.out;
}

}  // namespace dravonix

// End-to-end tests of dravonix-batch that need Windows: Ctrl+Break from the
// console, which the program takes as Ctrl+C.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "testing/kbd_generator.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

std::wstring Wide(const std::string& path) { return NativePath(path).native(); }

}  // namespace

// The console's interrupt during a -j 2 batch: the message, the page for what
// was done, no partial output. Where the system cannot send the event or
// does not deliver it, the test says so and is skipped.
TEST(WindowsBatch, ConsoleInterruptWritesThePageForWhatWasDone) {
    // A console to share with the program (access is denied when this test
    // has one already).
    if (!::AllocConsole() && ::GetLastError() != ERROR_ACCESS_DENIED) {
        GTEST_SKIP() << "no console to send the event through (AllocConsole failed, error "
                     << ::GetLastError() << ")";
    }
    ScratchDir source;
    constexpr int kKeyboards = 30;
    for (int i = 0; i < kKeyboards; ++i) {
        std::string name = "k";
        name.append(std::to_string(i)).append(".kbd");
        WriteFile(source / name, GenerateKbd(1 << 20, 20 + i));
    }
    ScratchDir dest;
    ScratchDir logs;
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE err = ::CreateFileW(Wide(logs / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE out =
        ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring line = L"\"" + Wide(DRAVONIX_BATCH_BIN) + L"\" -j 2 \"" + Wide(source.path()) +
                        L"\" \"" + Wide(dest.path()) + L"\"";
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(Wide(DRAVONIX_BATCH_BIN).c_str(), line.data(), nullptr, nullptr,
                                 TRUE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                                 &process));
    ::CloseHandle(err);
    ::CloseHandle(out);
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (ReadFile(dest / "k0.svg") == "<missing>" && ReadFile(dest / "k1.svg") == "<missing>" &&
           std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // Ctrl+C cannot be sent to a group of its own; Ctrl+Break can, and the
    // program takes both alike. (Wine 8 without a display gives programs a
    // console without a window, through which it sends no control event:
    // the call fails with error 12, and the test is skipped.)
    const bool sent = ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process.dwProcessId) != 0;
    const DWORD send_error = ::GetLastError();
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    const std::string said = ReadFile(logs / "err");
    if (!sent) GTEST_SKIP() << "GenerateConsoleCtrlEvent failed here, error " << send_error;
    if (said.find("interrupted: ") == std::string::npos && (code == 0 || code == 1)) {
        GTEST_SKIP() << "the console control event did not reach the program (it ran to its end)";
    }
    EXPECT_EQ(code, 130u);
    const std::size_t at = said.find("dravonix-batch: interrupted: ");
    ASSERT_NE(at, std::string::npos) << said;
    const int done = std::atoi(said.c_str() + at + 29);
    EXPECT_NE(said.find(" of 30 keyboards done; run again to continue", at), std::string::npos);
    EXPECT_GE(done, 1);
    EXPECT_LT(done, kKeyboards);
    const std::string page = ReadFile(dest / "index.html");
    EXPECT_NE(page.find("interrupted: "), std::string::npos);
    // Every keyboard done has all its outputs, and nothing else is there.
    EXPECT_EQ(CountEntries(dest.path()), 3 * done + 2);  // and index.html, summary.json
}

}  // namespace dravonix

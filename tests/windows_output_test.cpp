// End-to-end failures and devices of the output on Windows: a read-only
// file and a file another program holds open without sharing it cannot be
// replaced (the error text, exit -2, the old file as it was, no temporary
// file left), and NUL takes the output as /dev/null does on POSIX systems.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "testing/test_util.h"
#include "tests/hostile_support.h"

namespace dravonix {

namespace {

const std::string kPrevious = "previous output\n";

// Both tools, each with an input it handles.
struct Tool {
    const char* name;
    const char* program;
    const char* input_name;
    const char* input;
};

const Tool kTools[] = {
    {"convert", DRAVONIX_BIN, "in.kbd", "[KEYDEF]\nBoard\n[/KEYDEF]\n"},
    {"resave", DRAVONIX_RESAVE_BIN, "in.xml", "<keydef name=\"Board\"/>"},
};

}  // namespace

TEST(WindowsOutput, RefusedDestinationsFailAndKeepTheOldFile) {
    for (const Tool& tool : kTools) {
        for (bool held : {false, true}) {
            SCOPED_TRACE(std::string(tool.name) + (held ? ", held open" : ", read-only"));
            ScratchDir dir;
            WriteFile(dir / tool.input_name, tool.input);
            const std::string output = dir / "Übersicht €.xml";
            WriteFile(output, kPrevious);
            const std::wstring native = NativePath(output).native();
            HANDLE holder = INVALID_HANDLE_VALUE;
            if (held) {
                holder = ::CreateFileW(native.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(holder, INVALID_HANDLE_VALUE);
            } else {
                ASSERT_TRUE(::SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_READONLY));
            }
            ExpectToolFailed(RunCommand(tool.program, {dir / tool.input_name, output}));
            if (held) ::CloseHandle(holder);
            ::SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(ReadFile(output), kPrevious);
            EXPECT_EQ(CountEntries(dir.path()), 2) << "no temporary file is left behind";
        }
    }
}

TEST(WindowsOutput, NulTakesTheOutput) {
    for (const Tool& tool : kTools) {
        ScratchDir dir;
        WriteFile(dir / tool.input_name, tool.input);
        for (const std::string& device :
             {std::string("NUL"), std::string("nul"), dir / "NUL", std::string("\\\\.\\NUL")}) {
            SCOPED_TRACE(std::string(tool.name) + " to " + device);
            ExpectToolSucceeded(RunCommand(tool.program, {dir / tool.input_name, device}));
        }
        EXPECT_EQ(CountEntries(dir.path()), 1) << "no file is made";
    }
}

}  // namespace dravonix

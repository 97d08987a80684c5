// The Windows file system: binary reads, UTF-8 names, atomic replacement that
// keeps the replaced file's attributes, the failures Windows has (injected
// where Wine cannot make them), NUL, long paths, times and identities.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/windows_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows_path.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

/// Gives path the content text; the reason for a failure, or "" on success.
std::string Replace(const std::string& path, const std::string& text) {
    std::string error;
    std::unique_ptr<OutputFile> output = SystemFileSystem().StartReplacing(path, &error);
    if (output == nullptr) return error;
    if (!output->Write(text, &error)) return error;
    if (!output->Commit(&error)) return error;
    return "";
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(NativePath(path).c_str());
}

bool SetAttributes(const std::string& path, DWORD attributes) {
    return ::SetFileAttributesW(NativePath(path).c_str(), attributes) != 0;
}

/// Expects a failure's reason to name path and give the system's text.
void ExpectReason(const std::string& reason, const std::string& path) {
    EXPECT_TRUE(reason.starts_with(path + ": ")) << reason;
    EXPECT_GT(reason.size(), path.size() + 4) << reason;
    EXPECT_EQ(reason.find("system error"), std::string::npos) << "the system has a text";
    EXPECT_EQ(reason.find_first_of("\r\n"), std::string::npos) << "one line";
}

}  // namespace

TEST(WindowsFileSystem, ReadsEveryByteInBinary) {
    ScratchDir dir;
    // Text mode would turn CR LF into LF and end the file at the Ctrl-Z.
    const std::string content(
        "a\r\nb\x1A"
        "c\n\0d\r",
        10);
    WriteFile(dir / "in", content);
    std::string error;
    std::unique_ptr<ReadableFile> file = SystemFileSystem().OpenForReading(dir / "in", &error);
    ASSERT_NE(file, nullptr) << error;
    std::string read;
    char buffer[3];
    std::size_t got = 0;
    while (file->Read(buffer, sizeof buffer, &got, &error) && got > 0) read.append(buffer, got);
    EXPECT_EQ(read, content);
    EXPECT_EQ(SystemFileSystem().OpenForReading(dir / "missing", &error), nullptr);
    ExpectReason(error, dir / "missing");
    EXPECT_EQ(SystemFileSystem().OpenForReading(dir.path(), &error), nullptr) << "a folder";
}

TEST(WindowsFileSystem, AnyNameIsCreatedAndReplaced) {
    ScratchDir dir;
    const char* const names[] = {
        "\xC3\x9C"
        "bersicht \xE2\x82\xAC.xml",
        "\xD0\xB2\xD1\x8B\xD0\xB2\xD0\xBE\xD0\xB4.xml", "\xE9\x94\xAE\xE7\x9B\x98.xml"};
    for (const std::string name : names) {
        // Backslashes too: the temporary file goes into the same folder.
        const std::string path = dir.path() + "\\" + name;
        EXPECT_EQ(Replace(path, "first\n"), "");
        EXPECT_EQ(Replace(path, "second\r\n"), "");
        EXPECT_EQ(ReadFile(dir / name), "second\r\n") << name;
    }
    EXPECT_EQ(CountEntries(dir.path()), 3) << "no temporary file is left behind";
    std::string error;
    EXPECT_EQ(SystemFileSystem().StartReplacing(dir / "bad\xFF.xml", &error), nullptr);
    ExpectReason(error, dir / "bad\xFF.xml");
}

TEST(WindowsFileSystem, ReplacedFileKeepsItsAttributes) {
    ScratchDir dir;
    const std::string path = dir / "hidden.xml";
    WriteFile(path, "old");
    ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(Replace(path, "new"), "");
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_NE(AttributesOf(path) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Replace(dir / "plain.xml", "new"), "");
    EXPECT_EQ(AttributesOf(dir / "plain.xml") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(WindowsFileSystem, RefusedDestinationsFailAndStayAsTheyWere) {
    ScratchDir dir;
    WriteFile(dir / "read-only.xml", "old");
    ASSERT_TRUE(SetAttributes(dir / "read-only.xml", FILE_ATTRIBUTE_READONLY));
    WriteFile(dir / "held.xml", "old");
    HANDLE holder = ::CreateFileW(NativePath(dir / "held.xml").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::CreateDirectoryW(NativePath(dir / "folder").c_str(), nullptr));
    for (const std::string& path :
         {dir / "read-only.xml", dir / "held.xml", dir / "folder", dir.path() + "\\folder\\",
          dir / "no\\such\\out.xml", dir / "no/such/out.xml"}) {
        EXPECT_EQ(SystemFileSystem().StartReplacing(path, nullptr), nullptr) << path;
        std::string error;
        EXPECT_EQ(SystemFileSystem().StartReplacing(path, &error), nullptr) << path;
        ExpectReason(error, path);
    }
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFile(dir / "held.xml"), "old");
    EXPECT_EQ(ReadFile(dir / "read-only.xml"), "old");
    EXPECT_EQ(CountEntries(dir.path()), 3);
    SetAttributes(dir / "read-only.xml", FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsFileSystem, DestinationRefusedAtCommitStaysAsItWas) {
    ScratchDir dir;
    const std::string path = dir / "out.xml";
    WriteFile(path, "old");
    for (bool held : {false, true}) {
        std::string error;
        std::unique_ptr<OutputFile> output = SystemFileSystem().StartReplacing(path, &error);
        ASSERT_NE(output, nullptr) << error;
        EXPECT_TRUE(output->Write("new", &error));
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (held) {
            holder = ::CreateFileW(NativePath(path).c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        } else {
            ASSERT_TRUE(SetAttributes(path, FILE_ATTRIBUTE_READONLY));
        }
        EXPECT_FALSE(output->Commit(&error));
        ExpectReason(error, path);
        if (held) ::CloseHandle(holder);
        SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadFile(path), "old");
        EXPECT_EQ(CountEntries(dir.path()), 1) << "the temporary file is gone";
    }
}

TEST(WindowsFileSystem, OutputDroppedUncommittedLeavesNothing) {
    ScratchDir dir;
    WriteFile(dir / "old.xml", "old");
    for (const std::string& path : {dir / "old.xml", dir / "new.xml"}) {
        std::string error;
        std::unique_ptr<OutputFile> output = SystemFileSystem().StartReplacing(path, &error);
        ASSERT_NE(output, nullptr) << error;
        EXPECT_TRUE(output->Write("partial", &error));
    }
    EXPECT_EQ(ReadFile(dir / "old.xml"), "old");
    EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(WindowsFileSystem, NulIsWrittenIntoNeverReplaced) {
    ScratchDir dir;
    for (const std::string& path :
         {std::string("NUL"), std::string("nul"), dir / "NUL", std::string("\\\\.\\NUL")}) {
        EXPECT_EQ(Replace(path, "<r/>"), "") << path;
    }
    EXPECT_EQ(CountEntries(dir.path()), 0);
}

namespace {

/// What the stand-in placement calls return, call by call, before they leave
/// the work to the system's own.
struct PlacementScript {
    std::vector<unsigned long> replace;
    std::vector<unsigned long> move;
    std::size_t replaced = 0;
    std::size_t moved = 0;
    int pauses = 0;
};
PlacementScript script;

unsigned long ScriptedReplace(const wchar_t* destination, const wchar_t* replacement) {
    if (script.replaced == script.replace.size()) {
        return SystemPlacementCalls().replace(destination, replacement);
    }
    const unsigned long code = script.replace[script.replaced++];
    // Without a backup name, ReplaceFileW has moved the old file away when
    // it fails so.
    if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT) ::DeleteFileW(destination);
    return code;
}

unsigned long ScriptedMove(const wchar_t* from, const wchar_t* to, bool replace_existing) {
    if (script.moved == script.move.size()) {
        return SystemPlacementCalls().move(from, to, replace_existing);
    }
    return script.move[script.moved++];
}

void CountedPause(unsigned) { ++script.pauses; }

}  // namespace

TEST(WindowsFileSystem, PlacementFailuresNeverLoseBothContents) {
    const std::vector<unsigned long> busy(8, ERROR_SHARING_VIOLATION);
    const std::vector<unsigned long> denied(8, ERROR_ACCESS_DENIED);
    const struct Case {
        const char* name;
        bool existing;
        std::vector<unsigned long> replace, move;
        bool committed;
        const char* content;  // of the destination, or "<missing>"
        int entries;          // in the folder afterwards
        int pauses;
    } cases[] = {
        {"replaced file lost, moved in",
         true,
         {ERROR_UNABLE_TO_MOVE_REPLACEMENT},
         {},
         true,
         "new",
         1,
         0},
        {"replaced file lost, move refused",
         true,
         {ERROR_UNABLE_TO_MOVE_REPLACEMENT},
         denied,
         false,
         "<missing>",
         1,
         7},
        {"busy twice", true, {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}, {}, true, "new", 1, 2},
        {"busy for good", true, busy, {}, false, "old", 1, 7},
        {"new file, busy once", false, {}, {ERROR_SHARING_VIOLATION}, true, "new", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string path = dir / "out.xml";
        if (c.existing) WriteFile(path, "old");
        script = {c.replace, c.move};
        WindowsFileSystem files({ScriptedReplace, ScriptedMove, CountedPause});
        std::string error;
        std::unique_ptr<OutputFile> output = files.StartReplacing(path, &error);
        ASSERT_NE(output, nullptr) << error;
        ASSERT_TRUE(output->Write("new", &error));
        EXPECT_EQ(output->Commit(&error), c.committed);
        if (!c.committed) ExpectReason(error, path);
        output.reset();
        EXPECT_EQ(ReadFile(path), c.content);
        EXPECT_EQ(CountEntries(dir.path()), c.entries);
        EXPECT_EQ(script.pauses, c.pauses);
        if (std::string(c.content) == "<missing>") {
            // The temporary file holds the only copy, and the message says where.
            const std::string kept = error.substr(error.find("kept in '") + 9);
            EXPECT_EQ(ReadFile(kept.substr(0, kept.size() - 2)), "new") << error;
        }
    }
}

TEST(WindowsFileSystem, PathsLongerThanMaxPathWork) {
    ScratchDir dir;
    std::string folder = dir.path();
    while (folder.size() < 300) folder += "/a folder with a long name";
    folder += "/long name";
    std::string error;
    ASSERT_TRUE(SystemFileSystem().MakeFolders(folder, &error)) << error;
    const std::string path = folder + "\\Übersicht.xml";
    EXPECT_EQ(Replace(path, "first"), "");
    EXPECT_EQ(Replace(path, "second"), "");
    std::string bytes;
    EXPECT_EQ(SystemFileSystem().ReadWholeFile(path, 100, &bytes, &error), ReadOutcome::kRead)
        << error;
    EXPECT_EQ(bytes, "second");
    std::vector<std::string> names;
    ASSERT_TRUE(SystemFileSystem().ListFolder(folder, &names, &error)) << error;
    EXPECT_EQ(names, std::vector<std::string>{"Übersicht.xml"});
    EXPECT_EQ(SystemFileSystem().GetFileInfo(path).kind, FileKind::kFile);

    const std::pair<std::wstring, std::wstring> forms[] = {
        {L"C:\\dir\\f.xml", L"\\\\?\\C:\\dir\\f.xml"},
        {L"\\\\server\\share\\f.xml", L"\\\\?\\UNC\\server\\share\\f.xml"},
        {L"\\\\?\\C:\\f.xml", L"\\\\?\\C:\\f.xml"},
        {L"\\\\.\\NUL", L"\\\\.\\NUL"},
    };
    for (const auto& [absolute, form] : forms) EXPECT_EQ(LongPathForm(absolute), form);
    // Every operation asks by that form (Wine, unlike Windows, would take
    // the long path without it too).
    std::wstring wide;
    ASSERT_TRUE(SystemPath(folder + "/x/../f.xml", &wide, &error)) << error;
    EXPECT_TRUE(wide.starts_with(L"\\\\?\\") && wide.ends_with(L"\\long name\\f.xml"));
    EXPECT_EQ(wide.find_first_of(L"/"), std::wstring::npos);
    ASSERT_TRUE(SystemPath("nul", &wide, &error));
    EXPECT_EQ(wide, L"\\\\.\\nul");
}

TEST(WindowsFileSystem, EveryOperationWordsAnErrorTheSystemsWay) {
    ScratchDir dir;
    WriteFile(dir / "file", "x");
    std::string error;
    std::vector<std::string> names;
    EXPECT_FALSE(SystemFileSystem().ListFolder(dir / "missing", &names, &error));
    ExpectReason(error, dir / "missing");
    EXPECT_FALSE(SystemFileSystem().MakeFolders(dir / "file/sub", &error));
    ExpectReason(error, dir / "file");
    std::string bytes;
    EXPECT_EQ(SystemFileSystem().ReadWholeFile(dir / "missing", 10, &bytes, &error),
              ReadOutcome::kCannotOpen);
    ExpectReason(error, dir / "missing");
    EXPECT_EQ(SystemFileSystem().ReadWholeFile(dir.path(), 10, &bytes, &error),
              ReadOutcome::kNotAFile);
    EXPECT_EQ(SystemFileSystem().ReadWholeFile("NUL", 10, &bytes, &error), ReadOutcome::kNotAFile);
    EXPECT_EQ(SystemFileSystem().ReadWholeFile(dir / "file", 0, &bytes, &error),
              ReadOutcome::kTooLarge);
}

TEST(WindowsFileSystem, TimesAndIdentities) {
    constexpr std::uint64_t k1970 = 116444736000000000;
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
    const std::pair<std::uint64_t, std::int64_t> times[] = {
        {k1970, 0},
        {k1970 - 1, -100},
        {k1970 + 15778368000000000, 1577836800000000000},  // 2020-01-01
        {0, kLeast},
        {std::numeric_limits<std::uint64_t>::max(), kMost},
    };
    for (const auto& [ticks, nanoseconds] : times) {
        EXPECT_EQ(NanosecondsFromFileTime(ticks), nanoseconds) << ticks;
    }
    ScratchDir dir;
    WriteFile(dir / "a.kbd", "a");
    WriteFile(dir / "b.kbd", "b");
    const FileInfo a = SystemFileSystem().GetFileInfo(dir / "a.kbd");
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    EXPECT_LT(std::abs(now - a.modified), std::int64_t{60} * 1000000000) << "changed just now";
    EXPECT_EQ(SystemFileSystem().GetFileInfo(dir.path() + "\\.\\A.KBD").identity, a.identity);
    EXPECT_NE(SystemFileSystem().GetFileInfo(dir / "b.kbd").identity, a.identity);
}

TEST(WindowsFileSystemDeathTest, ConsoleEndRemovesTheTemporaryFile) {
    ScratchDir dir;
    const std::string path = dir / "out.xml";
    WriteFile(path, "old");
    EXPECT_EXIT(
        {
            std::unique_ptr<OutputFile> output = SystemFileSystem().StartReplacing(path, nullptr);
            if (output == nullptr || !output->Write(std::string(1 << 20, 'x'), nullptr)) {
                ::ExitProcess(2);
            }
            // Ended at once, as after Ctrl+C: no destructor runs.
            ::ExitProcess(RemoveTemporariesOnConsoleEnd(CTRL_C_EVENT) ? 4 : 3);
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(CountEntries(dir.path()), 1) << "the temporary file is gone";
}

}  // namespace dravonix

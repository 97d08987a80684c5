// The Windows file system: binary reads, UTF-8 names, atomic replacement that
// keeps the replaced file's attributes, the failures Windows has, and NUL.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/file_system.h"
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

}  // namespace dravonix

// The standard streams on Windows: a console gets UTF-16 through
// WriteConsoleW, which shows every character whatever the console's code
// page; a pipe or a file gets the bytes through the C run-time, whose text
// mode ends lines with CR LF.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/windows_console.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/console.h"
#include "platform/path_encoding.h"
#include "platform/unicode.h"

namespace dravonix {

namespace {

/// Longest piece handed to one WriteConsoleW, which older consoles refuse
/// above some 64 KB.
constexpr std::size_t kConsolePiece = 8192;

/// True when handle is a console's.
bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

/// The UTF-16 units a console shows for text, each "\n" as CR LF.
std::u16string ConsoleUnits(std::string_view text) {
    std::u16string wide;
    // Text that names files may carry their unpaired surrogates; any other
    // malformed byte becomes U+FFFD.
    if (!PathToUtf16(text, &wide)) wide = Utf8ToUtf16(text);
    std::u16string units;
    units.reserve(wide.size() + wide.size() / 16);
    for (char16_t unit : wide) {
        if (unit == u'\n') units.push_back(u'\r');
        units.push_back(unit);
    }
    return units;
}

}  // namespace

bool WriteToConsole(std::string_view text, const ConsoleWrite& write) {
    const std::u16string units = ConsoleUnits(text);
    std::size_t done = 0;
    while (done < units.size()) {
        std::size_t size = std::min(kConsolePiece, units.size() - done);
        // Never split a surrogate pair between two writes.
        if (done + size < units.size() && units[done + size - 1] >= 0xD800 &&
            units[done + size - 1] <= 0xDBFF) {
            --size;
        }
        std::size_t written = 0;
        if (!write(units.data() + done, size, &written) || written == 0) return false;
        done += written;
    }
    return true;
}

void WriteText(StandardStream stream, std::string_view text) {
    std::FILE* file = stream == StandardStream::kOutput ? stdout : stderr;
    // What the C run-time still holds for the stream goes first.
    std::fflush(file);
    HANDLE handle =
        ::GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (IsConsole(handle)) {
        (void)WriteToConsole(
            text, [handle](const char16_t* units, std::size_t size, std::size_t* written) {
                DWORD count = 0;
                const bool done =
                    ::WriteConsoleW(handle, units, static_cast<DWORD>(size), &count, nullptr) != 0;
                *written = count;
                return done;
            });
        return;
    }
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

bool OwnsConsoleWindow() {
    if (const char* forced = std::getenv("DRAVONIX_CONSOLE_OWNER")) {
        return std::strcmp(forced, "1") == 0;
    }
    DWORD processes[2];
    return ::GetConsoleProcessList(processes, 2) == 1;
}

void WaitForKey() {
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (IsConsole(input)) {
        // Keys pressed while the program ran do not count.
        ::FlushConsoleInputBuffer(input);
        for (;;) {
            INPUT_RECORD record;
            DWORD read = 0;
            if (!::ReadConsoleInputW(input, &record, 1, &read) || read == 0) return;
            if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
        }
    }
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return;
    char byte = 0;
    DWORD read = 0;
    (void)::ReadFile(input, &byte, 1, &read, nullptr);
}

}  // namespace dravonix

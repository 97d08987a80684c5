// The test helpers that differ by platform, on Windows: paths are UTF-8 and
// reach the system as UTF-16, a console program's lines end in CR LF, and
// programs are started directly (there is no POSIX shell), with their output
// collected in files.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdlib>

#include "platform/path_encoding.h"
#include "testing/test_util.h"

namespace dravonix {

namespace {

std::wstring Wide(const std::string& path) {
    std::u16string units;
    if (!PathToUtf16(path, &units)) return L"";
    return std::wstring(units.begin(), units.end());
}

// Appends one argument to a command line so that the C run-time's parser
// gives it back unchanged: in quotes, with the backslashes before a quote
// doubled and the quote escaped.
void AppendArgument(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line.push_back(L' ');
    line.push_back(L'"');
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        line.append(backslashes, L'\\');
        backslashes = 0;
        line.push_back(c);
    }
    line.append(backslashes * 2, L'\\');
    line.push_back(L'"');
}

// A handle the started program inherits: a file in the scratch folder for
// its output, NUL for its input.
HANDLE Inheritable(const std::wstring& path, bool output) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(path.c_str(), output ? GENERIC_WRITE : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         output ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::filesystem::path NativePath(const std::string& path) { return Wide(path); }

std::string PathString(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return PathFromUtf16(std::u16string(wide.begin(), wide.end()));
}

std::string ConsoleText(std::string_view text) {
    std::string lines;
    for (char c : text) {
        if (c == '\n') lines.push_back('\r');
        lines.push_back(c);
    }
    return lines;
}

Xmllint CheckWithXmllint(const std::string&) { return Xmllint::kUnavailable; }

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& prefix) {
    CommandResult result;
    if (!prefix.empty()) {
        result.err = "no POSIX shell to run \"" + prefix + "\"";
        return result;
    }
    ScratchDir capture;
    std::wstring line;
    AppendArgument(line, Wide(program));
    for (const std::string& arg : args) AppendArgument(line, Wide(arg));
    HANDLE in = Inheritable(L"NUL", false);
    HANDLE out = Inheritable(Wide(capture / "out"), true);
    HANDLE err = Inheritable(Wide(capture / "err"), true);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr,
                                          TRUE, 0, nullptr, nullptr, &startup, &process);
    for (HANDLE handle : {in, out, err}) {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
    if (started) {
        DWORD code = 0;
        ::WaitForSingleObject(process.hProcess, INFINITE);
        if (::GetExitCodeProcess(process.hProcess, &code)) {
            result.exit_code = static_cast<int>(code & 0xFF);  // -2 is 254, as a shell says
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

void SetInheritedVariable(const std::string& name, const std::string& value) {
    // The process's own environment, which CreateProcess hands on, and the C
    // run-time's copy of it.
    (void)::_putenv_s(name.c_str(), value.c_str());
}

}  // namespace dravonix

// Helpers shared by the tests: a scratch folder per test, whole-file reads
// and writes, and running a built executable. Paths are strings in the
// platform's own path encoding (UTF-8 on Windows), as the programs take them.
// Failures of the helpers themselves show up as the values they document,
// never as exceptions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dravonix {

/// A fresh folder in the system's folder for temporary files ($TMPDIR or
/// /tmp; Windows' TEMP), removed with everything in it when the object goes,
/// whatever permissions or read-only marks the test left on it. The path is
/// empty when the folder could not be created.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    /// The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

/// A path as std::filesystem takes it, and back.
std::filesystem::path NativePath(const std::string& path);
std::string PathString(const std::filesystem::path& path);

/// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);

/// Writes content to a file, replacing it.
void WriteFile(const std::string& path, const std::string& content);

/// Number of entries in a folder (to spot left-over temporary files); -1 when
/// it cannot be listed.
int CountEntries(const std::string& folder);

/// Text as a console program's standard output shows it: each "\n" becomes
/// the platform's line end (CR LF on Windows, whose consoles write text so).
std::string ConsoleText(std::string_view text);

/// What xmllint, a parser independent of ours, says of a file.
enum class Xmllint {
    kWellFormed,
    kMalformed,
    kUnavailable,  // not installed, or no shell to run it from (Windows, whose
                   // outputs the Linux side checks instead)
};
Xmllint CheckWithXmllint(const std::string& path);

/// Sets an environment variable of this process, which the programs it runs
/// inherit; an empty value removes it.
void SetInheritedVariable(const std::string& name, const std::string& value);

/// What a finished command left behind.
struct CommandResult {
    int exit_code = -1;  // as a shell sees it (0..255), or -1 when it did not exit
    std::string out;     // standard output
    std::string err;     // standard error
};

/// Quotes one argument for the POSIX shell.
std::string ShellQuote(const std::string& text);

/// Runs program with args, standard input empty, and collects what it wrote.
/// prefix is POSIX shell text put before the command (for example
/// "ulimit -v 100000;"); where there is no POSIX shell (Windows), the program
/// runs directly and a prefix is a failure (exit_code -1).
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& prefix = "");

}  // namespace dravonix

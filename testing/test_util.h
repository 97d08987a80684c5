// Helpers shared by the tests: a scratch folder per test, whole-file reads
// and writes, and running a built executable. Failures of the helpers
// themselves show up as the values they document, never as exceptions.
#pragma once

#include <string>
#include <vector>

namespace dravonix {

/// A fresh folder under $TMPDIR (or /tmp), removed with everything in it
/// when the object goes, whatever permissions the test left on it. The path
/// is empty when the folder could not be created.
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

/// The whole content of a file, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);

/// Writes content to a file, replacing it.
void WriteFile(const std::string& path, const std::string& content);

/// Number of entries in a folder (to spot left-over temporary files); -1 when
/// it cannot be listed.
int CountEntries(const std::string& folder);

/// What a finished command left behind.
struct CommandResult {
    int exit_code = -1;  // as a shell sees it (0..255), or -1 when it did not exit
    std::string out;     // standard output
    std::string err;     // standard error
};

/// Quotes one argument for the shell.
std::string ShellQuote(const std::string& text);

/// Runs program with args through the shell, standard input empty; prefix is
/// shell text put before the command (for example "ulimit -v 100000;").
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& prefix = "");

}  // namespace dravonix

#include "testing/test_util.h"

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace dravonix {

namespace {

namespace fs = std::filesystem;

// Gives the owner full rights on folder and every folder below it, so that
// the whole tree can be removed (tests take rights away to provoke failures).
void MakeRemovable(const fs::path& folder) {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ignored)) {
        if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) MakeRemovable(entry.path());
    }
}

}  // namespace

ScratchDir::ScratchDir() {
    const char* base = std::getenv("TMPDIR");
    path_ = std::string(base != nullptr ? base : "/tmp") + "/dravonix-test-XXXXXX";
    if (::mkdtemp(path_.data()) == nullptr) path_.clear();
}

ScratchDir::~ScratchDir() {
    if (path_.empty()) return;
    MakeRemovable(path_);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

int CountEntries(const std::string& folder) {
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        ++count;
    }
    return error ? -1 : count;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted.push_back('\'');
    return quoted;
}

CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         const std::string& prefix) {
    ScratchDir capture;
    std::string command = "(";
    command.append(prefix).append(" exec ").append(ShellQuote(program));
    for (const std::string& arg : args) command.append(" ").append(ShellQuote(arg));
    command.append(") >").append(ShellQuote(capture / "out"));
    command.append(" 2>").append(ShellQuote(capture / "err")).append(" </dev/null");
    const int status = std::system(command.c_str());
    CommandResult result;
    if (status != -1 && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

}  // namespace dravonix

#include "testing/test_util.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace dravonix {

namespace {

namespace fs = std::filesystem;

// Gives the owner full rights on folder and everything below it, so that the
// whole tree can be removed (tests take rights away, or mark files read-only,
// to provoke failures). Links are not followed out of the tree.
void MakeRemovable(const fs::path& folder) {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ignored)) {
        if (entry.is_symlink(ignored)) continue;
        if (entry.is_directory(ignored)) {
            MakeRemovable(entry.path());
        } else if (entry.is_regular_file(ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
        }
    }
}

}  // namespace

ScratchDir::ScratchDir() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return;
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "dravonix-test-";
        for (int i = 0; i < 8; ++i) name.push_back(kLetters[random() % 36]);
        if (fs::create_directory(base / name, error)) {
            path_ = PathString(base / name);
            return;
        }
        if (error) return;  // not a name taken by another folder
    }
}

ScratchDir::~ScratchDir() {
    if (path_.empty()) return;
    MakeRemovable(NativePath(path_));
    std::error_code ignored;
    fs::remove_all(NativePath(path_), ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(NativePath(path), std::ios::binary | std::ios::trunc);
    out << content;
}

int CountEntries(const std::string& folder) {
    std::error_code error;
    int count = 0;
    for (fs::directory_iterator it(NativePath(folder), error), end; !error && it != end;
         it.increment(error)) {
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

}  // namespace dravonix

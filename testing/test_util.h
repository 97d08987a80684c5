// Test helpers for files: a scratch folder per test and whole-file reads.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace dravonix {

/// A fresh folder under the test temp dir, removed with its contents at the end.
class ScratchDir {
public:
    ScratchDir() {
        const char* base = std::getenv("TMPDIR");
        path_ = std::string(base != nullptr ? base : "/tmp") + "/dravonix-test-XXXXXX";
        if (::mkdtemp(path_.data()) == nullptr) path_.clear();
    }
    ~ScratchDir() {
        if (!path_.empty())
            std::system(("chmod -R u+rwx '" + path_ + "'; rm -rf '" + path_ + "'").c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    /// The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

/// The whole content of a file, or "<missing>" when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Writes content to a file, replacing it.
inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

/// Number of entries in a folder (to spot left-over temporary files).
inline int CountEntries(const std::string& folder) {
    std::string command = "ls -A '" + folder + "' | wc -l";
    FILE* pipe = ::popen(command.c_str(), "r");
    int count = -1;
    if (pipe != nullptr) {
        if (std::fscanf(pipe, "%d", &count) != 1) count = -1;
        ::pclose(pipe);
    }
    return count;
}

}  // namespace dravonix

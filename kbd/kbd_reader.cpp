#include "kbd/kbd_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "kbd/kbd_state.h"
#include "kbd/line_reader.h"

namespace dravonix {

namespace {

/// Closes a file on every path out of the reader.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

/// Opens path for binary reading; a directory counts as a file that cannot
/// be opened, since it has no lines to read.
FilePtr OpenForReading(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return nullptr;
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;
    return file;
}

}  // namespace

bool ReadKbdFile(const std::string& path, KeyDefinition& definition) {
    FilePtr file = OpenForReading(path);
    if (!file) return false;

    LineReader reader(file.get());
    KbdWork work;
    bool name_pending = true;
    std::string raw;  // reused for every line
    bool have_line = reader.Read(raw);
    while (have_line) {
        const std::string_view line = CleanLine(raw);
        if (line.empty()) {
            have_line = reader.Read(raw);
            continue;
        }
        const bool before_first_block = work.state == KbdLineState::OutsideKeydef;
        HandleKbdLine(line, work, definition);
        have_line = reader.Read(raw);
        // Every line before the first block reads the next line at once; the
        // first line read this way, exactly as read, names the keyboard. It is
        // then handled like any other line.
        if (before_first_block && have_line && name_pending) {
            definition.name = raw;
            name_pending = false;
        }
    }
    // An unfinished block, an open macro and the working key are dropped.
    return true;
}

}  // namespace dravonix

// Files on POSIX calls: saving, which decides by what the
// system says the destination is between atomic replacement through a
// temporary file in its folder and direct writes into devices, pipes and the
// program's open files. Linux's unnamed temporary files (O_TMPFILE) and early
// write-back are used where present.
#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/interrupt.h"
#include "platform/posix_error.h"

namespace dravonix {

namespace {

/// Early write-back step: the disk writes of every MiB written are started
/// at once, so that the flush before the rename has little left to wait for
/// (a picture written in one go at the end waited for 8 MiB more).
constexpr off_t kWritebackStep = 1024 * 1024;

/// Writes all of pieces in order, as many at a time as one call takes,
/// resuming after interruptions and short writes. False with errno set on
/// failure.
bool WriteAllGathered(int fd, std::span<const std::string_view> pieces) {
    std::array<struct iovec, 256> vectors;
    std::size_t next = 0;  // the first piece not in vectors yet
    std::size_t count = 0;
    std::size_t first = 0;  // the first vector not written whole yet
    for (;;) {
        if (first == count) {
            if (next == pieces.size()) return true;
            count = 0;
            first = 0;
            for (; next < pieces.size() && count < vectors.size(); ++next) {
                if (pieces[next].empty()) continue;
                // writev only reads the bytes: the cast is its interface's.
                vectors[count++] = {const_cast<char*>(pieces[next].data()), pieces[next].size()};
            }
            continue;
        }
        ssize_t written = ::writev(fd, &vectors[first], static_cast<int>(count - first));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {  // no progress and no reason: do not spin
            errno = EIO;
            return false;
        }
        auto left = static_cast<std::size_t>(written);
        while (first < count && left >= vectors[first].iov_len) {
            left -= vectors[first++].iov_len;
        }
        if (left > 0) {
            vectors[first].iov_base = static_cast<char*>(vectors[first].iov_base) + left;
            vectors[first].iov_len -= left;
        }
    }
}

/// Writes all of data, as WriteAllGathered does.
bool WriteAll(int fd, std::string_view data) {
    const std::string_view pieces[] = {data};
    return WriteAllGathered(fd, pieces);
}

/// Reads a decimal number of 1 to 9 digits from the start of text and takes
/// it off; -1 when text does not start with one.
int TakeNumber(std::string_view& text) {
    int number = -1;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end == text.data() || end - text.data() > 9) return -1;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return number;
}

/// The process whose open files a folder lists, when the folder (links
/// resolved) is "/proc/PID/fd" or "/proc/PID/task/TID/fd"; -1 otherwise.
int OpenFilesOwner(const std::string& folder) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                     &std::free);
    if (real == nullptr) return -1;
    std::string_view rest = real.get();
    if (!rest.starts_with("/proc/")) return -1;
    rest.remove_prefix(6);
    const int owner = TakeNumber(rest);
    if (rest.starts_with("/task/")) {
        rest.remove_prefix(6);
        if (TakeNumber(rest) < 0) return -1;
    }
    return rest == "/fd" ? owner : -1;
}

/// Where the bytes saved under a path go, from what the system says the path
/// names: the one place that tells a file to replace from an output to write
/// into.
struct Destination {
    enum Route {
        kReplace,     // a regular file or a new one: replaced atomically
        kDirect,      // a device or pipe, or an open file of another process: written into
        kDescriptor,  // an open file of this program (/dev/stdout, /dev/fd/N): written into
    };
    Route route = kReplace;
    std::string path;     // the file replaced (links resolved) or opened
    int descriptor = -1;  // kDescriptor: the program's descriptor
    bool append = false;  // kDirect: open to add at the end, never from the start
    bool exists = false;  // kReplace: the file exists, with status existing
    struct stat existing {};
};

/// Finds where the output for path goes. Symbolic links are followed one by
/// one, so that a dangling link gives the path it points to (the save
/// creates that file and the link stays), and so that a link the system
/// keeps for an open file (in /proc/PID/fd, where /dev/stdout and /dev/fd/N
/// lead) is recognised: that file is written into where the shell opened it
/// (">>" adds at the end), never replaced by a new one. False with the
/// reason in *error for a folder or a loop of links.
bool FindDestination(const std::string& path, Destination* destination, std::string* error) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            destination->path = std::move(current);
            if (::stat(destination->path.c_str(), &info) != 0) return true;  // a new file
            if (S_ISDIR(info.st_mode)) {
                SetError(error, destination->path, EISDIR);
                return false;
            }
            if (S_ISREG(info.st_mode)) {
                destination->exists = true;
                destination->existing = info;
            } else {
                destination->route = Destination::kDirect;
            }
            return true;
        }
        const std::size_t slash = current.rfind('/');
        const std::string folder =
            slash == std::string::npos ? "." : current.substr(0, slash == 0 ? 1 : slash);
        const int owner = OpenFilesOwner(folder);
        if (owner >= 0) {
            std::string_view name = std::string_view(current).substr(slash + 1);
            const int number = TakeNumber(name);
            if (owner == ::getpid() && number >= 0 && name.empty()) {
                destination->route = Destination::kDescriptor;
                destination->descriptor = number;
            } else {
                destination->route = Destination::kDirect;
                destination->append = true;
            }
            destination->path = std::move(current);
            return true;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t size = ::readlink(current.c_str(), target.data(), target.size());
        if (size < 0) {
            SetError(error, current, errno);
            return false;
        }
        target.resize(static_cast<std::size_t>(size));
        if (!target.empty() && target[0] != '/' && slash != std::string::npos) {
            target = current.substr(0, slash + 1) + target;
        }
        current = std::move(target);
    }
    SetError(error, current, ELOOP);
    return false;
}

/// The umask the program started with, read before main while it has a
/// single thread: umask() can only be read by changing it, and a file that
/// another thread creates meanwhile would get the changed mask.
const mode_t kStartUmask = [] {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}();

/// The process's umask, read from /proc without changing it (Linux 4.7 and
/// later); without /proc, the one the program started with.
mode_t CurrentUmask() {
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return kStartUmask;
    char text[1024];  // "Umask:" is the second line
    ssize_t size = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (size <= 0) return kStartUmask;
    text[size] = '\0';
    const char* line = std::strstr(text, "\nUmask:");
    if (line == nullptr) return kStartUmask;
    char* end = nullptr;
    const unsigned long mask = std::strtoul(line + 7, &end, 8);
    return end != line + 7 ? static_cast<mode_t>(mask & 0777) : kStartUmask;
}

/// Output written straight into an existing file that is not a regular one:
/// a device or a pipe, which cannot be replaced.
class DirectOutput final : public OutputFile {
public:
    DirectOutput(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~DirectOutput() override {
        if (fd_ >= 0) ::close(fd_);
    }
    DirectOutput(const DirectOutput&) = delete;
    DirectOutput& operator=(const DirectOutput&) = delete;

    bool Write(std::string_view data, std::string* error) override {
        if (failure_ == 0 && !WriteAll(fd_, data)) failure_ = errno;
        if (failure_ != 0) SetError(error, path_, failure_);
        return failure_ == 0;
    }

    bool Commit(std::string* error) override {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && failure_ == 0) failure_ = errno;
        if (failure_ != 0) SetError(error, path_, failure_);
        return failure_ == 0;
    }

private:
    int fd_;
    std::string path_;
    int failure_ = 0;  // errno of the first failure
};

/// The signals that end a program politely, after which no named temporary
/// file may be left.
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

/// A slot of the table of named temporary files below.
struct TemporarySlot {
    enum State { kFree, kFilling, kHeld };
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};
static_assert(std::atomic<int>::is_always_lock_free, "signal handlers read the state");

/// The paths of the named temporary files being written, which the handlers
/// of the ending signals remove before the signal ends the program. A
/// handler may only use async-signal-safe means, so the table is a fixed
/// array of character arrays, each slot claimed and published through a
/// lock-free atomic. (Relative paths are taken from the working folder at
/// the time of the signal.) It is zero-initialized at build time: a table
/// filled in at start would touch a page of memory per slot in every run.
constinit TemporarySlot temporary_slots[64];

/// Removes the files of the table, then ends the program by the signal as
/// its default action would; but the first interrupt the program catches
/// (platform/interrupt.h) only makes Interrupted() true.
void RemoveTemporariesAndEnd(int signal) {
    if ((signal == SIGINT || signal == SIGTERM) && TakeInterrupt()) return;
    for (const TemporarySlot& slot : temporary_slots) {
        if (slot.state.load(std::memory_order_acquire) == TemporarySlot::kHeld) {
            ::unlink(slot.path);
        }
    }
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    ::sigemptyset(&default_action.sa_mask);
    ::sigaction(signal, &default_action, nullptr);
    ::raise(signal);  // delivered when the handler returns
}

/// Handles each ending signal that still has its default action; one the
/// program handles or ignores itself is left as it is.
bool InstallEndingHandlers() {
    for (int signal : kEndingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0) continue;
        if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndEnd;
        ::sigemptyset(&action.sa_mask);
        for (int other : kEndingSignals) ::sigaddset(&action.sa_mask, other);
        action.sa_flags = SA_RESTART;
        ::sigaction(signal, &action, nullptr);
    }
    return true;
}

}  // namespace

void CatchInterrupts() {
    StartCatchingInterrupts();
    static const bool installed = InstallEndingHandlers();
    (void)installed;
}

namespace {

/// Keeps path in the table, the handlers installed at the first call; the
/// slot to forget it by, or -1 when the table is full or the path too long
/// (the file may then stay after an ending signal).
int KeepTemporaryName(const std::string& path) {
    static const bool installed = InstallEndingHandlers();
    (void)installed;
    if (path.size() >= sizeof(TemporarySlot::path)) return -1;
    for (TemporarySlot& slot : temporary_slots) {
        int free = TemporarySlot::kFree;
        if (!slot.state.compare_exchange_strong(free, TemporarySlot::kFilling)) continue;
        path.copy(slot.path, path.size());
        slot.path[path.size()] = '\0';
        slot.state.store(TemporarySlot::kHeld, std::memory_order_release);
        return static_cast<int>(&slot - temporary_slots);
    }
    return -1;
}

/// Forgets the name kept in slot (-1 is ignored).
void ForgetTemporaryName(int slot) {
    if (slot >= 0) {
        temporary_slots[slot].state.store(TemporarySlot::kFree, std::memory_order_release);
    }
}

/// Six characters for a temporary name, different on every call.
std::string RandomSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // splitmix64 of the time, the process and a count.
    std::uint64_t x = static_cast<std::uint64_t>(now.tv_nsec) ^
                      (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                      (static_cast<std::uint64_t>(::getpid()) << 40) ^
                      (counter.fetch_add(1) * 0x9E3779B97F4A7C15u);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, ' ');
    for (char& c : suffix) {
        c = kLetters[x % 62];
        x /= 62;
    }
    return suffix;
}

/// Tries fresh names prefix + six characters until make(name) succeeds, or
/// fails other than with EEXIST. Each name is kept in the table of names
/// before make runs, so that no ending signal, on whichever thread, can come
/// between the file getting the name and the table knowing it. *name and
/// *slot receive the name and its slot. 0 or the errno of the failure.
template <typename Make>
int MakeTemporaryName(const std::string& prefix, Make make, std::string* name, int* slot) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = prefix + RandomSuffix();
        const int kept = KeepTemporaryName(candidate);
        if (make(candidate.c_str())) {
            *name = std::move(candidate);
            *slot = kept;
            return 0;
        }
        const int err = errno;
        ForgetTemporaryName(kept);
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

/// Output that replaces a regular file, or creates a new one, atomically:
/// written into a temporary file beside it that Commit renames over it. The
/// temporary file is unnamed until just before the rename where the file
/// system allows, so that nothing is left of it when the program dies; a
/// named one is removed on the ending signals.
class ReplacingOutput final : public OutputFile {
public:
    /// fd is open on the temporary file: an unnamed one when temp is empty,
    /// else the one named temp, kept in slot of the table of names. prefix starts
    /// the name an unnamed file is given. existing holds the status of the
    /// file replaced, null for a new file.
    ReplacingOutput(std::string path, std::string folder, std::string prefix, std::string temp,
                    int slot, int fd, const struct stat* existing)
        : path_(std::move(path)),
          folder_(std::move(folder)),
          prefix_(std::move(prefix)),
          temp_(std::move(temp)),
          slot_(slot),
          fd_(fd),
          new_file_(existing == nullptr) {
        if (existing != nullptr) existing_ = *existing;
    }
    ~ReplacingOutput() override {
        if (fd_ >= 0) ::close(fd_);
        RemoveTemporaryName();
    }
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    bool Write(std::string_view data, std::string* error) override {
        if (failure_ == 0 && !WriteAll(fd_, data)) failure_ = errno;
        if (failure_ != 0) {
            SetError(error, path_, failure_);
            return false;
        }
        Written(data.size());
        return true;
    }

    bool WriteGathered(std::span<const std::string_view> pieces, std::string* error) override {
        if (failure_ == 0 && !WriteAllGathered(fd_, pieces)) failure_ = errno;
        if (failure_ != 0) {
            SetError(error, path_, failure_);
            return false;
        }
        std::size_t size = 0;
        for (const std::string_view piece : pieces) size += piece.size();
        Written(size);
        return true;
    }

    bool Commit(std::string* error) override {
        if (failure_ == 0) failure_ = TakeOverAttributes();
        if (failure_ == 0 && ::fsync(fd_) != 0) failure_ = errno;
        if (failure_ == 0 && temp_.empty()) failure_ = GiveName();
        if (::close(std::exchange(fd_, -1)) != 0 && failure_ == 0) failure_ = errno;
        if (failure_ == 0 && ::rename(temp_.c_str(), path_.c_str()) != 0) failure_ = errno;
        if (failure_ == 0) temp_.clear();  // renamed: nothing to remove
        RemoveTemporaryName();
        if (failure_ != 0) {
            SetError(error, path_, failure_);
            return false;
        }
        FlushFolder();
        return true;
    }

private:
    /// Counts size more bytes written, and starts writing them back to the
    /// disk a step at a time, so that the flush in Commit waits for little.
    void Written(std::size_t size) {
        written_ += static_cast<off_t>(size);
        if (written_ - started_ >= kWritebackStep) {
            // Only advice: the flush in Commit reports any failure.
            (void)::sync_file_range(fd_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
            started_ = written_;
        }
    }

    /// Gives the temporary file the owner, group and permissions of the file
    /// it replaces (the owner and group where the user may set them), or the
    /// ordinary permissions of a new file. 0 or the errno of the failure.
    int TakeOverAttributes() {
        if (new_file_) return ::fchmod(fd_, 0666 & ~CurrentUmask()) == 0 ? 0 : errno;
        // First, since a change of owner clears the set-user-ID and
        // set-group-ID bits. Refused (EPERM) unless the user may give the
        // file to that owner and group; EINVAL for an owner this user
        // namespace cannot name.
        if (::fchown(fd_, existing_.st_uid, existing_.st_gid) != 0 && errno != EPERM &&
            errno != EINVAL) {
            return errno;
        }
        return ::fchmod(fd_, existing_.st_mode & 07777) == 0 ? 0 : errno;
    }

    /// Links the unnamed temporary file under a fresh name beside the
    /// destination (through /proc, which needs no privilege, unlike
    /// AT_EMPTY_PATH). 0 or the errno of the failure.
    int GiveName() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        return MakeTemporaryName(
            prefix_,
            [&self](const char* name) {
                return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0;
            },
            &temp_, &slot_);
    }

    /// Removes the temporary file's name, if it has one, then forgets it.
    void RemoveTemporaryName() {
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
        ForgetTemporaryName(std::exchange(slot_, -1));
    }

    /// Flushes the folder, so that a power cut cannot lose the new name.
    /// Where the folder cannot be read (write permission suffices to save) or
    /// flushed, the save still stands: the destination already shows the new
    /// content, so reporting a failure would say the old one was kept.
    void FlushFolder() {
        int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return;
        (void)::fsync(fd);
        ::close(fd);
    }

    std::string path_;
    std::string folder_;
    std::string prefix_;
    std::string temp_;  // the temporary file's name; empty while unnamed and once renamed
    int slot_;          // where the table of names keeps temp_, or -1
    int fd_;
    bool new_file_;
    struct stat existing_ {};
    int failure_ = 0;  // errno of the first failure
    off_t written_ = 0;
    off_t started_ = 0;  // end of the range last handed to early write-back
};

/// Starts replacing the regular file at path (existing: its status, null when
/// there is none) through a temporary file in its folder, unnamed where
/// asked for and possible.
std::unique_ptr<OutputFile> StartAtomic(const std::string& path, const struct stat* existing,
                                        bool unnamed, std::string* error) {
    const std::size_t slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) {  // a name ending in "/" is a folder's
        SetError(error, path, EISDIR);
        return nullptr;
    }
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash ? slash : 1);
    std::string prefix = path.substr(0, slash + 1) + "." + base.substr(0, 200) + ".";
    if (unnamed) {
        // Where the file system cannot hold unnamed files (EOPNOTSUPP,
        // EISDIR or EINVAL on older systems) or there is no /proc to name
        // them by, a named file does instead; it also reports any real
        // failure, such as a missing folder.
        int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0 && ::access(("/proc/self/fd/" + std::to_string(fd)).c_str(), F_OK) == 0) {
            return std::make_unique<ReplacingOutput>(path, std::move(folder), std::move(prefix), "",
                                                     -1, fd, existing);
        }
        if (fd >= 0) ::close(fd);
    }
    std::string temp;
    int slot = -1;
    int fd = -1;
    const int err = MakeTemporaryName(
        prefix,
        [&fd](const char* name) {
            fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            return fd >= 0;
        },
        &temp, &slot);
    if (err != 0) {
        SetError(error, "cannot create a temporary file in '" + folder + "'", err);
        return nullptr;
    }
    return std::make_unique<ReplacingOutput>(path, std::move(folder), std::move(prefix),
                                             std::move(temp), slot, fd, existing);
}

}  // namespace

std::unique_ptr<OutputFile> PosixFileSystem::StartReplacing(const std::string& path,
                                                            std::string* error) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        SetError(error, path, path.empty() ? ENOENT : EINVAL);
        return nullptr;
    }
    Destination destination;
    if (!FindDestination(path, &destination, error)) return nullptr;
    int fd = -1;
    switch (destination.route) {
        case Destination::kReplace:
            return StartAtomic(destination.path,
                               destination.exists ? &destination.existing : nullptr,
                               unnamed_temporaries_, error);
        case Destination::kDirect:
            fd = ::open(destination.path.c_str(),
                        O_WRONLY | O_CLOEXEC | (destination.append ? O_APPEND : 0));
            break;
        case Destination::kDescriptor:
            // A copy of the descriptor shares its position and its way of
            // writing (appending after ">>"), as the program's own writes would.
            fd = ::fcntl(destination.descriptor, F_DUPFD_CLOEXEC, 0);
            break;
    }
    struct stat info;
    const int err = fd < 0                    ? errno
                    : ::fstat(fd, &info) != 0 ? errno
                    : S_ISDIR(info.st_mode)   ? EISDIR
                                              : 0;
    if (err != 0) {
        if (fd >= 0) ::close(fd);
        SetError(error, path, err);
        return nullptr;
    }
    return std::make_unique<DirectOutput>(fd, path);
}

FileSystem& SystemFileSystem() {
    static PosixFileSystem files;
    return files;
}

}  // namespace dravonix

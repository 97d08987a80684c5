// Files on the Windows API: reading and saving. Paths arrive as UTF-8
// (platform/path_encoding.h) and are opened by their UTF-16 names in the form
// that reaches any length (platform/windows_path.h), always in binary. A new
// or existing file is replaced atomically through a temporary file in its
// folder, which ReplaceFileW (keeping the replaced file's attributes) or
// MoveFileExW puts in place; devices such as NUL are written directly.
//
// Only the interfaces' own headers are included beside <windows.h>, whose
// macros (S_OK, E_FAIL, ...) and types (VARIANT) the project's would clash with.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include "platform/windows_file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/interrupt.h"
#include "platform/windows_path.h"

namespace dravonix {

namespace {

/// Largest piece handed to one ReadFile or WriteFile call (they count in DWORD).
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

/// How often placing a saved file is tried while the system says another
/// program holds a file (virus scanners open freshly closed files), and the
/// first pause between tries, doubled after each (about half a second in all).
constexpr int kPlacementTries = 8;
constexpr unsigned kFirstPause = 5;

/// The name of path for messages: without the "\\?\" that lets it reach any
/// length.
std::string DisplayName(std::wstring_view path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + PathFromWide(path.substr(8));
    if (path.starts_with(L"\\\\?\\")) return PathFromWide(path.substr(4));
    return PathFromWide(path);
}

/// Position just after the folder part of path ("dir\", "C:", "\\"), 0 when
/// the path is a bare name.
std::size_t NameStart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring_view::npos) return separator + 1;
    return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

/// Whether an absolute path names a device rather than a file: anything in
/// the device namespace "\\.\" (where the system puts the names every
/// folder holds, such as NUL and CON) except a drive's files ("\\.\C:\...").
bool IsDevicePath(std::wstring_view path) {
    if (!path.starts_with(L"\\\\.\\")) return false;
    const std::wstring_view rest = path.substr(4);
    return !(rest.size() >= 2 && rest[1] == L':');
}

/// Writes all of data to handle; 0 or the system's error code.
DWORD WriteAll(HANDLE handle, std::string_view data) {
    while (!data.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min(data.size(), kMaxTransfer));
        DWORD written = 0;
        if (!::WriteFile(handle, data.data(), piece, &written, nullptr)) return ::GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;  // no progress and no reason: do not spin
        data.remove_prefix(written);
    }
    return 0;
}

/// Opens path for reading, or INVALID_HANDLE_VALUE with the error in
/// GetLastError. A folder cannot be opened so.
HANDLE OpenToRead(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

/// A file open for reading.
class WindowsReadableFile final : public ReadableFile {
public:
    WindowsReadableFile(HANDLE handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}
    ~WindowsReadableFile() override { ::CloseHandle(handle_); }
    WindowsReadableFile(const WindowsReadableFile&) = delete;
    WindowsReadableFile& operator=(const WindowsReadableFile&) = delete;

    bool Read(char* buffer, std::size_t size, std::size_t* got, std::string* error) override {
        DWORD count = 0;
        *got = 0;
        if (::ReadFile(handle_, buffer, static_cast<DWORD>(std::min(size, kMaxTransfer)), &count,
                       nullptr)) {
            *got = count;
            return true;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return true;  // the end
        SetSystemError(error, path_, code);
        return false;
    }

private:
    HANDLE handle_;
    std::string path_;
};

/// Output written straight into a device (NUL, a console, a pipe), which
/// cannot be replaced.
class DirectOutput final : public OutputFile {
public:
    DirectOutput(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    ~DirectOutput() override {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    DirectOutput(const DirectOutput&) = delete;
    DirectOutput& operator=(const DirectOutput&) = delete;

    bool Write(std::string_view data, std::string* error) override {
        if (failure_ == 0) failure_ = WriteAll(handle_, data);
        if (failure_ != 0) SetSystemError(error, path_, failure_);
        return failure_ == 0;
    }

    bool Commit(std::string* error) override {
        if (!::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) && failure_ == 0) {
            failure_ = ::GetLastError();
        }
        if (failure_ != 0) SetSystemError(error, path_, failure_);
        return failure_ == 0;
    }

private:
    HANDLE handle_;
    std::string path_;
    DWORD failure_ = 0;  // the first failure's error code
};

/// Whether an existing file may be replaced, so that a refusal comes before
/// any work and leaves nothing behind: access is denied to a folder and to a
/// read-only file, as Windows denies it (an emulation of it may let the
/// folder's rights decide instead), and a file that another program holds
/// open without sharing it cannot be replaced. *attributes receives the
/// file's attributes; *device (when wanted) tells whether the name leads to a
/// device rather than a file. 0 or the error code.
DWORD CheckReplaceable(const std::wstring& path, DWORD* attributes_out, bool* device) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ::GetLastError();
    *attributes_out = attributes;
    constexpr DWORD kRefused = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    if ((attributes & kRefused) != 0) return ERROR_ACCESS_DENIED;
    HANDLE probe = ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return ::GetLastError();
    if (device != nullptr) *device = ::GetFileType(probe) != FILE_TYPE_DISK;
    ::CloseHandle(probe);
    return 0;
}

/// Whether a failure to place a file may pass when tried again shortly:
/// another program (a virus scanner, an indexer) has the file open.
bool MayPass(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED ||
           code == ERROR_LOCK_VIOLATION || code == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

/// A slot of the table of temporary files below.
struct TemporarySlot {
    enum State { kFree, kFilling, kHeld };
    std::atomic<int> state{kFree};
    wchar_t path[2048] = {};
};

/// The temporary files being written, which the console's end handler
/// removes. The handler runs on a thread of its own while the program's
/// threads go on, so the table is a fixed array, each slot claimed and
/// published through an atomic. It is zero-initialized at build time: a
/// table filled in at start would touch a page of memory per slot in every run.
constinit TemporarySlot temporary_slots[64];

BOOL WINAPI OnConsoleEnd(DWORD event) { return RemoveTemporariesOnConsoleEnd(event); }

/// Registers the console's end handler, once.
void RegisterConsoleEndHandler() {
    static const bool registered = ::SetConsoleCtrlHandler(OnConsoleEnd, TRUE) != 0;
    (void)registered;
}

/// Keeps path in the table, the console's end handler registered at the first
/// call; the slot to forget it by, or -1 when the table is full or the path
/// too long (the file may then stay after Ctrl+C).
int KeepTemporaryName(const std::wstring& path) {
    RegisterConsoleEndHandler();
    if (path.size() >= sizeof(TemporarySlot::path) / sizeof(wchar_t)) return -1;
    for (TemporarySlot& slot : temporary_slots) {
        int free = TemporarySlot::kFree;
        if (!slot.state.compare_exchange_strong(free, TemporarySlot::kFilling)) continue;
        path.copy(slot.path, path.size());
        slot.path[path.size()] = L'\0';
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

/// Output that replaces a file, or creates a new one, atomically: written
/// into a temporary file in the same folder, which Commit flushes and puts in
/// the destination's place. The temporary file goes on every failure and when
/// the output is dropped uncommitted, except when the destination was lost on
/// the way: then it holds the only copy of the content, and stays.
class ReplacingOutput final : public OutputFile {
public:
    ReplacingOutput(std::string path, std::wstring destination, std::wstring temp, int slot,
                    HANDLE handle, bool existing, const PlacementCalls& calls)
        : path_(std::move(path)),
          destination_(std::move(destination)),
          temp_(std::move(temp)),
          slot_(slot),
          handle_(handle),
          existing_(existing),
          calls_(calls) {}
    ~ReplacingOutput() override {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        RemoveTemporary();
    }
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    bool Write(std::string_view data, std::string* error) override {
        if (failure_ == 0) failure_ = WriteAll(handle_, data);
        if (failure_ != 0) SetSystemError(error, path_, failure_);
        return failure_ == 0;
    }

    bool Commit(std::string* error) override {
        if (failure_ == 0 && !::FlushFileBuffers(handle_)) failure_ = ::GetLastError();
        // Closed first: the file must not be open while it takes the place.
        if (!::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) && failure_ == 0) {
            failure_ = ::GetLastError();
        }
        DWORD attributes = 0;
        if (failure_ == 0 && existing_) {
            failure_ = CheckReplaceable(destination_, &attributes, nullptr);
            if (failure_ == ERROR_FILE_NOT_FOUND) {  // removed meanwhile: made anew
                existing_ = false;
                failure_ = 0;
            }
            // ReplaceFileW carries these over too, but not every emulation of it.
            constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
            if (failure_ == 0 && (attributes & kKept) != 0) {
                (void)::SetFileAttributesW(temp_.c_str(), attributes & kKept);
            }
        }
        if (failure_ == 0) failure_ = Place();
        if (failure_ == 0) {
            temp_.clear();  // in place: nothing to remove
        } else if (existing_ &&
                   ::GetFileAttributesW(destination_.c_str()) == INVALID_FILE_ATTRIBUTES &&
                   ::GetLastError() == ERROR_FILE_NOT_FOUND) {
            // The old content went and the new one did not take its place:
            // the temporary file is all there is, and stays.
            SetSystemError(error, path_, failure_);
            if (error != nullptr) {
                error->append(" (the new content is kept in '").append(DisplayName(temp_));
                error->append("')");
            }
            temp_.clear();
            ForgetTemporaryName(std::exchange(slot_, -1));
            return false;
        }
        RemoveTemporary();
        if (failure_ != 0) SetSystemError(error, path_, failure_);
        return failure_ == 0;
    }

private:
    /// Puts the temporary file in the destination's place, trying again for a
    /// while when another program holds one of them. 0 or the error code.
    DWORD Place() {
        DWORD code = 0;
        for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
            if (attempt > 0) calls_.pause(kFirstPause << (attempt - 1));
            code = existing_ ? calls_.replace(destination_.c_str(), temp_.c_str())
                             : calls_.move(temp_.c_str(), destination_.c_str(), false);
            if (code == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                code == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
                // The replaced file has left its name (ReplaceFileW without a
                // backup name) and the new content is still under the
                // temporary name: a plain move finishes the work.
                return MoveIntoPlace();
            }
            if (code == 0 || !MayPass(code)) return code;
        }
        return code;
    }

    /// Moves the temporary file to the destination's name, over whatever
    /// took it meanwhile, with the same tries. 0 or the error code.
    DWORD MoveIntoPlace() {
        DWORD code = 0;
        for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
            if (attempt > 0) calls_.pause(kFirstPause << (attempt - 1));
            code = calls_.move(temp_.c_str(), destination_.c_str(), true);
            if (code == 0 || !MayPass(code)) return code;
        }
        return code;
    }

    /// Removes the temporary file, if there still is one, then forgets it.
    void RemoveTemporary() {
        if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
        temp_.clear();
        ForgetTemporaryName(std::exchange(slot_, -1));
    }

    std::string path_;          // as given, for messages
    std::wstring destination_;  // the file replaced or created
    std::wstring temp_;         // the temporary file; empty once gone or in place
    int slot_;                  // where the table of names keeps temp_, or -1
    HANDLE handle_;
    bool existing_;
    PlacementCalls calls_;
    DWORD failure_ = 0;  // the first failure's error code
};

/// Six characters for a temporary name, different on every call.
std::wstring RandomSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    // splitmix64 of the time, the process and a count.
    std::uint64_t x = static_cast<std::uint64_t>(now.QuadPart) ^
                      (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 40) ^
                      (counter.fetch_add(1) * 0x9E3779B97F4A7C15u);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    x ^= x >> 31;
    constexpr wchar_t kLetters[] =
        L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring suffix(6, L' ');
    for (wchar_t& c : suffix) {
        c = kLetters[x % 62];
        x /= 62;
    }
    return suffix;
}

/// Starts replacing the file destination (existing: whether it exists)
/// through a new temporary file beside it. The file is shared for deletion,
/// so that the console's end handler can remove it while it is being
/// written.
std::unique_ptr<OutputFile> StartAtomic(const std::string& path, std::wstring destination,
                                        bool existing, const PlacementCalls& calls,
                                        std::string* error) {
    const std::size_t start = NameStart(destination);
    const std::wstring base = destination.substr(start);
    if (base.empty()) {  // a name ending in a separator is a folder's
        SetSystemError(error, path, ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::wstring prefix = destination.substr(0, start);
    prefix.append(L".").append(base, 0, 200).append(L".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring temp = prefix;
        temp.append(RandomSuffix());
        const int slot = KeepTemporaryName(temp);
        HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return std::make_unique<ReplacingOutput>(path, std::move(destination), std::move(temp),
                                                     slot, handle, existing, calls);
        }
        const DWORD code = ::GetLastError();
        ForgetTemporaryName(slot);
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            const std::wstring folder = start == 0 ? L"." : destination.substr(0, start);
            SetSystemError(error, "cannot create a temporary file in '" + DisplayName(folder) + "'",
                           code);
            return nullptr;
        }
    }
    SetSystemError(error, path, ERROR_FILE_EXISTS);
    return nullptr;
}

/// Opens a device for writing into it directly.
std::unique_ptr<OutputFile> StartDirect(const std::string& path, const std::wstring& device,
                                        std::string* error) {
    HANDLE handle = ::CreateFileW(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetSystemError(error, path, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<DirectOutput>(handle, path);
}

/// The final path of what handle is open on, in the "\\?\" form; empty when
/// the system cannot tell.
std::wstring FinalPath(HANDLE handle) {
    std::wstring target(MAX_PATH, L'\0');
    DWORD size =
        ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()), 0);
    if (size >= target.size()) {
        target.resize(size);
        size = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                           0);
    }
    if (size == 0 || size >= target.size()) return L"";
    target.resize(size);
    return target;
}

/// The file a symbolic link (or other name surrogate) finally names, in the
/// "\\?\" form; path itself when it is no link or its target is missing.
std::wstring FollowLinks(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    HANDLE handle =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return path;
    std::wstring target = FinalPath(handle);
    ::CloseHandle(handle);
    return target.empty() ? path : target;
}

DWORD SystemReplace(const wchar_t* destination, const wchar_t* replacement) {
    // ReplaceFileW gives the new file the replaced one's attributes, security
    // and creation time; where those cannot be carried over, the content
    // still is.
    const BOOL done = ::ReplaceFileW(
        destination, replacement, nullptr,
        REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr);
    return done ? 0 : ::GetLastError();
}

DWORD SystemMove(const wchar_t* from, const wchar_t* to, bool replace_existing) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace_existing ? MOVEFILE_REPLACE_EXISTING : 0);
    return ::MoveFileExW(from, to, flags) ? 0 : ::GetLastError();
}

void SystemPause(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace

PlacementCalls SystemPlacementCalls() { return {SystemReplace, SystemMove, SystemPause}; }

void CatchInterrupts() {
    StartCatchingInterrupts();
    RegisterConsoleEndHandler();
}

bool RemoveTemporariesOnConsoleEnd(unsigned long event) {
    if ((event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) && TakeInterrupt()) return true;
    for (const TemporarySlot& slot : temporary_slots) {
        if (slot.state.load(std::memory_order_acquire) == TemporarySlot::kHeld) {
            ::DeleteFileW(slot.path);  // open but shared for deletion: gone when closed
        }
    }
    return false;
}

std::unique_ptr<ReadableFile> WindowsFileSystem::OpenForReading(const std::string& path,
                                                                std::string* error) {
    std::wstring wide;
    if (!SystemPath(path, &wide, error)) return nullptr;
    HANDLE handle = OpenToRead(wide);
    if (handle == INVALID_HANDLE_VALUE) {  // a folder among them: access is denied
        SetSystemError(error, path, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<WindowsReadableFile>(handle, path);
}

bool WindowsFileSystem::ReadStartOfFile(const std::string& path, std::size_t limit,
                                        std::string* bytes) {
    std::wstring wide;
    if (!SystemPath(path, &wide, nullptr) || IsDevicePath(wide)) return false;
    // A folder cannot be opened without backup semantics; a device opens but
    // is no disk file, and is closed unread.
    HANDLE handle = OpenToRead(wide);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool ok = ::GetFileType(handle) == FILE_TYPE_DISK;
    if (ok) {
        bytes->assign(limit, '\0');
        std::size_t filled = 0;
        while (filled < limit) {
            DWORD got = 0;
            const DWORD piece = static_cast<DWORD>(std::min(limit - filled, kMaxTransfer));
            if (!::ReadFile(handle, bytes->data() + filled, piece, &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0) break;
            filled += got;
        }
        bytes->resize(filled);
    }
    ::CloseHandle(handle);
    return ok;
}

ReadOutcome WindowsFileSystem::ReadWholeFile(const std::string& path, std::size_t limit,
                                             std::string* bytes, std::string* error) {
    bytes->clear();
    std::wstring wide;
    if (!SystemPath(path, &wide, error)) return ReadOutcome::kCannotOpen;
    // Devices and pipes are never opened; a folder is told by its attributes.
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (IsDevicePath(wide) ||
        (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)) {
        if (error != nullptr) *error = NotAFileReason(path);
        return ReadOutcome::kNotAFile;
    }
    HANDLE handle = OpenToRead(wide);
    if (handle == INVALID_HANDLE_VALUE) {
        SetSystemError(error, path, ::GetLastError());
        return ReadOutcome::kCannotOpen;
    }
    WindowsReadableFile file(handle, path);
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        if (error != nullptr) *error = NotAFileReason(path);
        return ReadOutcome::kNotAFile;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) {
        SetSystemError(error, path, ::GetLastError());
        return ReadOutcome::kFailed;
    }
    const std::uint64_t known = static_cast<std::uint64_t>(size.QuadPart);
    const std::size_t hint = known > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(known);
    return ReadToEnd(file, path, hint, limit, bytes, error);
}

std::unique_ptr<OutputFile> WindowsFileSystem::StartReplacing(const std::string& path,
                                                              std::string* error) {
    // Absolute, so that the temporary file and the destination are named
    // alike (some systems' ReplaceFileW wants a folder in the name); a
    // device's name becomes "\\.\NAME", which is written into.
    std::wstring full;
    if (!SystemPath(path, &full, error)) return nullptr;
    if (IsDevicePath(full)) return StartDirect(path, full, error);
    std::wstring destination = FollowLinks(full);
    DWORD attributes = 0;
    bool device = false;
    const DWORD code = CheckReplaceable(destination, &attributes, &device);
    if (code == ERROR_FILE_NOT_FOUND) {
        return StartAtomic(path, std::move(destination), false, calls_, error);
    }
    if (code != 0) {
        SetSystemError(error, path, code);  // a missing folder among them
        return nullptr;
    }
    if (device) return StartDirect(path, destination, error);
    return StartAtomic(path, std::move(destination), true, calls_, error);
}

FileSystem& SystemFileSystem() {
    static WindowsFileSystem files;
    return files;
}

}  // namespace dravonix

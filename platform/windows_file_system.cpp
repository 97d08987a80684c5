// Files on the Windows API. Paths arrive as UTF-8 (platform/path_encoding.h)
// and are opened by their UTF-16 names, always in binary. A new or existing
// file is replaced atomically through a temporary file in its folder, which
// ReplaceFileW (keeping the replaced file's attributes) or MoveFileExW puts
// in place; devices such as NUL are written directly.
//
// Only the interfaces' own headers are included beside <windows.h>, whose
// macros (S_OK, E_FAIL, ...) and types (VARIANT) the project's would clash with.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.h"
#include "platform/path_encoding.h"

namespace dravonix {

namespace {

/// Largest piece handed to one ReadFile or WriteFile call (they count in DWORD).
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::string Narrow(std::wstring_view text) {
    return PathFromUtf16(std::u16string(text.begin(), text.end()));
}

/// The system's text for code, without the line end it comes with.
std::string SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD size = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = size != 0 && buffer != nullptr ? Narrow({buffer, size}) : "";
    if (buffer != nullptr) ::LocalFree(buffer);
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text.empty() ? "system error " + std::to_string(code) : text;
}

/// Sets *error (when wanted) to "context: the system's text for code".
void SetError(std::string* error, std::string_view context, DWORD code) {
    if (error == nullptr) return;
    error->assign(context);
    error->append(": ").append(SystemMessage(code));
}

/// The UTF-16 name of path; false with the reason in *error when the bytes
/// name no file (not UTF-8, or a NUL inside).
bool ToWide(const std::string& path, std::wstring* wide, std::string* error) {
    std::u16string units;
    if (path.find('\0') != std::string::npos || !PathToUtf16(path, &units)) {
        SetError(error, path, ERROR_INVALID_NAME);
        return false;
    }
    *wide = Wide(units);
    return true;
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
        SetError(error, path_, code);
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
        if (failure_ != 0) SetError(error, path_, failure_);
        return failure_ == 0;
    }

    bool Commit(std::string* error) override {
        if (!::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) && failure_ == 0) {
            failure_ = ::GetLastError();
        }
        if (failure_ != 0) SetError(error, path_, failure_);
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

/// Output that replaces a file, or creates a new one, atomically: written
/// into a temporary file in the same folder, which Commit flushes and puts in
/// the destination's place. The temporary file goes on every failure and when
/// the output is dropped uncommitted.
class ReplacingOutput final : public OutputFile {
public:
    ReplacingOutput(std::string path, std::wstring destination, std::wstring temp, HANDLE handle,
                    bool existing)
        : path_(std::move(path)),
          destination_(std::move(destination)),
          temp_(std::move(temp)),
          handle_(handle),
          existing_(existing) {}
    ~ReplacingOutput() override {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
    }
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    bool Write(std::string_view data, std::string* error) override {
        if (failure_ == 0) failure_ = WriteAll(handle_, data);
        if (failure_ != 0) SetError(error, path_, failure_);
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
            // ReplaceFileW carries these over too, but not every emulation of it.
            constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
            if (failure_ == 0 && (attributes & kKept) != 0) {
                (void)::SetFileAttributesW(temp_.c_str(), attributes & kKept);
            }
        }
        if (failure_ == 0) {
            // ReplaceFileW gives the new file the replaced one's attributes,
            // security and creation time; where those cannot be carried over,
            // the content still is.
            const BOOL placed =
                existing_
                    ? ::ReplaceFileW(
                          destination_.c_str(), temp_.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                          nullptr)
                    : ::MoveFileExW(temp_.c_str(), destination_.c_str(), MOVEFILE_WRITE_THROUGH);
            if (placed) {
                temp_.clear();
            } else {
                failure_ = ::GetLastError();
            }
        }
        if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
        temp_.clear();
        if (failure_ != 0) SetError(error, path_, failure_);
        return failure_ == 0;
    }

private:
    std::string path_;          // as given, for messages
    std::wstring destination_;  // the file replaced or created
    std::wstring temp_;         // the temporary file; empty once gone or in place
    HANDLE handle_;
    bool existing_;
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
/// through a new temporary file beside it.
std::unique_ptr<OutputFile> StartAtomic(const std::string& path, std::wstring destination,
                                        bool existing, std::string* error) {
    const std::size_t start = NameStart(destination);
    const std::wstring base = destination.substr(start);
    if (base.empty()) {  // a name ending in a separator is a folder's
        SetError(error, path, ERROR_ACCESS_DENIED);
        return nullptr;
    }
    std::wstring prefix = destination.substr(0, start);
    prefix.append(L".").append(base, 0, 200).append(L".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring temp = prefix;
        temp.append(RandomSuffix());
        HANDLE handle = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return std::make_unique<ReplacingOutput>(path, std::move(destination), std::move(temp),
                                                     handle, existing);
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            const std::wstring folder = start == 0 ? L"." : destination.substr(0, start);
            SetError(error, "cannot create a temporary file in '" + Narrow(folder) + "'", code);
            return nullptr;
        }
    }
    SetError(error, path, ERROR_FILE_EXISTS);
    return nullptr;
}

/// Opens a device for writing into it directly.
std::unique_ptr<OutputFile> StartDirect(const std::string& path, const std::wstring& device,
                                        std::string* error) {
    HANDLE handle = ::CreateFileW(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetError(error, path, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<DirectOutput>(handle, path);
}

/// The absolute form of path (in the current folder and drive when it is
/// relative), or path itself when the system cannot make one.
std::wstring FullPath(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD size =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size >= full.size()) {
        full.resize(size);
        size =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (size == 0 || size >= full.size()) return path;
    full.resize(size);
    return full;
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
    std::wstring target(MAX_PATH, L'\0');
    DWORD size =
        ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()), 0);
    if (size >= target.size()) {
        target.resize(size);
        size = ::GetFinalPathNameByHandleW(handle, target.data(), static_cast<DWORD>(target.size()),
                                           0);
    }
    ::CloseHandle(handle);
    if (size == 0 || size >= target.size()) return path;
    target.resize(size);
    return target;
}

class WindowsFileSystem final : public FileSystem {
public:
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path,
                                                 std::string* error) override;
    bool ReadStartOfFile(const std::string& path, std::size_t limit, std::string* bytes) override;
    std::unique_ptr<OutputFile> StartReplacing(const std::string& path,
                                               std::string* error) override;
};

std::unique_ptr<ReadableFile> WindowsFileSystem::OpenForReading(const std::string& path,
                                                                std::string* error) {
    std::wstring wide;
    if (!ToWide(path, &wide, error)) return nullptr;
    HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {  // a folder among them: access is denied
        SetError(error, path, ::GetLastError());
        return nullptr;
    }
    return std::make_unique<WindowsReadableFile>(handle, path);
}

bool WindowsFileSystem::ReadStartOfFile(const std::string& path, std::size_t limit,
                                        std::string* bytes) {
    std::wstring wide;
    if (!ToWide(path, &wide, nullptr)) return false;
    // A folder cannot be opened without backup semantics; a device (NUL, CON)
    // opens but is no disk file, and is closed unread.
    HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

std::unique_ptr<OutputFile> WindowsFileSystem::StartReplacing(const std::string& path,
                                                              std::string* error) {
    if (path.empty()) {
        SetError(error, path, ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    std::wstring wide;
    if (!ToWide(path, &wide, error)) return nullptr;
    // Absolute, so that the temporary file and the destination are named
    // alike (some systems' ReplaceFileW wants a folder in the name); a
    // device's name becomes "\\.\NAME".
    const std::wstring full = FullPath(wide);
    if (IsDevicePath(full)) return StartDirect(path, full, error);
    std::wstring destination = FollowLinks(full);
    DWORD attributes = 0;
    bool device = false;
    const DWORD code = CheckReplaceable(destination, &attributes, &device);
    if (code == ERROR_FILE_NOT_FOUND)
        return StartAtomic(path, std::move(destination), false, error);
    if (code != 0) {
        SetError(error, path, code);  // a missing folder among them
        return nullptr;
    }
    if (device) return StartDirect(path, destination, error);
    return StartAtomic(path, std::move(destination), true, error);
}

}  // namespace

FileSystem& SystemFileSystem() {
    static WindowsFileSystem files;
    return files;
}

}  // namespace dravonix

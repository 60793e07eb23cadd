#include "ground/files.hpp"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace compattatore {

namespace fs = std::filesystem;

file_error::file_error(fs::path path, std::string action, std::string reason)
    : std::runtime_error("cannot " + action + " " + path.string() + ": " + reason),
      path_(std::move(path)),
      action_(std::move(action)),
      reason_(std::move(reason)) {}

namespace {

std::string errno_text(int err) {
    return std::generic_category().message(err);
}

// A name in the target's directory that no other run is likely to pick. A long final name is cut
// in the temporary name so that the temporary name is never longer than the final one may be.
fs::path temporary_name_for(const fs::path& path) {
    static thread_local std::minstd_rand rng{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".tmp-%08x", static_cast<unsigned>(rng()));
    const std::string final_name = path.filename().string();
    const std::size_t room = longest_file_name - 1 - std::char_traits<char>::length(suffix);
    std::string name = ".";
    name += final_name.substr(0, room);
    name += suffix;
    fs::path tmp = path;
    tmp.replace_filename(name);
    return tmp;
}

std::FILE* create_exclusive(const fs::path& tmp) {
#ifdef _WIN32
    // The C runtime every Windows has does not know fopen's "x" mode: create exclusively by hand.
    const int fd =
        _wopen(tmp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd == -1) return nullptr;
    std::FILE* f = _wfdopen(fd, L"wb");
    if (f == nullptr) {
        const int err = errno;
        _close(fd);
        errno = err;
    }
    return f;
#else
    return std::fopen(tmp.c_str(), "wbx");
#endif
}

// Pushes a written file's bytes to the disk. Returns 0 or the system's error number.
int flush_to_disk(std::FILE* f) {
#ifdef _WIN32
    const auto h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    return FlushFileBuffers(h) ? 0 : EIO;
#else
    return fsync(fileno(f)) == 0 ? 0 : errno;
#endif
}

// Makes a rename in the folder survive a power cut. Windows commits the rename with the file
// system's journal and has no folder flush; a file system that cannot flush a folder (EINVAL)
// gives no stronger promise either way.
int flush_folder(const fs::path& folder) {
#ifdef _WIN32
    (void)folder;
    return 0;
#else
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int err = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return err;
#endif
}

// Writes, flushes and closes; returns 0 or the first error number met.
int write_whole(std::FILE* f, std::string_view bytes) {
    const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    int err = written != bytes.size() ? (errno != 0 ? errno : EIO) : 0;
    if (std::fflush(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    if (err == 0) err = flush_to_disk(f);
    if (std::fclose(f) != 0 && err == 0) err = errno != 0 ? errno : EIO;
    return err;
}

}  // namespace

void require_replaceable(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(path, ec);
    if (ec || !fs::exists(st) || fs::is_regular_file(st) || fs::is_symlink(st)) return;
    throw file_error(path, "write",
                     fs::is_directory(st) ? errno_text(EISDIR) : "not a regular file");
}

void replace_file(const fs::path& path, std::string_view bytes) {
    require_replaceable(path);
    const fs::path tmp = temporary_name_for(path);
    std::FILE* f = create_exclusive(tmp);
    if (f == nullptr) {
        // Report the file the user asked for: the temporary name means nothing to them.
        throw file_error(path, "write", errno_text(errno));
    }
    errno = 0;
    if (const int err = write_whole(f, bytes); err != 0) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw file_error(path, "write", errno_text(err));
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw file_error(path, "write", ec.message());
    }
    if (const int err = flush_folder(path.parent_path()); err != 0) {
        throw file_error(path, "write", errno_text(err));
    }
}

std::optional<std::string> read_file(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) {
        if (ec && ec != std::errc::no_such_file_or_directory) {
            throw file_error(path, "read", ec.message());
        }
        return std::nullopt;
    }
    if (fs::is_directory(st)) throw file_error(path, "read", errno_text(EISDIR));
#ifdef _WIN32
    std::FILE* f = _wfopen(path.c_str(), L"rb");
#else
    std::FILE* f = std::fopen(path.c_str(), "rb");
#endif
    if (f == nullptr) throw file_error(path, "read", errno_text(errno != 0 ? errno : EIO));
    // The size of a regular file is only a hint: a pipe or device has none, and a file may grow.
    std::string bytes;
    if (fs::is_regular_file(st)) bytes.reserve(static_cast<std::size_t>(fs::file_size(path, ec)));
    char chunk[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) throw file_error(path, "read", errno_text(err != 0 ? err : EIO));
    return bytes;
}

void delete_file(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        throw file_error(path, "delete", ec.message());
    }
}

#ifdef _WIN32

// Windows cannot lock a folder itself: the lock is a hidden file inside it that nobody else may
// open while it is held and that goes when the handle closes, also when the process dies.
folder_lock::folder_lock(const fs::path& folder) {
    const fs::path lock_path = folder / L".compattatore.lock";
    // Access is denied for a moment while the last holder's file is being deleted; for longer,
    // the folder is not ours to lock.
    for (int denied = 0;;) {
        HANDLE h =
            CreateFileW(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(h);
            return;
        }
        const DWORD err = GetLastError();
        const bool wait =
            err == ERROR_SHARING_VIOLATION || (err == ERROR_ACCESS_DENIED && ++denied < 100);
        if (!wait) {
            throw file_error(folder, "lock", std::system_category().message(static_cast<int>(err)));
        }
        Sleep(20);
    }
}

folder_lock::~folder_lock() {
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

#else

folder_lock::folder_lock(const fs::path& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw file_error(folder, "lock", errno_text(errno));
    while (flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        close(fd);
        throw file_error(folder, "lock", errno_text(err));
    }
    handle_ = fd;
}

folder_lock::~folder_lock() {
    close(static_cast<int>(handle_));
}

#endif

}  // namespace compattatore

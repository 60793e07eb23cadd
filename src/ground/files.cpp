#include "ground/files.hpp"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace compattatore {

namespace fs = std::filesystem;

file_error::file_error(fs::path path, std::string action, std::string reason)
    : std::runtime_error("cannot " + action + " " + path.string() + ": " + reason),
      path_(std::move(path)),
      action_(std::move(action)),
      reason_(std::move(reason)) {}

namespace {

std::string errno_text(int err) { return std::generic_category().message(err); }

// A name in the target's directory that no other run is likely to pick.
fs::path temporary_name_for(const fs::path& path) {
    static thread_local std::minstd_rand rng{std::random_device{}()};
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", static_cast<unsigned>(rng()));
    std::string name = ".";
    name += path.filename().string();
    name += ".tmp-";
    name += suffix;
    fs::path tmp = path;
    tmp.replace_filename(name);
    return tmp;
}

}  // namespace

void replace_file(const fs::path& path, std::string_view bytes) {
    const fs::path tmp = temporary_name_for(path);
    std::FILE* f = nullptr;
#ifdef _WIN32
    // The C runtime every Windows has does not know fopen's "x" mode: create exclusively by hand.
    const int fd = _wopen(tmp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
    if (fd != -1) {
        f = _wfdopen(fd, L"wb");
        if (f == nullptr) {
            const int err = errno;
            _close(fd);
            errno = err;
        }
    }
#else
    f = std::fopen(tmp.c_str(), "wbx");
#endif
    if (f == nullptr) {
        // Report the file the user asked for: the temporary name means nothing to them.
        throw file_error(path, "write", errno_text(errno));
    }
    const std::size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), f);
    const int write_errno = errno;
    const bool flushed = std::fflush(f) == 0;
    const int flush_errno = errno;
    const bool closed = std::fclose(f) == 0;
    const int close_errno = errno;
    if (written != bytes.size() || !flushed || !closed) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        const int err = written != bytes.size() ? write_errno : !flushed ? flush_errno : close_errno;
        throw file_error(path, "write", errno_text(err != 0 ? err : EIO));
    }
    std::error_code ec;
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        throw file_error(path, "write", ec.message());
    }
}

std::optional<std::string> read_file(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory) {
            throw file_error(path, "read", ec.message());
        }
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw file_error(path, "read", errno_text(errno != 0 ? errno : EIO));
    std::string bytes;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.seekg(0, std::ios::beg);
        in.read(bytes.data(), size);
    }
    if (in.bad() || (size > 0 && !in)) {
        throw file_error(path, "read", errno_text(errno != 0 ? errno : EIO));
    }
    return bytes;
}

void delete_file(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) {
        throw file_error(path, "delete", ec.message());
    }
}

}  // namespace compattatore

#pragma once
// Whole-file replacement that never leaves a half-written file: the bytes go to a temporary file
// in the same directory, which is flushed to the disk and then renamed over the final name, and
// the directory is flushed after the rename, so a power cut leaves the earlier file or the
// complete new one. A failure removes the temporary file and leaves any earlier file of that
// name as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace compattatore {

// A file could not be written, read or deleted. Carries the path and the system's reason so the
// run can report it in one line.
class file_error : public std::runtime_error {
  public:
    file_error(std::filesystem::path path, std::string action, std::string reason);
    const std::filesystem::path& path() const { return path_; }
    const std::string& action() const { return action_; }
    const std::string& reason() const { return reason_; }

  private:
    std::filesystem::path path_;
    std::string action_;
    std::string reason_;
};

// The longest file name, in bytes, that the file systems the program meets allow.
inline constexpr std::size_t longest_file_name = 255;

// Throws file_error (action "write") when something other than a regular file stands at path:
// a folder ("Is a directory"), a device or a pipe ("not a regular file"). Nothing, a regular
// file or a link is fine: renaming over a link replaces the link.
void require_replaceable(const std::filesystem::path& path);

// Replaces the file at path with exactly these bytes. Only a regular file (or nothing) may
// stand at path: a folder, device or pipe there is refused and left as it is.
void replace_file(const std::filesystem::path& path, std::string_view bytes);

// The whole file, or nullopt when there is no file at path. Reads to the end of the stream, so
// pipes and devices give what they hold; one copy of the bytes is kept. Throws file_error when
// the path exists but cannot be read (a folder among others).
std::optional<std::string> read_file(const std::filesystem::path& path);

// Holds a folder for as long as it lives: another holder of the same folder, in this process or
// another, waits until this one is released. The system releases it when the process dies, so a
// killed run never leaves the folder held. Throws file_error when the folder cannot be held.
class folder_lock {
  public:
    explicit folder_lock(const std::filesystem::path& folder);
    ~folder_lock();
    folder_lock(const folder_lock&) = delete;
    folder_lock& operator=(const folder_lock&) = delete;

  private:
    std::intptr_t handle_;
};

// Deletes the file when it exists. Throws file_error when it exists and cannot be deleted.
void delete_file(const std::filesystem::path& path);

}  // namespace compattatore

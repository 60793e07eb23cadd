#pragma once
// Whole-file replacement that never leaves a half-written file: the bytes go to a temporary file
// in the same directory, which is then renamed over the final name. A failure removes the
// temporary file and leaves any earlier file of that name as it was.

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

// Replaces the file at path with exactly these bytes.
void replace_file(const std::filesystem::path& path, std::string_view bytes);

// The whole file, or nullopt when there is no file at path. Throws file_error when the file
// exists but cannot be read.
std::optional<std::string> read_file(const std::filesystem::path& path);

// Deletes the file when it exists. Throws file_error when it exists and cannot be deleted.
void delete_file(const std::filesystem::path& path);

}  // namespace compattatore

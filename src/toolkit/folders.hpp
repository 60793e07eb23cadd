#pragma once
// The commands' files: checks made before a command starts work, so a bad path gives one clear
// line and exit 2 instead of a failure halfway through; and how a command names what it wrote.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace compattatore {

// Why files cannot be written into dir, or nullopt when they can.
std::optional<std::string> output_folder_problem(const std::filesystem::path& dir);

// The file's bytes; nullopt when there is no file at path. Throws file_error when something is
// there but cannot be read (a folder, no permission).
std::optional<std::string> read_input(const std::filesystem::path& path);

// Writes "compattatore: <line>" and returns the status of usage and file problems.
int refuse(std::ostream& err, const std::string& line);

// How a command names a file it wrote: "out/plan.svg (4096 bytes)".
std::string written_text(const std::filesystem::path& path, std::uintmax_t bytes);

}  // namespace compattatore

#pragma once
// Paths from text the program was given in UTF-8 (command lines, names). A path built from a
// plain string takes the bytes in the system's narrow encoding, which on Windows is the ANSI code
// page and not UTF-8: a folder named "Città" would become another name there.

#include <filesystem>
#include <string>
#include <string_view>

namespace compattatore {

inline std::filesystem::path path_from_utf8(std::string_view utf8) {
#ifdef _WIN32
    // Throws filesystem_error when the bytes are not UTF-8.
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return std::filesystem::path(utf8);
#endif
}

}  // namespace compattatore

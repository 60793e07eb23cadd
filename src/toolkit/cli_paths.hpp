#pragma once
// Path options of the command line are UTF-8 on every system: CLI11 would assign the argument's
// bytes to the path as they are, which Windows reads in its ANSI code page. Include after
// <CLI/CLI.hpp> and before any option is added.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>
#include <string>

#include "ground/utf8_path.hpp"

namespace CLI::detail {

static_assert(classify_object<std::filesystem::path>::value == object_category::string_assignable);
static_assert(classify_object<std::optional<std::filesystem::path>>::value ==
              object_category::string_assignable);

template <>
inline bool lexical_cast<std::filesystem::path>(const std::string& input,
                                                std::filesystem::path& output) {
    output = compattatore::path_from_utf8(input);
    return true;
}

template <>
inline bool lexical_cast<std::optional<std::filesystem::path>>(
    const std::string& input, std::optional<std::filesystem::path>& output) {
    output = compattatore::path_from_utf8(input);
    return true;
}

}  // namespace CLI::detail

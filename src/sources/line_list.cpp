#include "sources/line_list.hpp"

#include <algorithm>
#include <stdexcept>

#include "ground/files.hpp"

namespace compattatore {

namespace {

// Index of the sentinel; a list that breaks the list's limits is a fault of the program that
// built it, never of the data.
std::size_t sentinel_index(const std::vector<std::string>& list) {
    if (list.size() > line_list_capacity) {
        throw std::length_error("line list holds " + std::to_string(list.size()) +
                                " entries, more than its capacity of " +
                                std::to_string(line_list_capacity));
    }
    const auto end = std::find(list.begin(), list.end(), end_sentinel);
    if (end == list.end()) throw std::length_error("line list has no end sentinel");
    return static_cast<std::size_t>(end - list.begin());
}

}  // namespace

std::string line_list_bytes(const std::vector<std::string>& list) {
    const std::size_t count = sentinel_index(list);
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i) size += list[i].size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (std::size_t i = 0; i < count; ++i) {
        bytes += list[i];
        bytes += "\r\n";
    }
    return bytes;
}

std::int32_t write_line_list(const std::filesystem::path& path,
                             const std::vector<std::string>& list) {
    const auto count = static_cast<std::int32_t>(sentinel_index(list));
    replace_file(path, line_list_bytes(list));
    return count;
}

}  // namespace compattatore

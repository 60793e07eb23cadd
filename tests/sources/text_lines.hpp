#pragma once
// Helpers for tests that look at the text files line by line.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore::testing {

// The lines of a CR LF file; an unterminated tail, if any, is returned as a last line.
inline std::vector<std::string> split_crlf(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) break;
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

// The lines of a writer's list up to its sentinel.
inline std::vector<std::string> before_sentinel(std::vector<std::string> list) {
    const auto end = std::find(list.begin(), list.end(), "riferimento fine del file");
    list.erase(end, list.end());
    return list;
}

inline bool starts_with(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The comma-separated numeric fields after the keyword, blanks around them ignored.
inline std::vector<std::int32_t> numbers_after_keyword(const std::string& line, std::size_t count) {
    std::vector<std::int32_t> values;
    std::size_t pos = line.find(',');
    while (pos != std::string::npos && values.size() < count) {
        values.push_back(static_cast<std::int32_t>(std::stol(line.substr(pos + 1))));
        pos = line.find(',', pos + 1);
    }
    return values;
}

inline std::size_t count_prefixed(const std::vector<std::string>& lines, std::string_view prefix) {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return starts_with(l, prefix); }));
}

}  // namespace compattatore::testing

#include "layering/layering.hpp"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace compattatore::layering {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in{std::string(text)};
    while (std::getline(in, part, separator)) {
        if (!part.empty()) parts.push_back(part);
    }
    return parts;
}

std::string_view skip_blanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string joined(const std::set<std::string>& rooms) {
    std::string text;
    for (const auto& room : rooms) text += (text.empty() ? "" : ", ") + room;
    return text.empty() ? "no other room" : text;
}

// Depth-first walk that records the path, so a cycle is reported with every room on it.
void find_cycles(const room_table& table, const std::string& room, std::vector<std::string>& path,
                 std::set<std::string>& done, std::vector<std::string>& faults) {
    if (const auto on_path = std::find(path.begin(), path.end(), room); on_path != path.end()) {
        std::string cycle;
        for (auto it = on_path; it != path.end(); ++it) cycle += *it + " -> ";
        faults.push_back("cycle: " + cycle + room);
        return;
    }
    if (done.count(room) != 0) return;
    path.push_back(room);
    if (const auto entry = table.find(room); entry != table.end()) {
        for (const auto& used : entry->second) find_cycles(table, used, path, done, faults);
    }
    path.pop_back();
    done.insert(room);
}

// Why an include of a file in `room` is not allowed, or empty when it is.
std::string refusal(const room_table& table, std::string_view room, const include_directive& inc) {
    const auto slash = inc.path.find('/');
    const std::string named = slash == std::string::npos ? "" : inc.path.substr(0, slash);
    const bool names_room = table.count(named) != 0;
    if (!inc.quoted && !names_room) return {};  // a system or outside library's header
    if (named.empty()) return "names no room (write the room's folder first)";
    if (!names_room) return "'" + named + "' is not a room";
    if (("/" + inc.path + "/").find("/../") != std::string::npos) {
        return "climbs out of its room with '..'";
    }
    if (named == room) return {};
    const auto& may_use = table.at(std::string(room));
    if (may_use.count(named) != 0) return {};
    return std::string(room) + " may not use " + named + " (it may use " + joined(may_use) + ")";
}

bool is_cpp_file(const std::filesystem::path& p) {
    static const std::set<std::string> extensions{".cpp", ".hpp", ".h", ".cc", ".hh", ".ipp"};
    return extensions.count(p.extension().string()) != 0;
}

std::string read_file(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void check_room_folder(const room_table& table, const std::filesystem::path& root,
                       const std::string& room, std::vector<violation>& found) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "src" / room)) {
        if (entry.is_regular_file() && is_cpp_file(entry.path())) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        const auto name = std::filesystem::relative(file, root).generic_string();
        auto in_file = check_text(table, room, name, read_file(file));
        found.insert(found.end(), in_file.begin(), in_file.end());
    }
}

}  // namespace

room_table parse_room_table(std::string_view text) {
    room_table table;
    for (const auto& entry : split(text, ' ')) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw std::invalid_argument("room table entry without 'room=': " + entry);
        }
        auto& uses = table[entry.substr(0, equals)];
        for (const auto& used : split(entry.substr(equals + 1), ',')) uses.insert(used);
    }
    return table;
}

std::vector<std::string> table_faults(const room_table& table) {
    std::vector<std::string> faults;
    for (const auto& [room, uses] : table) {
        for (const auto& used : uses) {
            if (table.count(used) == 0) faults.push_back(room + " uses " + used + ", not a room");
        }
    }
    std::vector<std::string> path;
    std::set<std::string> done;
    for (const auto& entry : table) find_cycles(table, entry.first, path, done, faults);
    return faults;
}

std::vector<include_directive> includes_of(std::string_view text) {
    std::vector<include_directive> found;
    int number = 0;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        ++number;
        auto rest = skip_blanks(line);
        if (rest.empty() || rest.front() != '#') continue;
        rest = skip_blanks(rest.substr(1));
        constexpr std::string_view keyword = "include";
        if (rest.substr(0, keyword.size()) != keyword) continue;
        rest = skip_blanks(rest.substr(keyword.size()));
        if (rest.empty() || (rest.front() != '"' && rest.front() != '<')) continue;
        const char close = rest.front() == '"' ? '"' : '>';
        const auto end = rest.find(close, 1);
        if (end == std::string_view::npos) continue;
        found.push_back({number, std::string(rest.substr(1, end - 1)), close == '"'});
    }
    return found;
}

std::vector<violation> check_text(const room_table& table, std::string_view room,
                                  std::string_view file, std::string_view text) {
    if (table.count(room) == 0) throw std::invalid_argument("not a room: " + std::string(room));
    std::vector<violation> found;
    for (const auto& inc : includes_of(text)) {
        if (auto reason = refusal(table, room, inc); !reason.empty()) {
            const auto written = inc.quoted ? '"' + inc.path + '"' : '<' + inc.path + '>';
            found.push_back({std::string(file), inc.line, written, std::move(reason)});
        }
    }
    return found;
}

std::vector<violation> check_tree(const room_table& table, const std::filesystem::path& root) {
    std::vector<violation> found;
    std::vector<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::directory_iterator(root / "src")) {
        entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& entry : entries) {
        const auto name = entry.filename().string();
        const auto shown = "src/" + name;
        if (!std::filesystem::is_directory(entry)) {
            found.push_back({shown, 0, "", "a file outside every room"});
        } else if (table.count(name) == 0) {
            found.push_back({shown, 0, "", "a folder that is not a room of the table"});
        } else {
            check_room_folder(table, root, name, found);
        }
    }
    for (const auto& entry : table) {
        if (!std::filesystem::is_directory(root / "src" / entry.first)) {
            found.push_back({"src/" + entry.first, 0, "", "a room of the table with no folder"});
        }
    }
    return found;
}

std::string describe(const violation& v) {
    if (v.line == 0) return v.file + ": " + v.reason;
    return v.file + ":" + std::to_string(v.line) + ": #include " + v.include + ": " + v.reason;
}

}  // namespace compattatore::layering

#pragma once
// The layering of the rooms under src/ as a checked fact: every include a room makes must name
// its own room or one the room table lets it use.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace compattatore::layering {

// For each room, the other rooms it may use.
using room_table = std::map<std::string, std::set<std::string>, std::less<>>;

// Reads a table written as "ground= sources=ground pipeline=compiler,finishing,ground".
room_table parse_room_table(std::string_view text);

// Uses of rooms the table does not have, and cycles (a room that, through the rooms it uses,
// would use itself), one text each.
std::vector<std::string> table_faults(const room_table& table);

struct include_directive {
    int line;          // 1-based
    std::string path;  // as written between the quotes or the angle brackets
    bool quoted;
};

// The #include directives of a C++ text, in order.
std::vector<include_directive> includes_of(std::string_view text);

struct violation {
    std::string file;     // relative to the tree's root, e.g. "src/app/form1.cpp"
    int line;             // 0 when the fault is the file or folder itself
    std::string include;  // as written, with its quotes or angle brackets
    std::string reason;
};

// The includes of one file of `room` that the table does not allow.
std::vector<violation> check_text(const room_table& table, std::string_view room,
                                  std::string_view file, std::string_view text);

// Every C++ file under root/src: each folder there must be a room of the table, each room a
// folder there, and every include allowed.
std::vector<violation> check_tree(const room_table& table, const std::filesystem::path& root);

// "file:line: #include "path": reason" (or "file: reason"), for a failure message.
std::string describe(const violation& v);

}  // namespace compattatore::layering

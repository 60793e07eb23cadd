#pragma once
// An author's check: every problem in both description texts in one run. The compile runs as
// compile_author_sources runs it (its result codes, error position and files are untouched);
// a separate pass over every record goes on past an error and reports what the compile could
// not, each problem once.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "compiler/compile_report.hpp"
#include "toolkit/compile_author.hpp"

namespace compattatore {

enum class input_encoding { cp850, utf8 };

struct check_options {
    // utf8: the texts are converted to code page 850 before anything reads them; a character the
    // code page lacks is an error.
    input_encoding encoding = input_encoding::cp850;
};

// Where the records stand that the compile turned into grid cells and stations, so what a tool
// shows of the compiled scenario can point back at the line that made it.
struct record_places {
    std::unordered_map<std::int32_t, source_location> cells;  // by cell of the route grid
    // Each station record's name (code page 850) and where its keyword stands, in text order.
    std::vector<std::pair<std::string, source_location>> stations;
};

struct author_check {
    author_compile compile;
    // Every problem, the compile's among them, in the order of the texts (line description first).
    std::vector<diagnostic> diagnostics;
    record_places places;
    std::size_t count(severity level) const;
};

author_check check_author_sources(author_sources sources, const check_options& options = {});

}  // namespace compattatore

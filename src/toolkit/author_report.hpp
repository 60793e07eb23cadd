#pragma once
// What compile and check share: the names an author may leave out, the two texts read from
// disk, and the diagnostics shown on standard error.

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/check_author.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_diagnostics.hpp"
#include "toolkit/compile_names.hpp"

namespace compattatore {

// Fills an empty --line from "<line>_linea.txt" and an empty --train from
// "<line>_<train>-.txt"; the usage problem when a file name does not tell.
std::optional<std::string> complete_names(author_files& files);

// The two texts with the names, ready to check; nullopt when a file cannot be read (said on err).
// A missing file is no usage problem: the compile reports it with its code.
std::optional<author_sources> read_author_texts(const author_files& files,
                                                const author_identity& id, bool profile,
                                                std::ostream& err);

// Whether diagnostics are coloured: always, never, or on a terminal unless NO_COLOR is set to
// something.
enum class color_mode { automatic, always, never };
bool wants_color(color_mode mode, bool terminal, const char* no_color);

// A stable name for the kind of problem: the diagnostic's own, else one from its code.
std::string diagnostic_kind(const diagnostic& d);

// Each kind with how many diagnostics have it, in the order the kinds first appear.
std::vector<std::pair<std::string, std::size_t>> kind_counts(const std::vector<diagnostic>& all);

// "2 errors, 1 warning (not-a-number 2, keyword-typo 1)"; just the counts when there are none.
std::string check_summary(const std::vector<diagnostic>& all);

// Renders the diagnostics with the source lines of the files (read again, so a big text is not
// held twice while it compiles); after max_errors errors, one line says how many more there are.
void show_diagnostics(std::ostream& err, const std::vector<diagnostic>& all,
                      const author_files& files, const report_options& report,
                      const station_table_t& table);

}  // namespace compattatore

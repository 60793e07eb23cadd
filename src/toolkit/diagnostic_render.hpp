#pragma once
// Diagnostics as a person reads them on a terminal: the compiler-style first line editors jump
// to, then the source line with the field underlined, the help, and each note at its own place.
//
//   T.txt:53:13: error: station position not a multiple of 50 m [R8] at 90820 m (km 0+020)
//      53 | stazione,   90820,  4,  600, ...
//         |             ^~~~~
//      = help: use a multiple of 50 m
//   T.txt:40:1: note: the cell holds the signal from line 40
//      40 | segnale, ...
//         | ^~~~~~~

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile_report.hpp"
#include "ground/model.hpp"
#include "toolkit/compile_diagnostics.hpp"

namespace compattatore {

// A description's text split into lines, for showing them. Its columns count characters: bytes
// of code page 850, or the characters of a text read as UTF-8 (--input-encoding utf-8).
class source_lines {
  public:
    source_lines() = default;
    explicit source_lines(std::string text, bool utf8 = false);
    bool utf8() const { return utf8_; }
    // The line without its line end; empty when there is no such line.
    std::string_view line(std::int32_t number) const;
    bool has(std::int32_t number) const {
        return number >= 1 && static_cast<std::size_t>(number) <= starts_.size();
    }

  private:
    std::string text_;
    bool utf8_ = false;
    std::vector<std::size_t> starts_;
};

struct diagnostic_sources {
    const source_lines* line = nullptr;  // nullptr: no excerpts from this text
    const source_lines* train = nullptr;
    const source_lines* of(description_kind k) const {
        return k == description_kind::line ? line : train;
    }
};

struct render_style {
    bool color = false;  // ANSI colours, for a terminal
};

// Every line of one diagnostic, each ending in a line end; texts from the descriptions come out
// in UTF-8.
std::string render_diagnostic(const diagnostic& d, const diagnostic_files& files,
                              const diagnostic_sources& sources, const station_table_t& table,
                              render_style style);

}  // namespace compattatore

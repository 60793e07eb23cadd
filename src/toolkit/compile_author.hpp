#pragma once
// An author's compile: the same compiler, cab-code pass, closing checks and checksums as the
// default run, on description texts the author wrote, with every problem kept as a diagnostic
// instead of a message box.

#include <cstdint>
#include <optional>
#include <string>

#include "compiler/compile_report.hpp"
#include "ground/model.hpp"
#include "ground/result_codes.hpp"
#include "pipeline/scenario_pipeline.hpp"

namespace compattatore {

struct author_sources {
    std::optional<std::string> line_text;   // nullopt: no such file
    std::optional<std::string> train_text;  // nullopt: no such file
    std::string line_name;
    std::string train_number;
    bool profile = true;
};

struct author_compile {
    scenario_model model;
    compile_report report;
    // False when the line description never dimensioned the route grid: there is nothing the
    // simulator could load, so nothing may be written, not even on request.
    bool finished = false;
    // result::stamp_slots_taken or result::checksum_slots_taken when a closing check stopped;
    // the default run writes nothing then either.
    std::int32_t closing_code = result::none;

    std::size_t count(severity level) const;
    bool clean() const { return count(severity::error) == 0; }
    // Whether the default run would write the binary files for these descriptions.
    bool writable() const { return finished && closing_code == result::none; }
};

// The texts are handed to the compiler, not copied: pass them with std::move and a description
// of any size is held in memory once.
author_compile compile_author_sources(author_sources sources);

}  // namespace compattatore

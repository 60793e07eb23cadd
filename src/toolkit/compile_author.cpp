#include "toolkit/compile_author.hpp"

#include <algorithm>

#include "compiler/description_files.hpp"

namespace compattatore {

std::size_t author_compile::count(severity level) const {
    return static_cast<std::size_t>(std::ranges::count_if(
        report.diagnostics, [&](const diagnostic& d) { return d.level == level; }));
}

author_compile compile_author_sources(const author_sources& sources) {
    author_compile r;
    r.model.line_name = sources.line_name;
    r.model.train_number = sources.train_number;
    // Borrowed texts: the author's files are read once and never deleted.
    borrowed_description_files files(sources.line_text, sources.train_text);
    const pipeline_outcome outcome =
        compile_scenario(r.model, sources.profile ? 1 : 0, files, &r.report);
    r.finished = outcome.finished;
    r.closing_code = outcome.closing_code;
    return r;
}

}  // namespace compattatore

#include "toolkit/check_author.hpp"

#include <algorithm>
#include <utility>

namespace compattatore {

std::size_t author_check::count(severity level) const {
    return static_cast<std::size_t>(
        std::ranges::count_if(diagnostics, [&](const diagnostic& d) { return d.level == level; }));
}

author_check check_author_sources(author_sources sources, const check_options&) {
    author_check r;
    r.compile = compile_author_sources(std::move(sources));
    r.diagnostics = r.compile.report.diagnostics;
    return r;
}

}  // namespace compattatore

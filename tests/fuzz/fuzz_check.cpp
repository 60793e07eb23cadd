// The author's check on both descriptions from one input: it never throws or crashes, leaves the
// compile as the compile alone leaves it, and loses none of the compile's errors.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_checks.hpp"
#include "toolkit/check_author.hpp"

namespace {

compattatore::author_sources sources_of(const compattatore::fuzzing::compile_input& in) {
    compattatore::author_sources s;
    s.line_text = in.line;
    s.train_text = in.train;
    s.line_name = std::string("Fuzz");
    s.train_number = std::string("1");
    s.profile = in.profile_option != 0;
    return s;
}

std::string broken_invariant(const compattatore::fuzzing::compile_input& in) {
    using namespace compattatore;
    const author_compile alone = compile_author_sources(sources_of(in));
    const author_check c = check_author_sources(sources_of(in));
    if (c.compile.model.result_code != alone.model.result_code ||
        c.compile.model.error_position != alone.model.error_position ||
        c.compile.finished != alone.finished || c.compile.closing_code != alone.closing_code) {
        return "the check changed the compile";
    }
    for (const diagnostic& k : alone.report.diagnostics) {
        if (k.level != severity::error) continue;
        const bool kept = std::ranges::any_of(c.diagnostics, [&](const diagnostic& d) {
            return d.level == severity::error && d.code == k.code && d.where.file == k.where.file;
        });
        if (!kept) return "the compile's error R" + std::to_string(k.code) + " is missing";
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace compattatore::fuzzing;
    const compile_input in =
        split_compile_input(std::string_view(reinterpret_cast<const char*>(data), size));
    if (const std::string broken = broken_invariant(in); !broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}

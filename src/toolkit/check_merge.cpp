// The compile's diagnostics and the checker's in one list: a problem both found is told once, in
// the checker's words and at the checker's place, with the compile's code and position.

#include <algorithm>
#include <string>

#include "ground/diagnostic_kinds.hpp"
#include "ground/result_codes.hpp"
#include "toolkit/check_pass.hpp"

namespace compattatore {

namespace {

bool same_file(const diagnostic& a, const diagnostic& b) {
    return a.where.file == b.where.file;
}

// The checker's error that is the compile's. The compile places an unreadable value where its
// reading stopped, which may be later in the text than the value itself.
std::optional<std::size_t> match(const std::vector<diagnostic>& found,
                                 const std::vector<bool>& used, const diagnostic& k) {
    std::optional<std::size_t> loose;
    for (std::size_t i = 0; i < found.size(); ++i) {
        const diagnostic& d = found[i];
        if (used[i] || d.level != severity::error || d.code != k.code || !same_file(d, k)) {
            continue;
        }
        if (d.where.line == k.where.line) return i;
        const bool earlier = k.where.line == 0 || d.where.line <= k.where.line;
        if (!loose && earlier && (k.code == result::compiler_failure || k.where.line == 0)) {
            loose = i;
        }
    }
    return loose;
}

std::string_view warning_kind(const std::string& message) {
    if (message.starts_with("field ")) return problem::unknown_keyword;
    if (message.starts_with("record ")) return problem::hyphen_skip;
    if (message.starts_with("curve \"")) return problem::curve_ignored;
    if (message.find("out of ascending order") != std::string::npos) return problem::out_of_order;
    return problem::curve_overlap;
}

bool told(const std::vector<diagnostic>& found, const diagnostic& k) {
    return std::ranges::any_of(found, [&](const diagnostic& d) {
        const bool covers = d.kind == k.kind || (k.kind == problem::unknown_keyword &&
                                                 d.kind == problem::trailing_text);
        return same_file(d, k) && d.where.line == k.where.line && covers;
    });
}

}  // namespace

std::vector<diagnostic> merged_diagnostics(check_state& s, const std::vector<diagnostic>& compile) {
    std::vector<diagnostic> out;
    std::vector<bool> used(s.found.size(), false);
    for (diagnostic k : compile) {
        if (k.level == severity::error) {
            if (const auto i = match(s.found, used, k)) {
                used[*i] = true;
                if (k.has_position) {
                    s.found[*i].has_position = true;
                    s.found[*i].position = k.position;
                }
                continue;
            }
            if (k.kind.empty()) k.kind = std::string(problem::result_code);
        } else {
            if (k.kind.empty()) k.kind = std::string(warning_kind(k.message));
            if (told(s.found, k)) continue;
            if (s.swapped && k.kind == problem::unknown_keyword) continue;
        }
        out.push_back(std::move(k));
    }
    out.insert(out.end(), std::make_move_iterator(s.found.begin()),
               std::make_move_iterator(s.found.end()));
    std::ranges::stable_sort(out, [](const diagnostic& a, const diagnostic& b) {
        if (a.where.file != b.where.file) return a.where.file < b.where.file;
        if (a.where.line != b.where.line) return a.where.line < b.where.line;
        return a.where.column < b.where.column;
    });
    return out;
}

void check_texts_end(check_state& s, bool line_text, bool train_text) {
    s.swapped = s.train_keywords_in_line >= 3 && s.line_keywords_in_train >= 3;
    if (s.swapped) {
        const auto dropped = std::erase_if(
            s.found, [](const diagnostic& d) { return d.kind == problem::unknown_keyword; });
        s.warning(problem::files_swapped, {description_kind::line, 0, 0}, 0,
                  "the line description reads like a train description and the train "
                  "description like a line description (" +
                      std::to_string(dropped) + " keywords match no record of their text)")
            .help = "give the line description first and the train description second";
    }
    if (line_text && !s.last_cell && !s.grid_missing_reported) {
        const source_location at =
            s.line_length_typo.value_or(source_location{description_kind::line, 0, 0});
        s.error(result::compiler_failure, problem::no_line_length, at, s.line_length_typo_length,
                "the line description gives no `lunghezza percorso`: the route grid has no size")
            .help = "add `lunghezza percorso, <metres>` to its [generale] section";
    }
    if (s.swapped) return;
    if (line_text && s.last_cell && !s.gradient_seen) {
        s.warning(problem::no_gradient, {description_kind::line, 0, 0}, 0,
                  "the line description has no `pendenza` record: the whole line is flat");
    }
    if (train_text && !s.adhesion_seen) {
        s.warning(problem::no_adhesion, {description_kind::train, 0, 0}, 0,
                  "the train description has no `aderenza` record: the adhesion is 0 everywhere");
    }
}

}  // namespace compattatore

#include "toolkit/author_report.hpp"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "ground/files.hpp"
#include "toolkit/diagnostic_render.hpp"
#include "toolkit/folders.hpp"

namespace compattatore {

namespace {

constexpr std::string_view line_suffix = "_linea.txt";
constexpr std::string_view train_suffix = "-.txt";

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The text as the checker saw it, for excerpts; empty when it cannot be read now.
source_lines excerpt_text(const std::filesystem::path& path, input_encoding encoding) {
    // A pipe or FIFO was read to its end already, and opening a FIFO again would wait for a
    // writer: only a regular file is read again.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return {};
    std::optional<std::string> text;
    try {
        text = read_input(path);
    } catch (const std::exception&) {
        return {};
    }
    if (!text) return {};
    // Read as UTF-8, the columns count its characters: shown as they are.
    return source_lines(std::move(*text), encoding == input_encoding::utf8);
}

}  // namespace

std::optional<std::string> complete_names(author_files& files) {
    if (!files.line_name) {
        const std::string name = files.line_file.filename().string();
        if (name.size() <= line_suffix.size() || !name.ends_with(line_suffix)) {
            return "cannot tell the line's name from the file name \"" + name +
                   "\" (not <line>_linea.txt): give --line";
        }
        files.line_name = name.substr(0, name.size() - line_suffix.size());
    }
    if (!files.train_number) {
        const std::string name = files.train_file.filename().string();
        const std::string prefix = *files.line_name + "_";
        if (name.size() <= prefix.size() + train_suffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(train_suffix)) {
            return "cannot tell the train's number from the file name \"" + name + "\" (not " +
                   prefix + "<train>-.txt): give --train";
        }
        files.train_number =
            name.substr(prefix.size(), name.size() - prefix.size() - train_suffix.size());
    }
    return std::nullopt;
}

std::optional<author_sources> read_author_texts(const author_files& files,
                                                const author_identity& id, bool profile,
                                                std::ostream& err) {
    author_sources sources;
    try {
        sources.line_text = read_input(files.line_file);
        sources.train_text = read_input(files.train_file);
    } catch (const file_error& e) {
        refuse(err, e.what());
        return std::nullopt;
    }
    sources.line_name = id.line_name;
    sources.train_number = id.train_number;
    sources.profile = profile;
    return sources;
}

bool wants_color(color_mode mode, bool terminal, const char* no_color) {
    if (mode != color_mode::automatic) return mode == color_mode::always;
    return terminal && (no_color == nullptr || *no_color == '\0');
}

std::string diagnostic_kind(const diagnostic& d) {
    if (!d.kind.empty()) return d.kind;
    return d.level == severity::error ? "code-" + std::to_string(d.code) : "warning";
}

std::vector<std::pair<std::string, std::size_t>> kind_counts(const std::vector<diagnostic>& all) {
    std::vector<std::pair<std::string, std::size_t>> counts;
    for (const diagnostic& d : all) {
        const std::string kind = diagnostic_kind(d);
        auto it = std::ranges::find(counts, kind, &std::pair<std::string, std::size_t>::first);
        if (it == counts.end()) {
            counts.emplace_back(kind, 1);
        } else {
            ++it->second;
        }
    }
    return counts;
}

std::string check_summary(const std::vector<diagnostic>& all) {
    const auto errors =
        static_cast<std::size_t>(std::ranges::count(all, severity::error, &diagnostic::level));
    std::string out = plural(errors, "error") + ", " + plural(all.size() - errors, "warning");
    const auto counts = kind_counts(all);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        out += (i == 0 ? " (" : ", ") + counts[i].first + " " + std::to_string(counts[i].second);
    }
    return counts.empty() ? out : out + ")";
}

void show_diagnostics(std::ostream& err, const std::vector<diagnostic>& all,
                      const author_files& files, const report_options& report,
                      const station_table_t& table) {
    if (all.empty()) return;
    const source_lines line = excerpt_text(files.line_file, report.encoding);
    const source_lines train = excerpt_text(files.train_file, report.encoding);
    const diagnostic_files names{files.line_file.string(), files.train_file.string()};
    const diagnostic_sources sources{&line, &train};
    std::size_t errors = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        // The limit is on errors: the warnings up to the next error are still shown.
        if (report.max_errors && errors == *report.max_errors && all[i].level == severity::error) {
            const std::vector<diagnostic> rest(all.begin() + static_cast<std::ptrdiff_t>(i),
                                               all.end());
            err << "compattatore: stopped after " << plural(errors, "error") << " (--max-errors "
                << *report.max_errors << "); not shown: " << check_summary(rest) << "\n";
            return;
        }
        err << render_diagnostic(all[i], names, sources, table, {report.color});
        if (all[i].level == severity::error) ++errors;
    }
}

}  // namespace compattatore

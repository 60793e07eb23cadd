#include "toolkit/compile_author.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "compiler/description_files.hpp"

namespace compattatore {

std::size_t author_compile::count(severity level) const {
    return static_cast<std::size_t>(std::ranges::count_if(
        report.diagnostics, [&](const diagnostic& d) { return d.level == level; }));
}

namespace {

// The author's texts, moved into the compiler when it reads them: the compile holds one copy of
// each. The compiler reads each text once; the author's files are never deleted.
class handed_over_texts final : public description_files {
  public:
    handed_over_texts(std::optional<std::string> line, std::optional<std::string> train)
        : line_{std::move(line)}, train_{std::move(train)} {}
    std::optional<std::string> read_line_description() override { return take(line_); }
    std::optional<std::string> read_train_description() override { return take(train_); }
    void discard_line_description() override {}
    void discard_train_description() override {}

  private:
    struct held {
        std::optional<std::string> text;
        bool taken = false;
    };
    static std::optional<std::string> take(held& h) {
        if (h.taken) throw std::logic_error("a description text was read twice");
        h.taken = true;
        return std::move(h.text);
    }
    held line_;
    held train_;
};

}  // namespace

author_compile compile_author_sources(author_sources sources) {
    author_compile r;
    r.model.line_name = std::move(sources.line_name);
    r.model.train_number = std::move(sources.train_number);
    handed_over_texts files(std::move(sources.line_text), std::move(sources.train_text));
    const pipeline_outcome outcome =
        compile_scenario(r.model, sources.profile ? 1 : 0, files, &r.report);
    r.finished = outcome.finished;
    r.closing_code = outcome.closing_code;
    return r;
}

}  // namespace compattatore

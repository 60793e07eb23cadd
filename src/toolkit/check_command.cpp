// compattatore check: every problem of an author's two descriptions, written nowhere but on the
// screen (or as JSON or SARIF on standard output).

#include "toolkit/author_report.hpp"
#include "toolkit/check_author.hpp"
#include "toolkit/check_formats.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/compile_names.hpp"
#include "toolkit/folders.hpp"
#include "toolkit/json_text.hpp"

namespace compattatore {

int check_command(const check_request& o, std::ostream& out, std::ostream& err) {
    check_request named = o;
    if (const auto problem = complete_names(named)) {
        return refuse(err, *problem + "; run 'compattatore check --help' for the options");
    }
    const author_identity id = read_identity(*named.line_name, *named.train_number, true);
    if (!id.problem.empty()) return refuse(err, id.problem);
    auto sources = read_author_texts(named, id, true, err);
    if (!sources) return toolkit_status::usage;

    const author_check k = check_author_sources(std::move(*sources), {o.report.encoding});
    const check_subject subject{{o.line_file.string(), o.train_file.string()}, o.report.encoding};
    switch (o.format) {
        case report_format::json:
            out << json_document(check_json(k, subject));
            break;
        case report_format::sarif:
            out << json_document(check_sarif(k, subject));
            break;
        case report_format::text:
            show_diagnostics(err, k.diagnostics, named, o.report, k.compile.model.station_table);
            out << check_summary(k.diagnostics) << "\n";
            break;
    }
    const bool failed = !k.compile.clean() || k.count(severity::error) > 0 ||
                        (o.strict && k.count(severity::warning) > 0);
    return failed ? toolkit_status::errors : toolkit_status::ok;
}

}  // namespace compattatore

// compattatore sources: the scenario's own texts, as a starting point for an author.

#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "ground/model.hpp"
#include "sources/writers.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/folders.hpp"

namespace compattatore {

int sources_command(const sources_options& o, std::ostream& out, std::ostream& err) {
    if (const auto problem = output_folder_problem(o.output)) {
        err << "compattatore: " << *problem << "\n";
        return toolkit_status::usage;
    }
    scenario_model m;
    m.line_name = scenario_line_name;
    m.train_number = scenario_train_number;
    std::vector<std::string> names;
    try {
        dati_linea(o.output, m);
        names.push_back(file_name::line_description(m));
        dati_treno(o.output, m);
        names.push_back(file_name::train_description(m));
        if (o.all) {
            dati_note(o.output, m);
            names.push_back(file_name::notes(m));
            dati_rallentamenti(o.output, m);
            names.push_back(file_name::slowdown_order(m));
            dati_scheda(o.output, m);
            names.push_back(file_name::timetable_card(m));
        }
    } catch (const file_error& e) {
        err << "compattatore: " << e.what() << "\n";
        return toolkit_status::usage;
    }
    for (const std::string& name : names) {
        const auto path = o.output / name;
        out << "wrote " << written_text(path, std::filesystem::file_size(path)) << "\n";
    }
    return toolkit_status::ok;
}

}  // namespace compattatore

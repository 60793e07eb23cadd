// compattatore sources: the scenario's own texts, as a starting point for an author.

#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "ground/model.hpp"
#include "sources/writers.hpp"
#include "toolkit/commands.hpp"
#include "toolkit/folders.hpp"

namespace compattatore {

namespace {

struct source_text {
    std::string (*name)(const scenario_model&);
    void (*write)(const std::filesystem::path&, scenario_model&);
};
constexpr source_text descriptions[] = {{file_name::line_description, dati_linea},
                                        {file_name::train_description, dati_treno}};
constexpr source_text other_texts[] = {{file_name::notes, dati_note},
                                       {file_name::slowdown_order, dati_rallentamenti},
                                       {file_name::timetable_card, dati_scheda}};

}  // namespace

int sources_command(const sources_options& o, std::ostream& out, std::ostream& err) {
    if (const auto problem = output_folder_problem(o.output)) return refuse(err, *problem);
    scenario_model m;
    m.line_name = scenario_line_name;
    m.train_number = scenario_train_number;
    std::vector<source_text> texts(std::begin(descriptions), std::end(descriptions));
    if (o.all) texts.insert(texts.end(), std::begin(other_texts), std::end(other_texts));
    try {
        // Held like the default run holds its folder, which writes the same names.
        const folder_lock hold(o.output);
        for (const source_text& t : texts) {
            const auto path = file_name::path_in(o.output, t.name(m));
            // An author's edits live in these texts: replacing them takes a word.
            if (!o.force && std::filesystem::exists(path)) {
                return refuse(err, path.string() + " exists; --force replaces it");
            }
            require_replaceable(path);
        }
        for (const source_text& t : texts) t.write(o.output, m);
    } catch (const file_error& e) {
        return refuse(err, e.what());
    }
    for (const source_text& t : texts) {
        const auto path = file_name::path_in(o.output, t.name(m));
        out << "wrote " << written_text(path, std::filesystem::file_size(path)) << "\n";
    }
    return toolkit_status::ok;
}

}  // namespace compattatore

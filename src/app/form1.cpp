#include "app/form1.hpp"

#include <optional>
#include <string>
#include <system_error>

#include "compiler/description_files.hpp"
#include "formats/binary_files.hpp"
#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "pipeline/scenario_pipeline.hpp"
#include "sources/writers.hpp"

namespace compattatore {

namespace {

// The texts the run wrote itself must be there to read back: a text that went missing (another
// program removed it) is a failure of the run's files, never a compile of what is left.
class written_description_files final : public description_files {
  public:
    written_description_files(std::filesystem::path line, std::filesystem::path train)
        : line_(line), train_(train), files_(std::move(line), std::move(train)) {}
    std::optional<std::string> read_line_description() override {
        return required(files_.read_line_description(), line_);
    }
    std::optional<std::string> read_train_description() override {
        return required(files_.read_train_description(), train_);
    }
    void discard_line_description() override { files_.discard_line_description(); }
    void discard_train_description() override { files_.discard_train_description(); }

  private:
    static std::optional<std::string> required(std::optional<std::string> text,
                                               const std::filesystem::path& path) {
        if (!text) throw file_error(path, "read", "No such file or directory");
        return text;
    }
    std::filesystem::path line_;
    std::filesystem::path train_;
    scratch_description_files files_;
};

}  // namespace

void Form1::Form_Load() {
    model_.line_name = scenario_line_name;
    model_.train_number = scenario_train_number;
    platform_.show_waiting_window();

    const folder_lock hold(app_path_);
    try {
        write_sources();
        std::int32_t j = 1;  // the run always builds and writes the line profile
        memorizza_percorso(j);
    } catch (...) {
        remove_written_texts();
        throw;
    }
}

void Form1::write_sources() {
    // Notes before the slowdown order, the timetable card last.
    dati_linea(app_path_, model_);
    line_text_written_ = true;
    dati_treno(app_path_, model_);
    train_text_written_ = true;
    dati_note(app_path_, model_);
    dati_rallentamenti(app_path_, model_);
    dati_scheda(app_path_, model_);
}

void Form1::remove_written_texts() noexcept {
    // Best effort: the failure that brought us here is the one to report.
    std::error_code ignored;
    if (line_text_written_)
        std::filesystem::remove(file_name::path_in(app_path_, file_name::line_description(model_)),
                                ignored);
    if (train_text_written_)
        std::filesystem::remove(file_name::path_in(app_path_, file_name::train_description(model_)),
                                ignored);
}

void Form1::memorizza_percorso(std::int32_t& j) {
    const std::filesystem::path line =
        file_name::path_in(app_path_, file_name::line_description(model_));
    const std::filesystem::path train =
        file_name::path_in(app_path_, file_name::train_description(model_));
    scratch_description_files scratch(line, train);
    written_description_files written(line, train);
    description_files& files = line_text_written_ && train_text_written_
                                   ? static_cast<description_files&>(written)
                                   : scratch;
    const pipeline_outcome outcome = compile_scenario(model_, j, files);
    if (!outcome.finished) {
        throw nothing_to_finish("the line description gave no route grid (result code " +
                                std::to_string(model_.result_code) +
                                "); no simulator file written");
    }
    // errore ends the process: a closing check that stopped the run leaves no binary file.
    if (outcome.closing_code != 0) platform_.errore(std::to_string(outcome.closing_code));
    write_binary_files(app_path_, model_);
}

}  // namespace compattatore

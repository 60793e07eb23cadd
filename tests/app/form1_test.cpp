// The run as a whole: the order of its steps, what it leaves on disk, and how it stops.

#include "app/form1.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "ground/files.hpp"
#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

struct errore_called {
    std::string text;
};

// Records what the run shows; errore ends the run by throwing, as the real one ends the process.
class recording_platform final : public window_platform {
  public:
    void show_waiting_window() override { ++waiting_shown; }
    [[noreturn]] void errore(const std::string& a) override {
        throw errore_called{" Errore n. " + a};
    }
    [[noreturn]] void fail(const std::string& message, int) override {
        throw std::runtime_error(message);
    }
    int waiting_shown = 0;
};

// The eight files of the run, in the order the run writes them.
using testing::run_files;

using testing::names_in;

TEST(Form1Run, CleanRunLeavesSixFilesAndNoDescriptionTexts) {
    temp_dir dir;
    recording_platform platform;
    Form1 form(dir.path(), platform);
    form.Form_Load();

    EXPECT_EQ(platform.waiting_shown, 1);
    EXPECT_EQ(form.model().result_code, 0);
    const std::vector<std::string> expected = {
        "Torino_Piacenza_2063.dat",
        "Torino_Piacenza_2063.sim",
        "Torino_Piacenza_2063_note.txt",
        "Torino_Piacenza_2063_rallentamenti.txt",
        "Torino_Piacenza_2063_scheda_treno.txt",
        "Torino_Piacenza_linea.dat",
    };
    EXPECT_EQ(names_in(dir.path()), expected);
    EXPECT_EQ(fs::file_size(dir / "Torino_Piacenza_linea.dat"), 3899964u);
    EXPECT_EQ(fs::file_size(dir / "Torino_Piacenza_2063.sim"), 3463u);
    EXPECT_EQ(fs::file_size(dir / "Torino_Piacenza_2063.dat"), 58515u);
}

TEST(Form1Run, OlderLongerFilesAreReplacedWhole) {
    temp_dir dir;
    for (const auto& name : run_files) spit(dir / name, std::string(5'000'000, 'x'));
    recording_platform platform;
    Form1 form(dir.path(), platform);
    form.Form_Load();
    EXPECT_EQ(fs::file_size(dir / "Torino_Piacenza_2063.dat"), 58515u);
    EXPECT_EQ(fs::file_size(dir / "Torino_Piacenza_2063_rallentamenti.txt"), 3283u);
    EXPECT_FALSE(fs::exists(dir / "Torino_Piacenza_linea.txt"));
    EXPECT_FALSE(fs::exists(dir / "Torino_Piacenza_2063-.txt"));
}

// Blocking one file of the run (a directory stands where it must go) stops the run right there:
// every file before it is written, none after it, the blocked path is untouched, no temporary
// file is left and no scratch description text stays behind. Going through all eight shows the
// order of the steps.
TEST(Form1Run, AFileThatCannotBeWrittenStopsTheRunAtThatStep) {
    for (std::size_t blocked = 0; blocked < run_files.size(); ++blocked) {
        SCOPED_TRACE(run_files[blocked]);
        temp_dir dir;
        fs::create_directory(dir / run_files[blocked]);
        spit(dir / run_files[blocked] / "keep", "earlier");
        recording_platform platform;
        Form1 form(dir.path(), platform);
        try {
            form.Form_Load();
            FAIL() << "the run went on past a file it could not write";
        } catch (const file_error& e) {
            EXPECT_EQ(e.path().filename().string(), run_files[blocked]);
        }
        for (std::size_t i = 0; i < run_files.size(); ++i) {
            if (i == blocked) continue;
            const bool description_text = i < 2;
            // The scratch texts are read and deleted by the compiler, or removed by the failure.
            const bool expected = i < blocked && !description_text;
            EXPECT_EQ(fs::is_regular_file(dir / run_files[i]), expected) << run_files[i];
        }
        EXPECT_EQ(slurp(dir / run_files[blocked] / "keep"), "earlier");
        for (const auto& name : names_in(dir.path())) {
            EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
        }
    }
}

// Writes the two description texts straight into the folder and runs route finishing on them.
class FinishingFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        form_.model().line_name = "L";
        form_.model().train_number = "T";
    }
    void write_descriptions(const std::string& train_records) {
        spit(dir_ / "L_linea.txt", "[generale]\r\nlunghezza percorso, 10000\r\n[fine]\r\n");
        spit(dir_ / "L_T-.txt", "[generale]\r\n" + train_records + "[fine]\r\n");
    }
    std::string run_finishing() {
        std::int32_t j = 1;
        try {
            form_.memorizza_percorso(j);
        } catch (const errore_called& e) {
            return e.text;
        }
        return "";
    }
    temp_dir dir_;
    recording_platform platform_;
    Form1 form_{dir_.path(), platform_};
};

TEST_F(FinishingFrame, StampSlotTakenStopsWithErrore1250AndNoBinaryFile) {
    write_descriptions("abbattimento, 50, 270\r\n");  // a code point on cell 1
    EXPECT_EQ(run_finishing(), " Errore n. 1250");
    EXPECT_FALSE(fs::exists(dir_ / "L_linea.dat"));
    EXPECT_FALSE(fs::exists(dir_ / "L_T.sim"));
    EXPECT_FALSE(fs::exists(dir_ / "L_T.dat"));
}

TEST_F(FinishingFrame, ChecksumSlotTakenStopsWithErrore1251AndNoBinaryFile) {
    // A signal on cell 1 whose first values are zero leaves value_a free but fills value_b.
    write_descriptions("segnale, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0\r\n");
    EXPECT_EQ(run_finishing(), " Errore n. 1251");
    EXPECT_EQ(form_.model().station_table[85].group_a1, 610);  // the first stamps were made
    EXPECT_FALSE(fs::exists(dir_ / "L_T.sim"));
    EXPECT_FALSE(fs::exists(dir_ / "L_T.dat"));
}

TEST_F(FinishingFrame, ProfileOptionZeroWritesNoProfileAndKeepsAnOldOne) {
    write_descriptions("");
    spit(dir_ / "L_linea.dat", "old profile");
    std::int32_t j = 0;
    form_.memorizza_percorso(j);
    EXPECT_EQ(slurp(dir_ / "L_linea.dat"), "old profile");
    EXPECT_TRUE(fs::exists(dir_ / "L_T.sim"));
    EXPECT_EQ(fs::file_size(dir_ / "L_T.dat"), 15u * (340 + 1));
}

TEST_F(FinishingFrame, MissingLineDescriptionGivesNoGridAndAClearFailure) {
    EXPECT_THROW(run_finishing(), nothing_to_finish);
    EXPECT_EQ(form_.model().result_code, 101);
    EXPECT_FALSE(fs::exists(dir_ / "L_T.dat"));
}

}  // namespace
}  // namespace compattatore

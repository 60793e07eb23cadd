// What every text writer shares: the file it writes, its size, its line ends, the line counter
// it leaves, and how it treats an earlier file and a failure.

#include "sources/writers.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "ground/file_names.hpp"
#include "ground/files.hpp"
#include "sources/line_list.hpp"
#include "support/temp_dir.hpp"
#include "text_lines.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::split_crlf;
using testing::temp_dir;

struct writer_case {
    const char* name;
    void (*write)(const fs::path&, scenario_model&);
    std::vector<std::string> (*lines)();
    const char* file;
    std::int32_t line_count;
    std::optional<std::size_t> bytes;  // the notes' wording is free, so their size is not fixed
    const char* first_line;
    const char* last_line;
};

const writer_case writer_cases[] = {
    {"dati_linea", dati_linea, dati_linea_lines, "Torino_Piacenza_linea.txt", 124, 4981,
     "[generale]", "[fine]"},
    {"dati_treno", dati_treno, dati_treno_lines, "Torino_Piacenza_2063-.txt", 460, 18081,
     "[generale]", "[fine]"},
    {"dati_note", dati_note, dati_note_lines, "Torino_Piacenza_2063_note.txt", 23, std::nullopt,
     nullptr, ""},
    {"dati_rallentamenti", dati_rallentamenti, dati_rallentamenti_lines,
     "Torino_Piacenza_2063_rallentamenti.txt", 46, 3283, "",
     "     i giorni esclusi i seguenti:........."},
    {"dati_scheda", dati_scheda, dati_scheda_lines, "Torino_Piacenza_2063_scheda_treno.txt", 201,
     15255, "", ""},
};

scenario_model scenario() {
    scenario_model model;
    model.line_name = "Torino_Piacenza";
    model.train_number = "2063";
    return model;
}

class TextWriter : public ::testing::TestWithParam<writer_case> {};

TEST_P(TextWriter, WritesItsFileWithExactlyItsLines) {
    const writer_case& c = GetParam();
    temp_dir dir;
    scenario_model model = scenario();
    model.line_counter = -1;
    c.write(dir.path(), model);

    const std::string bytes = slurp(dir / c.file);
    EXPECT_EQ(model.line_counter, c.line_count);
    if (c.bytes) {
        EXPECT_EQ(bytes.size(), *c.bytes);
    }
    EXPECT_EQ(bytes, line_list_bytes(c.lines()));

    // Every line ends with CR LF, the last one included, and no other CR or LF stands alone.
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const auto lines = split_crlf(bytes);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(c.line_count));
    for (const auto& line : lines) {
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
    EXPECT_EQ(bytes.find(end_sentinel), std::string::npos);
    if (c.first_line) {
        EXPECT_EQ(lines.front(), c.first_line);
    }
    EXPECT_EQ(lines.back(), c.last_line);
}

TEST_P(TextWriter, ListEndsWithTheSentinelAtTheLineCount) {
    const writer_case& c = GetParam();
    const auto list = c.lines();
    ASSERT_EQ(list.size(), static_cast<std::size_t>(c.line_count) + 1);
    EXPECT_EQ(list.back(), end_sentinel);
}

TEST_P(TextWriter, ReplacesALongerEarlierFileWhole) {
    const writer_case& c = GetParam();
    temp_dir dir;
    spit(dir / c.file, std::string(40000, 'o') + std::string(end_sentinel));
    scenario_model model = scenario();
    c.write(dir.path(), model);
    EXPECT_EQ(slurp(dir / c.file), line_list_bytes(c.lines()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_P(TextWriter, AFailureNamesTheFileAndLeavesNothingBehind) {
    const writer_case& c = GetParam();
    temp_dir dir;
    fs::create_directory(dir / c.file);  // a directory where the file should go
    scenario_model model = scenario();
    try {
        c.write(dir.path(), model);
        FAIL() << "no file_error";
    } catch (const file_error& e) {
        EXPECT_EQ(e.path(), dir / c.file);
    }
    EXPECT_TRUE(fs::is_empty(dir / c.file));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(All, TextWriter, ::testing::ValuesIn(writer_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextWriters, FileNamesFollowTheScenarioIdentity) {
    temp_dir dir;
    scenario_model model;
    model.line_name = "Linea";
    model.train_number = "7";
    dati_linea(dir.path(), model);
    dati_treno(dir.path(), model);
    dati_note(dir.path(), model);
    dati_rallentamenti(dir.path(), model);
    dati_scheda(dir.path(), model);
    for (const char* name : {"Linea_linea.txt", "Linea_7-.txt", "Linea_7_note.txt",
                             "Linea_7_rallentamenti.txt", "Linea_7_scheda_treno.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(dir / name)) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
    EXPECT_EQ(model.line_counter, 201);  // left by the last writer
}

}  // namespace
}  // namespace compattatore

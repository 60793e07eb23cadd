// check as an author runs it: the real executable on the scenario's texts and on broken ones,
// its exit statuses, what it prints in each format, and that it writes nothing; and sources
// keeping an author's descriptions unless told.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::outcome;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

const std::string line_file = "Torino_Piacenza_linea.txt";
const std::string train_file = "Torino_Piacenza_2063-.txt";
const std::string check_args = "check " + line_file + " " + train_file;

outcome run(const fs::path& dir, const std::string& args) {
    return testing::run_in(dir, COMPATTATORE_EXE, args);
}

void replace_in(const fs::path& file, const std::string& from, const std::string& to) {
    std::string text = slurp(file);
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    spit(file, text);
}

struct sources_dir {
    temp_dir dir;
    sources_dir() { EXPECT_EQ(run(dir.path(), "sources").status, 0); }
    void off_grid_station() const {
        replace_in(dir / train_file, "stazione,   90800,", "stazione,   90820,");
    }
    void lost_gradient() const { replace_in(dir / line_file, "pendenza,  0,", "-pendenza,  0,"); }
};

TEST(CheckCommand, TheScenarioIsCleanAndNothingIsWritten) {
    const sources_dir s;
    const outcome o = run(s.dir.path(), check_args);
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out, "0 errors, 0 warnings\n");
    EXPECT_EQ(testing::names_in(s.dir.path()), (std::vector<std::string>{train_file, line_file}));
}

TEST(CheckCommand, StatusFollowsErrorsWarningsAndStrict) {
    const struct {
        const char* name;
        std::function<void(const sources_dir&)> edit;
        const char* options;
        int status;
        const char* summary;
    } cases[] = {
        {"clean_strict", [](const sources_dir&) {}, " --strict", 0, "0 errors, 0 warnings\n"},
        {"error", &sources_dir::off_grid_station, "", 1,
         "1 error, 0 warnings (not-a-multiple 1)\n"},
        {"warning", &sources_dir::lost_gradient, "", 0,
         "0 errors, 1 warning (lost-to-hyphen-skip 1)\n"},
        {"warning_strict", &sources_dir::lost_gradient, " --strict", 1,
         "0 errors, 1 warning (lost-to-hyphen-skip 1)\n"},
    };
    for (const auto& k : cases) {
        const sources_dir s;
        k.edit(s);
        const outcome o = run(s.dir.path(), check_args + k.options);
        EXPECT_EQ(o.status, k.status) << k.name << ": " << o.err;
        EXPECT_EQ(o.out, k.summary) << k.name;
    }
}

TEST(CheckCommand, DiagnosticsShowTheSourceLineAndColourOnlyWhenAsked) {
    const sources_dir s;
    s.off_grid_station();
    const std::string first =
        "Torino_Piacenza_2063-.txt:53:13: error: `stazione` `position`: 90820 m is not a multiple "
        "of 50 m [R8] at 90820 m (km 0+020)\n";
    const std::string plain = first +
                              "   53 | stazione,   90820,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,   "
                              "80,  12,46, 0, ALESSANDRIA\n"
                              "      |             ^~~~~\n";
    // Standard error is a file here: auto means no colour, and NO_COLOR does not beat always.
    EXPECT_EQ(run(s.dir.path(), check_args).err, plain);
    EXPECT_EQ(run(s.dir.path(), check_args + " --color=never").err, plain);
    const outcome coloured = run(s.dir.path(), "--color=always " + check_args);
    EXPECT_EQ(coloured.status, 2);  // an option of check, not of the program
    const outcome always = testing::run_in(
        s.dir.path(), "/usr/bin/env",
        "NO_COLOR=1 '" + std::string(COMPATTATORE_EXE) + "' " + check_args + " --color=always");
    EXPECT_NE(always.err.find("\033[1;31merror:\033[0m"), std::string::npos) << always.err;
    EXPECT_EQ(run(s.dir.path(), check_args + " --color=sometimes").status, 2);
}

TEST(CheckCommand, JsonGivesEveryDiagnosticWithPlaceExtentAndDecodedPosition) {
    const sources_dir s;
    s.off_grid_station();
    s.lost_gradient();
    const outcome o = run(s.dir.path(), check_args + " --json");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    const json j = json::parse(o.out);
    EXPECT_EQ(j["schema"], 1);
    EXPECT_EQ(j["line_file"], line_file);
    EXPECT_EQ(j["train_file"], train_file);
    EXPECT_EQ(j["encoding"], "cp850");
    EXPECT_EQ(j["result_code"], 8);
    EXPECT_EQ(j["errors"], 1);
    EXPECT_EQ(j["warnings"], 1);
    EXPECT_EQ(j["kinds"], json::parse(R"({"lost-to-hyphen-skip": 1, "not-a-multiple": 1})"));
    ASSERT_EQ(j["diagnostics"].size(), 2u);
    EXPECT_EQ(j["diagnostics"][1], json::parse(R"({
        "file": "Torino_Piacenza_2063-.txt", "line": 53, "column": 13, "length": 5,
        "end_column": 18, "code": 8, "severity": "error", "kind": "not-a-multiple",
        "message": "`stazione` `position`: 90820 m is not a multiple of 50 m", "help": null,
        "notes": [],
        "position": 90820, "position_m": 90820, "km": "0+020"})"));
    EXPECT_EQ(j["diagnostics"][0]["severity"], "warning");
    EXPECT_FALSE(j["diagnostics"][0].contains("position"));
    EXPECT_EQ(run(s.dir.path(), check_args + " --format json").out, o.out);
}

TEST(CheckCommand, NamesComeFromTheFileNamesOrTheOptions) {
    const sources_dir s;
    fs::copy_file(s.dir / line_file, s.dir / "line.txt");
    fs::copy_file(s.dir / train_file, s.dir / "train.txt");
    const struct {
        std::string args;
        int status;
        const char* says;  // start of standard error
    } cases[] = {
        {check_args, 0, ""},
        {"check line.txt train.txt --line Torino_Piacenza --train 2063", 0, ""},
        {"check line.txt train.txt", 2,
         "compattatore: cannot tell the line's name from the file name \"line.txt\" (not "
         "<line>_linea.txt): give --line; run 'compattatore check --help' for the options\n"},
        {"check line.txt train.txt --line Torino_Piacenza", 2,
         "compattatore: cannot tell the train's number from the file name \"train.txt\" (not "
         "Torino_Piacenza_<train>-.txt): give --train; run 'compattatore check --help' for the "
         "options\n"},
        {"compile line.txt train.txt --train 2063 -o .", 2,
         "compattatore: cannot tell the line's name"},
    };
    for (const auto& k : cases) {
        const outcome o = run(s.dir.path(), k.args);
        EXPECT_EQ(o.status, k.status) << k.args << ": " << o.err;
        EXPECT_TRUE(o.err.starts_with(k.says)) << k.args << ": " << o.err;
    }
    // Compile finds the same names: the files it writes carry them.
    const outcome c = run(s.dir.path(), "compile " + line_file + " " + train_file);
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_TRUE(fs::exists(s.dir / "Torino_Piacenza_2063.sim"));
}

TEST(CheckCommand, TextsFromStreamsAreCheckedWithoutTheirLines) {
    const sources_dir s;
    s.off_grid_station();
    const std::string where =
        "Torino_Piacenza_2063-.txt:53:13: error: `stazione` `position`: 90820 m is not a multiple "
        "of 50 m [R8] at 90820 m (km 0+020)\n";
    // A FIFO cannot be read twice: opening it again would wait for a writer that never comes.
    for (const std::string& script :
         {"cat " + train_file + " | timeout 20 '" + std::string(COMPATTATORE_EXE) + "' check " +
              line_file + " /dev/stdin --train 2063",
          "mkfifo pipe && (cat " + train_file + " > pipe &) && timeout 20 '" +
              std::string(COMPATTATORE_EXE) + "' check " + line_file + " pipe --train 2063"}) {
        const outcome o = testing::run_in(s.dir.path(), "/bin/sh", "-c \"" + script + "\"");
        EXPECT_EQ(o.status, 1) << script << ": " << o.err;
        const std::string file = script.starts_with("cat") ? "/dev/stdin" : "pipe";
        EXPECT_EQ(o.err, file + where.substr(where.find(':'))) << script;
    }
    EXPECT_EQ(run(s.dir.path(), check_args + " --json --format sarif").status, 2);
}

TEST(CheckCommand, InputEncodingReachesCheckAndCompile) {
    const sources_dir s;
    replace_in(s.dir / train_file, "SAN NICOLO'", "SAN NICOL\xc3\x92");  // Ò in UTF-8
    EXPECT_EQ(run(s.dir.path(), check_args).out, "0 errors, 1 warning (utf8-text 1)\n");
    EXPECT_EQ(run(s.dir.path(), check_args + " --input-encoding utf-8").out,
              "0 errors, 0 warnings\n");
    const std::string compile =
        "compile " + line_file + " " + train_file + " --input-encoding utf-8";
    ASSERT_EQ(run(s.dir.path(), compile).status, 0);
    // The simulator's table holds the name in code page 850, where Ò is 0xE3.
    EXPECT_NE(slurp(s.dir / "Torino_Piacenza_2063.sim").find("SAN NICOL\xe3"), std::string::npos);

    // A character code page 850 lacks is an error of the check: compile writes nothing then.
    replace_in(s.dir / train_file, "SAN NICOL\xc3\x92", "SAN NICOL\xe2\x82\xac");  // €
    for (const char* name :
         {"Torino_Piacenza_linea.dat", "Torino_Piacenza_2063.sim", "Torino_Piacenza_2063.dat"}) {
        fs::remove(s.dir / name);
    }
    const outcome refused = run(s.dir.path(), compile);
    EXPECT_EQ(refused.status, 1) << refused.err;
    EXPECT_TRUE(refused.out.starts_with("1 error, 0 warnings; nothing written")) << refused.out;
    EXPECT_FALSE(fs::exists(s.dir / "Torino_Piacenza_2063.sim"));
    // Shown as typed, the caret under the euro sign, the 82nd character of its line.
    const std::string caret = "SAN NICOL\xe2\x82\xac\n      | " + std::string(81, ' ') + "^\n";
    EXPECT_NE(refused.err.find(caret), std::string::npos) << refused.err;
}

TEST(SourcesCommand, KeepsAnAuthorsDescriptionsUnlessForced) {
    const sources_dir s;
    spit(s.dir / train_file, "my own train\n");
    const std::vector<std::string> before = testing::names_in(s.dir.path());
    for (const char* args : {"sources", "sources --all"}) {
        const outcome o = run(s.dir.path(), args);
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_EQ(o.err, "compattatore: ./" + line_file + " exists; --force replaces it\n") << args;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(slurp(s.dir / train_file), "my own train\n");
        EXPECT_EQ(testing::names_in(s.dir.path()), before);
    }
    const outcome forced = run(s.dir.path(), "sources --force");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(slurp(s.dir / train_file), "my own train\n");
}

}  // namespace
}  // namespace compattatore

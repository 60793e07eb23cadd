// The commands as an author runs them: the real executable, its exit statuses, what it prints
// and what it writes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "formats/binary_files.hpp"
#include "support/run_program.hpp"
#include "support/temp_dir.hpp"
#include "toolkit/compile_author.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

using testing::outcome;

// Runs the executable with args from the folder dir.
outcome run(const fs::path& dir, const std::string& args) {
    return testing::run_in(dir, COMPATTATORE_EXE, args);
}

const char* line_file = "Torino_Piacenza_linea.txt";
const char* train_file = "Torino_Piacenza_2063-.txt";
const char* outputs[] = {"Torino_Piacenza_linea.dat", "Torino_Piacenza_2063.sim",
                         "Torino_Piacenza_2063.dat"};
const std::string compile_args =
    std::string("compile ") + line_file + " " + train_file + " --line Torino_Piacenza --train 2063";

// The scenario's own descriptions in dir, written by the sources command.
void write_sources(const temp_dir& dir) {
    const outcome o = run(dir.path(), "sources");
    ASSERT_EQ(o.status, 0) << o.err;
    ASSERT_TRUE(fs::exists(dir / line_file));
    ASSERT_TRUE(fs::exists(dir / train_file));
}

// A station moved off the 50 m raster: result code 8 at 90820 m.
void break_a_station(const temp_dir& dir) {
    std::string text = slurp(dir / train_file);
    const std::string from = "stazione,   90800,";
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), "stazione,   90820,");
    spit(dir / train_file, text);
}

TEST(CompileCommand, ScenarioSourcesCompileToTheDefaultRunsBytesAndStayInPlace) {
    temp_dir default_run;
    fs::copy_file(COMPATTATORE_EXE, default_run / "compattatore");
    ASSERT_EQ(
        std::system(
            ("cd '" + default_run.path().string() + "' && ./compattatore >/dev/null").c_str()),
        0);

    temp_dir author;
    write_sources(author);
    const std::string line_before = slurp(author / line_file);
    const std::string train_before = slurp(author / train_file);
    fs::create_directory(author / "out");
    const outcome o = run(author.path(), compile_args + " --output out");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.out,
              "0 errors, 0 warnings; wrote out/Torino_Piacenza_linea.dat (3899964 bytes), "
              "out/Torino_Piacenza_2063.sim (3463 bytes), out/Torino_Piacenza_2063.dat (58515 "
              "bytes)\n");
    for (const char* name : outputs) {
        EXPECT_EQ(slurp(author / "out" / name), slurp(default_run / name)) << name;
    }
    EXPECT_EQ(slurp(author / line_file), line_before);
    EXPECT_EQ(slurp(author / train_file), train_before);
}

TEST(CompileCommand, ErrorsExitOneAndWriteNothingUnlessForced) {
    temp_dir dir;
    write_sources(dir);
    break_a_station(dir);
    const outcome o = run(dir.path(), compile_args);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err,
              "Torino_Piacenza_2063-.txt:53:13: error: `stazione` `position`: 90820 m is not a "
              "multiple of 50 m [R8] at 90820 m (km 0+020)\n"
              "   53 | stazione,   90820,  4,  600,  1, 0, 0,  4,1,0,  2,1,1,   80,  12,46, 0, "
              "ALESSANDRIA\n"
              "      |             ^~~~~\n");
    EXPECT_EQ(o.out,
              "1 error, 0 warnings; nothing written (--force writes what the default run "
              "would)\n");
    for (const char* name : outputs) EXPECT_FALSE(fs::exists(dir / name)) << name;

    // Forced: the files the default run would write for the same texts, and still status 1.
    const outcome forced = run(dir.path(), compile_args + " --force");
    EXPECT_EQ(forced.status, 1);
    author_sources s{slurp(dir / line_file), slurp(dir / train_file), "Torino_Piacenza", "2063",
                     true};
    const author_compile c = compile_author_sources(s);
    EXPECT_EQ(c.model.result_code, 8);
    EXPECT_EQ(slurp(dir / outputs[0]), encode_line_profile(c.model.line_profile));
    EXPECT_EQ(slurp(dir / outputs[1]), encode_station_table(c.model.station_table));
    EXPECT_EQ(slurp(dir / outputs[2]), encode_route_grid(c.model.route_grid));
}

TEST(CompileCommand, NoRouteGridMeansNothingWrittenEvenWhenForced) {
    temp_dir dir;
    write_sources(dir);
    const outcome o = run(dir.path(), std::string("compile nowhere.txt ") + train_file +
                                          " --line Torino_Piacenza --train 2063 --force");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "nowhere.txt: error: line description file missing [R101]\n");
    EXPECT_NE(o.out.find("nothing written"), std::string::npos);
    for (const char* name : outputs) EXPECT_FALSE(fs::exists(dir / name)) << name;
}

TEST(CompileCommand, UsageAndFileProblemsExitTwoWithOneLine) {
    temp_dir dir;
    write_sources(dir);
    fs::create_directory(dir / "a_folder");
    struct {
        const char* name;
        std::string args;
        const char* says;
    } cases[] = {
        {"missing output folder", compile_args + " --output nowhere", "does not exist"},
        {"output is a file", compile_args + " --output " + line_file, "is not a folder"},
        {"input is a folder", std::string("compile a_folder ") + train_file + " --line L --train 1",
         "it is a folder"},
        {"no line name in the file name", "compile line.txt train.txt --train 1", "give --line"},
        {"unknown command", "extra", "no arguments"},
        {"unknown option", "inspect --nonsense x.sim", "nonsense"},
    };
    for (const auto& k : cases) {
        const outcome o = run(dir.path(), k.args);
        EXPECT_EQ(o.status, 2) << k.name;
        EXPECT_NE(o.err.find(k.says), std::string::npos) << k.name << ": " << o.err;
        EXPECT_EQ(o.out, "") << k.name;
    }
    if (geteuid() != 0) {  // root writes anywhere
        fs::create_directory(dir / "locked");
        fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        const outcome o = run(dir.path(), compile_args + " --output locked");
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find("not writable"), std::string::npos) << o.err;
    }
}

TEST(CompileCommand, JsonHoldsCodePositionDiagnosticsAndFiles) {
    temp_dir dir;
    write_sources(dir);
    break_a_station(dir);
    std::string line = slurp(dir / line_file);
    line.replace(line.find("pendenza,  0,"), 8, "pend-enza");
    spit(dir / line_file, line);

    const outcome o = run(dir.path(), compile_args + " --json --force");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "");
    const auto j = nlohmann::json::parse(o.out);
    EXPECT_EQ(j["result_code"], 8);
    EXPECT_EQ(j["error_position"], 90820);
    EXPECT_EQ(j["errors"], 1);
    EXPECT_EQ(j["warnings"], 1);
    ASSERT_EQ(j["diagnostics"].size(), 2u);
    const auto& w = j["diagnostics"][0];
    EXPECT_EQ(w["file"], line_file);
    EXPECT_EQ(w["line"], 60);
    EXPECT_EQ(w["column"], 1);
    EXPECT_EQ(w["code"], 0);
    EXPECT_EQ(w["severity"], "warning");
    const auto& e = j["diagnostics"][1];
    EXPECT_EQ(e["file"], train_file);
    EXPECT_EQ(e["line"], 53);
    EXPECT_EQ(e["column"], 13);
    EXPECT_EQ(e["code"], 8);
    EXPECT_EQ(e["severity"], "error");
    EXPECT_EQ(e["message"], "`stazione` `position`: 90820 m is not a multiple of 50 m");
    EXPECT_EQ(e["position"], 90820);
    EXPECT_EQ(e["km"], "0+020");
    ASSERT_EQ(j["files"].size(), 3u);
    for (const auto& f : j["files"]) {
        EXPECT_EQ(f["size"], fs::file_size(dir / f["name"].get<std::string>())) << f["name"];
    }

    // Clean and unforced: no error position, files listed.
    temp_dir clean;
    write_sources(clean);
    const auto k = nlohmann::json::parse(run(clean.path(), compile_args + " --json").out);
    EXPECT_EQ(k["result_code"], 0);
    EXPECT_TRUE(k["error_position"].is_null());
    EXPECT_TRUE(k["diagnostics"].empty());
    EXPECT_EQ(k["files"].size(), 3u);
}

TEST(CompileCommand, NoProfileWritesNoProfileAndWarnsAboutCurves) {
    temp_dir dir;
    write_sources(dir);
    const outcome o = run(dir.path(), compile_args + " --no-profile");
    EXPECT_EQ(o.status, 0);
    EXPECT_FALSE(fs::exists(dir / outputs[0]));
    EXPECT_TRUE(fs::exists(dir / outputs[1]));
    EXPECT_NE(o.err.find("Torino_Piacenza_linea.txt:11:1: warning: curve \"curvad4\" is ignored"),
              std::string::npos);
    EXPECT_NE(o.out.find("0 errors, 48 warnings; wrote"), std::string::npos) << o.out;
}

TEST(SourcesCommand, WritesTheDescriptionsAndOnRequestTheOtherTexts) {
    temp_dir dir;
    fs::create_directory(dir / "src");
    const outcome o = run(dir.path(), "sources --all --output src");
    ASSERT_EQ(o.status, 0) << o.err;
    for (const char* name :
         {"Torino_Piacenza_linea.txt", "Torino_Piacenza_2063-.txt", "Torino_Piacenza_2063_note.txt",
          "Torino_Piacenza_2063_rallentamenti.txt", "Torino_Piacenza_2063_scheda_treno.txt"}) {
        EXPECT_TRUE(fs::exists(dir / "src" / name)) << name;
        EXPECT_NE(o.out.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(fs::file_size(dir / "src" / line_file), 4981u);
    EXPECT_EQ(run(dir.path(), "sources --output missing").status, 2);
}

TEST(Help, EveryCommandHasOne) {
    temp_dir dir;
    for (const char* command : {"", "compile", "sources", "inspect", "plot", "view"}) {
        const outcome o = run(dir.path(), std::string(command) + " --help");
        EXPECT_EQ(o.status, 0) << command;
        EXPECT_NE(o.out.find("Usage"), std::string::npos) << command << ": " << o.out;
    }
}

}  // namespace
}  // namespace compattatore

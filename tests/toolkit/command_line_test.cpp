// The author's commands under hostile or unlucky use, through the real executable: every failure
// is one line and a status, names are names, outputs only replace regular files, inputs may be
// streams, and compiles into one folder never mix their files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

#include "formats/binary_layout.hpp"
#include "ground/roles.hpp"
#include "support/run_at_once.hpp"
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

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;  // the sanitizer's shadow memory does not fit an address limit
#else
constexpr bool sanitized = false;
#endif

const std::string line_file = "Torino_Piacenza_linea.txt";
const std::string train_file = "Torino_Piacenza_2063-.txt";
const std::vector<std::string> outputs = {"Torino_Piacenza_linea.dat", "Torino_Piacenza_2063.sim",
                                          "Torino_Piacenza_2063.dat"};
const std::string identity = " --line Torino_Piacenza --train 2063";

// Runs a shell script from dir; $EXE in it is the program, $L and $T the two descriptions.
outcome run_script(const fs::path& dir, const std::string& script, const char* shell = "/bin/sh") {
    temp_dir scripts;
    std::string text = "EXE='";
    text.append(COMPATTATORE_EXE).append("'\nL=").append(line_file);
    text.append("\nT=").append(train_file).append("\n").append(script).append("\n");
    const fs::path path = scripts / "run.sh";
    spit(path, text);
    std::string quoted(1, '\'');
    quoted.append(path.string()).append(1, '\'');
    return testing::run_in(dir, shell, quoted);
}

// A folder holding the scenario's descriptions and, in ref/, their compiled files.
class Commands : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(run_script(dir.path(), "exec \"$EXE\" sources").status, 0);
        fs::create_directory(dir / "ref");
        const outcome o = run_script(dir.path(), "exec \"$EXE\" compile $L $T -o ref" + identity);
        ASSERT_EQ(o.status, 0) << o.err;
    }
    std::string ref(const std::string& name) const { return slurp(dir / "ref" / name); }
    // Every .sim or .dat below the folder but the reference files.
    std::vector<fs::path> simulator_files() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
            const fs::path p = e.path();
            if (p.parent_path() == dir / "ref") continue;
            if (p.extension() == ".sim" || p.extension() == ".dat") found.push_back(p);
        }
        return found;
    }
    std::vector<std::string> written_outputs() const {
        std::vector<std::string> found;
        for (const std::string& name : outputs) {
            if (fs::exists(dir / name)) found.push_back(name);
        }
        return found;
    }
    temp_dir dir;
};

// One line on stderr, beginning "compattatore: ".
::testing::AssertionResult one_line(const outcome& o) {
    const bool ok = o.err.starts_with("compattatore: ") && o.err.ends_with("\n") &&
                    std::count(o.err.begin(), o.err.end(), '\n') == 1;
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "stderr is not one line: [" << o.err << "]";
}

TEST_F(Commands, UsageErrorsAreOneLineWithTheHelpHint) {
    const struct {
        const char* args;
        const char* hint;
    } cases[] = {
        {"compile", "compattatore compile --help"},
        {"compile $L $T --line L", "compattatore compile --help"},
        {"compile $L $T --line L --train 1 --bogus", "compattatore compile --help"},
        {"--bogus", "compattatore --help"},
        {"inspect", "compattatore inspect --help"},
        {"inspect --points 0 ref/Torino_Piacenza_linea.dat", "compattatore inspect --help"},
        {"plot --route ref/Torino_Piacenza_2063.dat", "compattatore plot --help"},
        {"plot -o a.svg", "compattatore plot --help"},
        {"sources --nonsense", "compattatore sources --help"},
    };
    for (const auto& k : cases) {
        const outcome o = run_script(dir.path(), std::string("exec \"$EXE\" ") + k.args);
        EXPECT_EQ(o.status, 2) << k.args;
        EXPECT_TRUE(one_line(o)) << k.args;
        EXPECT_NE(o.err.find(std::string("run '") + k.hint + "'"), std::string::npos)
            << k.args << ": " << o.err;
        EXPECT_EQ(o.out, "") << k.args;
    }
}

// The version has one home, the project line of the top CMakeLists.txt; --version prints it.
TEST_F(Commands, VersionIsTheProjectsOwn) {
    const std::string cmake = slurp(fs::path(COMPATTATORE_SOURCE_DIR) / "CMakeLists.txt");
    std::smatch found;
    ASSERT_TRUE(
        std::regex_search(cmake, found, std::regex(R"(project\(compattatore VERSION ([0-9.]+))")));
    const outcome o = run_script(dir.path(), "exec \"$EXE\" --version");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "compattatore " + found[1].str() + "\n");
    EXPECT_EQ(o.err, "");
}

TEST_F(Commands, AFailedWriteOnStandardOutputIsOneLineAndStatusTwo) {
    const struct {
        const char* script;
        const char* reason;
    } cases[] = {
        {"exec \"$EXE\" inspect ref/Torino_Piacenza_2063.sim >/dev/full",
         "No space left on device"},
        {"exec \"$EXE\" inspect --json ref/Torino_Piacenza_2063.dat >/dev/full",
         "No space left on device"},
        {"mkdir s && exec \"$EXE\" sources -o s >/dev/full", "No space left on device"},
        {"exec \"$EXE\" compile $L $T --json --line L --train 1 >/dev/full",
         "No space left on device"},
        {"exec \"$EXE\" compile $L $T --line L --train 1 >/dev/full", "No space left on device"},
        {"exec \"$EXE\" plot --route ref/Torino_Piacenza_2063.dat -o - >/dev/full",
         "No space left on device"},
        {"exec \"$EXE\" --help >/dev/full", "No space left on device"},
        {"exec \"$EXE\" inspect ref/Torino_Piacenza_2063.sim >&-", "Bad file descriptor"},
    };
    for (const auto& k : cases) {
        const outcome o = run_script(dir.path(), k.script);
        EXPECT_EQ(o.status, 2) << k.script;
        EXPECT_EQ(o.err,
                  std::string("compattatore: cannot write standard output: ") + k.reason + "\n")
            << k.script;
    }
}

TEST_F(Commands, AnExceptionEscapingACommandIsOneLineAndStatusFour) {
    if (sanitized) GTEST_SKIP() << "an address-space limit stops the sanitizer, not the program";
    // A gigabyte the program cannot hold in 64 MB of address space; sparse, so it costs no disk.
    fs::resize_file(dir / line_file, 1u << 30);
    const outcome o =
        run_script(dir.path(), "ulimit -v 65536 && exec \"$EXE\" compile $L $T" + identity);
    EXPECT_EQ(o.status, 4);
    EXPECT_EQ(o.err, "compattatore: out of memory\n");
    EXPECT_EQ(written_outputs(), std::vector<std::string>{});
}

TEST_F(Commands, ADescriptionIsHeldInMemoryOnce) {
    if (sanitized) GTEST_SKIP() << "an address-space limit stops the sanitizer, not the program";
    // 48 MB of blank lines after the records: one copy fits in 112 MB of address space beside
    // the program, the three copies a compile used to hold do not.
    std::string text = slurp(dir / line_file);
    text.append(48u << 20, '\n');
    spit(dir / line_file, text);
    const outcome o =
        run_script(dir.path(), "ulimit -v 114688 && exec \"$EXE\" compile $L $T" + identity);
    ASSERT_EQ(o.status, 0) << o.err;
    for (const std::string& name : outputs) EXPECT_EQ(slurp(dir / name), ref(name)) << name;
}

// ---- names ------------------------------------------------------------------------------------

TEST_F(Commands, NamesThatCannotNameTheFilesAreRefusedAndNothingIsWritten) {
    const struct {
        const char* names;
        const char* says;
    } cases[] = {
        {"--line '' --train 1", "it is empty"},
        {"--line .. --train 1", "it is \".\" or \"..\""},
        {"--line 'a/b' --train 1", "path separator"},
        {"--line 'a\\b' --train 1", "path separator"},
        {"--line \"$(printf 'a\\033b')\" --train 1", "control character"},
        {"--line 'a?' --train 1", "Windows refuses"},
        {"--line \"$(printf '\\377')\" --train 1", "not UTF-8"},
        {"--line 'Lira\xe2\x82\xac' --train 1", "code page 850 lacks"},
        {"--line \"$(head -c 40000 /dev/zero | tr '\\0' a)\" --train 1", "longer than 255 bytes"},
        {"--line L --train linea", "two outputs would both be named \"L_linea.dat\""},
        {"--line L --train LINEA", "where case is ignored"},
    };
    fs::create_directory(dir / "out");
    for (const auto& k : cases) {
        const outcome o =
            run_script(dir.path(), std::string("exec \"$EXE\" compile $L $T -o out ") + k.names);
        EXPECT_EQ(o.status, 2) << k.names;
        EXPECT_TRUE(one_line(o)) << k.names;
        EXPECT_NE(o.err.find(k.says), std::string::npos) << k.names << ": " << o.err;
        EXPECT_EQ(simulator_files(), std::vector<fs::path>{}) << k.names;
    }
}

TEST_F(Commands, AUtf8NameIsCarriedInCodePage850) {
    const outcome o = run_script(dir.path(),
                                 "exec \"$EXE\" compile $L $T --json --line 'Citt\xc3\xa0' "
                                 "--train 'Perugia-Sant\xc3\xa9'");
    ASSERT_EQ(o.status, 0) << o.err;
    // The files are named with the bytes the station table holds, as the simulator names them.
    const std::string line = "Citt\x85";
    const std::string train = "Perugia-Sant\x82";
    const std::string sim = slurp(dir / (line + "_" + train + ".sim"));
    ASSERT_FALSE(sim.empty());
    const station_table_t t = binary_layout::decode_station_table(sim);
    EXPECT_EQ(line_header(t).line_name(), line);
    EXPECT_EQ(train_header(t).train_number(), train);
    EXPECT_TRUE(fs::exists(dir / (line + "_linea.dat")));
    // The JSON that names them stays JSON.
    const json j = json::parse(o.out);
    EXPECT_EQ(j["files"][0]["name"], "Citt\xef\xbf\xbd_linea.dat");
    EXPECT_EQ(j["files"][0]["name_bytes"], "43697474855f6c696e65612e646174");
}

TEST_F(Commands, TheLongestLegalFileNameIsWritten) {
    const std::string line(245, 'a');  // "<line>_linea.dat": 255 bytes
    fs::create_directory(dir / "out");
    const outcome o =
        run_script(dir.path(), "exec \"$EXE\" compile $L $T -o out --line " + line + " --train 1");
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(slurp(dir / "out" / (line + "_linea.dat")), ref(outputs[0]));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir / "out")) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{line + "_1.dat", line + "_1.sim", line + "_linea.dat"}));
}

// ---- outputs ----------------------------------------------------------------------------------

enum class standing { fifo, folder, device };

// Puts a non-regular file at path; false when this process may not (a device needs root).
bool place(standing what, const fs::path& path) {
    switch (what) {
        case standing::fifo:
            return mkfifo(path.c_str(), 0644) == 0;
        case standing::folder:
            return fs::create_directory(path);
        case standing::device:
            return geteuid() == 0 && mknod(path.c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    }
    return false;
}

bool still_there(standing what, const fs::path& path) {
    const fs::file_status st = fs::symlink_status(path);
    switch (what) {
        case standing::fifo:
            return fs::is_fifo(st);
        case standing::folder:
            return fs::is_directory(st) && fs::is_empty(path);
        case standing::device:
            return fs::is_character_file(st);
    }
    return false;
}

struct standing_case {
    standing what;
    const char* reason;
};
const standing_case standing_cases[] = {{standing::fifo, "not a regular file"},
                                        {standing::folder, "Is a directory"},
                                        {standing::device, "not a regular file"}};

TEST_F(Commands, CompileReplacesOnlyRegularFilesAndWritesNoneWhenOneIsTaken) {
    for (const standing_case& k : standing_cases) {
        for (const std::string& name : outputs) {
            temp_dir out;
            if (!place(k.what, out / name)) continue;
            SCOPED_TRACE(name + ": " + k.reason);
            const outcome o = run_script(dir.path(), "exec \"$EXE\" compile $L $T -o '" +
                                                         out.path().string() + "'" + identity);
            EXPECT_EQ(o.status, 2);
            EXPECT_EQ(o.err, "compattatore: cannot write " + (out / name).string() + ": " +
                                 k.reason + "\n");
            EXPECT_TRUE(still_there(k.what, out / name));
            for (const std::string& other : outputs) {
                if (other != name) {
                    EXPECT_FALSE(fs::exists(out / other)) << other;
                }
            }
        }
    }
}

TEST_F(Commands, PlotAndSourcesReplaceOnlyRegularFiles) {
    for (const standing_case& k : standing_cases) {
        temp_dir out;
        if (!place(k.what, out / "route.svg")) continue;
        SCOPED_TRACE(k.reason);
        const outcome plot =
            run_script(dir.path(), "exec \"$EXE\" plot --route ref/" + outputs[2] + " -o '" +
                                       (out / "route.svg").string() + "'");
        EXPECT_EQ(plot.status, 2);
        EXPECT_EQ(plot.err, "compattatore: cannot write " + (out / "route.svg").string() + ": " +
                                k.reason + "\n");
        EXPECT_TRUE(still_there(k.what, out / "route.svg"));

        if (!place(k.what, out / train_file)) continue;
        const outcome sources =
            run_script(dir.path(), "exec \"$EXE\" sources -o '" + out.path().string() + "'");
        EXPECT_EQ(sources.status, 2);
        EXPECT_TRUE(one_line(sources));
        EXPECT_TRUE(still_there(k.what, out / train_file));
        EXPECT_FALSE(fs::exists(out / line_file));  // written before it, had it not been checked
    }
}

TEST_F(Commands, PlotToADashWritesThePictureToStandardOutput) {
    for (const std::string& option : {"--route ref/" + outputs[2],
                                      "--profile ref/" + outputs[0] + " --sim ref/" + outputs[1]}) {
        const outcome file = run_script(dir.path(), "exec \"$EXE\" plot " + option + " -o a.svg");
        ASSERT_EQ(file.status, 0) << file.err;
        const outcome piped = run_script(dir.path(), "exec \"$EXE\" plot " + option + " -o -");
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.err, "");
        EXPECT_TRUE(piped.out == slurp(dir / "a.svg")) << option;
        EXPECT_FALSE(fs::exists(dir / "-"));
    }
}

// ---- inputs -----------------------------------------------------------------------------------

TEST_F(Commands, DescriptionsFromStreamsCompileLikeTheFiles) {
    const struct {
        const char* script;
        const char* shell;
    } cases[] = {
        {"cat $L | exec \"$EXE\" compile /dev/stdin $T", "/bin/sh"},
        {"cat $T | exec \"$EXE\" compile $L /dev/stdin", "/bin/sh"},
        {"exec \"$EXE\" compile /dev/stdin $T <$L", "/bin/sh"},
        {"mkfifo p && { cat $T >p & } && exec \"$EXE\" compile $L p", "/bin/sh"},
        {"exec \"$EXE\" compile <(cat $L) <(cat $T)", "/bin/bash"},
    };
    for (const auto& k : cases) {
        fs::remove_all(dir / "out");
        fs::create_directory(dir / "out");
        const outcome o =
            run_script(dir.path(), std::string(k.script) + " -o out" + identity, k.shell);
        EXPECT_EQ(o.status, 0) << k.script << ": " << o.err;
        EXPECT_EQ(o.err, "") << k.script;
        for (const std::string& name : outputs) {
            EXPECT_TRUE(slurp(dir / "out" / name) == ref(name)) << k.script << ": " << name;
        }
        fs::remove(dir / "p");
    }
}

TEST_F(Commands, AFolderGivenAsADescriptionIsRefused) {
    fs::create_directory(dir / "a_folder");
    for (const std::string args : {"a_folder $T", "$L a_folder"}) {
        const outcome o = run_script(dir.path(), "exec \"$EXE\" compile " + args + identity);
        EXPECT_EQ(o.status, 2) << args;
        EXPECT_EQ(o.err, "compattatore: cannot read a_folder: it is a folder\n") << args;
        EXPECT_EQ(written_outputs(), std::vector<std::string>{}) << args;
    }
}

// ---- JSON -------------------------------------------------------------------------------------

TEST_F(Commands, JsonStaysJsonWithCodePage850TextsAndPathsThatAreNotUtf8) {
    // A dropped field echoes the description's own byte (0x85, à in code page 850).
    std::string line = slurp(dir / line_file);
    line.insert(line.find("[fine]"), "pend\x85nza, 100, 2\r\n");
    spit(dir / "line\xff.txt", line);
    const outcome compiled = run_script(
        dir.path(), "exec \"$EXE\" compile \"$(printf 'line\\377.txt')\" $T --json" + identity);
    EXPECT_EQ(compiled.status, 0) << compiled.err;
    const json c = json::parse(compiled.out);
    ASSERT_EQ(c["diagnostics"].size(), 1u);
    EXPECT_EQ(c["diagnostics"][0]["message"],
              "`pend\xc3\xa0nza` names no record: the rest of its line is dropped");
    EXPECT_EQ(c["diagnostics"][0]["file"], "line\xef\xbf\xbd.txt");
    EXPECT_EQ(c["diagnostics"][0]["file_bytes"], "6c696e65ff2e747874");

    fs::copy_file(dir / "ref" / outputs[1], dir / "table\xff.sim");
    const outcome inspected =
        run_script(dir.path(), "exec \"$EXE\" inspect --json \"$(printf 'table\\377.sim')\"");
    EXPECT_EQ(inspected.status, 0) << inspected.err;
    const json i = json::parse(inspected.out);
    EXPECT_EQ(i["files"][0]["file"], "table\xef\xbf\xbd.sim");
    EXPECT_EQ(i["files"][0]["file_bytes"], "7461626c65ff2e73696d");
    EXPECT_EQ(i["files"][0]["header"]["line_name"], "Torino_Piacenza");
}

// ---- concurrent compiles ----------------------------------------------------------------------

std::vector<int> run_at_once(const fs::path& dir,
                             const std::vector<std::vector<std::string>>& cmds) {
    return testing::run_at_once(dir, COMPATTATORE_EXE, cmds);
}

TEST_F(Commands, CompilesIntoOneFolderEachWriteAWholeSetOfFiles) {
    // A second scenario whose three files all differ from the first's.
    fs::create_directory(dir / "b");
    std::string line = slurp(dir / line_file);
    line.replace(line.find("curvad4,  1700,  500"), 20, "curvad3,  1700,  500");
    line.replace(line.find("pendenza,  0,   1"), 17, "pendenza,  0,   2");
    spit(dir / "b" / line_file, line);
    std::string train = slurp(dir / train_file);
    train.replace(train.find("stazione,   90800,  4,  600"), 27, "stazione,   90800,  4,  400");
    spit(dir / "b" / train_file, train);
    fs::create_directory(dir / "refb");
    ASSERT_EQ(run_script(dir.path(), "exec \"$EXE\" compile b/$L b/$T -o refb" + identity).status,
              0);
    for (const std::string& name : outputs) {
        ASSERT_NE(ref(name), slurp(dir / "refb" / name)) << name;
    }

    const auto compile = [](const std::string& from) {
        return std::vector<std::string>{"compile", from + line_file,  from + train_file,
                                        "--line",  "Torino_Piacenza", "--train",
                                        "2063",    "--output",        "out"};
    };
    fs::create_directory(dir / "out");
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::vector<int> statuses =
            run_at_once(dir.path(), {compile(""), compile("b/"), compile(""), compile("b/")});
        EXPECT_EQ(statuses, std::vector<int>(4, 0));
        std::string sets;
        for (const std::string& name : outputs) {
            const std::string got = slurp(dir / "out" / name);
            sets += got == ref(name) ? 'a' : got == slurp(dir / "refb" / name) ? 'b' : '?';
        }
        EXPECT_TRUE(sets == "aaa" || sets == "bbb") << "the files came from " << sets;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 3)
            << "temporary files left";
        if (HasFailure()) break;
    }
}

}  // namespace
}  // namespace compattatore

#pragma once
// Runs a command line through the shell from a given folder and captures what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.hpp"

namespace compattatore::testing {

struct outcome {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// `program args` run from folder; program is quoted, args are passed to the shell as written.
inline outcome run_in(const std::filesystem::path& folder, const std::filesystem::path& program,
                      const std::string& args = "") {
    temp_dir captured;
    const std::string cmd = "cd '" + folder.string() + "' && '" + program.string() + "' " + args +
                            " >'" + (captured / "out").string() + "' 2>'" +
                            (captured / "err").string() + "'";
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(captured / "out"),
            slurp(captured / "err")};
}

// The eight files of the default run, in the order it writes them; the first two are the
// scratch description texts.
inline const std::array<std::string, 8> run_files = {
    "Torino_Piacenza_linea.txt",
    "Torino_Piacenza_2063-.txt",
    "Torino_Piacenza_2063_note.txt",
    "Torino_Piacenza_2063_rallentamenti.txt",
    "Torino_Piacenza_2063_scheda_treno.txt",
    "Torino_Piacenza_linea.dat",
    "Torino_Piacenza_2063.sim",
    "Torino_Piacenza_2063.dat",
};

}  // namespace compattatore::testing

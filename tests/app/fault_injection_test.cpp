// The real executable in a hostile place: a folder it may not write, a disk that fills up in the
// middle of a file, files it may not replace, description texts it cannot read back. Every time
// the run must end with one line on stderr and a non-zero status, leave no temporary file, and
// leave every file that was there before either as it was or completely replaced.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "sources/writers.hpp"
#include "support/generated_descriptions.hpp"
#include "support/run_program.hpp"
#include "support/temp_dir.hpp"

namespace compattatore {
namespace {

namespace fs = std::filesystem;
using testing::slurp;
using testing::spit;
using testing::temp_dir;

// The eight files of a run, in the order the run writes them; the first two are the scratch
// description texts.
using testing::run_files;
bool is_scratch_text(const std::string& name) {
    return name == run_files[0] || name == run_files[1];
}

// The unprivileged user the run is dropped to when the tests run as root, where permission bits
// stop nothing.
constexpr uid_t nobody = 65534;

struct child_setup {
    std::optional<rlim_t> file_size_limit;  // bytes; the program must not die of SIGXFSZ
    std::optional<mode_t> umask;
    bool unprivileged = false;
};

struct outcome {
    int status = -1;
    std::string err;
};

// Runs exe with no arguments from another folder, set up in the child before exec.
outcome run(const fs::path& exe, const child_setup& setup) {
    temp_dir elsewhere;
    const fs::path out = elsewhere / "out";
    const fs::path err = elsewhere / "err";
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0) _exit(120);
        if (chdir(elsewhere.path().c_str()) != 0) _exit(121);
        if (setup.umask) umask(*setup.umask);
        if (setup.file_size_limit) {
            // As a shell starts it: the default disposition would kill the process at the limit.
            std::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{*setup.file_size_limit, *setup.file_size_limit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(122);
        }
        if (setup.unprivileged) {
            if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(123);
        }
        execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(124);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    outcome result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.err = slurp(err);
    return result;
}

// Whether permission bits can stop this process's children: as root only by dropping to an
// unprivileged user, which must work here.
bool can_drop_privileges() {
    if (geteuid() != 0) return true;
    temp_dir probe;
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0) _exit(1);
        _exit(access(probe.path().c_str(), W_OK) == 0 ? 2 : 0);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
}

class FaultInjection : public ::testing::Test {
  protected:
    // The bytes a clean run writes, for telling a completely replaced file from a partial one.
    static void SetUpTestSuite() {
        temp_dir clean;
        const fs::path exe = clean / "compattatore";
        fs::copy_file(COMPATTATORE_EXE, exe);
        const outcome o = run(exe, {});
        ASSERT_EQ(o.status, 0) << o.err;
        for (const auto& name : run_files) {
            if (!is_scratch_text(name)) new_bytes_[name] = slurp(clean / name);
        }
        new_bytes_[run_files[0]] = testing::join_crlf(dati_linea_lines());
        new_bytes_[run_files[1]] = testing::join_crlf(dati_treno_lines());
    }

    void SetUp() override {
        exe_ = dir_ / "compattatore";
        fs::copy_file(COMPATTATORE_EXE, exe_);
        // Every file of the run is there from an earlier run, each shorter and each longer than
        // what the run writes, so a partial write would show either way.
        for (std::size_t i = 0; i < run_files.size(); ++i) {
            const std::size_t length = i % 2 ? 10 : new_bytes_[run_files[i]].size() + 1000;
            earlier_[run_files[i]] = std::string(length, static_cast<char>('a' + i));
            spit(dir_ / run_files[i], earlier_[run_files[i]]);
        }
    }

    // One line, naming the file and the reason.
    void expect_one_line(const outcome& o, const std::string& file, const std::string& reason) {
        EXPECT_EQ(o.status, 3) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_NE(o.err.find(file), std::string::npos) << o.err;
        EXPECT_NE(o.err.find(reason), std::string::npos) << o.err;
    }

    enum class state { earlier, replaced, gone };
    state state_of(const std::string& name) {
        if (!fs::exists(dir_ / name)) return state::gone;
        const std::string bytes = slurp(dir_ / name);
        if (bytes == earlier_[name]) return state::earlier;
        EXPECT_EQ(bytes, new_bytes_[name])
            << name << " is neither the earlier file nor the new one";
        return state::replaced;
    }
    // What each file must be afterwards, and that no temporary file is left.
    void expect_files(const std::map<std::string, state>& expected) {
        for (const auto& [name, want] : expected) {
            EXPECT_EQ(static_cast<int>(state_of(name)), static_cast<int>(want)) << name;
        }
        for (const auto& e : fs::directory_iterator(dir_.path())) {
            EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos)
                << e.path().filename();
        }
    }
    std::map<std::string, state> all(state s) {
        std::map<std::string, state> m;
        for (const auto& name : run_files) m[name] = s;
        return m;
    }

    temp_dir dir_;
    fs::path exe_;
    std::map<std::string, std::string> earlier_;
    static std::map<std::string, std::string> new_bytes_;
};
std::map<std::string, std::string> FaultInjection::new_bytes_;

TEST_F(FaultInjection, AFolderThatCannotBeWrittenStopsAtTheFirstFileAndTouchesNothing) {
    if (!can_drop_privileges()) GTEST_SKIP() << "running as root and cannot drop privileges";
    child_setup setup;
    if (geteuid() == 0) {
        setup.unprivileged = true;  // the folder is root's, 0755
    } else {
        fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }
    const outcome o = run(exe_, setup);
    expect_one_line(o, run_files[0], "Permission denied");
    expect_files(all(state::earlier));
}

TEST_F(FaultInjection, FilesOfAnotherUserInASharedFolderAreNotReplaced) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to own the earlier files";
    if (!can_drop_privileges()) GTEST_SKIP() << "cannot drop privileges";
    // Anyone may create files in a sticky folder, but only replace their own: the temporary
    // file is written and must be removed again when it cannot be renamed over root's file.
    fs::permissions(dir_.path(), fs::perms::all | fs::perms::sticky_bit);
    child_setup setup;
    setup.unprivileged = true;
    const outcome o = run(exe_, setup);
    expect_one_line(o, run_files[0], "Operation not permitted");
    expect_files(all(state::earlier));
}

// A file-size limit stands for a disk that fills up: the write that crosses it fails.
TEST_F(FaultInjection, ADiskFullInTheFirstTextLeavesEveryFileAsItWas) {
    child_setup setup;
    setup.file_size_limit = 4096;  // the line description text is 4981 bytes
    const outcome o = run(exe_, setup);
    expect_one_line(o, run_files[0], "File too large");
    expect_files(all(state::earlier));
}

TEST_F(FaultInjection, ADiskFullInTheLineProfileKeepsTheTextsWrittenAndTheBinaryFilesAsTheyWere) {
    child_setup setup;
    setup.file_size_limit = 1 << 20;  // every text fits; the profile (3.9 MB) does not
    const outcome o = run(exe_, setup);
    expect_one_line(o, "Torino_Piacenza_linea.dat", "File too large");
    std::map<std::string, state> expected = all(state::replaced);
    expected[run_files[0]] = state::gone;  // read back and deleted by the compiler
    expected[run_files[1]] = state::gone;
    expected["Torino_Piacenza_linea.dat"] = state::earlier;
    expected["Torino_Piacenza_2063.sim"] = state::earlier;
    expected["Torino_Piacenza_2063.dat"] = state::earlier;
    expect_files(expected);
}

// Texts created with no permission bits at all cannot be read back by their unprivileged
// writer: the compile fails on a file, removes both scratch texts and writes no binary file.
TEST_F(FaultInjection, DescriptionTextsThatCannotBeReadBackFailTheRunAndAreRemoved) {
    if (!can_drop_privileges()) GTEST_SKIP() << "running as root and cannot drop privileges";
    child_setup setup;
    setup.umask = 0777;
    if (geteuid() == 0) {
        setup.unprivileged = true;
        fs::permissions(dir_.path(), fs::perms::all);
    }
    const outcome o = run(exe_, setup);
    expect_one_line(o, run_files[0], "cannot read");
    for (const auto& name : run_files) {
        std::error_code ec;  // so the files can be compared when the tests are not root
        fs::permissions(dir_ / name, fs::perms::owner_read, fs::perm_options::add, ec);
    }
    std::map<std::string, state> expected = all(state::replaced);
    expected[run_files[0]] = state::gone;
    expected[run_files[1]] = state::gone;
    expected["Torino_Piacenza_linea.dat"] = state::earlier;
    expected["Torino_Piacenza_2063.sim"] = state::earlier;
    expected["Torino_Piacenza_2063.dat"] = state::earlier;
    expect_files(expected);
}

}  // namespace
}  // namespace compattatore

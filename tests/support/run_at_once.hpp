#pragma once
// Starts several copies of a program at the same moment and waits for all of them: how tests
// make runs race for one folder.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace compattatore::testing {

// Runs program once per argument list, all at once, from folder, with their output thrown away;
// returns their exit statuses in the same order (-1 for one that did not exit normally).
inline std::vector<int> run_at_once(const std::filesystem::path& folder,
                                    const std::filesystem::path& program,
                                    const std::vector<std::vector<std::string>>& arg_lists) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    std::vector<pid_t> pids;
    for (const auto& args : arg_lists) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
            pids.push_back(pid);
        }
    }
    std::filesystem::current_path(here);
    posix_spawn_file_actions_destroy(&actions);
    std::vector<int> statuses;
    for (const pid_t pid : pids) {
        int raw = 0;
        waitpid(pid, &raw, 0);
        statuses.push_back(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1);
    }
    return statuses;
}

}  // namespace compattatore::testing

#include "core/platform/SignCommand.h"

#include <cerrno>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

#include "core/stream/CError.h"

extern char** environ;

namespace velkan {

std::string SignCommandFor(const std::string& command, const std::string& path)
{
    std::string out;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '%' && i + 1 < command.size() && command[i + 1] == '1') {
            out += path;
            ++i;
        } else {
            out += command[i];
        }
    }
    return out;
}

void RunSignCommand(const std::string& command, const std::string& path)
{
    const std::string line = SignCommandFor(command, path);
    std::vector<std::string> args = {"/bin/sh", "-c", line};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    pid_t pid = 0;
    int error = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw CError("the signing command could not start (" + std::string(std::strerror(error)) +
                     "): " + line);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw CError("the signing command was lost: " + line);
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
    if (WIFSIGNALED(status)) {
        throw CError("the signing command was stopped by signal " +
                     std::to_string(WTERMSIG(status)) + ": " + line);
    }
    throw CError("the signing command failed with exit status " +
                 std::to_string(WEXITSTATUS(status)) + ": " + line);
}

}  // namespace velkan

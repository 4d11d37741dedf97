#include "CliRunner.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/core/package/PackageTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& arg)
{
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

}  // namespace

std::string ReadFileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

void WriteStandInRuntime(const fs::path& dir)
{
    fs::create_directories(dir);
    WriteFileBytes(dir / "500.bin", velkan::test::FakeStub(200));
    WriteFileBytes(dir / "502.bin", velkan::test::FakeDialogBlock());
    WriteFileBytes(dir / "503.bin", velkan::test::FakeDialogBlock());
    WriteFileBytes(dir / "507.bin", velkan::test::FakeStub(300, false));
}

pid_t StartVelkanc(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& errPath)
{
    std::vector<std::string> all = {VELKANC_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<std::string> environment = env;
    std::vector<char*> argv, envp;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, VELKANC_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

CliResult RunVelkanc(const std::vector<std::string>& args)
{
    return RunVelkancAt(VELKANC_PATH, args);
}

CliResult RunVelkancAt(const std::string& program, const std::vector<std::string>& args)
{
    TempDir capture;
    std::string command = Quote(program);
    for (const auto& a : args) command += " " + Quote(a);
    command += " >" + Quote((capture / "out").string()) + " 2>" +
               Quote((capture / "err").string()) + " </dev/null";
    int status = std::system(command.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFileText(capture / "out");
    r.err = ReadFileText(capture / "err");
    return r;
}

TempDir::TempDir()
{
    static int counter = 0;
    m_path = fs::temp_directory_path() /
             ("velkan_cli_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

// Runs the real velkanc binary with arguments and captures its exit code, stdout and stderr.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

CliResult RunVelkanc(const std::vector<std::string>& args);
// The same for a copy of velkanc elsewhere (what it finds beside itself differs).
CliResult RunVelkancAt(const std::string& program, const std::vector<std::string>& args);

// velkanc started in the background with args and the environment env (NAME=VALUE each), its
// input from /dev/null, its output discarded and its errors written to errPath; returns its pid.
pid_t StartVelkanc(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const std::string& errPath);
// Waits for a started velkanc: its exit code, or -1 when a signal ended it.
int WaitForExit(pid_t pid);

// A fresh empty directory for one test, removed at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
// The install runtime as small stand-ins carrying the slot markers, in dir for --runtime: the
// stub, both dialog blocks and the uninstaller.
void WriteStandInRuntime(const std::filesystem::path& dir);

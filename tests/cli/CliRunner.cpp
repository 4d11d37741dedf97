#include "CliRunner.h"

#include <gtest/gtest.h>

#include <fstream>
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

// What the Wine tests of the install runtime share: running programs under the private prefix
// (its own WINEPREFIX and HOME inside the build tree), host file helpers, registry queries and
// the fixture that gives each test its own directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/model/CDataArray.h"

namespace velkan::test {

namespace fs = std::filesystem;

extern const fs::path kWork;

// The Wine loader for 64-bit programs.
const std::string& WineLoader();
bool HaveWine();
std::string Quote(const std::string& s);

// Runs a command line under the private prefix; returns its exit code (8 bits, as Unix gives it).
int Shell(const std::string& command);
// Runs a Windows program and waits until every process it started has ended.
int Wine(const std::string& program, const std::string& args);
// Runs a setup program unattended: /S, then options (/V=..., when not empty), the log and the
// installation directory; its exit code.
int InstallUnattended(const fs::path& setup, const fs::path& target, const fs::path& log,
                      const std::string& options = {});
// The standard output of a command line run under the private prefix (or the prefix given).
std::string Capture(const std::string& command, const fs::path& prefix = {});

// The Windows form of a host path (Wine's Z: drive is the host root).
std::string WinPath(const fs::path& path);
// The host path of a directory of the prefix's C: drive, e.g. PrefixDir("windows\\system32").
fs::path PrefixDir(const std::string& windowsRelative);

std::vector<uint8_t> ReadBytes(const fs::path& path);
std::string ReadText(const fs::path& path);
void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const fs::path& path, const std::string& text);
std::vector<uint8_t> Noise(size_t size, unsigned seed);
std::vector<fs::path> FilesUnder(const fs::path& dir);
std::vector<fs::path> FindByName(const fs::path& dir, const std::string& name);

// Registry access through Wine's reg.exe. RegValue gives the data of one value as reg.exe prints
// it (a DWORD as 0x..., a multi-string with \0 between its strings), or nothing when the value
// does not exist; an empty name is the key's default value. RegValue and ProgramsEntries read the
// private prefix's registry, or the prefix given.
bool RegKeyExists(const std::string& key);
std::optional<std::string> RegValue(const std::string& key, const std::string& name,
                                    const fs::path& prefix = {});
// The same value with its type, as reg.exe prints them: "REG_EXPAND_SZ    %ProgramFiles%\Old".
std::optional<std::string> RegTypedValue(const std::string& key, const std::string& name,
                                         const fs::path& prefix = {});
void RegAdd(const std::string& key, const std::string& name, const std::string& data);
void RegDelete(const std::string& key, const std::string& name = {});
// The installed-programs entries, the machine's and the user's, whose DisplayName is displayName:
// their keys as reg.exe names them.
std::vector<std::string> ProgramsEntries(const std::string& displayName,
                                         const fs::path& prefix = {});

// The usage counts of shared files, as reg.exe names the key.
inline const std::string kSharedDlls =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The Windows programs built for the tests (tests/runtime/pe); empty without the cross compiler.
fs::path TestProgram(const std::string& name);

class RuntimeWine : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // A version reading its files from m_dir/src<n>/.
    CData Version(int n, const std::string& name);

    fs::path m_dir;
};

}  // namespace velkan::test

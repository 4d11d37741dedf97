// Hostile inputs against velkanc's readers: what is not a regular file, deltas that rebuild
// without end, projects whose lists are out of proportion to the file, names that would drive
// the terminal. Each is refused at once with a message naming the file, or shown escaped.
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

#include "CliRunner.h"
#include "core/model/ProjectFile.h"
#include "core/platform/CodePage.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override { WriteStandInRuntime(m_dir / "rt"); }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }
    // A one-version program of noise files, spread over continuation files of 40000 bytes.
    void BuildSpanned(const std::string& title = "T", const std::string& extraName = "")
    {
        fs::create_directories(m_dir / "src");
        CDataArray project = NewProject();
        CData& version = project.m_versions[0];
        version.m_files.clear();
        version.m_strUninstFile.clear();
        version.m_strTitle = title;
        version.m_strSourceDir = P("src") + "/";
        std::mt19937 random(3);
        std::string bytes(90000, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        WriteFileText(m_dir / "src" / "noise.bin", bytes);
        version.m_files.push_back(CFileItem("noise.bin"));
        if (!extraName.empty()) {
            WriteFileText(m_dir / "src" / Cp1252Host(extraName), "x");
            version.m_files.push_back(CFileItem(extraName));
        }
        SaveProject(project, P("p.vkp"));
        CliResult r = RunVelkanc({"build", P("p.vkp"), "--runtime", P("rt"), "-o", P("setup.exe"),
                                  "--span", "40000", "--yes"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    static std::string Cp1252Host(const std::string& name)
    {
        std::string out;
        for (unsigned char c : name) {
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else {  // the bytes used here are C1 positions: U+0080-U+009F
                out += static_cast<char>(0xC2);
                out += static_cast<char>(c);
            }
        }
        return out;
    }
    void MakeFifo(const std::string& name) const { ASSERT_EQ(mkfifo(P(name).c_str(), 0600), 0); }

    TempDir m_dir;
};

// Every reader opens regular files only: a FIFO (which would wait for a writer forever) or a
// device (which would feed bytes without end) is refused at the open, naming the file.
TEST_F(HostileInput, ReadersRefuseFifosAndDevicesAtOnce)
{
    BuildSpanned();
    MakeFifo("fifo");
    WriteFileText(m_dir / "old", "old");
    WriteFileText(m_dir / "delta", std::string("\0\0\0\0\0\0", 6));
    const struct {
        std::vector<std::string> args;
        std::string named;
    } cases[] = {
        {{"verify", P("fifo")}, P("fifo")},
        {{"inspect", P("fifo")}, P("fifo")},
        {{"extract", P("fifo"), "--to", P("x")}, P("fifo")},
        {{"verify", "/dev/zero"}, "/dev/zero"},
        {{"show", P("fifo")}, P("fifo")},
        {{"show", "/dev/zero"}, "/dev/zero"},
        {{"texts", "import", P("p.vkp"), P("fifo")}, P("fifo")},
        {{"patch", P("fifo"), P("delta"), P("out")}, P("fifo")},
        {{"patch", P("old"), P("fifo"), P("out")}, P("fifo")},
        {{"unpack", P("fifo"), P("out")}, P("fifo")},
        {{"pack", "/dev/zero", P("out")}, "/dev/zero"},
        {{"delta", P("fifo"), P("old"), P("out")}, P("fifo")},
    };
    for (const auto& c : cases) {
        CliResult r = RunVelkanc(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args[0] << " " << c.named << "\n" << r.err;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("only regular files are read"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(P("out")));
    }
    // A continuation file that is a FIFO is refused the same way.
    fs::remove(P("setup.D01"));
    MakeFifo("setup.D01");
    CliResult r = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("a FIFO"), std::string::npos) << r.out << r.err;
}

// A delta of long copies of the same bytes rebuilds 65664 bytes per 6 bytes of commands: without
// the file's length, patch stops at its stated bound before writing anything.
TEST_F(HostileInput, PatchStopsAtItsBoundWithoutTheLength)
{
    WriteFileText(m_dir / "old", std::string(70000, 'a'));
    // The command sub-stream, stored with a 4-byte length: a long copy of 65664 bytes from 0,
    // then copies of the same bytes again (distance -65664, the three-byte code FF 3F A0).
    std::string commands = std::string("\x00\xFF\xFF\x80", 4);
    const size_t copies = 5000;  // about 328 MB
    for (size_t i = 1; i < copies; ++i) commands += std::string("\x00\xFF\xFF\xFF\x3F\xA0", 6);
    std::string delta = "\x02";
    for (int i = 0; i < 4; ++i) delta += static_cast<char>(commands.size() >> (8 * i));
    delta += commands;
    delta += std::string("\x00\x00\x00", 3);  // no literals
    WriteFileText(m_dir / "delta", delta);

    CliResult r = RunVelkanc({"patch", P("old"), P("delta"), P("out")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("the most a delta rebuilds without its length"), std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(P("out")));
    // Given a length, the file must come out exactly that long, checked before writing.
    r = RunVelkanc({"patch", "--size", "131328", P("old"), P("delta"), P("out")});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_FALSE(fs::exists(P("out")));
    // Within the bound the same kind of delta is applied.
    std::string two = "\x02";
    std::string twoCommands = std::string("\x00\xFF\xFF\x80\x00\xFF\xFF\xFF\x3F\xA0", 10);
    for (int i = 0; i < 4; ++i) two += static_cast<char>(twoCommands.size() >> (8 * i));
    two += twoCommands + std::string("\x00\x00\x00", 3);
    WriteFileText(m_dir / "delta2", two);
    r = RunVelkanc({"patch", "-q", P("old"), P("delta2"), P("out")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileText(m_dir / "out"), std::string(131328, 'a'));
}

// A project of many empty keys to remove is one byte per key in the file but a string object in
// memory: it is refused, as the same text project is.
TEST_F(HostileInput, ProjectsOutOfProportionToTheirFileAreRefused)
{
    CDataArray project = NewProject();
    project.m_versions[0].m_regKeysToRemove.assign(400000, "");
    SaveProject(project, P("keys.vkp"));
    std::string json = "{\"m_versions\": [{\"m_regKeysToRemove\": [\"\"";
    for (int i = 1; i < 1000000; ++i) json += ",\"\"";
    WriteFileText(m_dir / "keys.json", json + "]}]}");
    for (const char* name : {"keys.vkp", "keys.json"}) {
        for (const char* command : {"show", "build"}) {
            CliResult r = RunVelkanc({command, P(name), "--runtime", P("rt"), "-o", P("o.exe")});
            if (std::string(command) == "show") r = RunVelkanc({command, P(name)});
            EXPECT_EQ(r.exitCode, 1) << command << " " << name << "\n" << r.err;
            EXPECT_NE(r.err.find("out of proportion"), std::string::npos) << r.err;
        }
    }
}

// Names and texts from a setup program are printed with control characters escaped, C1
// included (the Windows-1252 bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D): never a raw escape sequence.
TEST_F(HostileInput, PrintedNamesEscapeControlCharacters)
{
    BuildSpanned("T\x81[2J", "n\x9D.txt");
    const std::vector<std::vector<std::string>> commands = {
        {"inspect", P("setup.exe")},
        {"inspect", P("setup.exe"), "--json"},
        {"extract", P("setup.exe"), "--to", P("x")},
    };
    for (const auto& args : commands) {
        CliResult r = RunVelkanc(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        for (const char* raw : {"\xC2\x81", "\xC2\x9D", "\x81", "\x9D"})
            EXPECT_EQ(r.out.find(raw), std::string::npos) << args[0];
        EXPECT_NE(r.out.find("\\u009d"), std::string::npos) << args[0] << r.out;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/model/CArchive.h"
#include "core/model/ProjectFile.h"
#include "core/package/CFilePackageInput.h"
#include "core/package/CPackageReader.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class ProjectCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir / "src" / "sub");
        WriteFileText(m_dir / "src" / "app.exe", "MZ");
        WriteFileText(m_dir / "src" / "Helper.DLL", "dll");
        WriteFileText(m_dir / "src" / "sub" / "read me.txt", "text");
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }

    TempDir m_dir;
};

}  // namespace

TEST_F(ProjectCommands, NewScansTheSourceAndShowPrintsIt)
{
    auto r = RunVelkanc({"new", "--source", P("src"), "--title", "Caf\xC3\xA9", "-o", P("p.vkp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CDataArray p = LoadProject(P("p.vkp"));
    ASSERT_EQ(p.m_versions.size(), 1u);
    const CData& v = p.m_versions[0];
    EXPECT_EQ(v.m_strName, "Default");
    EXPECT_EQ(v.m_strSourceDir, "src/");  // inside the project's folder: stored relative to it
    EXPECT_EQ(v.m_strTitle, "Caf\xE9");
    ASSERT_EQ(v.m_files.size(), 3u);
    EXPECT_EQ(v.m_files[0].m_strPath, "app.exe");
    EXPECT_EQ(v.m_files[1].m_strPath, "Helper.DLL");
    EXPECT_EQ(v.m_files[1].GetOption(OptUsageCount), OptionOn);
    EXPECT_EQ(v.m_files[2].m_strPath, "sub\\read me.txt");

    auto json = RunVelkanc({"show", P("p.vkp"), "--json"});
    ASSERT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find("\"title\": \"Caf\xC3\xA9\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"sub/read me.txt\""), std::string::npos) << json.out;
    // show without --json shows every field, defaults too.
    EXPECT_NE(RunVelkanc({"show", P("p.vkp")}).out.find("face: \"Arial\""), std::string::npos);

    // A source outside the project's folder stays absolute.
    fs::create_directories(P("proj"));
    ASSERT_EQ(RunVelkanc({"new", "--source", P("src"), "-o", P("proj/p.vkp")}).exitCode, 0);
    EXPECT_EQ(LoadProject(P("proj/p.vkp")).m_versions[0].m_strSourceDir, P("src") + "/");

    auto flat = RunVelkanc({"new", "--source", P("src"), "--no-subdirs", "-o", P("flat.vkp")});
    ASSERT_EQ(flat.exitCode, 0);
    EXPECT_EQ(LoadProject(P("flat.vkp")).m_versions[0].m_files.size(), 2u);
}

TEST_F(ProjectCommands, ConvertWritesTheNewestSchema)
{
    // A single-version file of the oldest layout.
    CArchive ar;
    ar.WriteDword(0x00010001);
    ar.WriteString("C:\\src\\");
    ar.WriteInt(1);
    ar.WriteCount(0);
    ar.WriteString("Old");
    ar.WriteCount(0);
    for (const char* s : {"Un.exe", "", ""}) ar.WriteString(s);
    ar.WriteCount(0);
    for (const char* s : {"", "", "Back", ""}) ar.WriteString(s);
    ar.WriteInt(1);
    ar.WriteInt(1);
    ar.WriteString("C:\\Old");
    ar.WriteInt(0);
    for (int i = 0; i < 5; ++i) ar.WriteString("");
    ar.WriteString("");
    ar.WriteInt(1);
    WriteFileText(m_dir / "old.vkp", std::string(ar.Bytes().begin(), ar.Bytes().end()));

    auto r = RunVelkanc({"convert", P("old.vkp"), P("new.vkp")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string written = ReadFileText(m_dir / "new.vkp");
    ASSERT_GE(written.size(), 4u);
    EXPECT_EQ(written.substr(0, 4), std::string("\x03\x00\x02\x00", 4));
    CDataArray p = LoadProject(P("new.vkp"));
    std::vector<unsigned char> again = WriteProject(p);
    EXPECT_EQ(std::string(again.begin(), again.end()), written);
    EXPECT_EQ(p.m_versions[0].m_strTitle, "Old");
}

TEST_F(ProjectCommands, FailuresNameTheFileAndKeepTheOldOutput)
{
    WriteFileText(m_dir / "keep.vkp", "previous");
    std::string valid(reinterpret_cast<const char*>(WriteProject(NewProject()).data()),
                      WriteProject(NewProject()).size());
    WriteFileText(m_dir / "short.vkp", valid.substr(0, 50));
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    } cases[] = {
        {{"convert", P("short.vkp"), P("keep.vkp")},
         1,
         P("short.vkp") + ": Unexpected file format."},
        {{"convert", P("keep.vkp"), P("keep2.vkp")}, 1, P("keep.vkp") + ": Incorrect version!"},
        {{"convert", P("missing.vkp"), P("keep.vkp")}, 1, P("missing.vkp")},
        {{"show", P("short.vkp")}, 1, "Unexpected file format."},
        {{"new", "--source", P("nowhere"), "-o", P("keep.vkp")}, 1, "not a directory"},
        {{"convert", P("a")}, 2, "missing argument"},
        {{"show", P("a"), "--bogus"}, 2, "unknown option --bogus"},
        {{"frobnicate"}, 2, "unknown command"},
    };
    for (const Case& c : cases) {
        auto r = RunVelkanc(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        if (c.exitCode == 1) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
    EXPECT_EQ(ReadFileText(m_dir / "keep.vkp"), "previous");
    EXPECT_FALSE(fs::exists(m_dir / "keep2.vkp"));
    for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos);
    }
}

TEST_F(ProjectCommands, HelpForTheToolAndEachCommand)
{
    auto tool = RunVelkanc({"--help"});
    EXPECT_EQ(tool.exitCode, 0);
    for (const char* name : {"show", "convert", "new", "texts export", "texts import"}) {
        EXPECT_NE(tool.out.find(name), std::string::npos) << name;
    }
    auto one = RunVelkanc({"texts", "import", "--help"});
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_NE(one.out.find("Usage: velkanc texts import"), std::string::npos);
}

TEST_F(ProjectCommands, TextsExportImportRoundTrip)
{
    CDataArray p = NewProject();
    p.m_versions.emplace_back();
    p.m_versions[1].m_strName = "Pro";
    p.m_versions[1].m_texts[2][1] = "Line one\nLine two";
    SaveProject(p, P("t.vkp"));

    auto exported = RunVelkanc({"texts", "export", P("t.vkp"), P("texts.txt"), "--version", "Pro"});
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    std::string file = ReadFileText(m_dir / "texts.txt");
    EXPECT_EQ(file.substr(0, 8), "*0000*\r\n");
    EXPECT_NE(file.find("*0201*\r\nLine one\r\nLine two\r\n\r\n"), std::string::npos);

    std::string translated = "*0201*\r\nZeile eins\r\n\r\n*0999*\r\nignored\r\n";
    WriteFileText(m_dir / "de.txt", translated);
    auto imported = RunVelkanc({"texts", "import", P("t.vkp"), P("de.txt"), "--version", "2"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    CDataArray back = LoadProject(P("t.vkp"));
    EXPECT_EQ(back.m_versions[1].m_texts[2][1], "Zeile eins");
    EXPECT_EQ(back.m_versions[0].m_texts[2][1], p.m_versions[0].m_texts[2][1]);

    auto missing = RunVelkanc({"texts", "import", P("t.vkp"), P("none.txt")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(P("none.txt")), std::string::npos);
    auto noVersion = RunVelkanc({"texts", "export", P("t.vkp"), P("x.txt"), "--version", "3"});
    EXPECT_EQ(noVersion.exitCode, 1);
    EXPECT_NE(noVersion.err.find("no version 3"), std::string::npos);
}

// velkan preview: the test program names the start page and the current version, and carries
// no file table; without -o it is a usage error.
TEST_F(ProjectCommands, PreviewWritesATestProgramStartingAtThePageAsked)
{
    ASSERT_EQ(RunVelkanc({"new", "--source", P("src"), "-o", P("p.vkp")}).exitCode, 0);
    EXPECT_EQ(RunVelkanc({"preview", P("p.vkp")}).exitCode, 2);
    struct Case {
        std::vector<std::string> page;
        uint16_t code;
    };
    const Case cases[] = {
        {{}, 0xFFFF}, {{"--page", "2"}, 4}, {{"--page", "9"}, 2}, {{"--page", "5"}, 7}};
    for (const Case& c : cases) {
        std::vector<std::string> args{"preview", P("p.vkp"), "-o", P("test.exe")};
        args.insert(args.end(), c.page.begin(), c.page.end());
        auto r = RunVelkanc(args);
        if (r.exitCode != 0 && r.err.find("no setup stub") != std::string::npos)
            GTEST_SKIP() << "no runtime built";
        ASSERT_EQ(r.exitCode, 0) << r.err;
        CPackageReader reader(std::make_unique<CFilePackageInput>(P("test.exe")));
        reader.Read();
        ASSERT_TRUE(reader.Contents().testSection.has_value());
        EXPECT_EQ(reader.Contents().testSection->pageCode, c.code);
        EXPECT_EQ(reader.Contents().testSection->currentVersion, 0);
        ASSERT_EQ(reader.Contents().versions.size(), 1u);
        EXPECT_FALSE(reader.Contents().versions[0].hasFileTable);
        EXPECT_TRUE(reader.Contents().dialogBlock.has_value());
    }
}

TEST_F(ProjectCommands, ProjectsAsTextConvertBothWaysAndServeEveryCommand)
{
    ASSERT_EQ(RunVelkanc({"new", "--source", P("src"), "--title", "Caf\xC3\xA9", "-o", P("p.vkp")})
                  .exitCode,
              0);
    ASSERT_EQ(RunVelkanc({"convert", P("p.vkp"), P("p.json")}).exitCode, 0);
    ASSERT_EQ(RunVelkanc({"convert", P("p.json"), P("back.vkp")}).exitCode, 0);
    EXPECT_EQ(ReadFileText(m_dir / "back.vkp"), ReadFileText(m_dir / "p.vkp"));
    ASSERT_EQ(RunVelkanc({"convert", P("back.vkp"), P("again.JSON")}).exitCode, 0);
    EXPECT_EQ(ReadFileText(m_dir / "again.JSON"), ReadFileText(m_dir / "p.json"));

    // show --json prints exactly the text project; show and texts read it.
    auto json = RunVelkanc({"show", P("p.vkp"), "--json"});
    EXPECT_EQ(json.out, ReadFileText(m_dir / "p.json"));
    EXPECT_EQ(RunVelkanc({"show", P("p.json")}).out, RunVelkanc({"show", P("p.vkp")}).out);
    ASSERT_EQ(RunVelkanc({"texts", "export", P("p.json"), P("t.txt")}).exitCode, 0);
    ASSERT_EQ(RunVelkanc({"texts", "import", P("p.json"), P("t.txt")}).exitCode, 0);
    ASSERT_EQ(RunVelkanc({"texts", "import", P("p.vkp"), P("t.txt")}).exitCode, 0);
    ASSERT_EQ(RunVelkanc({"convert", P("p.vkp"), P("imported.json")}).exitCode, 0);
    EXPECT_EQ(ReadFileText(m_dir / "p.json"), ReadFileText(m_dir / "imported.json"))
        << "texts import keeps a text project as text";

    WriteFileText(m_dir / "bad.json",
                  "{\"versions\": [{\"files\": [\n  {\"path\": \"a\", \"install\": 1}]}]}");
    auto bad = RunVelkanc({"convert", P("bad.json"), P("bad.vkp")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "velkanc: " + P("bad.json") +
                           ": line 2: versions[0].files[0].install: expected one of normal, "
                           "no-uninstall, no-install, directory-only, found a number\n");
    EXPECT_FALSE(fs::exists(m_dir / "bad.vkp"));
}

// What a newcomer meets first: new says what it wrote and its --title is the title everywhere
// with an installation folder; convert takes -o as the writing commands do; a usage error is
// one line pointing at --help; a command's first word alone lists its commands.
TEST(NewcomerCommands, SayWhatTheyDoAndPointAtHelp)
{
    TempDir dir;
    fs::create_directories(dir / "src");
    WriteFileText(dir / "src" / "a.txt", "a");
    CliResult made = RunVelkanc({"new", "--source", (dir / "src").string(), "--title", "Acme Tool",
                                 "-o", (dir / "p.vkp").string()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.out.find((dir / "p.vkp").string() + ": a project with one version, 1 file(s)"),
              std::string::npos)
        << made.out;
    CDataArray project = LoadProject((dir / "p.vkp").string());
    EXPECT_EQ(project.m_strBackTitle, "Acme Tool");
    EXPECT_EQ(project.m_versions[0].m_strTitle, "Acme Tool");
    EXPECT_EQ(project.m_versions[0].m_strInstallDir, "#Program Files#\\Acme Tool");

    ASSERT_EQ(
        RunVelkanc({"convert", (dir / "p.vkp").string(), "-o", (dir / "p.json").string()}).exitCode,
        0);
    EXPECT_EQ(LoadProject((dir / "p.json").string()).m_strBackTitle, "Acme Tool");

    CliResult usage = RunVelkanc({"build", (dir / "p.vkp").string(), "--no-such-option"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_EQ(usage.err,
              "velkanc build: unknown option --no-such-option (see 'velkanc build "
              "--help')\n");

    CliResult texts = RunVelkanc({"texts"});
    EXPECT_EQ(texts.exitCode, 2);
    EXPECT_NE(texts.err.find("texts export"), std::string::npos) << texts.err;
    EXPECT_NE(texts.err.find("texts import"), std::string::npos) << texts.err;
    EXPECT_NE(RunVelkanc({"--help"}).out.find("--version"), std::string::npos);
}

#include "core/builder/CInstallBuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>

#include "core/model/CDataArray.h"
#include "core/model/FileOption.h"
#include "core/package/PackageChecksum.h"
#include "core/wizard/WizardBitmap.h"
#include "core/res/StringTable.h"
#include "tests/core/builder/BuildTestSupport.h"
#include "tests/support/BitmapFiles.h"

using namespace velkan;
using namespace velkan::test;
namespace fs = std::filesystem;
using ByteVec = std::vector<uint8_t>;

namespace {

// Incompressible bytes, so a delta that copies from the reference is clearly smaller than a copy.
ByteVec Noise(uint32_t seed, size_t size)
{
    std::mt19937 random(seed);
    ByteVec bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

ByteVec Text(const std::string& line, size_t times)
{
    ByteVec bytes;
    for (size_t i = 0; i < times; ++i) {
        std::string numbered = line + " " + std::to_string(i) + "\r\n";
        bytes.insert(bytes.end(), numbered.begin(), numbered.end());
    }
    return bytes;
}

class BuildInstallProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFakeRuntime();
        fs::create_directories(TempDir());
        project.m_versions.clear();
    }
    void TearDown() override { ClearRuntimeResourceOverrides(); }

    std::string SourceDir(size_t v) const { return m_dir.Path("v" + std::to_string(v)) + "/"; }
    std::string TempDir() const { return m_dir.Path("tmp"); }
    std::string Output() const { return m_dir.Path("setup.exe"); }

    CData& AddVersion()
    {
        CData& version = project.m_versions.emplace_back();
        version.m_strUninstFile.clear();
        version.m_strSourceDir = SourceDir(project.m_versions.size() - 1);
        fs::create_directories(version.m_strSourceDir);
        return version;
    }
    // Writes the source file and lists it in version v.
    CFileItem& AddFile(size_t v, const std::string& path, const ByteVec& bytes)
    {
        std::string relative = path;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::string hostPath = SourceDir(v) + relative;
        fs::create_directories(fs::path(hostPath).parent_path());
        CFile file(hostPath, CFile::Mode::Create);
        file.Write(bytes.data(), bytes.size());
        file.Close();
        CData& version = project.m_versions[v];
        version.m_files.push_back(CFileItem(path));
        return version.m_files.back();
    }

    BuildResult Build(const std::string& output = std::string())
    {
        BuildSettings settings{output.empty() ? Output() : output, TempDir()};
        settings.jobs = jobs;
        settings.shareEqualFiles = shareEqualFiles;
        return BuildInstallProgram(project, report, host, disks, settings);
    }
    std::unique_ptr<CPackageReader> Read(const std::string& path = std::string())
    {
        auto reader = CPackageReader::OpenFile(path.empty() ? Output() : path);
        reader->Read();
        reader->LoadDataChunks();
        return reader;
    }
    bool TempDirEmpty() const { return fs::is_empty(TempDir()); }

    BuildScratch m_dir;
    unsigned jobs = 0;  // the build's threads (0: one per processor)
    bool shareEqualFiles = false;
    CDataArray project;
    RecordingReport report;
    ScriptedHost host;
    LocalDisks disks;
};

// Versions sharing, changing, keeping out and hiding files, with the uninstaller in some of them:
// every entry's decision, its numbers, and the files rebuilt from the package.
class BuildAcrossVersions : public BuildInstallProgramTest,
                            public ::testing::WithParamInterface<int> {};

TEST_P(BuildAcrossVersions, StoresEachContentOnceAndRebuildsEveryFile)
{
    project.m_nPlatform = GetParam();
    const ByteVec a = Text("same in every version", 2000);
    const ByteVec b0 = Noise(1, 120000);
    ByteVec b1 = b0;
    for (size_t i = 50000; i < 50100; ++i) b1[i] ^= 0x5A;
    const ByteVec c = Text("kept beside the setup program", 300);

    AddVersion().m_strUninstFile = "Uninst.exe";
    AddFile(0, "a.txt", a);
    AddFile(0, "sub\\b.dat", b0);
    AddFile(0, "c.ext", c).SetOption(OptKeepExternal, OptionOn);
    AddFile(0, "d.txt", Text("hidden", 5)).SetOption(OptInstallMode, InstallSkip);

    AddVersion();
    AddFile(1, "A.TXT", a);
    AddFile(1, "sub\\b.dat", b1);
    CFileItem& shown = AddFile(1, "d.txt", Text("hidden", 5));
    shown.SetOption(OptInstallMode, InstallSkip);
    shown.m_strMenuName = "Read me";
    shown.m_strMenuFolder = "Hello";

    CData& third = AddVersion();
    third.m_strUninstFile = "Uninst.exe";
    third.m_strUninstFolder = "Hello";
    AddFile(2, "a.txt", a);
    AddFile(2, "sub\\b.dat", b1);
    AddFile(2, "c.ext", c).SetOption(OptKeepExternal, OptionOn);

    BuildResult result = Build();
    ASSERT_EQ(result.status, BuildStatus::Built) << result.error;
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(TempDirEmpty());
    EXPECT_EQ(host.begun, 1);
    EXPECT_EQ(host.ended, 1);

    auto reader = Read();
    const PackageContents& contents = reader->Contents();
    ASSERT_EQ(contents.versions.size(), 3u);
    EXPECT_TRUE(contents.uninstallerProgram.has_value());
    EXPECT_EQ(contents.fileLength, fs::file_size(Output()));
    EXPECT_EQ(result.programSize, contents.fileLength);

    const auto& t0 = contents.versions[0].files;
    const auto& t1 = contents.versions[1].files;
    const auto& t2 = contents.versions[2].files;
    ASSERT_EQ(t0.size(), 4u);  // uninstaller, a, b, c; d makes no entry
    ASSERT_EQ(t1.size(), 3u);  // a, b, d
    ASSERT_EQ(t2.size(), 4u);  // uninstaller, a, b, c

    EXPECT_EQ(t0[0].m_nFlags, package::kEntryUninstaller);
    EXPECT_EQ(t0[0].m_strPath, "Uninst.exe");
    EXPECT_EQ(t2[0].m_strMenuFolder, "Hello");

    // a: stored once by version 0, taken over by the others.
    EXPECT_EQ(t0[1].m_strPath, "a.txt");
    EXPECT_EQ(t0[1].m_nSourceVersion, 0);
    EXPECT_EQ(t0[1].m_nSourceEntry, 1u);
    for (const CFileEntry* e : {&t1[0], &t2[1]}) {
        EXPECT_EQ(e->m_nOffset, t0[1].m_nOffset);
        EXPECT_EQ(e->m_nPackedSize, t0[1].m_nPackedSize);
        EXPECT_EQ(e->m_nSourceVersion, 0);
        EXPECT_EQ(e->m_nSourceEntry, 1u);
        EXPECT_EQ(e->m_nFlags & package::kEntryDelta, 0);
    }
    EXPECT_EQ(t1[0].m_strPath, "A.TXT");  // each table keeps its own spelling

    // b: version 1 stores a small delta against version 0; version 2 takes the delta over.
    EXPECT_TRUE(t1[1].m_nFlags & package::kEntryDelta);
    EXPECT_EQ(t1[1].m_nSourceVersion, 0);
    EXPECT_EQ(t1[1].m_nSourceEntry, 2u);
    EXPECT_LT(t1[1].m_nPackedSize, b1.size() / 10);
    EXPECT_TRUE(t2[2].m_nFlags & package::kEntryDelta);
    EXPECT_EQ(t2[2].m_nOffset, t1[1].m_nOffset);
    EXPECT_EQ(t2[2].m_nSourceVersion, 0);

    // c: kept external, its facts stored all the same; version 2 takes it over.
    for (const CFileEntry* e : {&t0[3], &t2[3]}) {
        EXPECT_EQ(e->m_nOffset, package::kOffsetExternal);
        EXPECT_EQ(e->m_nPackedSize, 0u);
        EXPECT_TRUE(e->m_nFlags & package::kEntryExternal);
        EXPECT_TRUE(e->m_nFlags & package::kEntryHasTimes);
        EXPECT_EQ(e->m_nSize, c.size());
        EXPECT_EQ(e->m_nChecksum ^ contents.key, PackageChecksum(c.data(), c.size(), 0));
        EXPECT_EQ(e->m_nSourceVersion, 0);
        EXPECT_EQ(e->m_nSourceEntry, 3u);
    }

    // d: only its icon makes an entry, without data.
    EXPECT_EQ(t1[2].m_strPath, "d.txt");
    EXPECT_EQ(t1[2].m_strMenuName, "Read me");
    EXPECT_TRUE(t1[2].HasNoData());
    EXPECT_EQ(t1[2].m_nOffset, 0u);
    EXPECT_EQ(t1[2].m_nSize, 0u);
    EXPECT_EQ(t1[2].m_nChecksum, 0u);
    EXPECT_EQ(t1[2].m_nFlags, 0);

    // Every file rebuilt from the package equals its source.
    const std::map<std::string, ByteVec> sources0 = {{"a.txt", a}, {"sub\\b.dat", b0}};
    const std::map<std::string, ByteVec> sources12 = {
        {"a.txt", a}, {"A.TXT", a}, {"sub\\b.dat", b1}};
    for (size_t v = 0; v < 3; ++v) {
        const auto& sources = v == 0 ? sources0 : sources12;
        const auto& files = contents.versions[v].files;
        for (size_t e = 0; e < files.size(); ++e) {
            EXPECT_NO_THROW(reader->VerifyFile(v, e)) << v << " " << e;
            auto found = sources.find(files[e].m_strPath);
            if (found != sources.end()) {
                EXPECT_EQ(RebuiltFile(*reader, v, e), found->second) << files[e].m_strPath;
            }
        }
    }

    // One line per path, the uninstaller first, then the summary.
    const std::vector<std::string> expected = {
        "Uninstaller",
        "a.txt",
        "sub\\b.dat",
        "c.ext",
        "d.txt",
        "",
        "Result :",
        "    Number of files: 5",
        "    Total uncompressed size: " + std::to_string(a.size() + b0.size() + b1.size()) +
            " bytes",
        "    Total compressed size: " + std::to_string(result.compressedBytes) + " bytes",
        "    Install program size: " + std::to_string(fs::file_size(Output())) + " bytes"};
    EXPECT_EQ(report.Texts(), expected);
    const auto* line = report.Find("sub\\b.dat");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->size, b0.size() + b1.size());
    EXPECT_EQ(line->packed, t0[2].m_nPackedSize + t1[1].m_nPackedSize);
    line = report.Find("d.txt");
    EXPECT_TRUE(line->hasNumbers);
    EXPECT_EQ(line->size, 0u);
    EXPECT_EQ(line->packed, 0u);
    EXPECT_EQ(result.storedFiles, 5u);
    EXPECT_EQ(result.compressedBytes,
              t0[1].m_nPackedSize + t0[2].m_nPackedSize + t1[1].m_nPackedSize);
}

INSTANTIATE_TEST_SUITE_P(Platforms, BuildAcrossVersions,
                         ::testing::Values(CDataArray::Win32, CDataArray::Win31));

TEST_F(BuildInstallProgramTest, ProgressStaysInRangeAndEndsWithEveryByteCounted)
{
    jobs = 1;  // one thread shows progress within each file
    AddVersion();
    for (int i = 0; i < 5; ++i) AddFile(0, "f" + std::to_string(i), Noise(i, 70000));
    ASSERT_EQ(Build().status, BuildStatus::Built);
    ASSERT_FALSE(host.texts.empty());
    EXPECT_EQ(host.texts.front(), " 00.00% ");
    EXPECT_TRUE(std::is_sorted(host.positions.begin(), host.positions.end()));
    EXPECT_LE(host.positions.back(), 10000u);
    EXPECT_GT(host.positions.back(), 9000u);
    EXPECT_GT(host.pumps, 5);
}

TEST_F(BuildInstallProgramTest, WarningsAnsweredNoWriteNothing)
{
    AddVersion();
    AddFile(0, "a.exe", Text("x", 10)).m_strMenuName = "A";  // an icon without a folder
    CFileItem& other = AddFile(0, "b.exe", Text("y", 10));
    other.m_strMenuName = "B";
    other.m_strMenuFolder = "Other";
    CFileItem& third = AddFile(0, "c.exe", Text("z", 10));
    third.m_strMenuName = "C";
    third.m_strMenuFolder = "Third";
    host.answers[LoadString(1185)] = false;

    EXPECT_EQ(Build().status, BuildStatus::Declined);
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_TRUE(TempDirEmpty());
    EXPECT_EQ(host.begun, 0);
    EXPECT_EQ(host.questions, std::vector<std::string>{LoadString(1185)});
    EXPECT_EQ(report.Texts(), (std::vector<std::string>{LoadString(1182), LoadString(1183)}));
}

TEST_F(BuildInstallProgramTest, IconFolderChecksCompareWithTheUninstallerFolder)
{
    CData& first = AddVersion();
    first.m_strUninstFile = "Uninst.exe";
    first.m_strUninstIcon = "Remove";  // in no folder
    CData& second = AddVersion();
    second.m_strUninstFile = "Uninst.exe";
    second.m_strUninstIcon = "Remove";
    second.m_strUninstFolder = "Elsewhere";  // the last one is what the files are compared with
    CFileItem& item = AddFile(0, "a.exe", Text("x", 10));
    item.m_strMenuName = "A";
    item.m_strMenuFolder = "#Start Menu#";  // never compared
    CFileItem& other = AddFile(1, "b.exe", Text("y", 10));
    other.m_strMenuName = "B";
    other.m_strMenuFolder = "product";
    CFileItem& same = AddFile(1, "c.exe", Text("z", 10));
    same.m_strMenuName = "C";
    same.m_strMenuFolder = "PRODUCT";  // folders compare without regard to case
    host.answers[LoadString(1185)] = true;

    ASSERT_EQ(Build().status, BuildStatus::Built);
    EXPECT_EQ(host.questions, std::vector<std::string>{LoadString(1185)});
    ASSERT_GE(report.lines.size(), 3u);
    EXPECT_EQ(report.lines[0].text, LoadString(1181));
    EXPECT_EQ(report.lines[1].text, LoadString(1184));
    EXPECT_EQ(report.lines[2].text, "Uninstaller");
}

// A registry key the uninstaller would refuse to remove is a warning of the build, asked about
// like the others; a product's own key is not.
TEST_F(BuildInstallProgramTest, RegistryKeysTheUninstallerRefusesAreWarnings)
{
    CData& version = AddVersion();
    version.m_strUninstFile = "Uninst.exe";
    version.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\Vendor",
                                 "HKEY_CURRENT_USER\\Software",
                                 "HKEY_LOCAL_MACHINE\\Software\\Microsoft"};
    AddFile(0, "a.exe", Text("x", 10));
    host.answers[LoadString(1185)] = false;

    EXPECT_EQ(Build().status, BuildStatus::Declined);
    EXPECT_FALSE(fs::exists(Output()));
    std::vector<std::string> texts = report.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("\"HKEY_CURRENT_USER\\Software\""), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("\"HKEY_LOCAL_MACHINE\\Software\\Microsoft\""), std::string::npos)
        << texts[1];
}

// An empty key row and a string that cannot fit where it is to be written are warnings naming
// the version and the item; strings that fit, or whose size depends on the machine, are not.
TEST_F(BuildInstallProgramTest, EmptyKeysAndStringsThatCannotFitAreWarnings)
{
    CData& version = AddVersion();
    version.m_strName = "Pro";
    version.m_strUninstFile = "Uninst.exe";
    version.m_regKeysToRemove = {"HKEY_CURRENT_USER\\Software\\Vendor\\App", ""};
    AddFile(0, "conf\\app.ini", ByteVec(27, 'x'));
    auto string = [&](const char* offset, const char* text, int mode = CFileInfo::Numerical) {
        CFileInfo info;
        info.m_strFile = "conf\\app.ini";
        info.m_strOffset = offset;
        info.m_strText = text;
        info.m_nOffsetMode = mode;
        version.m_fileStrings.push_back(info);
    };
    string("16", "0123456789");              // 11 bytes with the 0 byte at 16 of 27: fits
    string("16", "0123456789A");             // 12 bytes: one too many
    string("16", "#InstallDir#");            // known only at install time
    string("'zz'", "a", CFileInfo::String);  // the pattern is not in the file
    string("'xx'", "a", CFileInfo::String);  // found at 0
    host.answers[LoadString(1185)] = false;

    EXPECT_EQ(Build().status, BuildStatus::Declined);
    std::vector<std::string> texts = report.Texts();
    ASSERT_EQ(texts.size(), 3u) << (texts.empty() ? "" : texts[0]);
    EXPECT_EQ(texts[0],
              "Warning: version \"Pro\", registry key 2 to remove is empty; it is left out.");
    EXPECT_EQ(texts[1],
              "Warning: version \"Pro\", string to write into \"conf\\app.ini\": the string of 12 "
              "bytes with its 0 byte does not fit at offset 16 of the 27-byte file; the install "
              "would fail.");
    EXPECT_NE(texts[2].find("the byte pattern does not occur"), std::string::npos) << texts[2];
}

// A bitmap the wizard cannot show is a warning, asked about, saying why; one larger than its
// field is said to be scaled down, without asking. Shown bitmaps are carried whole.
TEST_F(BuildInstallProgramTest, BitmapsTheWizardCannotShowAreWarnings)
{
    auto picture = [](int x, int y) { return static_cast<uint32_t>(x + y) % 3; };
    const ByteVec oversize = MakeBitmapFile(BitmapForm::Rle8, 164, 314, picture);
    ByteVec cut = MakeBitmapFile(BitmapForm::Bits24, 20, 20, picture);
    cut.resize(cut.size() - 1);
    struct Case {
        const char* what;
        ByteVec wizard, pattern;  // empty: no file at the path
        bool fullScreen;          // where the pattern is carried
        bool asked;
        std::vector<std::string> found;  // in the report's lines, in order
    } cases[] = {
        {"shown as they are",
         MakeBitmapFile(BitmapForm::Rle4, 128, 280, picture),
         MakeBitmapFile(BitmapForm::Bits1, 8, 8, picture),
         true,
         false,
         {}},
        {"scaled down",
         oversize,
         {},
         false,
         false,
         {"Warning: the wizard bitmap \"",
          "\": it is 164x314 pixels, larger than its 128x280 "
          "field: the wizard shows it scaled down to 128x245."}},
        {"top-down and missing",
         MakeBitmapFile(BitmapForm::TopDown, 8, 8, picture),
         {},
         true,
         true,
         {"will not show the wizard bitmap", ": its rows run top-down",
          "will not show the background bitmap", ": it cannot be read."}},
        {"cut short", cut, {}, false, true, {"bitmap \"", "\": its pixels are cut short."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        project = CDataArray();
        report.lines.clear();
        host.questions.clear();
        AddVersion();
        AddFile(0, "a.exe", Text("x", 10));
        project.m_nWindowMode = c.fullScreen ? CDataArray::FullScreen : CDataArray::SmallWindow;
        project.m_strWizardBitmap = m_dir.Path("wizard.bmp");
        project.m_strBackBitmap = m_dir.Path("pattern.bmp");
        fs::remove(project.m_strBackBitmap);
        std::ofstream(project.m_strWizardBitmap, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.wizard.data()),
                   static_cast<std::streamsize>(c.wizard.size()));
        if (!c.pattern.empty()) {
            std::ofstream(project.m_strBackBitmap, std::ios::binary)
                .write(reinterpret_cast<const char*>(c.pattern.data()),
                       static_cast<std::streamsize>(c.pattern.size()));
        }
        host.answers[LoadString(1185)] = true;

        ASSERT_EQ(Build().status, BuildStatus::Built);
        EXPECT_EQ(host.questions.size(), c.asked ? 1u : 0u);
        std::string all;
        for (const std::string& line : report.Texts()) all += line + "\n";
        size_t at = 0;
        for (const std::string& text : c.found) {
            at = all.find(text, at);
            ASSERT_NE(at, std::string::npos) << text << " in\n" << all;
        }
        if (c.found.empty()) {
            EXPECT_EQ(all.find("Warning"), std::string::npos) << all;
        }
        std::unique_ptr<CPackageReader> reader = Read();
        // Carried by the package's own test (a damaged one too: the runtime refuses it there).
        EXPECT_EQ(reader->Contents().wizardBitmap.has_value(), PassesBitmapTest(c.wizard));
        if (PassesBitmapTest(c.wizard)) {
            EXPECT_EQ(*reader->Contents().wizardBitmap, c.wizard);
        }
    }
}

TEST_F(BuildInstallProgramTest, NothingToInstallLeavesNoProgram)
{
    AddVersion();
    AddFile(0, "a.txt", Text("x", 10)).SetOption(OptInstallMode, InstallSkip);
    AddVersion();
    AddFile(1, "b.txt", Text("y", 10)).SetOption(OptInstallMode, InstallSkip);

    BuildResult result = Build();
    EXPECT_EQ(result.status, BuildStatus::NothingToInstall);
    EXPECT_EQ(host.information, std::vector<std::string>{LoadString(1106)});
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_TRUE(TempDirEmpty());
    EXPECT_TRUE(report.lines.empty());
}

TEST_F(BuildInstallProgramTest, TheSetupProgramInsideASourceDirectoryIsNotPackedIntoItself)
{
    AddVersion();
    AddFile(0, "a.txt", Text("x", 10));
    AddFile(0, "setup.exe", Text("an earlier build", 10));
    const std::string output = SourceDir(0) + "setup.exe";

    ASSERT_EQ(Build(output).status, BuildStatus::Built);
    auto reader = Read(output);
    ASSERT_EQ(reader->Contents().versions[0].files.size(), 1u);
    EXPECT_EQ(reader->Contents().versions[0].files[0].m_strPath, "a.txt");
}

struct StopCase {
    const char* name;
    IBuildHost::PumpResult pump;
    bool answer;  // to "Do you want to stop?"
    BuildStatus expected;
};

class BuildStops : public BuildInstallProgramTest,
                   public ::testing::WithParamInterface<StopCase> {};

TEST_P(BuildStops, CancelLeavesNothingAndNoGoesOn)
{
    const StopCase& c = GetParam();
    AddVersion();
    AddFile(0, "a", Noise(1, 200000));
    AddVersion();
    ByteVec changed = Noise(1, 200000);
    changed[1000] ^= 1;
    AddFile(1, "a", changed);  // a delta, whose encoder reports progress too
    AddFile(1, "b", Noise(2, 200000));
    jobs = 1;  // one thread pumps within each file
    host.stopAfterPumps = 2;
    host.stopResult = c.pump;
    host.answers[LoadString(1076)] = c.answer;

    BuildResult result = Build();
    EXPECT_EQ(result.status, c.expected);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(TempDirEmpty());
    EXPECT_EQ(host.ended, 1);
    EXPECT_EQ(fs::exists(Output()), c.expected == BuildStatus::Built);
    if (c.pump == IBuildHost::PumpResult::StopRequested) {
        EXPECT_FALSE(host.questions.empty());
        for (const auto& q : host.questions) EXPECT_EQ(q, LoadString(1076));
    } else {
        EXPECT_TRUE(host.questions.empty());
    }
    if (c.expected == BuildStatus::Built) {
        EXPECT_NO_THROW(Read()->VerifyFile(1, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildStops,
    ::testing::Values(
        StopCase{"EscapeYes", IBuildHost::PumpResult::StopRequested, true, BuildStatus::Cancelled},
        StopCase{"EscapeNo", IBuildHost::PumpResult::StopRequested, false, BuildStatus::Built},
        StopCase{"Quit", IBuildHost::PumpResult::Quit, true, BuildStatus::Cancelled}),
    [](const auto& param) { return std::string(param.param.name); });

// A source file that goes away or cannot be read once the build has begun: the build fails with
// a message naming the file and leaves nothing behind.
class SourceFault : public BuildInstallProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(SourceFault, FailsNamingTheFile)
{
    AddVersion();
    AddFile(0, "first.txt", Text("first", 100));
    AddFile(0, "victim.dat", Text("second", 100));
    const std::string victim = SourceDir(0) + "victim.dat";
    const int fault = GetParam();
    jobs = 1;  // the second file is read only after the first one's progress
    host.onProgress = [&](size_t calls) {
        if (calls != 2) return;  // the first file's turn: the second is still untouched
        fs::remove(victim);
        if (fault == 1) fs::create_directory(victim);  // there, but not a readable file
    };

    BuildResult result = Build();
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.error.find("victim.dat"), std::string::npos) << result.error;
    EXPECT_EQ(host.errors, std::vector<std::string>{result.error});
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_TRUE(TempDirEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, SourceFault, ::testing::Values(0, 1));

// A runtime program the project needs and this builder lacks fails the build before it asks
// about warnings or writes anything; one the project does not need is not looked for.
TEST_F(BuildInstallProgramTest, AMissingRuntimeProgramFailsBeforeAnythingIsWritten)
{
    struct Case {
        const char* name;
        int missing;
        bool uninstaller;
        bool wizardBitmap;
        bool fails;
    } cases[] = {
        {"stub", package::kStubWin32, false, false, true},
        {"dialogs", package::kDialogsWin32, false, false, true},
        {"bitmap dialogs", package::kDialogsWin32Bitmap, false, true, true},
        {"uninstaller", package::kUninstallerWin32, true, false, true},
        {"unneeded uninstaller", package::kUninstallerWin32, false, false, false},
        {"unneeded bitmap dialogs", package::kDialogsWin32Bitmap, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InstallFakeRuntime();
        OverrideRuntimeResource(c.missing, std::nullopt);
        fs::remove(Output());
        project.m_versions.clear();
        project.m_strWizardBitmap = c.wizardBitmap ? "wizard.bmp" : "";
        AddVersion().m_strUninstFile = c.uninstaller ? "Uninst.exe" : "";
        AddFile(0, "a.exe", Text("x", 10)).m_strMenuName = "A";  // an icon in no folder: a warning
        host = ScriptedHost();
        BuildResult result = Build();
        if (!c.fails) {
            EXPECT_EQ(result.status, BuildStatus::Built) << result.error;
            continue;
        }
        EXPECT_EQ(result.status, BuildStatus::Failed);
        EXPECT_EQ(result.error, RuntimeResourceMissingText(c.missing));
        EXPECT_EQ(host.errors, std::vector<std::string>{result.error});
        EXPECT_TRUE(host.questions.empty());
        EXPECT_FALSE(fs::exists(Output()));
        EXPECT_TRUE(TempDirEmpty());
    }
}

TEST_F(BuildInstallProgramTest, AnUnwritableOutputIsAFileError)
{
    AddVersion();
    AddFile(0, "a.txt", Text("x", 10));
    BuildResult result = Build(m_dir.Path("no/such/dir/setup.exe"));
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.error.find("no/such/dir/setup.exe"), std::string::npos) << result.error;
    EXPECT_TRUE(TempDirEmpty());
}

// With threads the data of many entries is made at once and placed in entry order: the setup
// program is the one a single thread writes, progress still only moves forward, and a stop
// still leaves nothing behind.
class BuildThreads : public BuildInstallProgramTest {
protected:
    // Three versions: equal, changed (deltas), kept-out, hidden and external files, an
    // uninstaller, and more files than threads.
    void MakeProject()
    {
        AddVersion().m_strUninstFile = "Uninst.exe";
        AddVersion();
        AddVersion().m_strUninstFile = "Uninst.exe";
        for (int i = 0; i < 12; ++i) {
            const std::string name = "f" + std::to_string(i) + ".bin";
            const ByteVec base =
                i % 3 == 0 ? Text("line " + std::to_string(i), 900) : Noise(i, 30000 + 7000 * i);
            for (size_t v = 0; v < 3; ++v) {
                ByteVec bytes = base;
                if (i % 2 == 1 && v > 0) bytes[bytes.size() / 2 + v] ^= 0x33;  // a delta
                CFileItem& item = AddFile(v, name, bytes);
                if (i == 4) item.SetOption(OptKeepExternal, OptionOn);
                if (i == 5 && v == 1) item.SetOption(OptInstallMode, InstallSkip);
            }
        }
    }
};

TEST_F(BuildThreads, WriteTheSameProgramAsOneThread)
{
    MakeProject();
    std::vector<std::vector<std::string>> reports;
    std::vector<ByteVec> programs;
    for (unsigned n : {1u, 2u, 5u}) {
        jobs = n;
        report = RecordingReport();
        BuildResult result = Build();
        ASSERT_EQ(result.status, BuildStatus::Built) << n << " threads: " << result.error;
        EXPECT_TRUE(TempDirEmpty());
        std::ifstream in(Output(), std::ios::binary);
        programs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        reports.push_back(report.Texts());
    }
    for (size_t i = 1; i < programs.size(); ++i) {
        EXPECT_TRUE(programs[i] == programs[0]) << "run " << i << " differs from one thread's";
        EXPECT_EQ(reports[i], reports[0]);
    }
    auto reader = Read();
    for (size_t v = 0; v < 3; ++v) {
        for (size_t e = 0; e < reader->Contents().versions[v].files.size(); ++e) {
            EXPECT_NO_THROW(reader->VerifyFile(v, e)) << v << " " << e;
        }
    }
}

TEST_F(BuildThreads, ProgressMovesForwardAndReachesTheEnd)
{
    jobs = 3;
    MakeProject();
    ASSERT_EQ(Build().status, BuildStatus::Built);
    EXPECT_TRUE(std::is_sorted(host.positions.begin(), host.positions.end()));
    ASSERT_FALSE(host.positions.empty());
    EXPECT_LE(host.positions.back(), 10000u);
    EXPECT_GT(host.positions.back(), 9000u);
    EXPECT_GT(host.pumps, 5);  // at least once per placed path
}

TEST_F(BuildThreads, AFailedEntryFailsTheBuildNamingItsFile)
{
    jobs = 3;
    MakeProject();
    fs::remove(SourceDir(1) + "f7.bin");  // a delta's new file
    fs::create_directory(SourceDir(1) + "f7.bin");
    BuildResult result = Build();
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.error.find("f7.bin"), std::string::npos) << result.error;
    EXPECT_FALSE(fs::exists(Output()));
    EXPECT_TRUE(TempDirEmpty());
}

TEST_F(BuildThreads, AStopLeavesNothingBehind)
{
    const IBuildHost::PumpResult stops[] = {IBuildHost::PumpResult::StopRequested,
                                            IBuildHost::PumpResult::Quit};
    for (IBuildHost::PumpResult stop : stops) {
        jobs = 3;
        MakeProject();
        host = ScriptedHost();
        host.stopAfterPumps = 1;
        host.stopResult = stop;
        host.answers[LoadString(1076)] = true;
        BuildResult result = Build();
        EXPECT_EQ(result.status, BuildStatus::Cancelled);
        EXPECT_FALSE(fs::exists(Output()));
        EXPECT_TRUE(TempDirEmpty());
        EXPECT_EQ(host.ended, 1);
        project = CDataArray();
    }
}

}  // namespace

// --share-equal-files: within one version, a file equal to an earlier stored one takes over its
// data (source version = its own, source entry = the earlier one, or that one's owner); external
// and hidden entries neither share nor are shared; every entry still rebuilds to its file.
TEST_F(BuildInstallProgramTest, SharedEqualFilesAreStoredOnceAndRebuildEach)
{
    const ByteVec text = Text("a licence paragraph", 400);
    const ByteVec noise = Noise(5, 50000);
    ByteVec changed = noise;
    changed[100] ^= 1;
    AddVersion();
    AddFile(0, "a\\COPYING", text);
    AddFile(0, "b\\COPYING", text);  // shares a's data
    AddFile(0, "lib1.bin", noise);
    AddFile(0, "c\\COPYING", text)
        .SetOption(OptKeepExternal, OptionOn);  // kept external: no sharing
    AddFile(0, "lib2.bin", noise);              // shares lib1's data
    AddVersion();
    AddFile(1, "lib1.bin", changed);  // a delta against version 1's lib1
    AddFile(1, "lib3.bin", changed);  // shares the delta (its source: the delta's reference)
    AddFile(1, "a\\COPYING", text);   // taken over from version 1
    AddFile(1, "d\\COPYING", text);   // shares what a took over

    std::vector<uint64_t> sizes;
    for (bool share : {false, true}) {
        shareEqualFiles = share;
        jobs = share ? 3 : 1;
        report = RecordingReport();
        ASSERT_EQ(Build().status, BuildStatus::Built);
        sizes.push_back(fs::file_size(Output()));
    }
    EXPECT_LT(sizes[1] + noise.size() / 2, sizes[0]);

    auto reader = Read();
    const auto& t0 = reader->Contents().versions[0].files;
    const auto& t1 = reader->Contents().versions[1].files;
    ASSERT_EQ(t0.size(), 5u);
    ASSERT_EQ(t1.size(), 4u);
    auto sameData = [](const CFileEntry& a, const CFileEntry& b) {
        return a.m_nOffset == b.m_nOffset && a.m_nPackedSize == b.m_nPackedSize;
    };
    EXPECT_TRUE(sameData(t0[1], t0[0]));
    EXPECT_EQ(t0[1].m_nSourceVersion, 0u);
    EXPECT_EQ(t0[1].m_nSourceEntry, 0u);
    EXPECT_TRUE(sameData(t0[4], t0[2]));
    EXPECT_EQ(t0[4].m_nSourceEntry, 2u);
    EXPECT_TRUE(t0[3].IsExternal());
    // Version 2's table follows the paths' first listing: a, lib1, lib3, d.
    EXPECT_TRUE(sameData(t1[2], t1[1]));
    EXPECT_TRUE(t1[2].m_nFlags & package::kEntryDelta);
    EXPECT_EQ(t1[2].m_nSourceVersion, 0u);  // the delta's reference: version 1's lib1
    EXPECT_EQ(t1[2].m_nSourceEntry, 2u);
    EXPECT_TRUE(sameData(t1[3], t0[0]));
    EXPECT_EQ(t1[3].m_nSourceVersion, 0u);
    EXPECT_EQ(t1[3].m_nSourceEntry, 0u);

    const std::map<std::string, ByteVec> v0 = {
        {"a\\COPYING", text}, {"b\\COPYING", text}, {"lib1.bin", noise}, {"lib2.bin", noise}};
    const std::map<std::string, ByteVec> v1 = {
        {"lib1.bin", changed}, {"lib3.bin", changed}, {"a\\COPYING", text}, {"d\\COPYING", text}};
    for (size_t v = 0; v < 2; ++v) {
        const auto& files = reader->Contents().versions[v].files;
        for (size_t e = 0; e < files.size(); ++e) {
            if (files[e].IsExternal()) continue;
            EXPECT_NO_THROW(reader->VerifyFile(v, e)) << v << " " << e;
            EXPECT_EQ(RebuiltFile(*reader, v, e), (v == 0 ? v0 : v1).at(files[e].m_strPath))
                << files[e].m_strPath;
        }
    }
}

// velkanc build --span: the setup program spread over files of at most the given size, which
// verify and extract as one program; sizes that are no size refused before anything is written;
// a build that fails keeps the earlier program and its pieces.
#include <gtest/gtest.h>

#include <optional>

#include <random>

#include "CliRunner.h"
#include "core/model/ProjectFile.h"
#include "core/package/ContinuationFileName.h"
#include "tests/core/package/PackageTestSupport.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class SpannedBuild : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandInRuntime(m_dir / "rt");
        fs::create_directories(m_dir / "src");
        project.m_versions.clear();
        CData& version = project.m_versions.emplace_back();
        version.m_strName = "one";
        version.m_strUninstFile.clear();
        version.m_strSourceDir = P("src") + "/";
        // Noise does not pack: the data stream is about as long as the files.
        std::mt19937 random(5);
        for (int i = 0; i < 4; ++i) {
            std::string bytes(45000 + 5000 * i, '\0');
            for (char& b : bytes) b = static_cast<char>(random());
            const std::string name = "file" + std::to_string(i) + ".bin";
            WriteFileText(m_dir / "src" / name, bytes);
            version.m_files.push_back(CFileItem(name));
        }
        SaveProject(project, P("p.vkp"));
    }
    std::string P(const std::string& name) const { return (m_dir / name).string(); }
    CliResult Build(const std::optional<std::string>& span, const std::string& output = "setup.exe")
    {
        std::vector<std::string> args = {"build", P("p.vkp"), "--runtime", P("rt"),
                                         "-o",    P(output),  "--verbose"};
        if (span) args.insert(args.end(), {"--span", *span});
        return RunVelkanc(args);
    }
    // The sizes of the program and of its continuation files, in order.
    std::vector<uintmax_t> Pieces(const std::string& output = "setup.exe") const
    {
        std::vector<uintmax_t> sizes;
        if (!fs::exists(P(output))) return sizes;
        sizes.push_back(fs::file_size(P(output)));
        for (int n = 1; fs::exists(ContinuationFileName(P(output), n)); ++n) {
            sizes.push_back(fs::file_size(ContinuationFileName(P(output), n)));
        }
        return sizes;
    }
    // Every file in the folder of the test but the project's own.
    std::vector<std::string> Written() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.Path())) {
            std::string name = entry.path().filename().string();
            if (name != "p.vkp" && name != "rt" && name != "src") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir m_dir;
    CDataArray project;
};

TEST_F(SpannedBuild, SizesAreBytesOrDecimalUnitsAndTheRestIsRefusedBeforeWriting)
{
    struct Case {
        const char* size;
        uintmax_t bytes;  // 0: refused
        const char* reason;
    };
    const Case cases[] = {
        {"32772", 32772, ""},  // the smallest piece
        {"40000", 40000, ""},
        {"60K", 60000, ""},
        {"0.1M", 100000, ""},
        {"1.44M", 1440000, ""},  // all in one file
        {"4.7G", 4700000000u, ""},
        {"0", 0, "less than the smallest piece of 32772 bytes"},
        {"32771", 0, "less than the smallest piece"},
        {"18446744073709551616", 0, "too large"},
        {"20000000000G", 0, "too large"},
        {"1.5", 0, "not a size"},
        {"abc", 0, "not a size"},
        {"40 K", 0, "not a size"},
        {"", 0, "not a size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        for (const std::string& name : Written()) fs::remove(m_dir / name);
        CliResult r = Build(c.size);
        if (c.bytes == 0) {
            EXPECT_EQ(r.exitCode, 2) << r.err;
            EXPECT_NE(r.err.find("--span: "), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
            EXPECT_TRUE(Written().empty());
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<uintmax_t> pieces = Pieces();
        ASSERT_FALSE(pieces.empty());
        uintmax_t total = 0;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_LE(pieces[i], c.bytes) << "piece " << i;
            // Every piece but the last is full: the data stream is cut where a piece ends.
            if (i + 1 < pieces.size()) {
                EXPECT_EQ(pieces[i], c.bytes) << "piece " << i;
            }
            total += pieces[i];
        }
        EXPECT_EQ(pieces.size() > 1, total > c.bytes);
        EXPECT_EQ(Written().size(), pieces.size()) << "no temporary file is left";
        EXPECT_NE(r.out.find("Install program size: " + std::to_string(total)), std::string::npos)
            << r.out;

        CliResult verify = RunVelkanc({"verify", P("setup.exe")});
        EXPECT_EQ(verify.exitCode, 0) << verify.out << verify.err;
        CliResult extract = RunVelkanc({"extract", P("setup.exe"), "--to", P("x")});
        ASSERT_EQ(extract.exitCode, 0) << extract.err;
        for (const CFileItem& item : project.m_versions[0].m_files) {
            EXPECT_EQ(ReadFileText(m_dir / "x" / item.m_strPath),
                      ReadFileText(m_dir / "src" / item.m_strPath))
                << item.m_strPath;
        }
        fs::remove_all(m_dir / "x");
    }
}

TEST_F(SpannedBuild, APieceMissingOrCutShortFailsVerification)
{
    ASSERT_EQ(Build("40000").exitCode, 0);
    ASSERT_GE(Pieces().size(), 3u);
    const std::string second = ContinuationFileName(P("setup.exe"), 2);
    const std::string bytes = ReadFileText(second);

    WriteFileText(second, bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(RunVelkanc({"verify", P("setup.exe")}).exitCode, 1);
    fs::remove(second);
    CliResult missing = RunVelkanc({"verify", P("setup.exe")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("continuation file 2"), std::string::npos) << missing.err;
}

TEST_F(SpannedBuild, AShorterBuildRemovesTheEarlierBuildsLeftoverPieces)
{
    ASSERT_EQ(Build("40000").exitCode, 0);
    const size_t before = Pieces().size();
    ASSERT_GE(before, 4u);
    WriteFileText(m_dir / "setup.txt", "beside it");  // another file of the same stem stays
    ASSERT_EQ(Build("100000").exitCode, 0);
    EXPECT_LT(Pieces().size(), before);
    EXPECT_FALSE(
        fs::exists(ContinuationFileName(P("setup.exe"), static_cast<int>(Pieces().size()))));
    EXPECT_TRUE(fs::exists(m_dir / "setup.txt"));
    EXPECT_EQ(RunVelkanc({"verify", P("setup.exe")}).exitCode, 0);

    // A build in one file removes the pieces before it, and only files that are pieces: one
    // whose content is no continuation, and everything after it, stay.
    const int pieces = static_cast<int>(Pieces().size()) - 1;
    ASSERT_GE(pieces, 1);
    const std::string foreign = ContinuationFileName(P("setup.exe"), pieces + 1);
    const std::string afterGap = ContinuationFileName(P("setup.exe"), pieces + 2);
    WriteFileText(foreign, "notes of mine");
    fs::copy_file(ContinuationFileName(P("setup.exe"), 1), afterGap);
    CliResult whole = Build(std::nullopt);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    for (int n = 1; n <= pieces; ++n) {
        EXPECT_FALSE(fs::exists(ContinuationFileName(P("setup.exe"), n))) << n;
        EXPECT_NE(whole.out.find("removed " + ContinuationFileName(P("setup.exe"), n)),
                  std::string::npos)
            << whole.out;
    }
    EXPECT_EQ(ReadFileText(foreign), "notes of mine");
    EXPECT_TRUE(fs::exists(afterGap));
    EXPECT_EQ(RunVelkanc({"verify", P("setup.exe")}).exitCode, 0);
}

TEST_F(SpannedBuild, AFailedBuildKeepsTheEarlierProgramAndItsPieces)
{
    ASSERT_EQ(Build("40000").exitCode, 0);
    std::vector<std::string> earlier;
    const std::vector<uintmax_t> sizes = Pieces();
    earlier.push_back(ReadFileText(m_dir / "setup.exe"));
    for (size_t n = 1; n < sizes.size(); ++n) {
        earlier.push_back(ReadFileText(ContinuationFileName(P("setup.exe"), static_cast<int>(n))));
    }
    const std::vector<std::string> files = Written();

    // A runtime larger than a piece: the first piece cannot hold what precedes the data.
    WriteFileBytes(m_dir / "rt" / "500.bin", test::FakeStub(40000));
    CliResult tooSmall = Build("40000");
    EXPECT_EQ(tooSmall.exitCode, 1);
    EXPECT_NE(tooSmall.err.find("more than a piece of 40000 bytes"), std::string::npos)
        << tooSmall.err;
    EXPECT_EQ(Written(), files);
    EXPECT_EQ(ReadFileText(m_dir / "setup.exe"), earlier[0]);
    for (size_t n = 1; n < earlier.size(); ++n) {
        EXPECT_EQ(ReadFileText(ContinuationFileName(P("setup.exe"), static_cast<int>(n))),
                  earlier[n])
            << n;
    }
}

}  // namespace

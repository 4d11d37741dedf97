// A setup program spread over pieces by velkanc build --span: the runtime reads its continuation
// files from its own folder and installs byte for byte; with a piece missing it installs nothing.
#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"
#include "core/model/ProjectFile.h"
#include "core/package/ContinuationFileName.h"

namespace velkan::test {
namespace {

TEST_F(RuntimeWine, InstallsASpannedProgramFromItsPiecesAndNothingWithOneMissing)
{
#ifndef VELKANC_PATH
    GTEST_SKIP() << "velkanc is not part of this build";
#else
    fs::path src = m_dir / "src1";
    WriteBytes(src / "app" / "data.bin", Noise(700000, 51));
    WriteBytes(src / "more.bin", Noise(300000, 52));
    WriteText(src / "readme.txt", "read me");
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Spanned");
    for (const char* path : {"app\\data.bin", "more.bin", "readme.txt"})
        v.m_files.push_back(CFileItem(path));
    project.m_versions.push_back(v);
    fs::path vkp = m_dir / "project.vkp";
    velkan::SaveProject(project, vkp.string());
    fs::path media = m_dir / "media";
    fs::create_directories(media);
    fs::path setup = media / "spanned.exe";
    ASSERT_EQ(VelkancBuild(vkp, setup, "--span 400K", m_dir / "build.txt"), 0)
        << ReadText(m_dir / "build.txt");
    int pieces = 0;
    while (fs::exists(ContinuationFileName(setup.string(), pieces + 1))) ++pieces;
    ASSERT_GE(pieces, 2);  // the runtime alone takes most of the first piece

    fs::path target = m_dir / "install";
    fs::path log = m_dir / "setup.log";
    ASSERT_EQ(InstallUnattended(setup, target, log), 0) << ReadText(log);
    for (const fs::path& f : FilesUnder(src))
        EXPECT_EQ(ReadBytes(target / f), ReadBytes(src / f)) << f;

    // The same pieces elsewhere, the second continuation file left behind.
    fs::path partial = m_dir / "partial";
    fs::create_directories(partial);
    fs::copy_file(setup, partial / "spanned.exe");
    for (int n = 1; n <= pieces; ++n) {
        if (n == 2) continue;
        fs::copy_file(ContinuationFileName(setup.string(), n),
                      ContinuationFileName((partial / "spanned.exe").string(), n));
    }
    fs::path missingTarget = m_dir / "install-missing";
    fs::path missingLog = m_dir / "missing.log";
    EXPECT_NE(InstallUnattended(partial / "spanned.exe", missingTarget, missingLog), 0);
    EXPECT_FALSE(fs::exists(missingTarget));
    EXPECT_NE(ReadText(missingLog).find("continuation file 2"), std::string::npos)
        << ReadText(missingLog);
#endif
}

}  // namespace
}  // namespace velkan::test

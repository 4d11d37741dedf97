// A signed setup program end to end: velkanc builds it with --sign and osslsigncode, using a
// self-signed certificate made here; osslsigncode and velkanc verify it, and it installs under
// Wine, its uninstaller signed too.
#include "BuildSetup.h"
#include "WineFixture.h"
#include "core/model/CDataArray.h"
#include "core/model/ProjectFile.h"

namespace velkan::test {
namespace {

TEST_F(RuntimeWine, InstallsASignedSetupProgram)
{
#ifndef VELKANC_PATH
    GTEST_SKIP() << "velkanc is not part of this build";
#else
    if (Shell("command -v osslsigncode >/dev/null && command -v openssl >/dev/null") != 0) {
        GTEST_SKIP() << "osslsigncode or openssl is not installed";
    }
    const std::string key = (m_dir / "key.pem").string(), cert = (m_dir / "cert.pem").string();
    ASSERT_EQ(
        Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Velkan Test' -keyout " +
              Quote(key) + " -out " + Quote(cert) + " >/dev/null 2>&1"),
        0);

    WriteBytes(m_dir / "src1" / "bin" / "app.dat", Noise(120000, 5));
    WriteText(m_dir / "src1" / "readme.txt", "signed");
    CDataArray project;
    project.m_nWindowMode = 0;
    CData v = Version(1, "Signed");
    v.m_files.push_back(CFileItem("bin\\app.dat"));
    v.m_files.push_back(CFileItem("readme.txt"));
    v.m_strUninstFile = "remove.exe";
    project.m_versions.push_back(v);
    fs::path json = m_dir / "project.json";
    velkan::SaveProject(project, json.string());

    const std::string sign =
        "osslsigncode sign -certs " + cert + " -key " + key +
        " -n 'Velkan Test' -in \"%1\" -out \"%1.signed\" >/dev/null && mv \"%1.signed\" \"%1\"";
    fs::path setup = m_dir / "signed setup.exe";
    fs::path buildLog = m_dir / "build.txt";
    ASSERT_EQ(VelkancBuild(json, setup, "-v --sign " + Quote(sign), buildLog), 0)
        << ReadText(buildLog);
    EXPECT_NE(ReadText(buildLog).find(
                  "Install program size: " + std::to_string(fs::file_size(setup)) + " bytes"),
              std::string::npos)
        << "the summary counts the signature\n"
        << ReadText(buildLog);
    EXPECT_EQ(Shell("osslsigncode verify -CAfile " + Quote(cert) + " " + Quote(setup.string()) +
                    " >/dev/null 2>&1"),
              0);
    EXPECT_EQ(Shell(Quote(VELKANC_PATH) + " verify " + Quote(setup.string()) + " >/dev/null"), 0);

    fs::path target = m_dir / "install";
    fs::path log = m_dir / "setup.log";
    ASSERT_EQ(InstallUnattended(setup, target, log), 0) << ReadText(log);
    for (const fs::path& f : FilesUnder(m_dir / "src1"))
        EXPECT_EQ(ReadBytes(target / f), ReadBytes(m_dir / "src1" / f)) << f;
    ASSERT_TRUE(fs::exists(target / "remove.exe"));
    EXPECT_EQ(Shell("osslsigncode verify -CAfile " + Quote(cert) + " " +
                    Quote((target / "remove.exe").string()) + " >/dev/null 2>&1"),
              0)
        << "the installed uninstaller carries its signature";
    ASSERT_EQ(Wine((target / "remove.exe").string(), "/S"), 0);
    Shell("sleep 4; wineserver -w");
    EXPECT_FALSE(fs::exists(target / "readme.txt"));
#endif
}

}  // namespace
}  // namespace velkan::test

#include "WineFixture.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace velkan::test {

const fs::path kWork = VELKAN_RUNTIME_TEST_DIR;

// VELKAN_WINE when set, else Debian's wine64 loader, else whatever `wine` is. (Debian's `wine`
// prefers the 32-bit loader when both are installed, and that one cannot start at all where the
// kernel has no 32-bit emulation.)
const std::string& WineLoader()
{
    static const std::string loader = [] {
        if (const char* chosen = std::getenv("VELKAN_WINE"); chosen && *chosen)
            return std::string(chosen);
        if (access("/usr/lib/wine/wine64", X_OK) == 0) return std::string("/usr/lib/wine/wine64");
        if (std::system("command -v wine64 >/dev/null 2>&1") == 0) return std::string("wine64");
        return std::string("wine");
    }();
    return loader;
}

bool HaveWine()
{
    return std::system(("command -v " + WineLoader() + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int Shell(const std::string& command)
{
    std::string line = "WINEPREFIX=" + Quote((kWork / "prefix").string()) +
                       " HOME=" + Quote((kWork / "home").string()) +
                       " WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY= " + command;
    int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Wine(const std::string& program, const std::string& args)
{
    int code =
        Shell(WineLoader() + " " + Quote(program) + " " + args + " </dev/null >/dev/null 2>&1");
    Shell("wineserver -w");  // every process the program started has ended
    return code;
}

int InstallUnattended(const fs::path& setup, const fs::path& target, const fs::path& log,
                      const std::string& options)
{
    return Wine(setup.string(), "/S " + (options.empty() ? "" : options + " ") + "/LOG=" +
                                    Quote(WinPath(log)) + " /D=" + Quote(WinPath(target)));
}

std::string Capture(const std::string& command, const fs::path& prefix)
{
    std::string line =
        "WINEPREFIX=" + Quote((prefix.empty() ? kWork / "prefix" : prefix).string()) +
        " HOME=" + Quote((kWork / "home").string()) + " WINEDEBUG=-all DISPLAY= " + command +
        " 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

std::string WinPath(const fs::path& path)
{
    std::string s = "Z:" + path.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

fs::path PrefixDir(const std::string& windowsRelative)
{
    fs::path dir = kWork / "prefix" / "drive_c";
    // The prefix's own directories differ in case from what Windows programs ask for (Fonts).
    std::string rest = windowsRelative;
    std::replace(rest.begin(), rest.end(), '\\', '/');
    for (const fs::path& part : fs::path(rest)) {
        fs::path next = dir / part;
        if (!fs::exists(next) && fs::is_directory(dir)) {
            std::string wanted = part.string();
            std::transform(wanted.begin(), wanted.end(), wanted.begin(), ::tolower);
            for (const auto& e : fs::directory_iterator(dir)) {
                std::string name = e.path().filename().string();
                std::transform(name.begin(), name.end(), name.begin(), ::tolower);
                if (name == wanted) next = e.path();
            }
        }
        dir = next;
    }
    return dir;
}

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& path)
{
    auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text)
{
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> Noise(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(size);
    // Compressible but not trivial: words from a small alphabet with random runs.
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(rng() % 7 == 0 ? rng() : 'a' + rng() % 8);
    return bytes;
}

std::vector<fs::path> FilesUnder(const fs::path& dir)
{
    std::vector<fs::path> files;
    if (!fs::exists(dir)) return files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) files.push_back(fs::relative(e.path(), dir));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> FindByName(const fs::path& dir, const std::string& name)
{
    std::vector<fs::path> found;
    if (!fs::exists(dir)) return found;
    for (const auto& e :
         fs::recursive_directory_iterator(dir, fs::directory_options::skip_permission_denied)) {
        if (e.path().filename() == name) found.push_back(e.path());
    }
    return found;
}

bool RegKeyExists(const std::string& key)
{
    return Shell(WineLoader() + " reg query " + Quote(key) + " >/dev/null 2>&1") == 0;
}

std::optional<std::string> RegTypedValue(const std::string& key, const std::string& name,
                                         const fs::path& prefix)
{
    // reg.exe prints "    NAME    REG_TYPE    DATA" for each value.
    // The default value (an empty name) is printed as "(Default)". A named value is looked for in
    // the listing of its key: "reg query /v" does not find the PendingFileRenameOperations value
    // that Wine's own MoveFileEx writes, though the listing shows it.
    std::string out =
        Capture(WineLoader() + " reg query " + Quote(key) + (name.empty() ? " /ve" : ""), prefix);
    std::string head = "    " + (name.empty() ? std::string("(Default)") : name) + "    ";
    for (size_t pos = 0; pos < out.size();) {
        size_t end = out.find('\n', pos);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, head.size(), head) == 0 && line.compare(head.size(), 4, "REG_") == 0)
            return line.substr(head.size());
    }
    return std::nullopt;
}

std::optional<std::string> RegValue(const std::string& key, const std::string& name,
                                    const fs::path& prefix)
{
    std::optional<std::string> typed = RegTypedValue(key, name, prefix);
    if (!typed) return std::nullopt;
    size_t data = typed->find("    ");
    return data == std::string::npos ? std::string() : typed->substr(data + 4);
}

void RegAdd(const std::string& key, const std::string& name, const std::string& data)
{
    Shell(WineLoader() + " reg add " + Quote(key) + " /v " + Quote(name) + " /d " + Quote(data) +
          " /f >/dev/null 2>&1");
}

void RegDelete(const std::string& key, const std::string& name)
{
    Shell(WineLoader() + " reg delete " + Quote(key) +
          (name.empty() ? std::string() : " /v " + Quote(name)) + " /f >/dev/null 2>&1");
}

fs::path TestProgram(const std::string& name)
{
#ifdef VELKAN_RUNTIME_PE_DIR
    return fs::path(VELKAN_RUNTIME_PE_DIR) / name;
#else
    (void)name;
    return {};
#endif
}

std::vector<std::string> ProgramsEntries(const std::string& displayName, const fs::path& prefix)
{
    std::vector<std::string> keys;
    for (const char* root : {"HKLM", "HKCU"}) {
        std::string out =
            Capture(WineLoader() + " reg query '" + root +
                        "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall' /s",
                    prefix);
        std::string key;
        const std::string wanted = "    DisplayName    REG_SZ    " + displayName;
        for (size_t pos = 0; pos < out.size();) {
            size_t end = out.find('\n', pos);
            if (end == std::string::npos) end = out.size();
            std::string line = out.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("HKEY_", 0) == 0) key = line;
            if (line == wanted) keys.push_back(key);
        }
    }
    return keys;
}

void RuntimeWine::SetUpTestSuite()
{
    if (!HaveWine()) return;
    fs::create_directories(kWork / "home");
    if (!fs::exists(kWork / "prefix" / "system.reg"))
        Shell(WineLoader() + " wineboot -i >/dev/null 2>&1; wineserver -w");
}

void RuntimeWine::SetUp()
{
    if (!HaveWine()) GTEST_SKIP() << "wine is not installed";
    m_dir = kWork / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
}

CData RuntimeWine::Version(int n, const std::string& name)
{
    CData v;
    v.m_strName = name;
    v.m_strTitle = "Velkan Test " + name;
    v.m_strSourceDir = (m_dir / ("src" + std::to_string(n))).string() + "/";
    v.m_strInstallDir = "#Program Files#\\Velkan Test " + name;
    v.m_strUninstFile.clear();
    return v;
}

}  // namespace velkan::test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!velkan::test::HaveWine()) {
        std::printf("wine is not installed: the install runtime tests are skipped\n");
        return 77;
    }
    return RUN_ALL_TESTS();
}

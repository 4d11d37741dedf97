#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <unistd.h>

#include "core/platform/CConfinedFolder.h"
#include "core/stream/CFileException.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

class ConfinedFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vkconfXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_base = pattern;
        fs::create_directories(m_base / "to");
        fs::create_directories(m_base / "elsewhere");
        Put(m_base / "elsewhere" / "victim.txt", "precious");
    }
    void TearDown() override { fs::remove_all(m_base); }

    static void Put(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string Get(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void WriteText(CConfinedFolder& folder, const std::vector<std::string>& parts,
                          const std::string& text)
    {
        folder.WriteFile(parts, "test",
                         [&](IByteSink& out) { out.Write(text.data(), text.size()); });
    }
    // Everything under elsewhere/ is as SetUp left it.
    void ExpectElsewhereUntouched()
    {
        size_t count = 0;
        for (const auto& item : fs::recursive_directory_iterator(m_base / "elsewhere")) {
            (void)item;
            ++count;
        }
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(Get(m_base / "elsewhere" / "victim.txt"), "precious");
    }

    fs::path m_base;
};

TEST_F(ConfinedFolder, LinksSeededInTheFolderAreNeverWrittenThrough)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path& to, const fs::path& elsewhere)> seed;
        std::vector<std::string> parts;
        bool written;  // the file is written (replacing what was seeded) rather than refused
    } cases[] = {
        {"a folder link",
         [](auto& to, auto& away) { fs::create_directory_symlink(away, to / "docs"); },
         {"docs", "victim.txt"},
         false},
        {"a folder link deeper down",
         [](auto& to, auto& away) {
             fs::create_directories(to / "a");
             fs::create_directory_symlink(away, to / "a" / "b");
         },
         {"a", "b", "c", "victim.txt"},
         false},
        {"a file where a folder is expected",
         [](auto& to, auto&) { Put(to / "docs", "x"); },
         {"docs", "readme.txt"},
         false},
        {"a link at the file's own name",
         [](auto& to, auto& away) { fs::create_symlink(away / "victim.txt", to / "a.txt"); },
         {"a.txt"},
         true},
        {"a link at the old fixed temporary name",
         [](auto& to, auto& away) { fs::create_symlink(away / "victim.txt", to / "a.txt.part"); },
         {"a.txt"},
         true},
        {"a dangling link at the file's name",
         [](auto& to, auto& away) { fs::create_symlink(away / "new.txt", to / "a.txt"); },
         {"a.txt"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::path to = m_base / "to";
        fs::remove_all(to);
        fs::create_directories(to);
        c.seed(to, m_base / "elsewhere");
        CConfinedFolder folder(to.string());
        if (c.written) {
            WriteText(folder, c.parts, "payload");
            fs::path written = to;
            for (const auto& part : c.parts) written /= part;
            EXPECT_FALSE(fs::is_symlink(written));
            EXPECT_EQ(Get(written), "payload");
        } else {
            EXPECT_THROW(WriteText(folder, c.parts, "payload"), CFileException);
        }
        ExpectElsewhereUntouched();
    }
}

TEST_F(ConfinedFolder, AFailedWriteKeepsThePreviousFileAndLeavesNoTemporary)
{
    fs::path to = m_base / "to";
    CConfinedFolder folder(to.string());
    WriteText(folder, {"sub", "a.txt"}, "first");
    EXPECT_EQ(Get(to / "sub" / "a.txt"), "first");
    EXPECT_EQ(fs::status(to / "sub" / "a.txt").permissions() & fs::perms::others_read,
              fs::perms::others_read);
    EXPECT_THROW(folder.WriteFile({"sub", "a.txt"}, "test",
                                  [](IByteSink& out) {
                                      out.Write("half", 4);
                                      throw std::runtime_error("checksum mismatch");
                                  }),
                 std::runtime_error);
    EXPECT_EQ(Get(to / "sub" / "a.txt"), "first");
    size_t count = 0;
    for (const auto& item : fs::directory_iterator(to / "sub")) {
        (void)item;
        ++count;
    }
    EXPECT_EQ(count, 1u);
    // An entry really named like a temporary file is a file like any other.
    WriteText(folder, {"x.txt.part"}, "mine");
    WriteText(folder, {"x.txt"}, "other");
    EXPECT_EQ(Get(to / "x.txt.part"), "mine");
    for (const char* bad : {"..", ".", "", "a/b"}) {
        EXPECT_THROW(WriteText(folder, {bad}, "x"), CFileException) << bad;
    }
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/platform/COutsideLinkCheck.h"

using namespace velkan;
namespace fs = std::filesystem;

namespace {

// One check object answers every path of a tree, reusing what it resolved for a directory: the
// answers must be those of resolving each path on its own, whatever order they are asked in.
TEST(OutsideLinkCheck, AnswersAsResolvingEachPathWould)
{
    char pattern[] = "/tmp/vklinkXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path base = pattern;
    const fs::path tree = base / "tree";
    fs::create_directories(tree / "sub" / "deep");
    fs::create_directories(base / "elsewhere");
    for (const fs::path& p : {tree / "a.txt", tree / "sub" / "b.txt",
                              tree / "sub" / "deep" / "c.txt", base / "elsewhere" / "secret.txt"}) {
        std::ofstream(p) << "x";
    }
    fs::create_symlink("a.txt", tree / "inside-link.txt");
    fs::create_symlink(base / "elsewhere" / "secret.txt", tree / "sub" / "outside-link.txt");
    fs::create_directory_symlink(base / "elsewhere", tree / "linked-out");
    fs::create_directory_symlink(tree / "sub" / "deep", tree / "linked-in");
    fs::create_symlink(tree / "missing.txt", tree / "dangling.txt");

    struct Case {
        const char* path;  // under the tree
        bool outside;
    };
    const Case cases[] = {
        {"a.txt", false},
        {"sub/b.txt", false},
        {"sub/deep/c.txt", false},
        {"inside-link.txt", false},
        {"sub/outside-link.txt", true},
        {"linked-out/secret.txt", true},
        {"linked-in/c.txt", false},
        {"sub/../../elsewhere/secret.txt", true},
        {"sub/deep/../b.txt", false},
        {"missing.txt", false},
        {"dangling.txt", false},
        {"sub/b.txt", false},  // asked again after its directory was cached
        {"linked-out/secret.txt", true},
    };
    // Asked with and without a slash at the folder's end, forwards and backwards.
    for (const std::string& folder : {tree.string() + "/", tree.string()}) {
        COutsideLinkCheck forwards(folder);
        COutsideLinkCheck backwards(folder);
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            const Case& r = cases[std::size(cases) - 1 - i];
            EXPECT_EQ(forwards.IsOutside((tree / c.path).string()), c.outside) << c.path;
            EXPECT_EQ(backwards.IsOutside((tree / r.path).string()), r.outside) << r.path;
        }
    }
    // A folder that does not resolve has nothing outside it.
    EXPECT_FALSE(COutsideLinkCheck((base / "none").string()).IsOutside((tree / "a.txt").string()));
    fs::remove_all(base);
}

}  // namespace

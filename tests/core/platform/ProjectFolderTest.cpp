#include "core/platform/ProjectFolder.h"

#include <gtest/gtest.h>

using namespace velkan;

TEST(ProjectFolder, RelativePathsAreReadFromTheProjectsFolder)
{
    struct Case {
        const char* stored;
        const char* resolved;
    } cases[] = {
        {"", ""},
        {"app/", "/p/app/"},
        {"app", "/p/app"},
        {"app\\sub\\", "/p/app/sub/"},  // written on Windows
        {"../tree/./app/", "/tree/app/"},
        {"./", "/p/"},
        {"/abs/app/", "/abs/app/"},
        {"C:\\Data\\", "C:\\Data\\"},
        {"\\\\server\\share\\", "\\\\server\\share\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveInFolder(c.stored, "/p/"), c.resolved) << c.stored;
}

TEST(ProjectFolder, PathsInsideTheFolderAreStoredRelativeToIt)
{
    EXPECT_EQ(RelativeToFolder("/p/app/", "/p/"), "app/");
    EXPECT_EQ(RelativeToFolder("/p/a/b/../c", "/p/"), "a/c");
    EXPECT_EQ(RelativeToFolder("/p/", "/p/"), "./");
    EXPECT_EQ(RelativeToFolder("/p", "/p/"), "./");
    EXPECT_EQ(RelativeToFolder("/pq/app/", "/p/"), "/pq/app/");  // a sibling with a longer name
    EXPECT_EQ(RelativeToFolder("/other/app/", "/p/"), "/other/app/");
    EXPECT_EQ(ProjectFolderOf("/p/q/app.json"), "/p/q/");
}

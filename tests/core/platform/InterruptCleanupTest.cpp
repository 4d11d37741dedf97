#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "core/platform/InterruptCleanup.h"

using namespace velkan;
namespace fs = std::filesystem;

// An interrupted program removes what it registered, files before their folders, exits with the
// given status, and leaves alone what was unregistered.
TEST(InterruptCleanup, CtrlCRemovesRegisteredFilesAndExits)
{
    fs::path base = fs::temp_directory_path() / ("vkint-" + std::to_string(getpid()));
    fs::create_directories(base / "dir");
    std::ofstream(base / "dir" / "scratch") << "x";
    std::ofstream(base / "kept") << "x";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstallInterruptCleanup(3);
        RegisterTempPath((base / "dir").string(), true);
        RegisterTempPath((base / "dir" / "scratch").string(), false);
        UnregisterTempPath(RegisterTempPath((base / "kept").string(), false));
        raise(SIGINT);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_FALSE(fs::exists(base / "dir"));
    EXPECT_TRUE(fs::exists(base / "kept"));
    fs::remove_all(base);
}

#include "core/platform/InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace velkan {

namespace {

constexpr int kSlots = 64;
constexpr size_t kPathMax = 4096;

struct Slot {
    std::atomic<int> state{0};  // 0 free, 1 being filled, 2 a file, 3 a folder
    char path[kPathMax];
};

Slot g_slots[kSlots];
int g_exitCode = 3;
const char* g_message = nullptr;

extern "C" void OnInterrupt(int)
{
    // Files first, then the folders that held them; unlink and rmdir are async-signal-safe.
    for (int pass = 2; pass <= 3; ++pass) {
        for (Slot& slot : g_slots) {
            if (slot.state.load() != pass) continue;
            if (pass == 2) {
                unlink(slot.path);
            } else {
                rmdir(slot.path);
            }
        }
    }
    if (g_message) {
        const ssize_t ignored = write(STDERR_FILENO, g_message, std::strlen(g_message));
        (void)ignored;
    }
    _exit(g_exitCode);
}

}  // namespace

void InstallInterruptCleanup(int exitCode, const char* message)
{
    g_exitCode = exitCode;
    g_message = message;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second signal while the first is handled would cut the cleanup short.
    for (int signal : kInterruptSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kInterruptSignals) sigaction(signal, &action, nullptr);
}

int RegisterTempPath(const std::string& path, bool folder)
{
    if (path.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
        g_slots[i].state.store(folder ? 3 : 2);
        return i;
    }
    return -1;
}

void UnregisterTempPath(int handle)
{
    if (handle >= 0 && handle < kSlots) g_slots[handle].state.store(0);
}

}  // namespace velkan

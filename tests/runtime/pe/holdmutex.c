/* Holds a named mutex, as a setup run in progress does: holdmutex NAME READY STOP creates and
   owns the mutex NAME, creates READY, and keeps it until STOP exists (at most a minute). */
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 4) return 1;
    HANDLE mutex = CreateMutexA(NULL, TRUE, argv[1]);
    if (!mutex) return 2;
    HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    for (int waited = 0; waited < 60000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 50) {
        Sleep(50);
    }
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

/* Holds a file open without sharing, as a running program holds its own files:
   holdopen FILE READY STOP opens FILE with share mode 0, creates READY, and keeps FILE open
   until STOP exists (at most a minute). Exit status 2 when FILE cannot be opened. */
#include <windows.h>

int main(int argc, char** argv)
{
    if (argc != 4) return 1;
    HANDLE held = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (held == INVALID_HANDLE_VALUE) return 2;
    HANDLE ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    for (int waited = 0; waited < 60000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 50) {
        Sleep(50);
    }
    CloseHandle(held);
    return 0;
}

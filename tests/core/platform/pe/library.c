/* A minimal DLL for the version reader's tests. */
int __stdcall DllMainCRTStartup(void* instance, unsigned long reason, void* reserved)
{
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
int VelkanTestExport(void) { return 42; }

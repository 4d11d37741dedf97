// mingw-w64 routes snprintf to its own C99 printf engine, which brings its floating-point
// formatting along (about 35 KB in every setup program). The engine's messages format only
// integers and strings, which the system C library formats the same way, so snprintf is served
// by it here. Linked into the programs themselves, ahead of the mingw library.
#include <cstdarg>
#include <cstddef>
#include <cstdio>

extern "C" int __cdecl __mingw_vsnprintf(char* buffer, size_t size, const char* format,
                                         va_list args)
{
    va_list count;
    va_copy(count, args);
    int needed = _vscprintf(format, count);
    va_end(count);
    if (size > 0) {
        // The system's version neither terminates a cut result nor reports its full length.
        _vsnprintf(buffer, size, format, args);
        buffer[needed >= 0 && static_cast<size_t>(needed) < size ? needed : size - 1] = '\0';
    }
    return needed;
}

extern "C" int __cdecl __mingw_snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int result = __mingw_vsnprintf(buffer, size, format, args);
    va_end(args);
    return result;
}

// The C++ library's default terminate handler prints the demangled type of an escaped exception,
// which links its demangler and printf engine into every program (about 90 KB). Our programs
// catch everything in Run(); should terminate still be reached, they end at once with code 1.
#include <exception>

#include <windows.h>

namespace {

[[noreturn]] void ExitOnTerminate()
{
    ExitProcess(1);
}

}  // namespace

namespace __cxxabiv1 {

// Replaces the library's definition of the installed handler...
std::terminate_handler __terminate_handler = ExitOnTerminate;

}  // namespace __cxxabiv1

namespace __gnu_cxx {

// ...and the verbose handler itself, to which the library's terminate code refers directly.
void __verbose_terminate_handler()
{
    ExitProcess(1);
}

}  // namespace __gnu_cxx

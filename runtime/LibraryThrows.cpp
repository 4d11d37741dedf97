// The C++ library raises its own errors (a string index out of range, a vector too long) through
// these helpers, whose library versions build std::logic_error and its kin around the library's
// old reference-counted string: a second string implementation with its unwind tables, about
// 40 KB in every setup program. In our programs such an error can only come from a fault in our
// own code, so it becomes the runtime's ordinary error with the library's message, which the run
// reports like any other failure. Linked into the programs themselves, ahead of the library.
#include <bits/functexcept.h>

#include <new>
#include <string>

#include "core/stream/CError.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    throw velkan::CError(std::string("internal error: ") +
                         (what ? what : "the C++ library reports a fault"));
}

}  // namespace

namespace std {

void __throw_bad_alloc()
{
    throw std::bad_alloc();
}

void __throw_bad_array_new_length()
{
    throw std::bad_array_new_length();
}

void __throw_bad_exception()
{
    Fail("bad exception");
}
void __throw_bad_cast()
{
    Fail("bad cast");
}
void __throw_bad_typeid()
{
    Fail("bad typeid");
}
void __throw_logic_error(const char* what)
{
    Fail(what);
}
void __throw_domain_error(const char* what)
{
    Fail(what);
}
void __throw_invalid_argument(const char* what)
{
    Fail(what);
}
void __throw_length_error(const char* what)
{
    Fail(what);
}
void __throw_out_of_range(const char* what)
{
    Fail(what);
}
void __throw_runtime_error(const char* what)
{
    Fail(what);
}
void __throw_range_error(const char* what)
{
    Fail(what);
}
void __throw_overflow_error(const char* what)
{
    Fail(what);
}
void __throw_underflow_error(const char* what)
{
    Fail(what);
}

// The library formats the index into the message; the format alone says what went wrong.
void __throw_out_of_range_fmt(const char* format, ...)
{
    Fail(format);
}

}  // namespace std

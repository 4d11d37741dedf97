// The silent abandonment of a long operation that the person cancelled. Whoever started the
// operation catches it and shows nothing.
#pragma once

#include <exception>

namespace velkan {

class CUserAbort : public std::exception {
public:
    const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace velkan

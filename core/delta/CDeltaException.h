// The error of a malformed delta or of an input the delta format cannot carry: what went wrong
// and where (offsets into the delta or its sub-streams).
#pragma once

#include <stdexcept>
#include <string>

namespace velkan {

class CDeltaException : public std::runtime_error {
public:
    explicit CDeltaException(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace velkan

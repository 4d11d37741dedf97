// The error of a malformed delta or of an input the delta format cannot carry: what went wrong
// and where (offsets into the delta or its sub-streams).
#pragma once

#include <string>

#include "core/stream/CError.h"

namespace velkan {

class CDeltaException : public CError {
public:
    explicit CDeltaException(const std::string& what) : CError(what) {}
};

}  // namespace velkan

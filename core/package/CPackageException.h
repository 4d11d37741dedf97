// The error of a setup program that cannot be read: what is wrong and where (a section, an
// entry, an offset), or a file that fails its checksum.
#pragma once

#include <string>

#include "core/stream/CError.h"

namespace velkan {

class CPackageException : public CError {
public:
    explicit CPackageException(const std::string& what) : CError(what) {}
};

}  // namespace velkan

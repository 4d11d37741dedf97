// The error of a setup program that cannot be read: what is wrong and where (a section, an
// entry, an offset), or a file that fails its checksum.
#pragma once

#include <stdexcept>
#include <string>

namespace velkan {

class CPackageException : public std::runtime_error {
public:
    explicit CPackageException(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace velkan

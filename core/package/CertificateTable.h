// A signed setup program: Authenticode signing appends the certificate table (the PE's data
// directory 4) after the package, zero-padded to an 8-byte boundary, and points the stub's header
// at it. Readers accept exactly that after the package's end, and nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velkan {

class IPackageInput;

struct CertificateTable {
    uint64_t offset = 0;  // in the file
    uint64_t size = 0;
};

// The certificate table that the image's PE header names; nullopt when the file is no PE image
// or its header names none.
std::optional<CertificateTable> FindCertificateTable(IPackageInput& input);

// Why the bytes from packageEnd to the end of the file are not a signature: nullopt when there
// are none, or when they are fewer than 8 zero bytes followed by the certificate table of the
// image's header, running to the end of the file as whole, well-formed certificate entries.
std::optional<std::string> ProblemAfterPackage(IPackageInput& input, uint64_t packageEnd);

}  // namespace velkan

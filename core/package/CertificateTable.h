// The one kind of bytes a setup program may carry after its data section: the Authenticode
// certificate table that signing appends at the very end of the file, named by the security
// entry of the stub's PE header.
#pragma once

#include <cstdint>

namespace velkan {

class IPackageInput;

// True when the bytes from start to the end of the file are exactly the certificate table that
// the stub's PE header names (security directory: that offset, that size), made of well-formed
// WIN_CERTIFICATE records, after at most 7 zero bytes that pad start to a multiple of 8.
bool IsAuthenticodeCertificateTable(IPackageInput& input, uint64_t start);

}  // namespace velkan

// Applies a version delta to its reference and so rebuilds the new file. The delta is untrusted
// (it comes from a package on the end user's machine): every field is checked, every copy must
// lie inside the reference, the literal sub-stream must be used exactly, and any fault ends in
// a CDeltaException that says what and where. Portable: no file system calls of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/delta/IDeltaReference.h"
#include "core/stream/IByteSink.h"

namespace velkan {

class CDeltaDecoder {
public:
    // Rebuilds the new file from size bytes of delta and the reference, writing it to output.
    // When expectedLength is given (the entry's unpacked size), the result must have exactly
    // that length, and the sub-streams may not state more than it can use; without it, each
    // sub-stream may state at most 256 MB and the file may come out at most 256 MB long, or
    // twice the reference's length when that is more. Returns the length written.
    static uint64_t Apply(const uint8_t* delta, size_t size, IDeltaReference& reference,
                          IByteSink& output, std::optional<uint64_t> expectedLength = {});
};

}  // namespace velkan

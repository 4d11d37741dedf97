// Random read access to the reference (the earlier version) a delta copies from.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkan {

class IDeltaReference {
public:
    virtual ~IDeltaReference() = default;
    virtual uint64_t GetLength() const = 0;
    // Reads exactly size bytes at position; the caller has checked that they lie inside the
    // reference. Failures throw.
    virtual void ReadAt(uint64_t position, void* buffer, size_t size) = 0;
};

}  // namespace velkan

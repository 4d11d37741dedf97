// A readable stream of bytes: a file from its current position, or a block of memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkan {

class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Reads up to size bytes; returns the number read, 0 at the end. Errors throw CFileException.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // Bytes from the start of the underlying file or block to the read position.
    virtual uint64_t GetPosition() const = 0;
};

}  // namespace velkan

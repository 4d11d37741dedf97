// A writable stream of bytes: a file at its current position, or a growing block of memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkan {

class IByteSink {
public:
    virtual ~IByteSink() = default;
    // Writes all size bytes or throws CFileException.
    virtual void Write(const void* data, size_t size) = 0;
    // Bytes from the start of the underlying file or block to the write position.
    virtual uint64_t GetPosition() const = 0;
};

}  // namespace velkan

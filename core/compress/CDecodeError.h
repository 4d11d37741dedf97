// The error a packed-stream decoder raises for a stream that is not valid: what is wrong and at
// which byte of the stream it was found.
#pragma once

#include <cstdint>
#include <string>

#include "core/stream/CError.h"

namespace velkan {

class CDecodeError : public CError {
public:
    CDecodeError(const std::string& what, uint64_t offset)
        : CError("packed stream: " + what + " (at byte " + std::to_string(offset) + ")"),
          m_nOffset(offset)
    {
    }
    // Offset from the start of the stream where decoding stopped.
    uint64_t Offset() const { return m_nOffset; }

private:
    uint64_t m_nOffset;
};

}  // namespace velkan
